// bench-recman: the record manager against plain SQLite doing the same work.
//
// 100,000 records of the posting journal layout (211 bytes, eight keys) are
// inserted in one transaction, read back in key 0 order by GetNext, and
// looked up by 100,000 GetEqual on random journal keys. The plain-SQLite run
// uses the same table shape, the same indexes and prepared statements.
// Prints "FIGURE <name> <value>" lines; the ratios are recman / SQLite.
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "recman.h"
#include "temp_directory.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kRecords = 100000;
constexpr uint16_t kLength = 211;

struct KeyPart {
  uint16_t position;  // 1-based
  uint16_t length;
  uint8_t type;
  uint16_t flags;
};

// The journal's keys: journal key, debit, credit and tax account, journal key
// descending, auto posting number, voucher number, entry date.
const KeyPart kKeys[] = {
    {1, 10, recman::kString, recman::kModifiable},
    {19, 8, recman::kString, recman::kDuplicates | recman::kModifiable},
    {27, 8, recman::kString, recman::kDuplicates | recman::kModifiable},
    {35, 8, recman::kString, recman::kDuplicates | recman::kModifiable},
    {1, 10, recman::kString, recman::kModifiable | recman::kDescending},
    {169, 4, recman::kAutoIncrement, recman::kModifiable},
    {48, 9, recman::kString, recman::kDuplicates | recman::kModifiable},
    {173, 7, recman::kString, recman::kDuplicates | recman::kModifiable},
};

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void Figure(const char* name, double value) { std::printf("FIGURE %s %.4f\n", name, value); }

std::string JournalKey(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "J%08d", n);
  return text;
}

// The records, in a shuffled order of their journal keys.
std::vector<Bytes> MakeRecords() {
  std::vector<int> order(kRecords);
  for (int i = 0; i < kRecords; ++i) order[size_t(i)] = i;
  std::mt19937 random(42);
  std::shuffle(order.begin(), order.end(), random);
  std::vector<Bytes> records;
  records.reserve(kRecords);
  for (int n : order) {
    Bytes record(kLength, 0);
    auto put = [&](size_t offset, const std::string& text) {
      std::memcpy(record.data() + offset, text.data(), text.size());
    };
    put(0, JournalKey(n));
    put(18, std::to_string(1000 + random() % 400));
    put(26, std::to_string(8000 + random() % 300));
    put(34, std::to_string(1570 + random() % 6));
    put(47, "B" + std::to_string(n / 3));
    char date[16];
    std::snprintf(date, sizeof date, "%02d%02d96", 1 + n % 28, 1 + n % 12);
    put(172, date);
    records.push_back(std::move(record));
  }
  return records;
}

std::vector<int> RandomLookups() {
  std::mt19937 random(7);
  std::vector<int> lookups(kRecords);
  for (int& n : lookups) n = int(random() % kRecords);
  return lookups;
}

// ---- recman -----------------------------------------------------------------

struct Times {
  double insert = 0, next = 0, equal = 0;
};

Bytes CreateDefinition() {
  recman::FilePart file{};
  file.recordLength = kLength;
  file.pageSize = 2048;
  file.keyCount = sizeof kKeys / sizeof kKeys[0];
  Bytes definition(sizeof file);
  std::memcpy(definition.data(), &file, sizeof file);
  for (const KeyPart& key : kKeys) {
    recman::KeyDefinition part{};
    part.position = key.position;
    part.length = key.length;
    part.flags = key.flags | recman::kExtendedType;
    part.type = key.type;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&part);
    definition.insert(definition.end(), bytes, bytes + sizeof part);
  }
  return definition;
}

bool Check(int status, const char* what) {
  if (status == recman::kOk) return true;
  std::fprintf(stderr, "bench-recman: %s: status %d\n", what, status);
  return false;
}

bool RunRecman(const std::string& dir, const std::vector<Bytes>& records,
               const std::vector<int>& lookups, Times* times) {
  std::string path = dir + "/bube.btr";
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  uint8_t block[recman::kPositionBlockSize] = {};
  uint8_t key[255] = {};
  uint32_t length = 0;
  Bytes definition = CreateDefinition();
  length = uint32_t(definition.size());
  if (!Check(recman::Call(recman::kCreate, block, definition.data(), &length, name.data(), 255, 0),
             "create"))
    return false;
  if (!Check(recman::Call(recman::kOpen, block, nullptr, &length, name.data(), 255, 0), "open"))
    return false;

  auto start = Clock::now();
  if (!Check(recman::Call(recman::kBeginTransaction, nullptr, nullptr, &length, nullptr, 0, 0),
             "begin"))
    return false;
  Bytes record(kLength);
  for (const Bytes& source : records) {
    record = source;
    length = kLength;
    if (!Check(recman::Call(recman::kInsert, block, record.data(), &length, key, 255, 0),
               "insert"))
      return false;
  }
  if (!Check(recman::Call(recman::kEndTransaction, nullptr, nullptr, &length, nullptr, 0, 0),
             "end"))
    return false;
  times->insert = Seconds(start);

  start = Clock::now();
  int count = 0;
  length = kLength;
  int status = recman::Call(recman::kGetFirst, block, record.data(), &length, key, 255, 0);
  while (status == recman::kOk) {
    ++count;
    length = kLength;
    status = recman::Call(recman::kGetNext, block, record.data(), &length, key, 255, 0);
  }
  times->next = Seconds(start);
  if (status != recman::kEndOfFile || count != kRecords) {
    std::fprintf(stderr, "bench-recman: read %d records, status %d\n", count, status);
    return false;
  }

  start = Clock::now();
  for (int n : lookups) {
    std::string wanted = JournalKey(n);
    std::memcpy(key, wanted.c_str(), 10);
    length = kLength;
    if (!Check(recman::Call(recman::kGetEqual, block, record.data(), &length, key, 255, 0),
               "get equal"))
      return false;
  }
  times->equal = Seconds(start);
  recman::Shutdown();
  return true;
}

// ---- plain SQLite ---------------------------------------------------------------

// The key blobs as plain code would build them: bytes, the descending journal
// key inverted, the posting number big-endian with its sign bit flipped.
void KeyBlobs(const Bytes& record, int32_t number, std::vector<std::string>* blobs) {
  for (size_t k = 0; k < 8; ++k) {
    const KeyPart& key = kKeys[k];
    std::string& blob = (*blobs)[k];
    if (key.type == recman::kAutoIncrement) {
      uint32_t value = uint32_t(number) ^ 0x80000000u;
      blob = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
      continue;
    }
    blob.assign(reinterpret_cast<const char*>(record.data()) + key.position - 1, key.length);
    if (key.flags & recman::kDescending)
      for (char& c : blob) c = char(~c);
  }
}

bool Exec(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  std::fprintf(stderr, "bench-recman: %s: %s\n", sql.c_str(), sqlite3_errmsg(db));
  return false;
}

bool CreatePlainTable(sqlite3* db) {
  std::string columns = "id INTEGER PRIMARY KEY, ver INTEGER NOT NULL, data BLOB NOT NULL";
  for (int k = 0; k < 8; ++k) columns += ", k" + std::to_string(k) + " BLOB NOT NULL";
  if (!Exec(db, "CREATE TABLE bube(" + columns + ")")) return false;
  for (int k = 0; k < 8; ++k) {
    bool unique = !(kKeys[k].flags & recman::kDuplicates);
    std::string n = std::to_string(k);
    if (!Exec(db, std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX bube_k" + n +
                      " ON bube(k" + n + ")"))
      return false;
  }
  return true;
}

bool InsertPlain(sqlite3* db, const std::vector<Bytes>& records) {
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO bube(ver, data, k0, k1, k2, k3, k4, k5, k6, k7) "
                     "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
                     -1, &insert, nullptr);
  if (!Exec(db, "BEGIN IMMEDIATE")) return false;
  std::vector<std::string> blobs(8);
  int32_t number = 0;
  Bytes record(kLength);
  for (const Bytes& source : records) {
    record = source;
    ++number;
    std::memcpy(record.data() + 168, &number, 4);
    KeyBlobs(record, number, &blobs);
    sqlite3_bind_int64(insert, 1, 1);
    sqlite3_bind_blob(insert, 2, record.data(), kLength, SQLITE_STATIC);
    for (int k = 0; k < 8; ++k)
      sqlite3_bind_blob(insert, k + 3, blobs[size_t(k)].data(), int(blobs[size_t(k)].size()),
                        SQLITE_STATIC);
    if (sqlite3_step(insert) != SQLITE_DONE) return false;
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  return Exec(db, "COMMIT");
}

bool RunPlain(const std::string& dir, const std::vector<Bytes>& records,
              const std::vector<int>& lookups, Times* times) {
  sqlite3* db = nullptr;
  if (sqlite3_open((dir + "/plain.db").c_str(), &db) != SQLITE_OK) return false;
  // The record manager's settings: rollback journal, full sync, 8 MiB cache.
  Exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-8192");
  if (!CreatePlainTable(db)) return false;

  auto start = Clock::now();
  if (!InsertPlain(db, records)) return false;
  times->insert = Seconds(start);

  Bytes record(kLength);
  start = Clock::now();
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT id, ver, data, k0 FROM bube ORDER BY k0", -1, &scan, nullptr);
  int count = 0;
  while (sqlite3_step(scan) == SQLITE_ROW) {
    std::memcpy(record.data(), sqlite3_column_blob(scan, 2), kLength);
    ++count;
  }
  sqlite3_finalize(scan);
  times->next = Seconds(start);
  if (count != kRecords) return false;

  start = Clock::now();
  sqlite3_stmt* equal = nullptr;
  sqlite3_prepare_v2(db, "SELECT id, ver, data, k0 FROM bube WHERE k0=?1", -1, &equal, nullptr);
  for (int n : lookups) {
    std::string wanted = JournalKey(n);
    sqlite3_bind_blob(equal, 1, wanted.data(), 10, SQLITE_STATIC);
    if (sqlite3_step(equal) != SQLITE_ROW) return false;
    std::memcpy(record.data(), sqlite3_column_blob(equal, 2), kLength);
    sqlite3_reset(equal);
  }
  sqlite3_finalize(equal);
  times->equal = Seconds(start);
  sqlite3_close(db);
  return true;
}

Times Best(const Times& a, const Times& b) {
  return {std::min(a.insert, b.insert), std::min(a.next, b.next), std::min(a.equal, b.equal)};
}

}  // namespace

// Three rounds, each side in a fresh directory; the best time of each figure
// counts, which keeps the disk's write-back of one round out of the next.
int main() {
  std::vector<Bytes> records = MakeRecords();
  std::vector<int> lookups = RandomLookups();
  const double kNone = 1e9;
  Times recmanBest{kNone, kNone, kNone}, plainBest{kNone, kNone, kNone};
  for (int round = 0; round < 3; ++round) {
    std::string dir = TempDirectory("bench-recman");
    if (dir.empty()) return 1;
    Times recmanTimes, plainTimes;
    bool ok = RunRecman(dir, records, lookups, &recmanTimes) &&
              RunPlain(dir, records, lookups, &plainTimes);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    if (!ok) return 1;
    recmanBest = Best(recmanBest, recmanTimes);
    plainBest = Best(plainBest, plainTimes);
  }
  Figure("recman_insert_seconds", recmanBest.insert);
  Figure("sqlite_insert_seconds", plainBest.insert);
  Figure("recman_next_seconds", recmanBest.next);
  Figure("sqlite_next_seconds", plainBest.next);
  Figure("recman_equal_seconds", recmanBest.equal);
  Figure("sqlite_equal_seconds", plainBest.equal);
  Figure("insert_ratio", recmanBest.insert / plainBest.insert);
  Figure("next_ratio", recmanBest.next / plainBest.next);
  Figure("equal_ratio", recmanBest.equal / plainBest.equal);
  return 0;
}
