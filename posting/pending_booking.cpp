#include "posting/pending_booking.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/layouts/bat.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "posting/posting_engine.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;

constexpr int kMessageOfferRecovered = 922;
constexpr int kMessageCannotPost = 62;
constexpr int kMessageSettlementStays = 771;
constexpr FileId kById = MakeFileId(kSlotBat, 0);
constexpr FileId kByBatch = MakeFileId(kSlotBat, 1);

std::string OwnerText(const std::string& user) {
  std::string owner = std::to_string(static_cast<long>(getpid())) + " " + user;
  return owner.substr(0, bat::kRecoveryOwner.width - 1);
}

// The process and user a recovery record names.
void ParseOwner(const std::string& owner, long& pid, std::string& user) {
  char* end = nullptr;
  pid = std::strtol(owner.c_str(), &end, 10);
  user = *end == ' ' ? std::string(end + 1) : std::string();
}

bool ProcessRunning(long pid) {
  if (pid <= 0) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Keeps the bat file open across the calls of one operation and closes it
// afterwards unless it was open before.
class BatOpen {
 public:
  BatOpen() : wasOpen_(IsSlotOpen(kSlotBat)), ok_(OpenSlot(kSlotBat)) {}
  ~BatOpen() {
    if (!wasOpen_) CloseSlot(kSlotBat);
  }
  BatOpen(const BatOpen&) = delete;
  BatOpen& operator=(const BatOpen&) = delete;
  bool ok() const { return ok_; }

 private:
  bool wasOpen_, ok_;
};

}  // namespace

PendingBooking::PendingBooking(std::string user) : PendingBooking(std::move(user), PostBooking, kRecoveryBatch) {}

PendingBooking::PendingBooking(std::string user, PendingPoster poster, int recoveryBatch)
    : user_(std::move(user)), poster_(poster), recoveryBatch_(recoveryBatch) {}

bool PendingBooking::Keep(const void* booking) {
  if (has()) return false;
  std::vector<char> recovery(static_cast<const char*>(booking),
                             static_cast<const char*>(booking) + bat::kLayout.recordLength);
  layouts::SetNumber(recovery.data(), bat::kId, 0);
  layouts::SetNumber(recovery.data(), bat::kBatchNo, recoveryBatch_);
  layouts::SetText(recovery.data(), bat::kRecoveryOwner, OwnerText(user_));
  BatOpen open;
  if (!open.ok() || !Insert(recovery.data(), kById)) return false;
  recoveryId_ = layouts::GetNumber(recovery.data(), bat::kId);
  record_.assign(static_cast<const char*>(booking),
                 static_cast<const char*>(booking) + bat::kLayout.recordLength);
  layouts::SetNumber(record_.data(), bat::kId, kPendingId);
  return true;
}

bool PendingBooking::RemoveRecoveryRecord() {
  if (recoveryId_ == 0) return true;
  std::vector<char> r(bat::kLayout.recordLength);
  layouts::SetNumber(r.data(), bat::kId, recoveryId_);
  bool found = false;
  if (!GetEqual(r.data(), KeyValue(r.data() + bat::kId.offset, 4), found, kById)) return false;
  return !found || Delete(kSlotBat);
}

bool PendingBooking::PostInOneTransaction(std::vector<char>& booking, bool startsBooking,
                                          long* postingNumber) {
  // The posting year is selected before the transaction begins, so that
  // its files are there before anything is written; an unpostable date
  // is left to the engine's own message.
  const char* date = layouts::FieldBytes(booking.data(), bat::kPostingDate);
  const MandantValues& m = CurrentMandant();
  std::string year = date[0] ? std::to_string(1980 + std::atoi(date + 4)) : "";
  if (!year.empty() && (year == m.currentYear || year == m.previousYear) && !SwitchWorkingYear(year))
    return false;
  BatOpen open;
  if (!open.ok()) return false;
  if (CurrentSettings().transAus) {
    // Without transactions the booking goes first: a failure between the
    // two leaves a record that is offered again rather than a lost booking.
    return poster_(booking.data(), startsBooking, postingNumber) && RemoveRecoveryRecord();
  }
  StoreTransaction transaction;
  if (!transaction.began()) return false;
  if (!RemoveRecoveryRecord()) return false;
  // A failing engine has rolled back the whole transaction already.
  if (!poster_(booking.data(), startsBooking, postingNumber)) return false;
  return transaction.Commit();
}

bool PendingBooking::Post(bool startsBooking, long* postingNumber) {
  if (!has()) return true;
  std::string remembered = WorkingYear();
  std::vector<char> booking = record_;  // the engine changes what it posts
  layouts::SetNumber(booking.data(), bat::kId, 0);
  bool posted = PostInOneTransaction(booking, startsBooking, postingNumber);
  if (posted) {
    record_.clear();
    recoveryId_ = 0;
  }
  if (!remembered.empty() && remembered != WorkingYear()) SwitchWorkingYear(remembered);
  return posted;
}

bool PendingBooking::TakeBack(std::vector<char>& out) {
  if (!has()) return false;
  // Its open items are settled already: taken back, they would no longer
  // agree with the personal account.
  if (layouts::GetNumber(record_.data(), bat::kNoOpenItem) != 0) {
    ShowMessage(kMessageSettlementStays);
    return false;
  }
  BatOpen open;
  if (!open.ok() || !RemoveRecoveryRecord()) return false;
  out = record_;
  record_.clear();
  recoveryId_ = 0;
  return true;
}

bool PendingBooking::Recover(bool& found) {
  found = false;
  if (has()) return true;
  BatOpen open;
  if (!open.ok()) return false;
  std::vector<char> r(bat::kLayout.recordLength);
  layouts::SetNumber(r.data(), bat::kBatchNo, recoveryBatch_);
  bool more = false;
  if (!GetGreaterOrEqualFound(r.data(), KeyValue(r.data(), 4), more, kByBatch)) return false;
  for (; more && layouts::GetNumber(r.data(), bat::kBatchNo) == recoveryBatch_;) {
    long pid = 0;
    std::string user;
    ParseOwner(layouts::GetText(r.data(), bat::kRecoveryOwner), pid, user);
    if (user == user_ && !ProcessRunning(pid)) {
      // Claimed for this process first, so that no other one offers it too.
      layouts::SetText(r.data(), bat::kRecoveryOwner, OwnerText(user_));
      if (!Update(r.data(), kByBatch)) return false;
      recoveryId_ = layouts::GetNumber(r.data(), bat::kId);
      layouts::SetNumber(r.data(), bat::kId, kPendingId);
      layouts::SetNumber(r.data(), bat::kBatchNo, 0);
      layouts::SetText(r.data(), bat::kRecoveryOwner, "");
      record_ = r;
      found = true;
      return true;
    }
    if (!GetNextFound(r.data(), more, kByBatch)) return false;
  }
  return true;
}

RecoveredBooking OfferRecoveredBooking(PendingBooking& pending) {
  bool found = false;
  if (!pending.Recover(found)) return RecoveredBooking::kFailed;
  if (!found) return RecoveredBooking::kNone;
  std::string voucher = layouts::GetText(pending.record(), bat::kVoucherNo);
  if (!ShowMessage(kMessageOfferRecovered, 0, std::string_view(voucher))) return RecoveredBooking::kPending;
  if (pending.Post(true)) return RecoveredBooking::kPosted;
  ShowMessage(kMessageCannotPost);
  return RecoveredBooking::kPending;
}

}  // namespace talvera
