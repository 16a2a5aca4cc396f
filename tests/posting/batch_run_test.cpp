// Batch runs and batch corrections: what is posted, what stays in the
// batch, and which messages say so.
#include <algorithm>
#include <cstdio>

#include "batch_fixture.h"
#include "core/period_date.h"
#include "posting/batch_run.h"
#include "posting/batch_target.h"
#include "posting/invariants.h"

namespace talvera::testing {
namespace {

// Records what a run reports and stops it after `stopAfter` bookings.
struct Progress : BatchRunObserver {
  int total = -1, stopAfter = 0;
  std::vector<int> cardDuringRun;
  void Started(int n) override { total = n; }
  bool Posted(int posted) override {
    cardDuringRun.push_back(CurrentSettings().opKartei);
    return stopAfter == 0 || posted < stopAfter;
  }
};

TEST_F(BatchTest, RunStopsAtTheFirstBookingThatCannotBePosted) {
  // The second booking is refused: by the engine (no such account) or by
  // the posting lock, which names it.
  struct Case {
    const char* name;
    Booking second;
    const char* lock;
    std::vector<int> messages;
  };
  Booking unknownAccount("020346", "Miete", "B");
  unknownAccount.Line("4711", 2, "1200", 2, "000000500,00");
  std::vector<Case> cases = {
      {"engine refuses", unknownAccount, "", {799, 41}},
      {"before the posting lock", Rent("B", "010246"), "010346", {785, 41}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    int batch = AddBatch(c.name);
    ASSERT_GT(batch, 0);
    Fill(batch, {Sale("A", "050346"), c.second, Rent("C", "060346")});
    CurrentMandantSettings().buchungssperre = c.lock;
    messages_.shown.clear();
    std::vector<std::string> before = Posted();

    BatchRunResult r = TakeOverBatch(batch, 0, nullptr);
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.posted, 1);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.remaining, 2);
    EXPECT_EQ(messages_.Numbers(), c.messages);
    EXPECT_EQ(InBatch(batch), (Strings{"B", "C"}));
    std::vector<std::string> posted = Posted();
    EXPECT_EQ(posted.size(), before.size() + 1);
    EXPECT_EQ(posted.back(), "A");
    EXPECT_EQ(WorkingYear(), "2026");
    CurrentMandantSettings().buchungssperre.clear();
  }
  std::vector<std::string> problems;
  EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(BatchTest, RunEmptiesTheBatchAndContinuesBookingsOfTheSameDate) {
  // Bookings of one document date posted in one run form one booking, as
  // in the entry dialog; a booking of the previous year is carried forward.
  Fill(kStandard, {Rent("A", "050346"), Sale("B", "050346"), Rent("C", "060346"), Sale("V", "150345")});
  Progress progress;
  BatchRunResult r = TakeOverBatch(kStandard, 0, &progress);
  EXPECT_EQ(progress.total, 4);
  EXPECT_EQ(r.posted, 4);
  EXPECT_FALSE(r.failed);
  EXPECT_EQ(r.remaining, 0);
  EXPECT_TRUE(InBatch(kStandard).empty());
  EXPECT_EQ(Posted(), (Strings{"A", "C"})) << "B continues A's booking";
  EXPECT_EQ(Posted("2025"), Strings{"V"});
  EXPECT_TRUE(messages_.shown.empty());
  for (const char* year : {"2025", "2026"}) {
    ASSERT_TRUE(SwitchWorkingYear(year));
    std::vector<std::string> problems;
    EXPECT_TRUE(CheckTotalsAgainstJournal(problems)) << year;
    EXPECT_TRUE(problems.empty()) << problems.front();
  }
}

TEST_F(BatchTest, RecurringBookingKeepsItsDayOfTheMonth) {
  // Each run posts the booking and moves it on by one period; a 31st
  // comes back after February, a 30th too.
  struct Case {
    const char* day;
    Strings dates;  // posted in January, February, March; then waiting
  };
  const Case cases[] = {
      {"31", {"310146", "280246", "310346", "300446"}},
      {"30", {"300146", "280246", "300346", "300446"}},
      {"15", {"150146", "150246", "150346", "150446"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.day);
    int batch = AddBatch(std::string("Miete ") + c.day, true);
    std::string first = std::string(c.day) + "0146";
    std::string voucher = std::string("M") + c.day;
    Fill(batch, {Rent(voucher.c_str(), first.c_str())});
    for (int run = 0; run < 3; ++run) {
      ASSERT_EQ(TakeOverBatch(batch, 0, nullptr).posted, 1);
      std::vector<BatchRecord> left;
      ASSERT_TRUE(ListBatchBookings(batch, left));
      ASSERT_EQ(left.size(), 1u) << "a recurring booking stays";
      EXPECT_EQ(std::string(layouts::FieldBytes(left[0].data(), bat::kPostingDate)), c.dates[run + 1]);
      EXPECT_EQ(std::string(layouts::FieldBytes(left[0].data(), bat::kVoucherDate)), c.dates[run + 1]);
    }
    Strings dates;
    for (const auto& r : Journal())
      if (J(r, bube::kVoucherNo) == voucher && (JN(r, bube::kFlags) & 0x40)) dates.push_back(J(r, bube::kPostingDate));
    EXPECT_EQ(dates, Strings(c.dates.begin(), c.dates.begin() + 3));
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(BatchTest, CreditorSettlementRunSwitchesTheCardOffInMemoryOnly) {
  // Stopped after the first booking by the progress window's "Abbrechen".
  CurrentSettings().opKartei = 12;
  Fill(layouts::stapel::kKreditorSettlementBatch, {Rent("A", "050346"), Rent("B", "060346")});
  Progress progress;
  progress.stopAfter = 1;
  BatchRunResult r = TakeOverBatch(layouts::stapel::kKreditorSettlementBatch, 0, &progress);
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(r.posted, 1);
  EXPECT_EQ(r.remaining, 1);
  EXPECT_EQ(progress.cardDuringRun, std::vector<int>{0});
  EXPECT_EQ(CurrentSettings().opKartei, 12);
  EXPECT_EQ(ReadSetting("OP_Kartei"), "") << "TALVI.INI is not touched";
}

TEST_F(BatchTest, HeadersAndSingleBookings) {
  EXPECT_FALSE(TakeOverBatch(99, 0, nullptr).started);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{436});
  // A new file lacks the Debitoren's settlement batch until it is needed.
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(EnsureSettlementBatches());
  std::vector<BatchHeader> headers;
  ASSERT_TRUE(ListBatches(headers));
  ASSERT_EQ(headers.size(), 3u);
  EXPECT_EQ(headers[0].number, 14);
  EXPECT_EQ(headers[0].name, "OP-Ausgleich Debitoren");
  // What the batch dialog leaves in the header.
  ASSERT_TRUE(StoreBatchHeaderValues(kStandard, "000000300,00", "M9"));
  BatchHeader header;
  bool found = false;
  ASSERT_TRUE(ReadBatchHeader(kStandard, header, found));
  ASSERT_TRUE(found);
  EXPECT_EQ(header.lastDocumentNumber, "M9");
  EXPECT_EQ(header.controlTotal, "000000300,00");

  // "&Verbuchen" posts one booking; it continues the day's booking
  // (startsBooking false), so its record is counted by voucher here.
  std::vector<long> ids = Fill(kStandard, {Rent("A", "050346"), Rent("B", "060346")});
  messages_.shown.clear();
  EXPECT_TRUE(PostBatchBooking(ids[1]));
  EXPECT_EQ(InBatch(kStandard), Strings{"A"});
  EXPECT_EQ(JournalRecords("B"), 1);
  EXPECT_FALSE(PostBatchBooking(ids[1])) << "posted already";
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{62});
  EXPECT_EQ(JournalRecords("B"), 1);

  // A run leaves out the booking being corrected.
  std::vector<long> more = Fill(kStandard, {Rent("C", "070346")});
  EXPECT_EQ(TakeOverBatch(kStandard, more[0], nullptr).posted, 1);
  EXPECT_EQ(InBatch(kStandard), Strings{"C"});
}

TEST_F(BatchTest, TakeBackNeverLosesABooking) {
  std::vector<long> ids = Fill(kStandard, {Rent("A", "050346"), Rent("B", "060346")});
  {
    // Taken back, and the dialog ends without confirming the correction.
    BatchTarget target(kStandard);
    std::vector<char> back;
    ASSERT_TRUE(target.TakeBackBooking(ids[0], back));
    EXPECT_EQ(layouts::GetText(back.data(), bat::kVoucherNo), "A");
    EXPECT_EQ(target.marked(), ids[0]);
  }
  EXPECT_EQ(InBatch(kStandard), (Strings{"A", "B"}));

  // Confirmed again: the corrected booking replaces the original at the end.
  BatchTarget target(kStandard);
  std::vector<char> back;
  ASSERT_TRUE(target.TakeBackBooking(ids[0], back));
  layouts::SetRawText(back.data(), bat::kVoucherNo, "A2");
  ASSERT_TRUE(target.Keep(back.data()));
  EXPECT_EQ(target.marked(), 0);
  EXPECT_EQ(InBatch(kStandard), (Strings{"B", "A2"}));
  EXPECT_EQ(target.KeptEntry().recordId, BatchBookingId(target.PendingRecord()));
  EXPECT_GT(target.KeptEntry().recordId, ids[1]);

  // A correction whose original was posted meanwhile is refused.
  std::vector<char> again;
  long idB = ids[1];
  ASSERT_TRUE(target.TakeBackBooking(idB, again));
  ASSERT_TRUE(PostBatchBooking(idB));
  EXPECT_FALSE(target.Keep(again.data()));
  EXPECT_EQ(InBatch(kStandard), Strings{"A2"});

  // A settlement booking cannot be taken back.
  Booking settlement = Rent("S", "070346");
  layouts::SetNumber(settlement.data(), bat::kNoOpenItem, 1);
  std::vector<long> s = Fill(kStandard, {settlement});
  messages_.shown.clear();
  EXPECT_FALSE(target.TakeBackBooking(s[0], again));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{771});
}

TEST(NextPeriodOnDayTest, ClampsEachMonthAnew) {
  struct Row {
    const char* from;
    int day;
    const char* to;
  };
  const Row rows[] = {
      {"310146", 31, "280246"}, {"280246", 31, "310346"}, {"300446", 31, "310546"},
      {"311246", 31, "310147"}, {"310147", 29, "280247"}, {"310148", 29, "290248"},
      {"151299", 15, ""},
  };
  for (const Row& r : rows) {
    char date[7];
    std::snprintf(date, sizeof date, "%s", r.from);
    bool moved = NextPeriodOnDay(date, r.day);
    EXPECT_EQ(moved, r.to[0] != '\0') << r.from;
    if (moved) {
      EXPECT_STREQ(date, r.to) << r.from;
    }
  }
}

}  // namespace
}  // namespace talvera::testing
