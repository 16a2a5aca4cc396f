// A writer process killed at every point of its postings: after each kill
// the books hold whole bookings only, each with its open items, the stored
// totals equal the journal, the cost centres equal the journal's
// cost-centre lines, and the current year's previous-year figures equal the
// previous year. Every other booking is dated in the previous year (its
// carry-forward belongs to it), and every other run has TRANSAUS=JA. After
// the bookings a writer posts two opening entries (one in the previous
// year) and cancels its first booking.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <iterator>
#include <map>

#include "crash_vfs.h"
#include "posting/invariants.h"
#include "posting/opening_posting.h"
#include "posting/storno.h"
#include "posting_fixture.h"

namespace talvera::testing {
namespace {

constexpr int S = 2, K = 4, D = 8;
constexpr unsigned kCarryForwardRecord = 2, kFirstOfBooking = 0x40, kCancelled = 0x400, kFurtherRecordsUnit = 0x800;

// The bookings a writer posts in turn, with the journal records and open
// items each leaves.
struct Shape {
  const char* name;
  int lines, records, openItems;
  void (*build)(Booking&);
};
const Shape kShapes[] = {
    {"customer_invoice", 1, 2, 1,
     [](Booking& b) { b.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00"); }},
    {"vendor_invoice", 1, 2, 1,
     [](Booking& b) { b.Line("3400", S, "70000", K, "000000238,00", "000000200,00", 2, 2, "19,00"); }},
    {"customer_payment", 1, 2, 1, [](Booking& b) { b.Line("1200", S, "10000", D, "000000119,00"); }},
    {"vendor_payment", 1, 2, 1, [](Booking& b) { b.Line("70000", K, "1200", S, "000000238,00"); }},
    {"rent_on_two_cost_centres", 1, 1, 0,
     [](Booking& b) { b.Line("4210", S, "1200", S, "000000500,00").CostCentres("    100", "    200"); }},
    {"three_line_invoice", 3, 6, 1,
     [](Booking& b) {
       b.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00")
           .Line("10000", D, "8736", S, "000000023,80", "000000020,00", 1, 2, "19,00")
           .Line("10000", D, "8400", S, "000000011,90", "000000010,00", 1, 2, "19,00");
     }},
    // The lines differ in tax class (input tax on 3400 only; 4220 has no
    // tax key): two open items.
    {"vendor_invoice_with_cost_centre", 2, 4, 2,
     [](Booking& b) {
       b.Line("4220", S, "70000", K, "000000119,00", "000000100,00", 2, 2, "19,00")
           .CostCentres("    100", "")
           .Line("3400", S, "70000", K, "000000059,50", "000000050,00", 2, 2, "19,00");
     }},
    // An EG purchase writes its reverse-charge record too.
    {"eg_purchase", 1, 3, 1,
     [](Booking& b) { b.Line("3425", S, "70000", K, "000001000,00", nullptr, 0, 0x80, ""); }},
    {"revenue_on_a_cost_centre", 1, 1, 0,
     [](Booking& b) { b.Line("1200", S, "8120", S, "000000300,00").CostCentres("    200", "", 2); }},
};
constexpr int kShapeCount = static_cast<int>(std::size(kShapes));

// The voucher number of booking n of a writer's run.
std::string Voucher(int run, int n) {
  char voucher[16];
  std::snprintf(voucher, sizeof voucher, "%08d", run * 1000 + n);
  return voucher;
}

Booking Make(int run, int n) {
  char date[16];
  std::snprintf(date, sizeof date, "%02d%02d%d", 1 + (run * 7 + n) % 28, 1 + (run + n) % 12,
                n % 2 ? 45 : 46);
  Booking b(date, kShapes[n % kShapeCount].name, Voucher(run, n).c_str());
  kShapes[n % kShapeCount].build(b);
  return b;
}

// The writer, in the forked child: posts one booking of every shape and
// dies at the crash limit. Exit status 0 when all are posted, 1 + n when
// booking n was refused, 100 when the books did not open.
[[noreturn]] void Write(int run, long crashLimit, const MessageRecorder& messages) {
  CrashVfs::Install(crashLimit);
  CurrentSettings().transAus = run % 2 == 1;
  if (!OpenMainFiles()) _exit(100);
  auto fail = [&](int code) {
    for (const auto& m : messages.shown) std::fprintf(stderr, "message %d %s\n", m.number, m.text.c_str());
    _exit(code);
  };
  long first = 0;
  for (int n = 0; n < kShapeCount; ++n) {
    Booking b = Make(run, n);
    if (!PostBooking(b.data(), true, n == 0 ? &first : nullptr)) fail(1 + n);
  }
  OpeningEntry sachkonto{"010145", "   1200", S, 0, "000000500,00", "Bank"};
  OpeningEntry debitor{"020146", "  10000", D, 0, "000000119,00", "Kunde"};
  if (!PostOpeningEntry(sachkonto) || !PostOpeningEntry(debitor)) fail(50);
  if (!SwitchWorkingYear("2026") || CancelBooking(first, "") != StornoResult::kPosted) fail(51);
  CloseAll();
  recman::Shutdown();
  _exit(0);
}

class PostingCrashTest : public PostingTest {
 protected:
  // Runs a writer with the books closed here; -signal when it was killed.
  int RunWriter(int run, long crashLimit) {
    CloseAll();
    recman::Shutdown();
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) Write(run, crashLimit, messages_);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(OpenMainFiles());
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
  }

  // The cost centres of the working year against the journal's lines.
  void ExpectCostCentres(std::map<std::string, std::array<long long, 12>>& costCentres) {
    namespace k = layouts::kore;
    for (const char* centre : {"    100", "    200"}) {
      std::vector<char> r(k::kLayout.recordLength);
      bool found = false;
      EXPECT_TRUE(GetEqual(r.data(), KeyValue(centre, 8), found, kSlotKore) && found);
      for (int p = 0; p < 12; ++p) {
        long long stored = 0;
        EXPECT_TRUE(AmountToCents(layouts::FieldBytes(r.data(), k::kPeriodAmount.At(p)), &stored));
        EXPECT_EQ(stored, costCentres[centre][p]) << "cost centre" << centre << " period " << p + 1;
      }
    }
  }

  // Checks the books after runs 0 .. lastRun; returns the bookings of lastRun
  // that are in them.
  int CheckBooks(int lastRun) {
    // Journal records per booking (in key order, so the first is first);
    // the carry-forward records of the current year belong to no booking.
    std::map<std::string, std::vector<unsigned>> bookings;
    int debitorOpenings = 0;
    for (const char* year : {"2025", "2026"}) {
      SCOPED_TRACE(year);
      EXPECT_TRUE(SwitchWorkingYear(year));
      std::vector<std::string> problems;
      EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
      EXPECT_TRUE(problems.empty()) << problems.front();
      std::map<std::string, std::array<long long, 12>> costCentres;
      for (const auto& r : Journal()) {
        unsigned flags = static_cast<unsigned>(JN(r, bube::kFlags));
        if (bube::IsOpeningPosting(r.data())) {
          if (!(flags & 8) && J(r, bube::kDebitAccount) == "  10000") ++debitorOpenings;
          continue;
        }
        if (flags == kCarryForwardRecord) continue;
        bookings[J(r, bube::kVoucherNo)].push_back(flags);
        int kind = static_cast<int>(JN(r, bube::kCostCentreKind));
        if (kind == 0) continue;
        bool netOnCredit = JN(r, bube::kTaxSideFlags) & 0x10;
        long long cents = 0;
        EXPECT_TRUE(AmountToCents(J(r, netOnCredit ? bube::kCreditAmount : bube::kDebitAmount).c_str(), &cents));
        if (kind & 32) cents = -cents;
        int period = std::stoi(J(r, bube::kVoucherDate).substr(2, 2));
        for (const auto& centre : {J(r, bube::kCostCentre1), J(r, bube::kCostCentre2)})
          if (!centre.empty()) costCentres[centre][period - 1] += cents;
      }
      ExpectCostCentres(costCentres);
    }
    EXPECT_TRUE(SwitchWorkingYear("2026"));
    std::map<std::string, int> openItems;
    for (int slot : {kSlotOpdebi, kSlotOpkred})
      for (const auto& item : OpenItems(slot)) ++openItems[J(item, layouts::open_item::kVoucherNo)];
    // Each opening entry of the Debitor has its open item "EB".
    EXPECT_EQ(openItems["EB"], debitorOpenings);
    openItems.erase("EB");

    // Every run's bookings are a whole prefix of its list: the first k, each
    // with all its records, and the first record counting the others.
    int lastRunBookings = 0;
    for (int run = 0; run <= lastRun; ++run) {
      int n = 0;
      for (;; ++n) {
        auto it = bookings.find(Voucher(run, n));
        if (it == bookings.end()) break;
        const Shape& shape = kShapes[n % kShapeCount];
        const std::vector<unsigned>& flags = it->second;
        // A cancelled booking has its storno (the same records again) and
        // has lost its open items; the mark never stands without them.
        bool cancelled = flags[0] & kCancelled;
        EXPECT_EQ(static_cast<int>(flags.size()), shape.records * (cancelled ? 2 : 1)) << shape.name << " of run " << run;
        EXPECT_TRUE(flags[0] & kFirstOfBooking) << shape.name << " of run " << run;
        unsigned further = shape.lines > 1 ? static_cast<unsigned>(shape.records - 1) : 0;
        EXPECT_EQ((flags[0] & ~kCancelled) / kFurtherRecordsUnit, further) << shape.name << " of run " << run;
        EXPECT_EQ(openItems[it->first], cancelled ? 0 : shape.openItems) << shape.name << " of run " << run;
        openItems.erase(it->first);
        bookings.erase(it);
      }
      if (run == lastRun) lastRunBookings = n;
    }
    EXPECT_TRUE(bookings.empty()) << "a booking after a missing one: " << bookings.begin()->first;
    EXPECT_TRUE(openItems.empty()) << "an open item without its booking: " << openItems.begin()->first;

    return lastRunBookings;
  }
};

TEST_F(PostingCrashTest, KilledWriterLeavesWholeBookingsOnly) {
  // The writer dies before its 1st, 12th, 23rd ... file write, sync, truncate
  // or delete (recovering from the previous kill counts too), until one run
  // gets through all its bookings; then one more runs undisturbed.
  constexpr int kStride = 11;
  int kills = 0, run = 0;
  for (long limit = 1;; limit += kStride, ++run) {
    SCOPED_TRACE("crash limit " + std::to_string(limit));
    int result = RunWriter(run, limit);
    ASSERT_TRUE(result == -SIGKILL || result == 0) << "writer ended with " << result;
    int posted = CheckBooks(run);
    if (HasFailure()) return;
    if (result == 0) {
      EXPECT_EQ(posted, kShapeCount);
      break;
    }
    ++kills;
  }
  ASSERT_EQ(RunWriter(++run, 0), 0);
  EXPECT_EQ(CheckBooks(run), kShapeCount);
  EXPECT_GT(kills, 50);  // the kills really fell all over the postings
}

}  // namespace
}  // namespace talvera::testing
