// talvi-butil and the index check behind it.
#include <sqlite3.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>

#include "maintenance.h"
#include "recman_fixture.h"

using namespace recman;
using namespace recman_test;

namespace {

constexpr uint16_t kLen = 8;

std::string MakeFile(const TempDir& dir) {
  std::string path = dir.path() + "/steke.btr";
  EXPECT_EQ(Create(path, Definition(kLen, {{{1, 2, kInteger}}, {{3, 4, kString, kDuplicates}}})), kOk);
  RecordFile file(path);
  for (int16_t id : {3, -1, 2}) {
    Bytes record(kLen, 0);
    Put(&record, 0, id);
    PutText(&record, 2, "Ab\\");
    record[6] = 0xe4;  // Windows-1252 'ä'
    EXPECT_EQ(file.Insert(&record), kOk);
  }
  return path;
}

struct Result {
  int exit;
  std::string out;
};

Result Butil(const std::string& args) {
  std::string command = std::string(RECMAN_BUTIL) + " " + args + " 2>&1";
  Result result{-1, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 512> buffer;
  while (fgets(buffer.data(), int(buffer.size()), pipe)) result.out += buffer.data();
  int status = pclose(pipe);
  result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace

TEST(Check, FindsAStoredKeyThatDisagreesWithItsRecord) {
  TempDir dir;
  std::string path = MakeFile(dir);
  std::vector<std::string> problems;
  ASSERT_EQ(CheckFile(path, &problems), kOk);
  EXPECT_TRUE(problems.empty());
  Shutdown();
  sqlite3* db = nullptr;
  sqlite3_open((dir.path() + "/records.db").c_str(), &db);
  ASSERT_EQ(sqlite3_exec(db, "UPDATE r1 SET k1=x'00' WHERE id=2", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  ASSERT_EQ(CheckFile(path, &problems), kOk);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("Schlüssel 1"), std::string::npos) << problems[0];
}

// Cause: the check looked at one table and the stored keys only, and said
// "in Ordnung" about a database with missing indexes, a trigger, or damage
// in another file's table.
TEST(Check, FindsWhatDamagesTheDatabase) {
  TempDir dir;
  std::string path = MakeFile(dir);
  std::string other = dir.path() + "/bank.btr";
  ASSERT_EQ(Create(other, Definition(kLen, {{{1, 2, kInteger}}})), kOk);
  {
    RecordFile file(other);
    Bytes record(kLen, 0);
    ASSERT_EQ(file.Insert(&record), kOk);
  }
  Shutdown();
  sqlite3* db = nullptr;
  sqlite3_open((dir.path() + "/records.db").c_str(), &db);
  const char* damage =
      "DROP INDEX r1_k0; CREATE INDEX r1_k0 ON r1(k0);"  // key 0 is unique
      "DROP INDEX r1_k1;"
      "CREATE VIEW v AS SELECT 1; CREATE TRIGGER t AFTER DELETE ON r1 BEGIN SELECT 1; END;"
      // bank's index no longer matches its rows
      "PRAGMA writable_schema=ON;"
      "UPDATE sqlite_schema SET sql='CREATE UNIQUE INDEX r2_k0 ON r2(ver)' WHERE name='r2_k0';";
  ASSERT_EQ(sqlite3_exec(db, damage, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
  std::vector<std::string> problems;
  ASSERT_EQ(CheckFile(path, &problems), kOk);
  auto has = [&](const std::string& text) {
    return std::any_of(problems.begin(), problems.end(),
                       [&](const std::string& p) { return p.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(has("Schlüssel 0: der Index ist nicht eindeutig"));
  EXPECT_TRUE(has("Schlüssel 1: der Index fehlt"));
  EXPECT_TRUE(has("Trigger t gehört nicht"));
  EXPECT_TRUE(has("Sicht (View) v gehört nicht"));
  EXPECT_TRUE(has("SQLite: ") && has("r2_k0"));
  for (const std::string& p : problems) SCOPED_TRACE(p);
  Result result = Butil("check " + path);
  EXPECT_EQ(result.exit, 1);
  EXPECT_EQ(result.out.find("in Ordnung"), std::string::npos) << result.out;
}

TEST(Butil, CommandsAndRefusals) {
  TempDir dir;
  std::string path = MakeFile(dir);
  Shutdown();
  Result stat = Butil("stat " + path);
  EXPECT_EQ(stat.exit, 0);
  EXPECT_NE(stat.out.find("Satzlänge:    8"), std::string::npos) << stat.out;
  EXPECT_NE(stat.out.find("Sätze:        3"), std::string::npos) << stat.out;
  EXPECT_NE(stat.out.find("Schlüssel 1: Duplikate"), std::string::npos) << stat.out;

  Result dump = Butil("dump " + path);
  EXPECT_EQ(dump.exit, 0);
  // Key order -1, 2, 3; bytes above 0xA0 appear as their Latin-1 letters.
  EXPECT_EQ(dump.out, "ÿÿAb\\\\\\0ä\\0\n\\x02\\0Ab\\\\\\0ä\\0\n\\x03\\0Ab\\\\\\0ä\\0\n");

  // show names the fields of the file's layout; this short test file lacks most of them.
  Result show = Butil("show " + path);
  EXPECT_EQ(show.exit, 0) << show.out;
  EXPECT_NE(show.out.find("--- Satz 3"), std::string::npos) << show.out;

  std::string flat = dir.path() + "/steke.flat";
  EXPECT_EQ(Butil("save " + path + " " + flat).exit, 0);
  EXPECT_EQ(std::filesystem::file_size(flat), 3u * kLen);
  // Loading the same records again collides on the unique key 0: nothing is added.
  Result load = Butil("load " + path + " " + flat);
  EXPECT_NE(load.exit, 0);
  EXPECT_NE(load.out.find("Doppelter Schlüsselwert"), std::string::npos) << load.out;
  EXPECT_EQ(RecordFile(path).Count(), 3u);
  EXPECT_EQ(Butil("check " + path).exit, 0);

  for (const std::string& bad : std::vector<std::string>{"", "frobnicate " + path, "stat",
                                  "dump " + path + " 99", "stat " + dir.path() + "/none.btr"}) {
    SCOPED_TRACE(bad);
    Result result = Butil(bad);
    EXPECT_GT(result.exit, 0);
    EXPECT_FALSE(result.out.empty());
  }
  std::ofstream(dir.path() + "/records.db", std::ios::trunc) << std::string(3000, 'x');
  Result damaged = Butil("check " + path);
  EXPECT_EQ(damaged.exit, 1);
  EXPECT_NE(damaged.out.find("Status 30"), std::string::npos) << damaged.out;
}
