// A batch run killed at every point: after each kill every booking of the
// batch is either in the journal once and gone from the batch, or not in the
// journal and still in the batch; a recurring booking has been posted
// exactly as often as it has moved on. Each run starts over what the last
// one left.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "batch_fixture.h"
#include "crash_vfs.h"
#include "posting/batch_run.h"
#include "posting/invariants.h"

namespace talvera::testing {
namespace {

constexpr int kBookings = 8;

std::string Voucher(int n) { return "S" + std::to_string(n); }

// Booking n: sales, rent, a vendor invoice, every third in the previous
// year; each on a day of its own, so each starts a booking of its own.
Booking Make(int n) {
  char date[8];
  std::snprintf(date, sizeof date, "%02d%02d%d", 1 + n, 1 + n % 12, n % 3 == 2 ? 45 : 46);
  std::string v = Voucher(n);
  switch (n % 3) {
    case 0: return Sale(v.c_str(), date);
    case 1: return Rent(v.c_str(), date);
    default: {
      Booking b(date, "Wareneingang", v.c_str());
      b.Line("3400", 2, "70000", 4, "000000238,00", "000000200,00", 2, 2, "19,00");
      return b;
    }
  }
}

class BatchCrashTest : public BatchTest {
 protected:
  // The run in a child process that dies at the crash limit: the standard
  // batch, then the recurring one. Exit 0 when the standard batch is empty.
  int RunChild(int recurring, long crashLimit) {
    CloseAll();
    recman::Shutdown();
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
      CrashVfs::Install(crashLimit);
      if (!OpenMainFiles()) _exit(100);
      BatchRunResult r = TakeOverBatch(kStandard, 0, nullptr);
      TakeOverBatch(recurring, 0, nullptr);
      CloseAll();
      recman::Shutdown();
      _exit(r.started && !r.failed && r.remaining == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(OpenMainFiles());
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
  }

  // Checks the books; returns how many of the standard batch are posted.
  int Check(int recurring, int& recurringPosted) {
    std::map<std::string, int> posted;
    for (const char* year : {"2025", "2026"})
      for (const std::string& v : Posted(year)) ++posted[v];
    int done = 0;
    Strings waiting = InBatch(kStandard);
    for (int n = 0; n < kBookings; ++n) {
      std::string v = Voucher(n);
      bool inBatch = std::find(waiting.begin(), waiting.end(), v) != waiting.end();
      EXPECT_EQ(posted[v] + (inBatch ? 1 : 0), 1) << v << " posted " << posted[v] << " times, in the batch: " << inBatch;
      done += posted[v];
    }
    // The recurring booking: as many postings as periods moved on.
    std::vector<BatchRecord> left;
    EXPECT_TRUE(ListBatchBookings(recurring, left));
    EXPECT_EQ(left.size(), 1u);
    if (left.size() == 1) {
      int period = std::atoi(std::string(layouts::FieldBytes(left[0].data(), bat::kPostingDate) + 2, 2).c_str());
      recurringPosted = posted["W"];
      EXPECT_EQ(recurringPosted, period - 1) << "the recurring booking";
    }
    for (const char* year : {"2025", "2026"}) {
      EXPECT_TRUE(SwitchWorkingYear(year));
      std::vector<std::string> problems;
      EXPECT_TRUE(CheckTotalsAgainstJournal(problems)) << year;
      EXPECT_TRUE(problems.empty()) << problems.front();
    }
    EXPECT_TRUE(SwitchWorkingYear("2026"));
    return done;
  }
};

TEST_F(BatchCrashTest, KilledRunNeverPostsABookingTwiceNorLosesOne) {
  std::vector<Booking> bookings;
  for (int n = 0; n < kBookings; ++n) bookings.push_back(Make(n));
  Fill(kStandard, bookings);
  int recurring = AddBatch("Monatlich", true);
  Fill(recurring, {Rent("W", "310146")});

  constexpr int kStride = 7;
  int kills = 0, recurringPosted = 0;
  for (long limit = 1;; limit += kStride) {
    SCOPED_TRACE("crash limit " + std::to_string(limit));
    int result = RunChild(recurring, limit);
    ASSERT_TRUE(result == -SIGKILL || result == 0) << "the run ended with " << result;
    int done = Check(recurring, recurringPosted);
    if (HasFailure()) return;
    if (result == 0) {
      EXPECT_EQ(done, kBookings);
      break;
    }
    ++kills;
    ASSERT_LT(recurringPosted, 11) << "the recurring booking would leave the year";
  }
  EXPECT_GT(kills, 15);  // the kills fell all over the run
}

}  // namespace
}  // namespace talvera::testing
