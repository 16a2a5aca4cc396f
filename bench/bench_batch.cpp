// bench-batch: a run ("&Übernehmen") over a batch of 5,000 bookings on a
// small SKR 03 Mandant. Each booking is posted and removed from the batch
// in a transaction of its own, as the run does; afterwards the batch must
// be empty and the stored totals must equal the journal.
//
//   bench-batch [bookings]
//
// Prints "FIGURE <name> <value>" lines.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/layouts/bat.h"
#include "core/layouts/stapel.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/today.h"
#include "posting/batch_bookings.h"
#include "posting/batch_run.h"
#include "posting/invariants.h"
#include "recman/recman.h"
#include "support/small_mandant.h"
#include "tax/tax_rates.h"
#include "temp_directory.h"

namespace {

using namespace talvera;
using Clock = std::chrono::steady_clock;
namespace bat = layouts::bat;
namespace bl = layouts::bat_line;

constexpr int S = 2, K = 4, D = 8;

struct Line {
  const char* debit;
  int debitKind;
  const char* credit;
  int creditKind;
  const char* gross;
  const char* net;
  int taxSide, taxClass;
  const char* rate;
};

// The bookings of a batch as users collect them: invoices with tax,
// payments, rent.
const Line kLines[] = {
    {"10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00"},
    {"3400", S, "70000", K, "000000238,00", "000000200,00", 2, 2, "19,00"},
    {"1200", S, "10000", D, "000000119,00", "000000119,00", 0, 0, "00,00"},
    {"70000", K, "1200", S, "000000238,00", "000000238,00", 0, 0, "00,00"},
    {"4210", S, "1200", S, "000000500,00", "000000500,00", 0, 0, "00,00"},
};

void MakeBooking(int n, std::vector<char>& r) {
  r.assign(bat::kLayout.recordLength, 0);
  layouts::InitRecord(bat::kLayout, r.data());
  char date[16], voucher[16], number[16];
  std::snprintf(date, sizeof date, "%02d%02d46", 1 + n % 28, 1 + n / 28 % 12);
  std::snprintf(voucher, sizeof voucher, "B%07d", n);
  layouts::SetRawText(r.data(), bat::kPostingDate, date);
  layouts::SetRawText(r.data(), bat::kVoucherDate, date);
  layouts::SetRawText(r.data(), bat::kVoucherNo, voucher);
  layouts::SetText(r.data(), bat::kText, "Stapelbuchung");
  const Line& l = kLines[n % std::size(kLines)];
  auto f = [](const layouts::Field& field) { return bat::kLine.In(0, field); };
  std::snprintf(number, sizeof number, "%7s", l.debit);
  layouts::SetRawText(r.data(), f(bl::kDebitAccount), number);
  std::snprintf(number, sizeof number, "%7s", l.credit);
  layouts::SetRawText(r.data(), f(bl::kCreditAccount), number);
  layouts::SetNumber(r.data(), f(bl::kDebitKind), l.debitKind);
  layouts::SetNumber(r.data(), f(bl::kCreditKind), l.creditKind);
  layouts::SetRawText(r.data(), f(bl::kGross), l.gross);
  layouts::SetRawText(r.data(), f(bl::kNet), l.net);
  layouts::SetNumber(r.data(), f(bl::kTaxSide), l.taxSide);
  layouts::SetNumber(r.data(), f(bl::kTaxClass), l.taxClass);
  layouts::SetRawText(r.data(), f(bl::kRate), l.rate);
}

bool Fill(int bookings) {
  std::vector<char> r;
  SlotKeptOpen open(kSlotBat);
  StoreTransaction transaction;
  for (int n = 0; n < bookings; ++n) {
    MakeBooking(n, r);
    layouts::SetNumber(r.data(), bat::kBatchNo, layouts::stapel::kStandardBatch);
    if (!Insert(r.data(), MakeFileId(kSlotBat, 0))) return false;
  }
  return transaction.Commit();
}

}  // namespace

int main(int argc, char** argv) {
  int bookings = argc > 1 ? std::atoi(argv[1]) : 5000;
  if (bookings <= 0) return 2;
  ::setenv("TALVERA_TODAY", "09.12.2026", 1);
  ResetDayToday();
  MessageRecorder messages;
  std::string root = TempDirectory("bench-batch");
  if (root.empty()) return 1;
  SetDataRoot(root);
  testing::SetSmallMandantValues("2026", "2025");
  bool ok = testing::BuildSmallMandantYear(TALVERA_CHARTS, "2026");
  InstallRateLoading();
  // Reopened as the program opens a Mandant (building it attached the
  // templates' directory too).
  CloseAll();
  recman::Shutdown();
  ok = ok && OpenMainFiles() && Fill(bookings);
  BatchRunResult result;
  double seconds = 0;
  if (ok) {
    auto start = Clock::now();
    result = TakeOverBatch(layouts::stapel::kStandardBatch, 0, nullptr);
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  }
  std::vector<std::string> problems;
  ok = ok && result.posted == bookings && result.remaining == 0 && CheckTotalsAgainstJournal(problems) &&
       problems.empty();
  CloseAll();
  recman::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  if (!ok) {
    std::fprintf(stderr, "bench-batch: failed after %d bookings", result.posted);
    if (!messages.shown.empty()) std::fprintf(stderr, ": %s", messages.shown.back().text.c_str());
    std::fprintf(stderr, "\n");
    return 1;
  }
  std::printf("FIGURE batch_run_bookings %d\n", bookings);
  std::printf("FIGURE batch_run_per_s %.1f\n", bookings / seconds);
  return 0;
}
