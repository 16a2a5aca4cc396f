// The pending booking of an entry dialog. Posting is delayed by one
// booking: a confirmed booking stays pending, so that it can still be taken
// back, and is posted when the next one is confirmed or the dialog ends.
//
// A pending booking exists only in the dialog, so the program keeps a copy
// in a recovery record of bat (batch number kRecoveryBatch, owner = process
// and user): written when the booking becomes pending, removed in the same
// transaction that posts it, or when it is taken back. After a crash the
// next entry dialog of that user finds it and offers to post it, and every
// confirmed booking is either in the journal or in a recovery record, never
// in both and never in neither.
#pragma once

#include <string>
#include <vector>

namespace talvera {

// The batch number of recovery records; no batch has it.
constexpr int kRecoveryBatch = -4;
// The record id a pending booking carries in the dialog.
constexpr int kPendingId = -4;

// How a pending booking is posted: PostBooking for bookings; the
// opening-postings dialog keeps its entries pending in the same way.
using PendingPoster = bool (*)(void* booking, bool startsBooking, long* postingNumber);

class PendingBooking {
 public:
  // `user` names whose booking it is (the user logged in).
  explicit PendingBooking(std::string user);
  // Entries posted by `poster`, their recovery records under `recoveryBatch`.
  PendingBooking(std::string user, PendingPoster poster, int recoveryBatch);

  bool has() const { return !record_.empty(); }
  // The pending booking record (layout of bat, record id kPendingId).
  const void* record() const { return record_.data(); }

  // The confirmed booking becomes pending and its recovery record is
  // written. Only when nothing is pending (post or take back first). False
  // after a reported store failure: nothing is pending then.
  bool Keep(const void* booking);

  // Posts the pending booking (PostBooking) and removes its recovery
  // record in one transaction, then selects again the working year it
  // found. On failure it stays pending, with its recovery record.
  bool Post(bool startsBooking, long* postingNumber = nullptr);

  // Takes the pending booking back: its recovery record is removed and the
  // record copied to `out`. A settlement booking stays (message 771); false
  // (still pending) then and after a store failure.
  bool TakeBack(std::vector<char>& out);

  // Looks for a recovery record of this user left by a program that is no
  // longer running and makes it the pending booking (found). Only when
  // nothing is pending.
  bool Recover(bool& found);

 private:
  bool RemoveRecoveryRecord();
  bool PostInOneTransaction(std::vector<char>& booking, bool startsBooking, long* postingNumber);

  std::string user_;
  PendingPoster poster_;
  int recoveryBatch_ = kRecoveryBatch;
  std::vector<char> record_;
  long recoveryId_ = 0;
};

// What the opening entry dialog does with a booking left from a crash.
enum class RecoveredBooking { kNone, kPosted, kPending, kFailed };
// Recovers a left-over booking and asks whether to post it now (message
// 922 naming its document number): "Ja" posts it (failure: message 62, it
// stays pending), "Nein" leaves it pending in the dialog, where it can be
// taken back or is posted with the next confirmation.
RecoveredBooking OfferRecoveredBooking(PendingBooking& pending);

}  // namespace talvera
