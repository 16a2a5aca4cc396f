#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/message_recorder.h"
#include "core/profile.h"
#include "core/record_store.h"
#include "recman/recman.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

// slot + 24 * key: bilaktau by key 1 is 32, steke by key 2 is 52, and 46 is
// the scratch slot by key 1.
static_assert(MakeFileId(kSlotBilaktau, 1) == 32 && MakeFileId(kSlotSteke, 2) == 52);
static_assert(SlotOf(46) == kSlotScratch && KeyOf(46) == 1);
static_assert(MakeFileId(kSlotDebi, 1) == 27);

// Creates a record file with one string key (account number, 8 bytes at 0)
// and the record length of the slot.
void CreateSimpleFile(const std::string& path, int recordLength, bool unique = true) {
  unsigned char definition[32] = {};
  recman::FilePart file{};
  file.recordLength = static_cast<uint16_t>(recordLength);
  file.pageSize = 2048;
  file.keyCount = 1;
  recman::KeyDefinition key{};
  key.position = 1;
  key.length = 8;
  key.flags = recman::kExtendedType | recman::kModifiable | (unique ? 0 : recman::kDuplicates);
  key.type = recman::kZString;
  std::memcpy(definition, &file, sizeof file);
  std::memcpy(definition + 16, &key, sizeof key);
  unsigned char pos[recman::kPositionBlockSize] = {};
  char name[512];
  std::snprintf(name, sizeof name, "%s", path.c_str());
  uint32_t length = sizeof definition;
  ASSERT_EQ(recman::Call(recman::kCreate, pos, definition, &length, name, 255, 0), 0) << path;
}

class RecordStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDataRoot(root_.path());
    SetMandantNumber(1);
    SetFiscalYears("1996", "1995");
    MakeDirectories(YearDirectory("1996"));
    MakeDirectories(YearDirectory("1995"));
  }
  void TearDown() override {
    Transaction(kAbort);
    CloseAll();
    recman::Shutdown();
  }
  static void MakeDirectories(const std::string& dir) { std::filesystem::create_directories(dir); }

  std::vector<char> Record(const char* account, char fill = 'x') {
    std::vector<char> r(733, fill);
    std::memset(r.data(), 0, 8);
    std::snprintf(r.data(), 8, "%7s", account);
    return r;
  }
  void Put(const char* account) {
    auto r = Record(account);
    ASSERT_TRUE(Insert(r.data(), kSlotSako));
  }
  static KeyValue Key(const char* account) {
    char k[8] = {};
    std::snprintf(k, sizeof k, "%7s", account);
    return KeyValue(k, 8);
  }

  talvera::testing::TempSettingsDir settings_;
  talvera::testing::TempDir root_;
  MessageRecorder messages_;
};

TEST_F(RecordStoreTest, PathsFollowMandantAndYears) {
  EXPECT_EQ(SlotPath(kSlotFista), root_ / "fista.btr");
  EXPECT_EQ(SlotPath(kSlotSako), root_ / "1996/sako.btr");
  EXPECT_EQ(SlotPath(kSlotSakoPrevious), root_ / "1995/sako.btr");
  SetMandantNumber(2);
  EXPECT_EQ(SlotPath(kSlotBat), root_ / "19961/bat.btr");
  SetMandantNumber(11);
  EXPECT_EQ(SlotPath(kSlotUser), root_ / "199610/user.btr");
  EXPECT_EQ(SlotPath(5), "");
}

TEST_F(RecordStoreTest, GetEqualOpensAndClosesAndFindsNothingQuietly) {
  CreateSimpleFile(SlotPath(kSlotSako), 733);
  Put("1400");
  std::vector<char> r(733);
  bool found = true;
  ASSERT_TRUE(GetEqual(r.data(), Key("9999"), found, kSlotSako));
  EXPECT_FALSE(found);
  ASSERT_TRUE(GetEqual(r.data(), Key("1400"), found, kSlotSako));
  EXPECT_TRUE(found);
  EXPECT_STREQ(r.data(), "   1400");
  EXPECT_STREQ(SlotKeyBuffer(kSlotSako), "   1400");
  EXPECT_FALSE(IsSlotOpen(kSlotSako));
  EXPECT_TRUE(messages_.shown.empty());

  // The GetEqual closed the file again, so a GetNext has no position.
  EXPECT_FALSE(GetNext(r.data(), kSlotSako));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, "Die Datei ist nicht geöffnet! (3)");
}

TEST_F(RecordStoreTest, IterationOpensAndStaysOpen) {
  CreateSimpleFile(SlotPath(kSlotSako), 733);
  for (const char* a : {"8400", "1200", "1400"}) Put(a);
  std::vector<char> r(733);
  std::vector<std::string> seen;
  bool found;
  for (bool ok = GetFirstFound(r.data(), found, kSlotSako); ok && found;
       ok = GetNextFound(r.data(), found, kSlotSako))
    seen.push_back(r.data());
  EXPECT_EQ(seen, (std::vector<std::string>{"   1200", "   1400", "   8400"}));
  EXPECT_TRUE(IsSlotOpen(kSlotSako));
  EXPECT_FALSE(GetNext(r.data(), kSlotSako));  // end of file: false, no message
  ASSERT_TRUE(GetLast(r.data(), kSlotSako));
  EXPECT_STREQ(r.data(), "   8400");
  ASSERT_TRUE(GetPrevious(r.data(), kSlotSako));
  EXPECT_STREQ(r.data(), "   1400");
  ASSERT_TRUE(GetGreaterOrEqual(r.data(), Key("1300"), kSlotSako));
  EXPECT_STREQ(r.data(), "   1400");
  EXPECT_FALSE(GetGreaterOrEqualFound(r.data(), Key("9000"), found, kSlotSako) && found);
  EXPECT_EQ(RecordCount(kSlotSako), 3);
  EXPECT_FALSE(IsEmpty(kSlotSako));
  EXPECT_EQ(RecordLength(kSlotSako), 733);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(RecordStoreTest, UpdateDeleteAndReread) {
  CreateSimpleFile(SlotPath(kSlotSako), 733);
  Put("1400");
  Put("1600");
  std::vector<char> r(733);
  EXPECT_FALSE(Update(r.data(), kSlotSako));  // not open: nothing happens
  EXPECT_FALSE(Delete(kSlotSako));
  ASSERT_TRUE(OpenSlot(kSlotSako));
  bool found;
  ASSERT_TRUE(GetEqual(r.data(), Key("1400"), found, kSlotSako));
  r[100] = 'U';
  ASSERT_TRUE(Update(r.data(), kSlotSako));
  std::vector<char> again(733);
  ASSERT_TRUE(Reread(again.data(), kSlotSako));
  EXPECT_EQ(again[100], 'U');
  ASSERT_TRUE(Delete(kSlotSako));
  EXPECT_EQ(RecordCount(kSlotSako), 1);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(RecordStoreTest, DuplicateKeyIsReported) {
  CreateSimpleFile(SlotPath(kSlotSako), 733);
  Put("1400");
  auto r = Record("1400");
  EXPECT_FALSE(Insert(r.data(), kSlotSako));
  EXPECT_EQ(LastStatus(), 5);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, "Doppelter Schlüsselwert! (5)");
  EXPECT_EQ(ProfileGetString(TalviIniPath(), "TALVI", "DBFehler", ""), "5");
}

TEST_F(RecordStoreTest, StatusReportsAndDbFehler) {
  ReportDatabaseStatus(250);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, "Btrieve-Fehler Nr. (250)");
  EXPECT_EQ(messages_.shown[0].title, "TALVERA");
  EXPECT_EQ(ProfileGetString(TalviIniPath(), "TALVI", "DBFehler", ""), "250");
  ReportDatabaseStatus(4);
  EXPECT_EQ(messages_.shown[1].text, "Schlüsselwert nicht gefunden! (4)");
  ReportOpenFailure(3);
  EXPECT_EQ(messages_.shown[2].text, "Kein Open");
  EXPECT_EQ(messages_.shown[2].title, "Datenbankfehler");
  ReportOpenFailure(20);
  EXPECT_EQ(messages_.shown[3].text, "Sonstiger Fehler");
  EXPECT_EQ(messages_.shown[3].title, "20");
}

TEST_F(RecordStoreTest, NestedTransactionsCommitOnlyAtTheOutermostEnd) {
  CreateSimpleFile(SlotPath(kSlotSako), 733);
  ASSERT_TRUE(Transaction(kBegin));
  ASSERT_TRUE(Transaction(kBegin));
  Put("1400");
  ASSERT_TRUE(Transaction(kEnd));
  EXPECT_EQ(TransactionDepth(), 1);
  // Inside the transaction a close keeps the file open.
  ASSERT_TRUE(OpenSlot(kSlotSako));
  EXPECT_TRUE(CloseSlot(kSlotSako));
  EXPECT_TRUE(IsSlotOpen(kSlotSako));
  ASSERT_TRUE(Transaction(kAbort));
  EXPECT_EQ(TransactionDepth(), 0);
  CloseSlot(kSlotSako);
  EXPECT_EQ(RecordCount(kSlotSako), 0);

  {
    StoreTransaction t;
    ASSERT_TRUE(t.began());
    Put("1600");
    ASSERT_TRUE(t.Commit());
  }
  {
    StoreTransaction t;  // rolled back on leaving the scope
    Put("1700");
  }
  EXPECT_EQ(RecordCount(kSlotSako), 1);
}

TEST_F(RecordStoreTest, FailingBeginLeavesDepthZeroAndReportsOnce) {
  // A transaction begun behind the store's back makes the store's begin fail.
  unsigned char pos[recman::kPositionBlockSize] = {};
  char key[64] = {};
  uint32_t length = 0;
  ASSERT_EQ(recman::Call(recman::kBeginTransaction, pos, nullptr, &length, key, 255, 0), 0);
  EXPECT_FALSE(Transaction(kBegin));
  EXPECT_EQ(TransactionDepth(), 0);
  EXPECT_EQ(messages_.shown.size(), 1u);
}

TEST_F(RecordStoreTest, StaleUpdateGivesStatus80) {
  CreateSimpleFile(SlotPath(kSlotSako), 733);
  Put("1400");
  ASSERT_TRUE(OpenSlot(kSlotSako));
  std::vector<char> mine(733);
  bool found;
  ASSERT_TRUE(GetEqual(mine.data(), Key("1400"), found, kSlotSako));

  // Someone else changes the record in between, through a cursor of their own.
  ASSERT_TRUE(OpenPath(SlotPath(kSlotSako), kSlotScratch));
  std::vector<char> theirs(733);
  ASSERT_TRUE(GetEqual(theirs.data(), Key("1400"), found, kSlotScratch));
  theirs[200] = 'T';
  ASSERT_TRUE(Update(theirs.data(), kSlotScratch));

  mine[200] = 'M';
  EXPECT_FALSE(Update(mine.data(), kSlotSako));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].number, 3180);
  EXPECT_EQ(messages_.shown[0].text,
            "Zugriffsfehler! Der Datensatz wurde womöglich bereits von einem anderen Platz aus "
            "geändert. (80)");
  EXPECT_EQ(ProfileGetString(TalviIniPath(), "TALVI", "DBFehler", ""), "80");
}

TEST_F(RecordStoreTest, OpenMainFilesNamesTheMissingFile) {
  // sako exists, bube does not: the warning is titled 181.
  CreateSimpleFile(SlotPath(kSlotSako), 733);
  EXPECT_FALSE(OpenMainFiles());
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_EQ(messages_.shown[0].number, 3112);
  EXPECT_EQ(messages_.shown[1].text, "Sonstiger Fehler");
  EXPECT_EQ(messages_.shown[1].title, "181");
  EXPECT_FALSE(IsSlotOpen(kSlotSako));
  EXPECT_FALSE(MainFilesOpen());

  messages_.Clear();
  CreateSimpleFile(SlotPath(kSlotBube), 211);
  CreateSimpleFile(SlotPath(kSlotKred), 956);
  CreateSimpleFile(SlotPath(kSlotDebi), 956);
  EXPECT_FALSE(OpenMainFiles());
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{3112, 437}));

  CreateSimpleFile(SlotPath(kSlotKore), 493);
  messages_.Clear();
  EXPECT_TRUE(OpenMainFiles());
  EXPECT_TRUE(MainFilesOpen());
  EXPECT_TRUE(IsSlotOpen(kSlotKore));
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(RecordStoreTest, MissingCompanyMasterIsAnnouncedNotReported) {
  EXPECT_FALSE(OpenSlot(kSlotFista));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{516});
}

TEST_F(RecordStoreTest, FailedYearSwitchAsksToCloseTheProgram) {
  static bool closeRequested;
  closeRequested = false;
  MainFilesSeams seams;
  seams.requestProgramClose = [] { closeRequested = true; };
  SetMainFilesSeams(seams);
  EXPECT_TRUE(SwitchWorkingYear("1996"));  // already the working year
  EXPECT_FALSE(SwitchWorkingYear("1995"));
  EXPECT_TRUE(closeRequested);
  EXPECT_EQ(messages_.shown.back().number, 201);
  EXPECT_EQ(messages_.shown.back().text,
            "Die Dateien des Jahres 1995 können nicht geöffnet werden. Das Programm wird beendet!");
  SetMainFilesSeams({});
}

TEST_F(RecordStoreTest, StartNeedsTheDataRoot) {
  EXPECT_TRUE(StartRecordManager());
  SetDataRoot(root_ / "fehlt");
  EXPECT_FALSE(StartRecordManager());
}

}  // namespace
