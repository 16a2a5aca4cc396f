// A batch as the target of the entry dialog: a confirmed booking goes into
// the batch at once (nothing waits), and a booking of the batch can be taken
// back for correction. The original stays in the batch until its corrected
// version is confirmed, which replaces it in one transaction; a correction
// never confirmed leaves the original as it was.
#pragma once

#include <vector>

#include "posting/batch_bookings.h"
#include "posting/booking_list.h"
#include "posting/booking_target.h"

namespace talvera {

class BatchTarget : public BookingTarget {
 public:
  explicit BatchTarget(int batch) : batch_(batch) {}

  int batch() const { return batch_; }

  bool HasPending() const override { return false; }
  // The booking stored last.
  const void* PendingRecord() const override { return last_.data(); }
  bool Commit(bool, long& postingNumber) override {
    postingNumber = 0;
    return true;
  }
  // Stores the booking at the end of the batch, in place of the one taken
  // back when there is one.
  bool Keep(const void* booking) override;
  // Bookings are taken back by their record id (TakeBackBooking).
  bool TakeBack(std::vector<char>&) override { return false; }
  RecoveredBooking Recover() override { return RecoveredBooking::kNone; }
  BookingListEntry KeptEntry() const override;

  // Copies booking `id` to `out` and marks it as being corrected. A
  // settlement booking stays (message 771); one of the Debitoren's
  // settlement batch with a settlement reference warns (525) first. False
  // when it is refused or gone (62).
  bool TakeBackBooking(long id, std::vector<char>& out);
  // The correction is given up: the original stays as it was.
  void GiveUpCorrection() { marked_ = 0; }
  // The booking being corrected, 0 for none.
  long marked() const { return marked_; }

 private:
  int batch_;
  long marked_ = 0;
  long lastId_ = 0;
  BatchRecord last_;
};

// The list entry of a batch booking: its rows, its record id as the item value.
BookingListEntry EntryOfBatchBooking(const void* booking);

}  // namespace talvera
