// Several processes on one data root: stale updates, held locks, and a
// transaction killed at every write and sync of its run.
#include <signal.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>

#include "recman_fixture.h"
#include "writer_queue.h"

using namespace recman;
using namespace recman_test;

namespace {

constexpr uint16_t kLen = 8;  // int32 id at 0 (unique), int32 value at 4

Bytes Row(int32_t id, int32_t value) {
  Bytes record(kLen, 0);
  Put(&record, 0, id);
  Put(&record, 4, value);
  return record;
}

Bytes IdKey(int32_t id) { return Row(id, 0); }

struct Child {
  pid_t pid = -1;
  int toChild = -1;    // child's stdin
  int fromChild = -1;  // child's stdout
};

Child Start(const std::vector<std::string>& args) {
  int in[2], out[2];
  EXPECT_EQ(pipe(in), 0);
  EXPECT_EQ(pipe(out), 0);
  Child child;
  child.pid = fork();
  if (child.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    std::vector<char*> argv;
    std::string program = RECMAN_CHILD;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  child.toChild = in[1];
  child.fromChild = out[0];
  return child;
}

// Exit status, or -signal when the child was killed.
int Wait(Child& child) {
  close(child.toChild);
  close(child.fromChild);
  int status = 0;
  waitpid(child.pid, &status, 0);
  return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

int RunChild(const std::vector<std::string>& args) {
  Child child = Start(args);
  return Wait(child);
}

std::string ReadLine(int fd) {
  std::string line;
  char c;
  while (read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

// Counts the super-journals SQLite creates: one per commit that had to make
// several databases atomic together. Installed as the default file system
// for connections opened while it lives.
class SuperJournalCount {
 public:
  SuperJournalCount() {
    real_ = sqlite3_vfs_find(nullptr);
    counting_ = *real_;
    counting_.zName = "super-journal-count";
    counting_.pAppData = this;
    counting_.xOpen = Open;
    sqlite3_vfs_register(&counting_, 1);
  }
  ~SuperJournalCount() {
    Shutdown();
    sqlite3_vfs_register(real_, 1);
    sqlite3_vfs_unregister(&counting_);
  }
  int count = 0;

 private:
  static int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* out) {
    auto* self = static_cast<SuperJournalCount*>(vfs->pAppData);
    if (flags & SQLITE_OPEN_SUPER_JOURNAL) ++self->count;
    return self->real_->xOpen(self->real_, name, file, flags, out);
  }
  sqlite3_vfs* real_;
  sqlite3_vfs counting_;
};

int32_t ValueOf(const std::string& path, int32_t id) {
  RecordFile file(path);
  Bytes record(kLen);
  if (file.Get(kGetEqual, &record, 0, IdKey(id)) != kOk) return -1;
  return Take<int32_t>(record, 4);
}

}  // namespace

TEST(Processes, TransactionLocksOnlyTheDirectoriesItWrites) {
  TempDir dir;
  std::string year = dir.Sub("1997") + "/sako.btr", root = dir.Sub("root") + "/fista.btr";
  for (const std::string& path : {year, root}) {
    ASSERT_EQ(Create(path, Definition(kLen, {{{1, 4, kInteger}}})), kOk);
    RecordFile file(path);
    Bytes record = Row(1, 100);
    ASSERT_EQ(file.Insert(&record), kOk);
  }
  Shutdown();
  SuperJournalCount superJournals;
  {
    // The root directory is read and its file closed again: it stays attached.
    RecordFile fista(root);
    Bytes record(kLen);
    ASSERT_EQ(fista.Get(kGetFirst, &record, 0), kOk);
  }
  RecordFile sako(year);
  ASSERT_EQ(Begin(), kOk);
  Bytes r2 = Row(2, 0);
  ASSERT_EQ(sako.Insert(&r2), kOk);
  // Another process writes to the root meanwhile: this transaction holds no lock there.
  EXPECT_EQ(RunChild({"change", root, "1"}), 0);
  ASSERT_EQ(End(), kOk);
  EXPECT_EQ(superJournals.count, 0);  // one database written, one plain commit

  // Writing to the root as well takes its lock with that write, and both
  // directories commit as one.
  ASSERT_EQ(Begin(), kOk);
  Bytes r3 = Row(3, 0);
  ASSERT_EQ(sako.Insert(&r3), kOk);
  {
    RecordFile fista(root);
    Bytes record = Row(2, 0);
    ASSERT_EQ(fista.Insert(&record), kOk);
  }
  setenv("TALVERA_RECMAN_BUSY_MS", "50", 1);
  int other = RunChild({"change", root, "1"});
  unsetenv("TALVERA_RECMAN_BUSY_MS");
  EXPECT_TRUE(other == kRecordInUse || other == kFileInUse) << other;
  ASSERT_EQ(End(), kOk);
  EXPECT_EQ(superJournals.count, 1);
  EXPECT_EQ(sako.Count(), 3u);
  RecordFile fista(root);
  EXPECT_EQ(fista.Count(), 2u);
  EXPECT_EQ(ValueOf(root, 1), 101);
}

TEST(Processes, TwoProcessesIncrementingOneRecordLoseNothing) {
  TempDir dir;
  std::string path = dir.Sub("1997") + "/sako.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{1, 4, kInteger}}})), kOk);
  {
    RecordFile file(path);
    Bytes record = Row(1, 0);
    ASSERT_EQ(file.Insert(&record), kOk);
  }
  Shutdown();
  // One has the file open at Begin (locked then), the other opens it inside
  // each transaction (locked at its update).
  Child early = Start({"count", path, "1", "100", "open"});
  Child late = Start({"count", path, "1", "100", "late"});
  EXPECT_EQ(Wait(early), 0);
  EXPECT_EQ(Wait(late), 0);
  EXPECT_EQ(ValueOf(path, 1), 200);
}

// Cause: a process that had just committed got the write lock again before
// one that had been waiting for it (one workstation posted three times as
// much as the other, which waited for seconds).
TEST(Processes, WritersTakeTheirTurnInTheOrderTheyCame) {
  TempDir dir;
  std::string year = dir.Sub("1997"), path = year + "/sako.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{1, 4, kInteger}}})), kOk);
  RecordFile file(path);
  Bytes record = Row(1, 0);
  ASSERT_EQ(file.Insert(&record), kOk);
  ASSERT_EQ(Begin(), kOk);  // holds the write lock of 1997
  Bytes other = Row(2, 0);
  ASSERT_EQ(file.Insert(&other), kOk);
  Child waiter = Start({"count", path, "1", "1", "open"});
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!TurnstileTaken(year) && std::chrono::steady_clock::now() < until) std::this_thread::yield();
  ASSERT_TRUE(TurnstileTaken(year)) << "the other process never queued";
  ASSERT_EQ(End(), kOk);
  // At once the next transaction here: the waiting process goes first.
  ASSERT_EQ(Begin(), kOk);
  EXPECT_EQ(ValueOf(path, 1), 1);
  ASSERT_EQ(End(), kOk);
  EXPECT_EQ(Wait(waiter), 0);
}

TEST(Processes, UpdateOfARecordChangedElsewhereIsAConflict) {
  TempDir dir;
  std::string path = dir.path() + "/sako.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{1, 4, kInteger, kModifiable}}})), kOk);
  RecordFile file(path);
  for (int32_t id = 1; id <= 2; ++id) {
    Bytes record = Row(id, 100);
    ASSERT_EQ(file.Insert(&record), kOk);
  }
  Bytes record(kLen);
  ASSERT_EQ(file.Get(kGetEqual, &record, 0, IdKey(1)), kOk);
  ASSERT_EQ(RunChild({"change", path, "1"}), 0);
  Put<int32_t>(&record, 4, 555);
  EXPECT_EQ(file.Update(&record), kConflict);
  // Read again, and the update goes through on top of the other change.
  ASSERT_EQ(file.Get(kGetEqual, &record, 0, IdKey(1)), kOk);
  EXPECT_EQ(Take<int32_t>(record, 4), 101);
  Put<int32_t>(&record, 4, 555);
  EXPECT_EQ(file.Update(&record), kOk);

  ASSERT_EQ(file.Get(kGetEqual, &record, 0, IdKey(2)), kOk);
  ASSERT_EQ(RunChild({"delete", path, "2"}), 0);
  EXPECT_EQ(file.Update(&record), kConflict);
  EXPECT_EQ(file.Delete(), kConflict);
  EXPECT_EQ(file.Count(), 1u);
}

TEST(Processes, GetNextSeesWhatAnotherProcessCommittedMeanwhile) {
  TempDir dir;
  std::string path = dir.path() + "/kore.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{1, 4, kInteger}}})), kOk);
  RecordFile file(path);
  for (int32_t id = 1; id <= 5; ++id) {
    Bytes record = Row(id, 100);
    ASSERT_EQ(file.Insert(&record), kOk);
  }
  Bytes record(kLen);
  ASSERT_EQ(file.Get(kGetFirst, &record, 0), kOk);
  ASSERT_EQ(file.Get(kGetNext, &record, 0), kOk);  // reads ahead beyond record 2
  ASSERT_EQ(RunChild({"change", path, "3"}), 0);
  ASSERT_EQ(RunChild({"delete", path, "4"}), 0);
  ASSERT_EQ(file.Get(kGetNext, &record, 0), kOk);
  EXPECT_EQ(Take<int32_t>(record, 0), 3);
  EXPECT_EQ(Take<int32_t>(record, 4), 101);
  ASSERT_EQ(file.Get(kGetNext, &record, 0), kOk);
  EXPECT_EQ(Take<int32_t>(record, 0), 5);
  // The record read is current: updating it is no conflict.
  EXPECT_EQ(file.Update(&record), kOk);
}

// A scan by a key with duplicates reads ahead in batches that stop at the
// end of a run; whatever another process commits while it runs is seen at
// the next record, inside a batch, between batches and across a run's end.
TEST(Processes, ScanOfDuplicatesSeesWhatAnotherProcessCommitsMeanwhile) {
  TempDir dir;
  std::string path = dir.path() + "/bube.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{1, 4, kInteger}},
                                           {{5, 4, kInteger, kDuplicates | kModifiable}}})),
            kOk);
  RecordFile file(path);
  for (int32_t id = 1; id <= 40; ++id) {  // group 10: 1..30, group 20: 31..40
    Bytes record = Row(id, id <= 30 ? 10 : 20);
    ASSERT_EQ(file.Insert(&record), kOk);
  }
  // What the other process commits once the scan has read an id.
  const std::map<int32_t, std::vector<std::vector<std::string>>> meanwhile = {
      {3, {{"delete", path, "5"}, {"insert", path, "50", "10"}}},
      {7, {{"delete", path, "7"}}},        // the record the cursor stands on
      {12, {{"change", path, "20"}}},      // moves 20 into a group 11 of its own
      {30, {{"insert", path, "51", "10"}}}, // the run grows behind the cursor
  };
  std::vector<int32_t> seen;
  Bytes record(kLen);
  Bytes group(4);
  Put<int32_t>(&group, 0, 10);
  int status = file.Get(kGetEqual, &record, 1, group);
  while (status == kOk) {
    int32_t id = Take<int32_t>(record, 0);
    seen.push_back(id);
    auto step = meanwhile.find(id);
    if (step != meanwhile.end()) {
      for (const std::vector<std::string>& args : step->second) ASSERT_EQ(RunChild(args), 0);
    }
    if (id == 7) {
      EXPECT_EQ(file.Update(&record, 1), kConflict);
    }
    if (id == 40) {
      EXPECT_EQ(file.Update(&record, 1), kOk);  // read after every change: current
    }
    status = file.Get(kGetNext, &record, 1);
  }
  EXPECT_EQ(status, kEndOfFile);
  std::vector<int32_t> expected = {1, 2, 3, 4, 6, 7};
  for (int32_t id = 8; id <= 30; ++id)
    if (id != 20) expected.push_back(id);
  for (int32_t id : {50, 51, 20}) expected.push_back(id);
  for (int32_t id = 31; id <= 40; ++id) expected.push_back(id);
  EXPECT_EQ(seen, expected);
}

TEST(Processes, HeldLockGivesInUseAfterAShortWait) {
  TempDir dir;
  std::string path = dir.path() + "/bube.btr";
  ASSERT_EQ(Create(path, Definition(kLen, {{{1, 4, kInteger}}})), kOk);
  SetBusyTimeout(50);
  RecordFile file(path);
  Child holder = Start({"hold", path});
  ASSERT_EQ(ReadLine(holder.fromChild), "ready");
  Bytes record = Row(1, 1);
  int insert = file.Insert(&record);
  EXPECT_TRUE(insert == kRecordInUse || insert == kFileInUse) << insert;
  // In use only once the busy time has really passed.
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Begin(), kFileInUse);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
  // Reading is still possible while the other process only holds its write lock.
  Bytes read(kLen);
  EXPECT_EQ(file.Get(kGetFirst, &read, 0), kEndOfFile);
  EXPECT_EQ(Wait(holder), 0);
  EXPECT_EQ(file.Insert(&record), kOk);
  SetBusyTimeout(1500);
}

TEST(Processes, KilledTransactionLeavesAllOrNothing) {
  TempDir dir;
  std::string d1 = dir.Sub("1996"), d2 = dir.Sub("1997");
  const std::vector<std::string> paths = {d1 + "/a.btr", d1 + "/b.btr", d2 + "/c.btr"};
  for (const std::string& path : paths) {
    ASSERT_EQ(Create(path, Definition(kLen, {{{1, 4, kInteger, kModifiable}}})), kOk);
    RecordFile file(path);
    Bytes counter = Row(0, 0);
    ASSERT_EQ(file.Insert(&counter), kOk);
  }
  Shutdown();
  int kills = 0, posted = 0;
  // Kill the writer before its 1st, 2nd, ... file write, sync or delete
  // (recovering from the previous kill's journals included), until a run
  // gets through its commit untouched; then post once more normally.
  for (int limit = 1; limit < 1000 && posted < 2; ++limit) {
    int result = RunChild({"post", d1, d2, std::to_string(posted ? 0 : limit)});
    ASSERT_TRUE(result == -SIGKILL || result == 0) << "limit " << limit << ": " << result;
    if (result == -SIGKILL) ++kills;
    if (result == 0) ++posted;
    // Every file shows the same number of transactions, and exactly their records.
    int32_t expected = -1;
    for (const std::string& path : paths) {
      RecordFile file(path);
      ASSERT_EQ(file.openStatus, kOk);
      Bytes counter(kLen);
      ASSERT_EQ(file.Get(kGetEqual, &counter, 0, IdKey(0)), kOk) << path;
      int32_t n = Take<int32_t>(counter, 4);
      if (expected < 0) expected = n;
      EXPECT_EQ(n, expected) << path << " after a kill at " << limit;
      EXPECT_EQ(file.Count(), uint32_t(1 + 3 * n)) << path;
    }
    Shutdown();
  }
  EXPECT_GT(kills, 20);  // the kills really fell inside the transaction's writes
  EXPECT_EQ(posted, 2);
}
