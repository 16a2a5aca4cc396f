#include "posting/batch_run.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/layouts/bat.h"
#include "core/layouts/stapel.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "posting/batch_bookings.h"
#include "posting/batch_headers.h"
#include "posting/posting_engine.h"
#include "posting/posting_lock.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;

constexpr int kMessageRunStopped = 41;
constexpr int kMessageNotPosted = 62;
constexpr int kMessageHeaderMissing = 436;
constexpr int kMessageDateNotMoved = 702;
constexpr FileId kById = MakeFileId(kSlotBat, 0);

// What a run changes for its duration and gives back on every way out: the
// engine's batch wording, the working year, and over the creditors'
// settlement batch the open-item card, which is switched off in memory only
// (TALVI.INI keeps it, so a crash cannot leave it off).
class RunScope {
 public:
  explicit RunScope(int batch) : year_(WorkingYear()), card_(CurrentSettings().opKartei) {
    SetPostingFromBatch(true);
    if (batch == layouts::stapel::kKreditorSettlementBatch) CurrentSettings().opKartei = 0;
  }
  ~RunScope() {
    CurrentSettings().opKartei = card_;
    SetPostingFromBatch(false);
    if (!year_.empty() && year_ != WorkingYear()) SwitchWorkingYear(year_);
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  std::string year_;
  int card_;
};

// A recurring booking one period on: posting and document date on its due
// day, clamped to the month (the due day is kept from the first move on).
bool MoveOn(BatchRecord& r) {
  const layouts::Field dueDay = bat::kLine.In(0, line_::kDueDay);
  char date[7];
  CopyLimited(date, layouts::FieldBytes(r.data(), bat::kPostingDate), sizeof date);
  int due = static_cast<int>(layouts::GetNumber(r.data(), dueDay));
  if (due == 0) due = std::atoi(std::string(date, 2).c_str());
  if (!NextPeriodOnDay(date, due)) return false;
  layouts::SetNumber(r.data(), dueDay, due);
  layouts::SetRawText(r.data(), bat::kPostingDate, date);
  layouts::SetRawText(r.data(), bat::kVoucherDate, date);
  return true;
}

// The year of a posting date is selected before the transaction begins, so
// that its files are there before anything is written; a date outside the
// open years is left to the engine's own message.
bool SelectYearOf(const char* date) {
  const MandantValues& m = CurrentMandant();
  std::string year = date[0] ? std::to_string(1980 + std::atoi(date + 4)) : "";
  if (year.empty() || (year != m.currentYear && year != m.previousYear)) return true;
  return SwitchWorkingYear(year);
}

enum class Outcome { kPosted, kGone, kFailed };

// Within an open transaction: reads booking `id` again (another workstation
// may have posted it meanwhile), deletes it or (recurring) rewrites it one
// period later, and posts it. notMoved: posted, but its date could not move.
// A failing engine has taken back the whole transaction.
Outcome PostAndSettle(long id, bool recurring, bool startsBooking, bool& notMoved) {
  notMoved = false;
  BatchRecord r;
  bool found = false;
  if (!ReadBatchBooking(id, r, found)) return Outcome::kFailed;
  if (!found) return Outcome::kGone;
  BatchRecord booking = r;  // the engine changes what it posts
  if (recurring) {
    notMoved = !MoveOn(r);
    if (!notMoved && !Update(r.data(), kById)) return Outcome::kFailed;
  } else if (!Delete(kSlotBat)) {
    return Outcome::kFailed;
  }
  return PostBooking(booking.data(), startsBooking) ? Outcome::kPosted : Outcome::kFailed;
}

// Reads what a booking needs before it is posted: its document number and
// posting date. kFailed with `refusal` set when the posting lock refuses it
// (785 names it; shown by the caller once no transaction is open).
Outcome Prepare(long id, std::string& voucher, std::string& postingDate, CheckResult& refusal) {
  BatchRecord r;
  bool found = false;
  if (!ReadBatchBooking(id, r, found)) return Outcome::kFailed;
  if (!found) return Outcome::kGone;
  voucher = layouts::GetText(r.data(), bat::kVoucherNo);
  postingDate = layouts::FieldBytes(r.data(), bat::kPostingDate);
  refusal = CheckPostingLock(postingDate.c_str(), LockAnswer::kRefuse, voucher, 0);
  return refusal ? Outcome::kPosted : Outcome::kFailed;
}

// One booking in a transaction of its own.
Outcome PostOne(long id, bool recurring, bool startsBooking, bool& notMoved, std::string& voucher) {
  notMoved = false;
  std::string date;
  CheckResult refusal;
  Outcome ready = Prepare(id, voucher, date, refusal);
  ShowRefusal(refusal);
  if (ready != Outcome::kPosted) return ready;
  if (!SelectYearOf(date.c_str())) return Outcome::kFailed;
  SlotKeptOpen open(kSlotBat);
  if (!open.ok()) return Outcome::kFailed;
  StoreTransaction transaction;
  if (!transaction.began()) return Outcome::kFailed;
  Outcome outcome = PostAndSettle(id, recurring, startsBooking, notMoved);
  if (outcome != Outcome::kPosted) return outcome;
  return transaction.Commit() ? Outcome::kPosted : Outcome::kFailed;
}

std::string YearOf(const std::string& date) {
  return date.size() == 6 ? std::to_string(1980 + std::atoi(date.c_str() + 4)) : std::string();
}

// The bookings a run has posted in its open transaction. A run commits them
// together, some hundred at a time (a durable commit costs as much as
// hundreds of bookings), and each booking still goes with its removal from
// the batch: a crash takes back the whole group, which stays in the batch.
class Group {
 public:
  struct Entry {
    long id;
    bool startsBooking;
    std::string voucher;
    bool notMoved;
  };

  bool open() const { return transaction_ != nullptr; }
  bool Begin() {
    bat_ = std::make_unique<SlotKeptOpen>(kSlotBat);
    transaction_ = std::make_unique<StoreTransaction>();
    began_ = Clock::now();
    if (bat_->ok() && transaction_->began()) return true;
    Abandon();
    return false;
  }
  void Add(Entry e) { entries_.push_back(std::move(e)); }
  int size() const { return static_cast<int>(entries_.size()); }
  bool Due() const {
    return size() >= kMostBookings || Clock::now() - began_ >= std::chrono::milliseconds(kMostMilliseconds);
  }
  // Commits an open group; `committed` receives its entries (none when the
  // commit failed, which the store has reported).
  bool Commit(std::vector<Entry>& committed) {
    committed.clear();
    if (!open()) return true;
    bool ok = transaction_->Commit();
    committed = Abandon();
    if (!ok) committed.clear();
    return ok;
  }
  // Ends the transaction without committing; the entries it held.
  std::vector<Entry> Abandon() {
    transaction_.reset();
    bat_.reset();
    return std::exchange(entries_, {});
  }

 private:
  using Clock = std::chrono::steady_clock;
  // Other workstations wait for the write lock while a group is open.
  static constexpr int kMostBookings = 500;
  static constexpr int kMostMilliseconds = 100;

  std::unique_ptr<SlotKeptOpen> bat_;
  std::unique_ptr<StoreTransaction> transaction_;
  std::vector<Entry> entries_;
  Clock::time_point began_;
};

class Run {
 public:
  Run(const BatchHeader& header, BatchRunObserver* observer, BatchRunResult& result)
      : recurring_(header.recurring), observer_(observer), result_(result) {}

  // Posts the listed bookings; false when it stopped at a failure or on request.
  void PostAll(const std::vector<BatchRecord>& bookings) {
    for (const BatchRecord& listed : bookings)
      if (!PostNext(listed)) break;
    if (!result_.failed && !CommitGroup()) Fail();
  }

 private:
  // A booking dated like one posted earlier in the run continues its booking.
  bool StartsBooking(const std::string& documentDate) const {
    return recurring_ || !datesPosted_.contains(documentDate);
  }

  bool PostNext(const BatchRecord& listed) {
    long id = BatchBookingId(listed.data());
    std::string documentDate = layouts::FieldBytes(listed.data(), bat::kVoucherDate);
    std::string voucher, postingDate;
    CheckResult refusal;
    Outcome ready = Prepare(id, voucher, postingDate, refusal);
    if (ready == Outcome::kGone) return true;
    if (ready == Outcome::kFailed) {
      // The group before it is sound: it is kept.
      CommitGroup();
      ShowRefusal(refusal);
      return Fail();
    }
    // Years are switched between transactions only.
    if (group_.open() && YearOf(postingDate) != WorkingYear() && !CommitGroup()) return Fail();
    if (!group_.open() && (!SelectYearOf(postingDate.c_str()) || !group_.Begin())) return Fail();
    bool starts = StartsBooking(documentDate);
    bool notMoved = false;
    Outcome outcome = PostAndSettle(id, recurring_, starts, notMoved);
    if (outcome == Outcome::kGone) return true;
    if (outcome == Outcome::kFailed) return PostAgainAndFail(group_.Abandon());
    group_.Add({id, starts, voucher, notMoved});
    datesPosted_.insert(documentDate);
    if (observer_ && !observer_->Posted(result_.posted + group_.size())) {
      result_.stopped = true;
      if (!CommitGroup()) return Fail();
      return false;
    }
    if (group_.Due() && !CommitGroup()) return Fail();
    return true;
  }

  // Commits the group; false when the commit failed.
  bool CommitGroup() {
    std::vector<Group::Entry> entries;
    bool ok = group_.Commit(entries);
    Committed(entries);
    return ok;
  }

  // Counts what a commit kept and names the recurring bookings whose date
  // could not move on (told after the transaction has ended).
  void Committed(const std::vector<Group::Entry>& entries) {
    for (const Group::Entry& e : entries) {
      ++result_.posted;
      if (e.notMoved) ShowMessage(kMessageDateNotMoved, 0, std::string_view(e.voucher));
    }
  }

  // A booking failed within a group: the engine (or the store) has taken
  // back the whole transaction, so the bookings of the group before it are
  // posted again, each on its own, and the run stops at the failed one.
  bool PostAgainAndFail(const std::vector<Group::Entry>& entries) {
    for (const Group::Entry& e : entries) {
      bool notMoved = false;
      std::string voucher;
      if (PostOne(e.id, recurring_, e.startsBooking, notMoved, voucher) != Outcome::kPosted) break;
      Committed({{e.id, e.startsBooking, voucher, notMoved}});
    }
    return Fail();
  }

  bool Fail() {
    group_.Abandon();
    const char* current = CurrentMandant().currentYear;
    if (current[0] && WorkingYear() != current) SwitchWorkingYear(current);
    ShowMessage(kMessageRunStopped);
    result_.failed = true;
    return false;
  }

  bool recurring_;
  BatchRunObserver* observer_;
  BatchRunResult& result_;
  Group group_;
  std::set<std::string> datesPosted_;  // document dates of this run's bookings
};

}  // namespace

BatchRunResult TakeOverBatch(int batch, long keepId, BatchRunObserver* observer) {
  BatchRunResult result;
  BatchHeader header;
  bool found = false;
  if (!ReadBatchHeader(batch, header, found)) return result;
  if (!found) {
    ShowMessage(kMessageHeaderMissing);
    return result;
  }
  std::vector<BatchRecord> bookings;
  if (!ListBatchBookings(batch, bookings)) return result;
  std::erase_if(bookings, [keepId](const BatchRecord& r) { return keepId != 0 && BatchBookingId(r.data()) == keepId; });
  result.started = true;
  {
    RunScope scope(batch);
    if (observer) observer->Started(static_cast<int>(bookings.size()));
    Run(header, observer, result).PostAll(bookings);
  }
  if (!header.recurring) {
    std::vector<BatchRecord> left;
    if (ListBatchBookings(batch, left)) result.remaining = static_cast<int>(left.size());
  }
  return result;
}

bool PostBatchBooking(long id) {
  BatchRecord r;
  bool found = false;
  bool posted = false;
  if (ReadBatchBooking(id, r, found) && found) {
    RunScope scope(static_cast<int>(layouts::GetNumber(r.data(), bat::kBatchNo)));
    bool notMoved = false;
    std::string voucher;
    posted = PostOne(id, false, false, notMoved, voucher) == Outcome::kPosted;
  }
  if (!posted) ShowMessage(kMessageNotPosted);
  return posted;
}

}  // namespace talvera
