// Transactions: atomic across files and directories, begin/end/abort rules,
// and directories that join a running transaction.
#include "recman_fixture.h"

using namespace recman;
using namespace recman_test;

namespace {

constexpr uint16_t kLen = 8;

Bytes Row(int32_t id) {
  Bytes record(kLen, 0);
  Put(&record, 0, id);
  return record;
}

Bytes IdDefinition() { return Definition(kLen, {{{1, 4, kInteger}}}); }

uint32_t CountOf(const std::string& path) {
  RecordFile file(path);
  return file.openStatus == kOk ? file.Count() : UINT32_MAX;
}

}  // namespace

TEST(Transaction, AbortRollsBackTwoDirectoriesAndCommitKeepsBoth) {
  TempDir dir;
  std::string a = dir.Sub("1996") + "/sako.btr", b = dir.Sub("1997") + "/bube.btr";
  ASSERT_EQ(Create(a, IdDefinition()), kOk);
  ASSERT_EQ(Create(b, IdDefinition()), kOk);
  for (bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "commit" : "abort");
    {
      RecordFile fa(a), fb(b);
      ASSERT_EQ(Begin(), kOk);
      for (int32_t id = 1; id <= 3; ++id) {
        Bytes ra = Row(id), rb = Row(id);
        ASSERT_EQ(fa.Insert(&ra), kOk);
        ASSERT_EQ(fb.Insert(&rb), kOk);
      }
      Bytes record(kLen);
      ASSERT_EQ(fa.Get(kGetFirst, &record, 0), kOk);
      ASSERT_EQ(fa.Delete(), kOk);
      ASSERT_EQ(commit ? End() : Abort(), kOk);
    }
    Shutdown();  // what another process would see now
    EXPECT_EQ(CountOf(a), commit ? 2u : 0u);
    EXPECT_EQ(CountOf(b), commit ? 3u : 0u);
  }
}

TEST(Transaction, BeginEndAbortRules) {
  TempDir dir;
  std::string path = dir.path() + "/a.btr";
  ASSERT_EQ(Create(path, IdDefinition()), kOk);
  EXPECT_EQ(End(), kNoTransaction);
  EXPECT_EQ(Abort(), kNoTransaction);
  ASSERT_EQ(Begin(), kOk);
  EXPECT_EQ(Begin(), kTransactionActive);  // nesting is the caller's business
  ASSERT_EQ(Abort(), kOk);
  // A file created inside an aborted transaction does not exist afterwards.
  ASSERT_EQ(Begin(), kOk);
  ASSERT_EQ(Create(dir.path() + "/new.btr", IdDefinition()), kOk);
  EXPECT_TRUE(FileExists(dir.path() + "/new.btr"));
  ASSERT_EQ(Abort(), kOk);
  EXPECT_FALSE(FileExists(dir.path() + "/new.btr"));
}

TEST(Transaction, DirectoryJoiningARunningTransaction) {
  TempDir dir;
  std::string root = dir.Sub("root"), y1 = dir.Sub("1996"), y2 = dir.Sub("1997"),
              y3 = dir.Sub("1998");
  for (const std::string& d : {root, y1, y2, y3}) ASSERT_EQ(Create(d + "/f.btr", IdDefinition()), kOk);
  Shutdown();
  RecordFile first(root + "/f.btr");
  ASSERT_EQ(Begin(), kOk);
  // Before anything is written a new directory simply joins.
  RecordFile second(y1 + "/f.btr");
  ASSERT_EQ(second.openStatus, kOk);
  Bytes r1 = Row(1);
  ASSERT_EQ(second.Insert(&r1), kOk);
  // After a write it cannot join any more: the transaction stays intact.
  RecordFile third(y2 + "/f.btr");
  EXPECT_EQ(third.openStatus, kTransactionError);
  // A directory made known before Begin takes part.
  ASSERT_EQ(End(), kOk);
  ASSERT_EQ(UseDirectory(y3), kOk);
  ASSERT_EQ(Begin(), kOk);
  Bytes r2 = Row(2), r3 = Row(3);
  ASSERT_EQ(second.Insert(&r2), kOk);
  RecordFile fourth(y3 + "/f.btr");
  ASSERT_EQ(fourth.openStatus, kOk);
  ASSERT_EQ(fourth.Insert(&r3), kOk);
  ASSERT_EQ(Abort(), kOk);
  EXPECT_EQ(CountOf(y1 + "/f.btr"), 1u);
  EXPECT_EQ(CountOf(y3 + "/f.btr"), 0u);
}

TEST(Transaction, ManyDirectoriesBeyondTheAttachLimit) {
  TempDir dir;
  // More directories than SQLite attaches at once: older ones are detached
  // and come back on use, open files keep working.
  std::vector<std::unique_ptr<RecordFile>> files;
  for (int i = 0; i < 14; ++i) {
    std::string path = dir.Sub("d" + std::to_string(i)) + "/f.btr";
    ASSERT_EQ(Create(path, IdDefinition()), kOk);
    files.push_back(std::make_unique<RecordFile>(path));
    Bytes record = Row(i);
    ASSERT_EQ(files.back()->Insert(&record), kOk);
  }
  for (int i = 0; i < 14; ++i) {
    Bytes record(kLen);
    ASSERT_EQ(files[size_t(i)]->Get(kGetFirst, &record, 0), kOk);
    EXPECT_EQ(Take<int32_t>(record, 0), i);
  }
}
