// File-level operations and damaged databases.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include <sqlite3.h>

#include "durable_files.h"
#include "recman_fixture.h"

using namespace recman;
using namespace recman_test;

namespace {

constexpr uint16_t kLen = 8;

// int32 id at 0 (unique), int16 group at 4 (duplicates).
Bytes Row(int32_t id, int16_t group) {
  Bytes record(kLen, 0);
  Put(&record, 0, id);
  Put(&record, 4, group);
  return record;
}

Bytes TwoKeyDefinition() {
  return Definition(kLen, {{{1, 4, kInteger}}, {{5, 2, kInteger, kDuplicates}}});
}

void Fill(const std::string& path, const std::vector<std::pair<int32_t, int16_t>>& rows) {
  ASSERT_EQ(Create(path, TwoKeyDefinition()), kOk);
  RecordFile file(path);
  for (auto [id, group] : rows) {
    Bytes record = Row(id, group);
    ASSERT_EQ(file.Insert(&record), kOk);
  }
}

// Ids in the order of key 1 (duplicates show their insertion order).
std::vector<int32_t> IdsByGroup(const std::string& path) {
  RecordFile file(path);
  std::vector<int32_t> ids;
  Bytes record(kLen);
  for (int s = file.Get(kGetFirst, &record, 1); s == kOk; s = file.Get(kGetNext, &record, 1))
    ids.push_back(Take<int32_t>(record, 0));
  return ids;
}

const std::vector<std::pair<int32_t, int16_t>> kRows = {{1, 5}, {2, 3}, {3, 5}, {4, 3}, {5, 5}};
const std::vector<int32_t> kByGroup = {2, 4, 1, 3, 5};

}  // namespace

TEST(FileOps, CopyRenameDeleteAndList) {
  TempDir dir;
  std::string y1 = dir.Sub("1996"), y2 = dir.Sub("1997");
  Fill(y1 + "/sako.btr", kRows);
  EXPECT_TRUE(FileExists(y1 + "/sako.btr"));
  EXPECT_FALSE(FileExists(y2 + "/sako.btr"));

  ASSERT_EQ(CopyFile(y1 + "/sako.btr", y2 + "/sako.btr"), kOk);
  EXPECT_EQ(IdsByGroup(y2 + "/sako.btr"), kByGroup);
  EXPECT_EQ(CopyFile(y1 + "/sako.btr", y1 + "/SAKO.btr"), kInvalidFileName);
  ASSERT_EQ(CopyFile(y1 + "/sako.btr", y1 + "/sako.bt3"), kOk);

  EXPECT_EQ(RenameFile(y1 + "/sako.bt3", y1 + "/sako.btr"), kFileExists);
  ASSERT_EQ(RenameFile(y1 + "/sako.bt3", y1 + "/saldo.btr"), kOk);
  EXPECT_EQ(ListFiles(y1), (std::vector<std::string>{"sako.btr", "saldo.btr"}));
  EXPECT_EQ(IdsByGroup(y1 + "/saldo.btr"), kByGroup);

  {
    RecordFile open(y1 + "/saldo.btr");
    EXPECT_EQ(DeleteFile(y1 + "/saldo.btr"), kFileInUse);
  }
  ASSERT_EQ(DeleteFile(y1 + "/saldo.btr"), kOk);
  EXPECT_EQ(DeleteFile(y1 + "/saldo.btr"), kFileNotFound);
  EXPECT_EQ(ListFiles(y1), std::vector<std::string>{"sako.btr"});
  EXPECT_TRUE(ListFiles(dir.path() + "/nowhere").empty());
}

TEST(FileOps, RemoveDirectoryOnlyOnceItsFilesAreGone) {
  TempDir dir;
  std::string root = dir.Sub("root"), year = dir.Sub("19961");
  Fill(root + "/fista.btr", kRows);  // the data root is the connection's first database
  Fill(year + "/sako.btr", kRows);
  std::ofstream(year + "/DISK.DAT") << "1";
  EXPECT_EQ(RemoveDirectory(year), kAccessDenied);  // a record file is left
  ASSERT_EQ(DeleteFile(year + "/sako.btr"), kOk);
  ASSERT_EQ(RemoveDirectory(year), kOk);
  EXPECT_FALSE(std::filesystem::exists(year));

  std::string other = dir.Sub("1997");
  Fill(other + "/sako.btr", kRows);
  ASSERT_EQ(DeleteFile(root + "/fista.btr"), kOk);
  {
    // The first database of the connection stays while any file is open.
    RecordFile open(other + "/sako.btr");
    EXPECT_EQ(RemoveDirectory(root), kFileInUse);
    EXPECT_EQ(RemoveDirectory(other), kAccessDenied);
  }
  ASSERT_EQ(RemoveDirectory(root), kOk);
  EXPECT_FALSE(std::filesystem::exists(root));
  // The connection opens again on the next use.
  EXPECT_EQ(IdsByGroup(other + "/sako.btr"), kByGroup);
}

TEST(FileOps, SaveAndLoadKeepRecordsAndDuplicateOrder) {
  TempDir dir;
  std::string path = dir.path() + "/bube.btr", backup = dir.path() + "/bube.sav";
  Fill(path, kRows);
  ASSERT_EQ(SaveFile(path, backup), kOk);
  ASSERT_EQ(DeleteFile(path), kOk);
  ASSERT_EQ(LoadFile(path, backup), kOk);
  EXPECT_EQ(IdsByGroup(path), kByGroup);

  // A damaged backup is refused and the file stays as it is.
  std::fstream damage(backup, std::ios::in | std::ios::out | std::ios::binary);
  damage.seekp(40);
  damage.put('\x7f');
  damage.close();
  EXPECT_EQ(LoadFile(path, backup), kNotAFile);
  EXPECT_EQ(IdsByGroup(path), kByGroup);
  EXPECT_EQ(LoadFile(path, dir.path() + "/missing.sav"), kFileNotFound);
}

TEST(DamagedDatabase, GivesAStatusNeverACrash) {
  struct Case {
    const char* name;
    std::function<void(const std::string& db)> spoil;
  };
  const Case cases[] = {
      {"garbage bytes",
       [](const std::string& db) {
         std::ofstream out(db, std::ios::binary | std::ios::trunc);
         for (int i = 0; i < 10000; ++i) out.put(char(i * 7919));
       }},
      {"another program's SQLite database",
       [](const std::string& db) {
         std::filesystem::remove(db);
         sqlite3* other = nullptr;
         sqlite3_open(db.c_str(), &other);
         sqlite3_exec(other, "CREATE TABLE accounts(x); INSERT INTO accounts VALUES(1)", nullptr,
                      nullptr, nullptr);
         sqlite3_close(other);
       }},
      {"truncated to half",
       [](const std::string& db) {
         std::filesystem::resize_file(db, std::filesystem::file_size(db) / 2);
       }},
      {"header overwritten",
       [](const std::string& db) {
         std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
         f.seekp(16);
         for (int i = 0; i < 84; ++i) f.put('\xff');
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::string path = dir.path() + "/sako.btr";
    ASSERT_EQ(Create(path, TwoKeyDefinition()), kOk);
    {
      RecordFile file(path);
      ASSERT_EQ(Begin(), kOk);
      for (int32_t id = 0; id < 3000; ++id) {
        Bytes record = Row(id, int16_t(id % 7));
        ASSERT_EQ(file.Insert(&record), kOk);
      }
      ASSERT_EQ(End(), kOk);
    }
    Shutdown();
    c.spoil(dir.path() + "/records.db");

    RecordFile file(path);
    int worst = file.openStatus;
    if (worst == kOk) {
      Bytes record(kLen);
      int status = file.Get(kGetFirst, &record, 1);
      for (int n = 0; status == kOk && n < 5000; ++n) status = file.Get(kGetNext, &record, 1);
      worst = status == kEndOfFile ? kOk : status;
    }
    EXPECT_NE(worst, kOk);
    EXPECT_FALSE(FileExists(path) && worst == kOk);
    // A fresh file in another directory still works in the same process.
    std::string elsewhere = dir.Sub("other") + "/x.btr";
    EXPECT_EQ(Create(elsewhere, TwoKeyDefinition()), kOk);
    Bytes record = Row(1, 1);
    RecordFile good(elsewhere);
    EXPECT_EQ(good.Insert(&record), kOk);
  }
}

namespace {

std::vector<std::string>& Synced() {
  static std::vector<std::string> synced;
  return synced;
}

bool WasSynced(const std::string& directory) {
  std::string wanted = std::filesystem::weakly_canonical(directory).string();
  return std::any_of(Synced().begin(), Synced().end(), [&](const std::string& d) {
    return std::filesystem::weakly_canonical(d).string() == wanted;
  });
}

}  // namespace

// Cause: a rename or a new records.db was synced as a file but never in its
// directory, so a power cut could still lose it.
TEST(Durability, NewDatabasesAndBackupsSyncTheirDirectory) {
  TempDir dir;
  Synced().clear();
  SetDirectorySyncObserver([](const std::string& d) { Synced().push_back(d); });
  std::string year = dir.Sub("1996");
  Fill(year + "/f.btr", kRows);
  EXPECT_TRUE(WasSynced(year));
  std::string saved = dir.Sub("sicherung");
  ASSERT_EQ(SaveFile(year + "/f.btr", saved + "/f.sav"), kOk);
  EXPECT_TRUE(WasSynced(saved));
  SetDirectorySyncObserver(nullptr);
}

// Cause: super-journals of commits across directories piled up after
// kills: SQLite only looks at one that a hot journal names.
TEST(Durability, StaleSuperJournalsGoThoseAJournalMayNameStay) {
  namespace fs = std::filesystem;
  TempDir dir;
  Fill(dir.path() + "/f.btr", kRows);
  Shutdown();
  std::string live = dir.Sub("andere") + "/records.db-journal";
  std::ofstream(live) << "x";
  auto superJournal = [&](const std::string& name, const std::string& names, bool settled) {
    std::string path = dir.path() + "/" + name;
    std::ofstream(path, std::ios::binary) << names;
    if (settled) fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
    return path;
  };
  std::string stale = superJournal("records.db-mj0A1B2C3D", dir.path() + "/weg/records.db-journal" + '\0', true);
  std::string named = superJournal("records.db-mj1A1B2C3D", live + '\0', true);
  std::string fresh = superJournal("records.db-mj2A1B2C3D", "", false);
  RecordFile file(dir.path() + "/f.btr");  // the connection opens here
  ASSERT_EQ(file.openStatus, kOk);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(named));
  EXPECT_TRUE(fs::exists(fresh));
}

