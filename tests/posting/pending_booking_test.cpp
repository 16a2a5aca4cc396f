// The pending booking: kept in a recovery record while it waits, posted
// together with the removal of that record, and offered again after the
// program was killed.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "crash_vfs.h"
#include "posting/invariants.h"
#include "posting/pending_booking.h"
#include "posting_fixture.h"

namespace talvera::testing {
namespace {

constexpr int S = 2, D = 8;

Booking Sale(const char* voucher, const char* date = "150346") {
  Booking b(date, "Verkauf", voucher);
  b.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00");
  return b;
}

class PendingBookingTest : public PostingTest {
 protected:
  // Voucher numbers of the recovery records in bat.
  std::vector<std::string> RecoveryRecords() {
    std::vector<std::string> out;
    std::vector<char> r(bat::kLayout.recordLength);
    bool found = false;
    bool ok = GetFirstFound(r.data(), found, kSlotBat);
    while (ok && found) {
      if (layouts::GetNumber(r.data(), bat::kBatchNo) == kRecoveryBatch)
        out.push_back(layouts::FieldBytes(r.data(), bat::kVoucherNo));
      ok = GetNextFound(r.data(), found, kSlotBat);
    }
    CloseSlot(kSlotBat);
    return out;
  }
  std::vector<std::string> JournalVouchers() {
    std::vector<std::string> out;
    for (const auto& r : Journal())
      if (JN(r, bube::kFlags) & 0x40) out.push_back(J(r, bube::kVoucherNo));
    return out;
  }
  using Strings = std::vector<std::string>;
};

TEST_F(PendingBookingTest, KeepPostAndTakeBack) {
  PendingBooking pending("anna");
  ASSERT_TRUE(pending.Keep(Sale("A").data()));
  EXPECT_EQ(layouts::GetNumber(pending.record(), bat::kId), kPendingId);
  EXPECT_EQ(RecoveryRecords(), Strings{"A"});
  EXPECT_FALSE(pending.Keep(Sale("B").data())) << "one pending booking at most";
  EXPECT_TRUE(JournalVouchers().empty()) << "the first confirmation posts nothing";

  long number = 0;
  ASSERT_TRUE(pending.Post(true, &number));
  EXPECT_GT(number, 0);
  EXPECT_FALSE(pending.has());
  EXPECT_EQ(JournalVouchers(), Strings{"A"});
  EXPECT_TRUE(RecoveryRecords().empty());

  ASSERT_TRUE(pending.Keep(Sale("B").data()));
  std::vector<char> back;
  ASSERT_TRUE(pending.TakeBack(back));
  EXPECT_EQ(layouts::GetText(back.data(), bat::kVoucherNo), "B");
  EXPECT_TRUE(RecoveryRecords().empty());
  EXPECT_EQ(JournalVouchers(), Strings{"A"}) << "nothing of a taken-back booking is posted";
}

TEST_F(PendingBookingTest, SettlementBookingCannotBeTakenBack) {
  PendingBooking pending("anna");
  Booking settlement = Sale("S");
  layouts::SetNumber(settlement.data(), bat::kNoOpenItem, 1);
  ASSERT_TRUE(pending.Keep(settlement.data()));
  std::vector<char> back;
  EXPECT_FALSE(pending.TakeBack(back));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{771});
  EXPECT_TRUE(pending.has());
  EXPECT_EQ(RecoveryRecords(), Strings{"S"});
}

TEST_F(PendingBookingTest, FailedPostingStaysPendingWithItsRecoveryRecord) {
  PendingBooking pending("anna");
  Booking b("150346", "Miete", "M-1");
  b.Line("4711", S, "1200", S, "000000500,00");  // no such account: message 799
  ASSERT_TRUE(pending.Keep(b.data()));
  EXPECT_FALSE(pending.Post(true));
  EXPECT_TRUE(pending.has());
  EXPECT_EQ(RecoveryRecords(), Strings{"M-1"});
  EXPECT_TRUE(JournalVouchers().empty());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{799});
}

TEST_F(PendingBookingTest, PreviousYearBookingIsCarriedForwardInTheSameTransaction) {
  PendingBooking pending("anna");
  ASSERT_TRUE(pending.Keep(Sale("V", "150345").data()));
  ASSERT_TRUE(pending.Post(true));
  EXPECT_TRUE(RecoveryRecords().empty());
  EXPECT_EQ(WorkingYear(), "2026");
  std::vector<std::string> problems;
  EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
  ASSERT_TRUE(SwitchWorkingYear("2025"));
  EXPECT_EQ(JournalVouchers(), Strings{"V"});
  EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(PendingBookingTest, OnlyTheRecordOfAnEndedProgramOfTheSameUserIsOffered) {
  PendingBooking mine("anna");
  ASSERT_TRUE(mine.Keep(Sale("A").data()));
  bool found = true;
  PendingBooking other("bert");
  ASSERT_TRUE(other.Recover(found));
  EXPECT_FALSE(found) << "another user's booking";
  PendingBooking again("anna");
  ASSERT_TRUE(again.Recover(found));
  EXPECT_FALSE(found) << "this process still holds it";
}

// The document numbers run `run` confirms, in order.
std::vector<std::string> RunVouchers(int run) {
  std::vector<std::string> out;
  for (const char* v : {"A", "B", "C"}) out.push_back(run ? std::to_string(run) + v : std::string(v));
  return out;
}

// The writer of the kill tests: confirms A, then B (which posts A), then C
// (which posts B); `crashLimit` kills it at a file change, 0 never.
[[noreturn]] void ConfirmThree(long crashLimit, bool killAtEnd, int run = 0) {
  if (crashLimit) CrashVfs::Install(crashLimit);
  if (!OpenMainFiles()) _exit(100);
  PendingBooking pending("anna");
  for (const std::string& voucher : RunVouchers(run)) {
    if (pending.has() && !pending.Post(true)) _exit(1);
    if (!pending.Keep(Sale(voucher.c_str()).data())) _exit(2);
  }
  if (killAtEnd) kill(getpid(), SIGKILL);
  if (!pending.Post(true)) _exit(3);
  CloseAll();
  recman::Shutdown();
  _exit(0);
}

class PendingCrashTest : public PendingBookingTest {
 protected:
  int RunChild(long crashLimit, bool killAtEnd, int run = 0) {
    CloseAll();
    recman::Shutdown();
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) ConfirmThree(crashLimit, killAtEnd, run);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(OpenMainFiles());
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
  }
  std::vector<std::vector<char>> JournalOf(const std::string& root) {
    CloseAll();
    recman::Shutdown();
    SetDataRoot(root);
    SetSmallMandantValues("2026", "2025");
    EXPECT_TRUE(OpenMainFiles());
    return Journal();
  }
};

TEST_F(PendingCrashTest, KilledAfterConfirmTheNextOpenOffersTheBooking) {
  ASSERT_EQ(RunChild(0, true), -SIGKILL);
  EXPECT_EQ(JournalVouchers(), (Strings{"A", "B"}));
  EXPECT_EQ(RecoveryRecords(), Strings{"C"});

  PendingBooking pending("anna");
  messages_.answers.push_back(kIdYes);
  EXPECT_EQ(OfferRecoveredBooking(pending), RecoveredBooking::kPosted);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{922});
  EXPECT_NE(messages_.shown[0].text.find("Beleg C"), std::string::npos);
  EXPECT_TRUE(RecoveryRecords().empty());
  auto recovered = Journal();

  // The same bookings in a second Mandant without the kill: the same journal.
  TempDir other;
  CloseAll();
  recman::Shutdown();
  SetDataRoot(other.path());
  for (const char* year : {"2025", "2026"}) ASSERT_TRUE(BuildSmallMandantYear(TALVERA_CHARTS, year));
  ASSERT_EQ(RunChild(0, false), 0);
  auto undisturbed = Journal();
  ASSERT_EQ(recovered.size(), undisturbed.size());
  for (std::size_t i = 0; i < recovered.size(); ++i)
    EXPECT_EQ(recovered[i], undisturbed[i]) << "journal record " << i;
  JournalOf(data_.path());  // back to this test's own books for the tear-down
}

TEST_F(PendingCrashTest, EveryConfirmedBookingIsInTheJournalOrInItsRecoveryRecord) {
  // Each run is killed at a later file change (recovering the previous
  // kill counts too), until one gets through; after each kill the books are
  // recovered as the next dialog would, and every booking confirmed so far
  // is posted exactly once.
  int kills = 0, run = 1;
  for (long limit = 1;; limit += 9, ++run) {
    SCOPED_TRACE("crash limit " + std::to_string(limit));
    int result = RunChild(limit, false, run);
    ASSERT_TRUE(result == -SIGKILL || result == 0) << "writer ended with " << result;
    const Strings order = RunVouchers(run);
    Strings journal, waiting;
    for (const std::string& v : JournalVouchers())
      if (std::find(order.begin(), order.end(), v) != order.end()) journal.push_back(v);
    waiting = RecoveryRecords();
    // Confirmed in order: the journal holds a prefix, the recovery record
    // at most the next one.
    Strings all = journal;
    all.insert(all.end(), waiting.begin(), waiting.end());
    ASSERT_LE(all.size(), order.size());
    EXPECT_EQ(all, Strings(order.begin(), order.begin() + static_cast<long>(all.size())));
    EXPECT_LE(waiting.size(), 1u);
    PendingBooking pending("anna");
    EXPECT_NE(OfferRecoveredBooking(pending), RecoveredBooking::kFailed);
    EXPECT_TRUE(RecoveryRecords().empty());
    Strings posted;
    for (const std::string& v : JournalVouchers())
      if (std::find(order.begin(), order.end(), v) != order.end()) posted.push_back(v);
    EXPECT_EQ(posted, all) << "each confirmed booking posted exactly once";
    std::vector<std::string> problems;
    EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
    if (HasFailure()) return;
    if (result == 0) break;
    ++kills;
  }
  EXPECT_GT(kills, 10);  // the kills fell all over the confirmations
}

}  // namespace
}  // namespace talvera::testing
