// The one process-wide SQLite connection and the directories attached to it.
//
// Every directory's records.db is a schema of this connection: the first one
// used becomes "main" (it must be a file on disk: SQLite's multi-database
// commit puts its super-journal beside the main database, and only that makes
// a commit across directories atomic), later ones are ATTACHed as d1, d2, ...
//
// SQLite cannot ATTACH or DETACH inside a transaction. Directories therefore
// stay attached after use; when the attach limit is reached, the least
// recently used one is detached (only outside a transaction). A directory
// first needed inside a transaction is attached by restarting the transaction
// when it has written nothing yet (the write locks held so far are taken
// again; reads made so far stay safe because updates and deletes check the
// row version); after a write the operation fails with kTransactionError.
// UseDirectory() lets a caller attach a directory before it begins a
// transaction; KeepAttached() keeps the directories of the open Mandant (the
// data root and both open years) attached for good, so that no other
// directory's use can push them out before a transaction needs them.
//
// A transaction write-locks only the directories it needs. Begin takes the
// write lock at once of the directories in which files are open (the caller
// opens the files it will update before it begins, so two processes updating
// the same totals queue up at Begin); any other directory is write-locked
// when the transaction first writes to it. Locking every attached directory
// would block other processes' writers there for nothing, and each database
// in write state at the commit makes SQLite commit through a super-journal,
// with three more syncs, even when nothing of it was changed.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "key_layout.h"

namespace recman {

constexpr const char* kCatalogue = "recman_catalogue";
constexpr const char* kDatabaseName = "records.db";

// One record file of an attached directory: its layout and its cached statements.
struct FileState {
  int64_t table = 0;        // catalogue id; the SQL table is "r<table>"
  std::string name;         // "sako.btr"
  std::string schemaName;   // d1, unquoted
  std::string schema;       // "d1"
  sqlite3_file* databaseFile = nullptr;  // records.db, for its change counter
  std::string qualified;    // "d1"."r7"
  Layout layout;
  std::unordered_map<int, sqlite3_stmt*> statements;
  ~FileState();
};

struct Directory {
  std::string path;    // canonical
  std::string schema;  // "main", "d1", ...
  uint64_t lastUse = 0;
  bool checked = false;       // catalogue presence looked up
  bool hasCatalogue = false;
  bool foreign = false;       // a SQLite database that is not ours
  std::map<std::string, std::unique_ptr<FileState>> files;
};

class Database {
 public:
  static Database& Instance();

  // Attaches the directory when needed. create: records.db may be created.
  int Use(const std::string& directory, bool create, Directory** out);
  // The directories never detached to make room (canonical paths); those
  // with a records.db are attached now unless a transaction runs.
  int KeepAttached(const std::vector<std::string>& directories);
  // Loads the file's catalogue entry (kFileNotFound when absent).
  int File(Directory* dir, const std::string& name, FileState** out);
  // An existing record file of an existing directory: Use, then File.
  int ExistingFile(const std::string& directory, const std::string& name, FileState** out);
  // Forget cached file states of a directory (after create, drop, rename).
  void Forget(Directory* dir, const std::string& name);

  // Begins a transaction, write-locking the given directories (canonical
  // paths; those not attached are skipped).
  int Begin(const std::vector<std::string>& lockNow);
  int Commit();
  int Rollback();
  bool InTransaction() const { return inTransaction_; }
  // Whether the transaction holds the write lock of a schema (unquoted name).
  bool WriteLocked(const std::string& schema) const {
    return db_ && sqlite3_txn_state(db_, schema.c_str()) == SQLITE_TXN_WRITE;
  }
  // SQLite rolled the transaction back by itself (disk full, I/O error):
  // what follows must not pretend to be part of it.
  bool TransactionLost() const;
  void MarkWritten() {
    ++writes_;
    if (inTransaction_) written_ = true;
  }
  // Counts this process's writes and rollbacks: read-ahead rows older than
  // the last one are not used.
  uint64_t Writes() const { return writes_; }

  // Runs SQL without results; returns the SQLite result code.
  int Exec(const std::string& sql);
  sqlite3* Handle() const { return db_; }
  // Bumped whenever cached FileState pointers may have gone stale.
  uint64_t Generation() const { return generation_; }
  void SetBusyTimeout(int milliseconds);
  // Takes the write lock of an attached directory in its turn (writer
  // queue), waiting at most the busy time in all.
  int TakeWriteLockInTurn(const std::string& schema, const std::function<int()>& takeLock);
  void Close();
  // Lets go of a directory's records.db so that it can be removed: detached,
  // or the whole connection closed when it is "main" and `othersOpen` is
  // false. kTransactionActive inside a transaction, kFileInUse when "main"
  // is still needed.
  int Release(const std::string& directory, bool othersOpen);

 private:
  Database();
  int OpenMain(const std::string& file, bool create);
  int Attach(const std::string& file, bool create, std::string* schema);
  int AttachNow(const std::string& file, bool create, std::string* schema);
  void MakeRoom(const std::vector<std::string>& keep = {});
  void Detach(const std::string& path);
  int CheckSchema(Directory* dir, bool create);
  int LockDirectories(const std::vector<std::string>& paths);
  std::string FreeSchemaName() const;

  sqlite3* db_ = nullptr;
  std::map<std::string, Directory> dirs_;
  std::vector<std::string> kept_;
  uint64_t clock_ = 0;
  uint64_t generation_ = 1;
  int busyMs_;
  // The end of the wait for the lock being taken now (the busy handler's
  // limit); unset: the busy time from the handler's first call.
  std::chrono::steady_clock::time_point waitDeadline_{};
  std::chrono::steady_clock::time_point busyStart_{};
  static int BusyWait(void* self, int count);
  bool inTransaction_ = false;
  bool written_ = false;
  uint64_t writes_ = 0;
};

// Status for a SQLite result code; fileLevel chooses 85 over 84 for a busy lock.
int StatusOf(int rc, bool fileLevel);
// "name" with embedded quotes doubled, quoted.
std::string Quote(const std::string& identifier);
// Canonical directory of a record file path and the file's (lower-case) name.
int SplitPath(const std::string& path, std::string* directory, std::string* name);

}  // namespace recman
