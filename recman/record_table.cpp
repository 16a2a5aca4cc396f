#include "record_table.h"

#include <cstring>
#include <vector>

namespace recman {
namespace {

// kNextBatch/kPreviousBatch read the keys beyond a key value, kNextInRun/
// kPreviousInRun the rest of a run of duplicates.
enum Statement { kSeekBase = 0, kNextBatch = 14, kPreviousBatch = 15, kDirect = 16, kInsertSql, kMaxKey, kReadKeys, kUpdateSql, kDeleteSql,
                 kCount, kLock, kUpdateDataSql, kNextInRun, kPreviousInRun };

std::string Column(int key) { return "k" + std::to_string(key); }

std::string Order(const FileState& f, int key, bool descending) {
  std::string k = Column(key), dir = descending ? " DESC" : "";
  return f.layout.keys[key].unique ? k + dir : k + dir + ", id" + dir;
}

std::string Select(const FileState& f, int key) {
  return "SELECT id, ver, data, " + Column(key) + " FROM " + f.qualified;
}

// limit: "1", or "?3" for the read-ahead of GetNext/GetPrevious.
std::string SeekSql(const FileState& f, int key, Seek seek, const std::string& limit = "1") {
  std::string k = Column(key), head = Select(f, key);
  std::string up = " ORDER BY " + Order(f, key, false) + " LIMIT " + limit;
  std::string down = " ORDER BY " + Order(f, key, true) + " LIMIT " + limit;
  switch (seek) {
    case Seek::kEqual: return head + " WHERE " + k + "=?1" + up;
    case Seek::kGreaterOrEqual: return head + " WHERE " + k + ">=?1" + up;
    case Seek::kGreater: return head + " WHERE " + k + ">?1" + up;
    case Seek::kLessOrEqual: return head + " WHERE " + k + "<=?1" + down;
    case Seek::kLess: return head + " WHERE " + k + "<?1" + down;
    case Seek::kFirst: return head + up;
    case Seek::kLast: return head + down;
    // GetNext/GetPrevious: the keys beyond the current one. With duplicates
    // the rest of the current key's run comes first (RunSql); the two are
    // separate queries, as one compound query copies every row it passes on.
    case Seek::kNext: return head + " WHERE " + k + ">?1" + up;
    case Seek::kPrevious: return head + " WHERE " + k + "<?1" + down;
  }
  return head;
}

std::string RunSql(const FileState& f, int key, Seek seek) {
  std::string k = Column(key);
  return seek == Seek::kNext
             ? Select(f, key) + " WHERE " + k + "=?1 AND id>?2 ORDER BY id LIMIT ?3"
             : Select(f, key) + " WHERE " + k + "=?1 AND id<?2 ORDER BY id DESC LIMIT ?3";
}

std::string KeyColumns(const FileState& f, const std::string& prefix) {
  std::string list;
  for (size_t k = 0; k < f.layout.keys.size(); ++k) list += prefix + Column(int(k));
  return list;
}

std::string InsertSql(const FileState& f) {
  std::string values = "?1, ?2";
  for (size_t k = 0; k < f.layout.keys.size(); ++k) values += ", ?" + std::to_string(k + 3);
  return "INSERT INTO " + f.qualified + "(ver, data" + KeyColumns(f, ", ") + ") VALUES(" +
         values + ")";
}

std::string UpdateSql(const FileState& f) {
  std::string sets = "ver=ver+1, data=?3";
  for (size_t k = 0; k < f.layout.keys.size(); ++k)
    sets += ", " + Column(int(k)) + "=?" + std::to_string(k + 4);
  return "UPDATE " + f.qualified + " SET " + sets + " WHERE id=?1 AND ver=?2";
}

// An update that leaves every key as it was: SQLite rewrites the entries of
// every index whose column is SET, changed or not, and each page so touched
// must be journaled and written at the commit.
std::string UpdateDataSql(const FileState& f) {
  return "UPDATE " + f.qualified + " SET ver=ver+1, data=?3 WHERE id=?1 AND ver=?2";
}

std::string SqlFor(const FileState& f, int kind, int key) {
  if (kind == kNextBatch) return SeekSql(f, key, Seek::kNext, "?3");
  if (kind == kPreviousBatch) return SeekSql(f, key, Seek::kPrevious, "?3");
  if (kind == kNextInRun) return RunSql(f, key, Seek::kNext);
  if (kind == kPreviousInRun) return RunSql(f, key, Seek::kPrevious);
  if (kind < kDirect) return SeekSql(f, key, Seek(kind));
  switch (kind) {
    case kDirect: return Select(f, key) + " WHERE id=?1";
    case kInsertSql: return InsertSql(f);
    case kMaxKey: {
      bool descending = f.layout.keys[key].segments[0].descending;
      return "SELECT " + Column(key) + " FROM " + f.qualified + " ORDER BY " + Column(key) +
             (descending ? "" : " DESC") + " LIMIT 1";
    }
    case kReadKeys: return "SELECT ver" + KeyColumns(f, ", ") + " FROM " + f.qualified +
                           " WHERE id=?1";
    case kUpdateSql: return UpdateSql(f);
    case kUpdateDataSql: return UpdateDataSql(f);
    case kDeleteSql: return "DELETE FROM " + f.qualified + " WHERE id=?1 AND ver=?2";
    case kCount: return "SELECT count(*) FROM " + f.qualified;
    // A write that changes nothing but takes this database's write lock.
    case kLock: return "UPDATE " + f.schema + "." + kCatalogue + " SET tbl=tbl WHERE 0";
  }
  return {};
}

// The cached statement; nullptr with *rc set when it cannot be prepared.
sqlite3_stmt* Prepared(sqlite3* db, FileState* f, int kind, int key, int* rc) {
  int slot = kind * 256 + key;
  auto found = f->statements.find(slot);
  if (found != f->statements.end()) return found->second;
  sqlite3_stmt* statement = nullptr;
  *rc = sqlite3_prepare_v3(db, SqlFor(*f, kind, key).c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                           &statement, nullptr);
  if (*rc != SQLITE_OK) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  f->statements[slot] = statement;
  return statement;
}

// Resets a statement on every path out of a function.
struct ResetGuard {
  sqlite3_stmt* statement;
  ~ResetGuard() {
    if (statement) sqlite3_reset(statement);
  }
};

void BindBlob(sqlite3_stmt* s, int index, const void* data, size_t size) {
  sqlite3_bind_blob(s, index, size ? data : "", int(size), SQLITE_STATIC);
}

// Copies the row the statement stands on: columns id, ver, data, key blob.
int TakeRow(FileState* f, sqlite3_stmt* s, uint8_t* buffer, Position* found) {
  const void* data = sqlite3_column_blob(s, 2);
  if (sqlite3_column_bytes(s, 2) != f->layout.recordLength) return kIoError;  // not a row we wrote
  memcpy(buffer, data, f->layout.recordLength);
  found->id = sqlite3_column_int64(s, 0);
  found->version = sqlite3_column_int64(s, 1);
  const char* blob = static_cast<const char*>(sqlite3_column_blob(s, 3));
  found->keyBlob.assign(blob ? blob : "", size_t(sqlite3_column_bytes(s, 3)));
  return kOk;
}

int StepForRow(FileState* f, sqlite3_stmt* s, uint8_t* buffer, Position* found, int missing) {
  int rc = sqlite3_step(s);
  if (rc == SQLITE_ROW) return TakeRow(f, s, buffer, found);
  if (rc == SQLITE_DONE) return missing;
  return StatusOf(rc, false);
}

int64_t NewVersion() {
  int64_t version;
  sqlite3_randomness(sizeof version, &version);
  // Random start: a row that reuses a deleted row's id never matches a stale read.
  return version & 0x3fffffffffffffffLL;
}

int NextAutoValue(sqlite3* db, FileState* f, int key, int64_t* value) {
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, f, kMaxKey, key, &rc);
  if (!s) return StatusOf(rc, false);
  ResetGuard guard{s};
  rc = sqlite3_step(s);
  int64_t max = 0;
  if (rc == SQLITE_ROW) {
    const char* blob = static_cast<const char*>(sqlite3_column_blob(s, 0));
    max = DecodeAutoBlob(f->layout.keys[key],
                         std::string(blob ? blob : "", size_t(sqlite3_column_bytes(s, 0))));
  } else if (rc != SQLITE_DONE) {
    return StatusOf(rc, false);
  }
  int64_t limit = f->layout.keys[key].length == 2 ? INT16_MAX : INT32_MAX;
  if (max >= limit) return kDuplicateKey;  // the counter is exhausted
  *value = (max > 0 ? max : 0) + 1;
  return kOk;
}

int FillAutoValues(sqlite3* db, FileState* f, uint8_t* record) {
  for (size_t k = 0; k < f->layout.keys.size(); ++k) {
    const Key& key = f->layout.keys[k];
    if (!key.autoIncrement || ReadAutoValue(key, record) != 0) continue;
    int64_t value = 0;
    if (int status = NextAutoValue(db, f, int(k), &value)) return status;
    WriteAutoValue(key, value, record);
  }
  return kOk;
}

bool HasZeroAutoValue(const FileState& f, const uint8_t* record) {
  for (const Key& key : f.layout.keys)
    if (key.autoIncrement && ReadAutoValue(key, record) == 0) return true;
  return false;
}

int RunInsert(sqlite3* db, FileState* f, int key, const uint8_t* record, Position* inserted) {
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, f, kInsertSql, 0, &rc);
  if (!s) return StatusOf(rc, false);
  ResetGuard guard{s};
  std::vector<std::string> blobs(f->layout.keys.size());
  int64_t version = NewVersion();
  sqlite3_bind_int64(s, 1, version);
  BindBlob(s, 2, record, f->layout.recordLength);
  for (size_t k = 0; k < blobs.size(); ++k) {
    EncodeFromRecord(f->layout.keys[k], record, &blobs[k]);
    BindBlob(s, int(k) + 3, blobs[k].data(), blobs[k].size());
  }
  rc = sqlite3_step(s);
  if (rc != SQLITE_DONE) return StatusOf(rc, false);
  inserted->id = sqlite3_last_insert_rowid(db);
  inserted->version = version;
  inserted->keyBlob = std::move(blobs[size_t(key)]);
  return kOk;
}

int TakeWriteLock(sqlite3* db, FileState* f) {
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, f, kLock, 0, &rc);
  if (!s) return StatusOf(rc, true);
  ResetGuard guard{s};
  rc = sqlite3_step(s);
  return rc == SQLITE_DONE ? kOk : StatusOf(rc, true);
}

// Version and key blobs of a row as stored now; kConflict when it is gone or changed.
int CheckUnchanged(sqlite3* db, FileState* f, const Position& current,
                   std::vector<std::string>* keys) {
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, f, kReadKeys, 0, &rc);
  if (!s) return StatusOf(rc, false);
  ResetGuard guard{s};
  sqlite3_bind_int64(s, 1, current.id);
  rc = sqlite3_step(s);
  if (rc == SQLITE_DONE) return kConflict;
  if (rc != SQLITE_ROW) return StatusOf(rc, false);
  if (sqlite3_column_int64(s, 0) != current.version) return kConflict;
  for (size_t k = 0; k < f->layout.keys.size(); ++k) {
    const char* blob = static_cast<const char*>(sqlite3_column_blob(s, int(k) + 1));
    keys->emplace_back(blob ? blob : "", size_t(sqlite3_column_bytes(s, int(k) + 1)));
  }
  return kOk;
}

}  // namespace

int SeekRow(sqlite3* db, FileState* file, int key, Seek seek, const Position& from,
            uint8_t* buffer, Position* found) {
  if (seek == Seek::kNext || seek == Seek::kPrevious) {
    AheadRows one;
    if (int status = SeekBatch(db, file, key, seek, from, 1, false, &one)) return status;
    if (one.count == 0) return kEndOfFile;
    memcpy(buffer, one.Record(0), file->layout.recordLength);
    *found = one.positions[0];
    return kOk;
  }
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, file, kSeekBase + int(seek), key, &rc);
  if (!s) return StatusOf(rc, false);
  ResetGuard guard{s};
  if (seek != Seek::kFirst && seek != Seek::kLast)
    BindBlob(s, 1, from.keyBlob.data(), from.keyBlob.size());
  return StepForRow(file, s, buffer, found, kEndOfFile);
}

namespace {

// Adds the rows of one read-ahead query to rows, at most limit in all.
int AddRows(sqlite3* db, FileState* file, int kind, int key, const Position& from, int limit,
            AheadRows* rows) {
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, file, kind, key, &rc);
  if (!s) return StatusOf(rc, false);
  ResetGuard guard{s};
  BindBlob(s, 1, from.keyBlob.data(), from.keyBlob.size());
  sqlite3_bind_int64(s, 2, from.id);
  sqlite3_bind_int(s, 3, limit - int(rows->count));
  size_t length = size_t(file->layout.recordLength);
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    // The buffers of earlier batches are used again: no allocation per row.
    if (rows->positions.size() <= rows->count) rows->positions.resize(rows->count + 1);
    if (rows->records.size() < (rows->count + 1) * length)
      rows->records.resize((rows->count + 1) * length);
    if (int status = TakeRow(file, s, &rows->records[rows->count * length],
                             &rows->positions[rows->count]))
      return status;
    ++rows->count;
  }
  return rc == SQLITE_DONE ? kOk : StatusOf(rc, false);
}

}  // namespace

// The two queries are two read transactions: a commit between them changes
// the counter the batch was read under, so the reader serves only the
// batch's first row (from the first query) and then reads afresh.
int SeekBatch(sqlite3* db, FileState* file, int key, Seek seek, const Position& from, int limit,
              bool stopAtRunEnd, AheadRows* rows) {
  bool next = seek == Seek::kNext;
  rows->count = 0;
  rows->length = size_t(file->layout.recordLength);
  if (!file->layout.keys[key].unique) {
    if (int status = AddRows(db, file, next ? kNextInRun : kPreviousInRun, key, from, limit, rows))
      return status;
    if (int(rows->count) >= limit || (stopAtRunEnd && rows->count > 0)) return kOk;
    if (stopAtRunEnd) limit = 1;
  }
  return AddRows(db, file, next ? kNextBatch : kPreviousBatch, key, from, limit, rows);
}

bool ChangeCounter(sqlite3* db, FileState* file, uint32_t* counter) {
  if (!file->databaseFile &&
      sqlite3_file_control(db, file->schemaName.c_str(), SQLITE_FCNTL_FILE_POINTER,
                           &file->databaseFile) != SQLITE_OK)
    file->databaseFile = nullptr;
  sqlite3_file* f = file->databaseFile;
  uint8_t bytes[4];
  // Offset 24 of a SQLite database: the file change counter, raised by every
  // commit (rollback-journal mode) before any page of the commit is written.
  if (!f || !f->pMethods || f->pMethods->xRead(f, bytes, 4, 24) != SQLITE_OK) return false;
  *counter = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
             bytes[3];
  return true;
}

int ReadDirect(sqlite3* db, FileState* file, int key, int64_t id, uint8_t* buffer,
               Position* found) {
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, file, kDirect, key, &rc);
  if (!s) return StatusOf(rc, false);
  ResetGuard guard{s};
  sqlite3_bind_int64(s, 1, id);
  return StepForRow(file, s, buffer, found, kInvalidRecordAddress);
}

int InsertRow(sqlite3* db, FileState* file, int key, uint8_t* record, bool lockFirst,
              Position* inserted) {
  if (!HasZeroAutoValue(*file, record)) return RunInsert(db, file, key, record, inserted);
  // max + 1 and the insert must see the same table: hold the write lock
  // across both (a transaction already does).
  if (lockFirst && sqlite3_exec(db, "SAVEPOINT recman_insert", nullptr, nullptr, nullptr))
    return StatusOf(sqlite3_errcode(db), true);
  int status = lockFirst ? TakeWriteLock(db, file) : kOk;
  if (!status) status = FillAutoValues(db, file, record);
  if (!status) status = RunInsert(db, file, key, record, inserted);
  if (lockFirst) {
    if (status) sqlite3_exec(db, "ROLLBACK TO recman_insert", nullptr, nullptr, nullptr);
    int rc = sqlite3_exec(db, "RELEASE recman_insert", nullptr, nullptr, nullptr);
    if (!status && rc != SQLITE_OK) status = StatusOf(rc, true);
  }
  return status;
}

int UpdateRow(sqlite3* db, FileState* file, int key, const Position& current,
              const uint8_t* record, Position* updated) {
  std::vector<std::string> stored;
  if (int status = CheckUnchanged(db, file, current, &stored)) return status;
  std::vector<std::string> blobs(file->layout.keys.size());
  bool keysChanged = false;
  for (size_t k = 0; k < blobs.size(); ++k) {
    EncodeFromRecord(file->layout.keys[k], record, &blobs[k]);
    if (blobs[k] == stored[k]) continue;
    if (!file->layout.keys[k].modifiable) return kModifiableKeyChanged;
    keysChanged = true;
  }
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, file, keysChanged ? kUpdateSql : kUpdateDataSql, 0, &rc);
  if (!s) return StatusOf(rc, false);
  ResetGuard guard{s};
  sqlite3_bind_int64(s, 1, current.id);
  sqlite3_bind_int64(s, 2, current.version);
  BindBlob(s, 3, record, file->layout.recordLength);
  if (keysChanged)
    for (size_t k = 0; k < blobs.size(); ++k)
      BindBlob(s, int(k) + 4, blobs[k].data(), blobs[k].size());
  rc = sqlite3_step(s);
  if (rc != SQLITE_DONE) return StatusOf(rc, false);
  // The version guard in WHERE closes the gap between the check and the write.
  if (sqlite3_changes(db) == 0) return kConflict;
  updated->id = current.id;
  updated->version = current.version + 1;
  updated->keyBlob = std::move(blobs[size_t(key)]);
  return kOk;
}

int DeleteRow(sqlite3* db, FileState* file, const Position& current) {
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, file, kDeleteSql, 0, &rc);
  if (!s) return StatusOf(rc, false);
  ResetGuard guard{s};
  sqlite3_bind_int64(s, 1, current.id);
  sqlite3_bind_int64(s, 2, current.version);
  rc = sqlite3_step(s);
  if (rc != SQLITE_DONE) return StatusOf(rc, false);
  return sqlite3_changes(db) == 0 ? kConflict : kOk;
}

int LockForWrite(sqlite3* db, FileState* file) {
  Database& database = Database::Instance();
  if (!database.InTransaction() || database.WriteLocked(file->schemaName)) return kOk;
  return database.TakeWriteLockInTurn(file->schemaName, [&] { return TakeWriteLock(db, file); });
}

int CountRows(sqlite3* db, FileState* file, int64_t* count) {
  int rc = SQLITE_OK;
  sqlite3_stmt* s = Prepared(db, file, kCount, 0, &rc);
  if (!s) return StatusOf(rc, true);
  ResetGuard guard{s};
  rc = sqlite3_step(s);
  if (rc != SQLITE_ROW) return StatusOf(rc, true);
  *count = sqlite3_column_int64(s, 0);
  return kOk;
}

std::string CreateTableSql(const FileState& file) {
  std::string columns = "id INTEGER PRIMARY KEY, ver INTEGER NOT NULL, data BLOB NOT NULL";
  for (size_t k = 0; k < file.layout.keys.size(); ++k)
    columns += ", " + Column(int(k)) + " BLOB NOT NULL";
  return "CREATE TABLE " + file.qualified + "(" + columns + ")";
}

std::string CreateIndexSql(const FileState& file, int key) {
  std::string table = "r" + std::to_string(file.table);
  return std::string("CREATE ") + (file.layout.keys[key].unique ? "UNIQUE " : "") + "INDEX " +
         file.schema + "." + table + "_" + Column(key) + " ON " + table + "(" + Column(key) + ")";
}

}  // namespace recman
