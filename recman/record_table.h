// The SQL behind each record operation on one record file's table
// "r<id>"(id INTEGER PRIMARY KEY, ver, data, k0, k1, ...).
//
// Every key column has an index on (k); SQLite appends the rowid to every
// index entry, so duplicates sort in insertion order (rowids only grow) and
// (k, id) identifies a place in key order even after that row is gone.
// Each navigation is one prepared, indexed query that reads one row and is
// reset at once, so no read keeps a lock beyond its call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database.h"

namespace recman {

enum class Seek { kEqual, kGreaterOrEqual, kGreater, kLessOrEqual, kLess, kFirst, kLast, kNext,
                  kPrevious };

// A place in a key's order: the row and its version as read, and the key blob.
struct Position {
  int64_t id = 0;
  int64_t version = 0;
  std::string keyBlob;
};

// kOk with the record in buffer (record length bytes), kEndOfFile when no row
// qualifies, or an error status. from: the key value and, for next and
// previous, the position to continue from.
int SeekRow(sqlite3* db, FileState* file, int key, Seek seek, const Position& from,
            uint8_t* buffer, Position* found);
// Rows read ahead: count records of length bytes back to back, with their
// positions. The buffers only grow, so that a long scan allocates nothing
// per row.
struct AheadRows {
  std::vector<Position> positions;
  std::vector<uint8_t> records;
  size_t count = 0;
  size_t length = 0;
  const uint8_t* Record(size_t i) const { return records.data() + i * length; }
};
// Up to limit rows that follow from in the direction of seek (kNext or
// kPrevious); no rows is the end of the file. With duplicates the rest of
// the current key value's run is read first, then the keys beyond, each
// with one query. stopAtRunEnd: a batch ends with the run it began in, and
// one that begins at the next key value holds that value's first record
// only (a caller that reads one key value's records stops there, and
// every record read beyond costs a seek in the table).
int SeekBatch(sqlite3* db, FileState* file, int key, Seek seek, const Position& from, int limit,
              bool stopAtRunEnd, AheadRows* rows);
// The change counter of the file's records.db as it is on disk now, read
// without taking a lock (from the mapping of the first page when SQLite has
// it in place, else from the file); false when it cannot be read.
bool ChangeCounter(sqlite3* db, FileState* file, uint32_t* counter);

// kInvalidRecordAddress when there is no row with that id.
int ReadDirect(sqlite3* db, FileState* file, int key, int64_t id, uint8_t* buffer,
               Position* found);
// Fills zero auto-increment fields of record (max + 1) and inserts it.
int InsertRow(sqlite3* db, FileState* file, int key, uint8_t* record, bool lockFirst,
              Position* inserted);
// kConflict when the row changed or vanished since it was read at current.
int UpdateRow(sqlite3* db, FileState* file, int key, const Position& current,
              const uint8_t* record, Position* updated);
int DeleteRow(sqlite3* db, FileState* file, const Position& current);
int CountRows(sqlite3* db, FileState* file, int64_t* count);
// Takes the write lock of the file's records.db inside a transaction that
// does not hold it yet (kFileInUse when another process holds it).
int LockForWrite(sqlite3* db, FileState* file);

// DDL of a record file's table and its key indexes.
std::string CreateTableSql(const FileState& file);
std::string CreateIndexSql(const FileState& file, int key);

}  // namespace recman
