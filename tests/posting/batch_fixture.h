// Batches on the small posting Mandant: a batch filled with bookings, and
// what the journal and the batch file hold afterwards.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/layouts/stapel.h"
#include "posting/batch_bookings.h"
#include "posting/batch_headers.h"
#include "posting_fixture.h"

namespace talvera::testing {

class BatchTest : public PostingTest {
 protected:
  static constexpr int kStandard = layouts::stapel::kStandardBatch;

  // Stores the bookings at the end of the batch; their record ids.
  std::vector<long> Fill(int batch, std::vector<Booking> bookings) {
    std::vector<long> ids;
    for (Booking& b : bookings) {
      long id = 0;
      EXPECT_TRUE(StoreBatchBooking(batch, b.data(), 0, id));
      ids.push_back(id);
    }
    return ids;
  }
  // Document numbers of the batch's bookings in order.
  std::vector<std::string> InBatch(int batch) {
    std::vector<BatchRecord> records;
    EXPECT_TRUE(ListBatchBookings(batch, records));
    std::vector<std::string> out;
    for (const BatchRecord& r : records) out.push_back(layouts::GetText(r.data(), bat::kVoucherNo));
    return out;
  }
  // Document numbers of the bookings in the journal of `year`, each as
  // often as a booking of it starts there.
  std::vector<std::string> Posted(const char* year = "2026") {
    std::string before = WorkingYear();
    EXPECT_TRUE(SwitchWorkingYear(year));
    std::vector<std::string> out;
    for (const auto& r : Journal())
      if (JN(r, bube::kFlags) & 0x40) out.push_back(J(r, bube::kVoucherNo));
    EXPECT_TRUE(SwitchWorkingYear(before));
    return out;
  }
  // Journal records of a document number in the working year.
  long JournalRecords(const char* voucher) {
    long n = 0;
    for (const auto& r : Journal()) n += J(r, bube::kVoucherNo) == voucher;
    return n;
  }
  using Strings = std::vector<std::string>;
};

// A one-line sale to Debitor 10000 (an open item, tax, a collective record).
inline Booking Sale(const char* voucher, const char* date) {
  Booking b(date, "Verkauf", voucher);
  b.Line("10000", 8, "8400", 2, "000000119,00", "000000100,00", 1, 2, "19,00");
  return b;
}
// Rent paid from the bank: one Sachkonto line.
inline Booking Rent(const char* voucher, const char* date) {
  Booking b(date, "Miete", voucher);
  b.Line("4210", 2, "1200", 2, "000000500,00");
  return b;
}

}  // namespace talvera::testing
