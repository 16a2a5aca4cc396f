// Where the entry dialog hands its confirmed bookings: to the journal (the
// current-postings dialog, one booking pending at a time) or into a batch
// (batch_target.h). The dialog only sees this interface, so that the same dialog
// serves both.
#pragma once

#include <string>
#include <vector>

#include "posting/booking_list.h"
#include "posting/pending_booking.h"

namespace talvera {

class BookingTarget {
 public:
  virtual ~BookingTarget() = default;

  // Whether a confirmed booking still waits (it can be taken back).
  virtual bool HasPending() const = 0;
  virtual const void* PendingRecord() const = 0;
  // Hands the waiting booking on for good; false keeps it waiting (the
  // failure has been shown). postingNumber receives its first journal
  // record's number, 0 when the target keeps no journal.
  virtual bool Commit(bool startsBooking, long& postingNumber) = 0;
  // The confirmed booking starts to wait.
  virtual bool Keep(const void* booking) = 0;
  // Takes the waiting booking back into `out`; false when it stays.
  virtual bool TakeBack(std::vector<char>& out) = 0;
  // A booking left by an ended program, offered when the dialog opens.
  virtual RecoveredBooking Recover() = 0;
  // The list entry of the booking just kept.
  virtual BookingListEntry KeptEntry() const { return EntryOfBooking(PendingRecord()); }
};

// The journal: the booking waits as the pending booking of the user and is
// posted by the engine when the next is confirmed or the dialog ends.
class JournalTarget : public BookingTarget {
 public:
  explicit JournalTarget(std::string user) : pending_(std::move(user)) {}

  bool HasPending() const override { return pending_.has(); }
  const void* PendingRecord() const override { return pending_.record(); }
  bool Commit(bool startsBooking, long& postingNumber) override {
    postingNumber = 0;
    return pending_.Post(startsBooking, &postingNumber);
  }
  bool Keep(const void* booking) override { return pending_.Keep(booking); }
  bool TakeBack(std::vector<char>& out) override { return pending_.TakeBack(out); }
  RecoveredBooking Recover() override { return OfferRecoveredBooking(pending_); }

 private:
  PendingBooking pending_;
};

}  // namespace talvera
