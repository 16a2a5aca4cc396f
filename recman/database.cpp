#include "database.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "durable_files.h"
#include "writer_queue.h"

namespace fs = std::filesystem;

namespace recman {
namespace {

constexpr int kDefaultBusyMs = 1500;
// Page cache per directory, in KiB as SQLite counts negative sizes: large
// transactions (year-end, data take-over) spill less often.
constexpr int kCacheKiB = -8192;
constexpr int kApplicationId = 0x54414c56;  // "TALV": marks a records.db as ours
// The first 4 KiB of every records.db are mapped into memory, so that a
// scan served from its read-ahead checks the file's change counter (see
// ChangeCounter) with a memory read instead of a system call per record.
// A mapping this small holds no page for SQLite's memory-mapped page
// reads (each needs its page and a margin inside the mapping); its plain
// reads of bytes inside the mapping copy them from there, which shows what
// the file holds, as a read of the file would.
constexpr int kMappedBytes = 4096;

int BusyFromEnvironment() {
  const char* value = std::getenv("TALVERA_RECMAN_BUSY_MS");
  if (!value || !*value) return kDefaultBusyMs;
  int ms = std::atoi(value);
  return ms >= 0 ? ms : kDefaultBusyMs;
}

// SQLite URI for a path; mode rw never creates a missing database by accident.
std::string UriOf(const std::string& path, bool create) {
  std::string uri = "file:";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_' || c == '~') {
      uri += char(c);
    } else {
      static const char* hex = "0123456789ABCDEF";
      uri += '%';
      uri += hex[c >> 4];
      uri += hex[c & 15];
    }
  }
  return uri + (create ? "?mode=rwc" : "?mode=rw");
}

}  // namespace

FileState::~FileState() {
  for (auto& [slot, statement] : statements) sqlite3_finalize(statement);
}

int StatusOf(int rc, bool fileLevel) {
  switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return kOk;
    case SQLITE_BUSY: return fileLevel ? kFileInUse : kRecordInUse;
    case SQLITE_LOCKED: return kRecordInUse;
    case SQLITE_FULL: return kDiskFull;
    case SQLITE_NOTADB: return kNotAFile;
    case SQLITE_CONSTRAINT: return kDuplicateKey;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return kAccessDenied;
    default: return kIoError;  // corrupt, I/O error, cannot open, ...
  }
}

std::string Quote(const std::string& identifier) {
  std::string quoted = "\"";
  for (char c : identifier) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

int SplitPath(const std::string& path, std::string* directory, std::string* name) {
  std::string unified = path;
  std::replace(unified.begin(), unified.end(), '\\', '/');
  fs::path p(unified);
  std::string file = p.filename().string();
  if (file.empty() || file == "." || file == "..") return kInvalidFileName;
  // Names are case-insensitive, as on the system the data files come from.
  std::transform(file.begin(), file.end(), file.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  fs::path dir = p.parent_path();
  if (dir.empty()) dir = ".";
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(fs::absolute(dir, ec), ec);
  if (ec) return kInvalidFileName;
  std::string text = canonical.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  *directory = text;
  *name = file;
  return kOk;
}

Database& Database::Instance() {
  static Database instance;
  return instance;
}

Database::Database() : busyMs_(BusyFromEnvironment()) {}

void Database::SetBusyTimeout(int milliseconds) { busyMs_ = milliseconds; }

// Waits for another process's lock in short steps and gives up only when
// the busy time has really passed (SQLite's own timeout counts the sleeps
// it meant to make, and sleeps ever longer, so a waiter missed the moment
// the lock came free).
int Database::BusyWait(void* self, int count) {
  auto* db = static_cast<Database*>(self);
  auto now = std::chrono::steady_clock::now();
  if (count == 0) db->busyStart_ = now;
  auto deadline = db->waitDeadline_ != std::chrono::steady_clock::time_point{}
                      ? db->waitDeadline_
                      : db->busyStart_ + std::chrono::milliseconds(db->busyMs_);
  if (now >= deadline) return 0;
  std::this_thread::sleep_for(std::chrono::microseconds(500));
  return 1;
}

int Database::TakeWriteLockInTurn(const std::string& schema, const std::function<int()>& takeLock) {
  std::string path;
  for (const auto& [p, dir] : dirs_)
    if (dir.schema == schema) path = p;
  waitDeadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyMs_);
  int status = path.empty() ? takeLock() : InTurn(path, waitDeadline_, takeLock);
  waitDeadline_ = {};
  return status;
}

int Database::Exec(const std::string& sql) {
  return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
}

int Database::Use(const std::string& directory, bool create, Directory** out) {
  auto found = dirs_.find(directory);
  if (found == dirs_.end()) {
    std::error_code ec;
    std::string file = directory + "/" + kDatabaseName;
    if (!fs::exists(file, ec)) {
      if (!create) return kFileNotFound;
      if (!fs::is_directory(directory, ec)) return kDirectoryError;
    }
    std::string schema = "main";
    bool opensMain = !db_;
    bool isNew = !fs::exists(file, ec);
    int status = db_ ? Attach(file, create, &schema) : OpenMain(file, create);
    if (status) return status;
    // A new records.db is in its directory for good only once that is synced.
    if (isNew) SyncDirectory(directory);
    // Hot journals of the main database are rolled back by now; the
    // super-journals no journal can name any more go.
    if (opensMain) RemoveStaleSuperJournals(file);
    Directory& dir = dirs_[directory];
    dir.path = directory;
    dir.schema = schema;
    found = dirs_.find(directory);
  }
  Directory* dir = &found->second;
  dir->lastUse = ++clock_;
  if (int status = CheckSchema(dir, create)) return status;
  *out = dir;
  return kOk;
}

int Database::OpenMain(const std::string& file, bool create) {
  // The URI's mode decides about creating; the flags must allow it, or no
  // later ATTACH could create a directory's database either.
  // Every use of the connection is serialised by the record manager's own
  // lock, so SQLite's per-call locking of the connection is left out.
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
  int rc = sqlite3_open_v2(UriOf(file, create).c_str(), &db_, flags, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_handler(db_, &Database::BusyWait, this);
    // Reading the schema proves the file is a database at all.
    rc = Exec("PRAGMA main.journal_mode=DELETE; PRAGMA main.synchronous=FULL;"
              "PRAGMA main.cache_size=" + std::to_string(kCacheKiB) + ";"
              "PRAGMA main.mmap_size=" + std::to_string(kMappedBytes) + ";"
              "SELECT count(*) FROM main.sqlite_schema");
  }
  // Inside a transaction the new connection joins it; its directory is
  // write-locked when the transaction first writes to it.
  if (rc == SQLITE_OK && inTransaction_) rc = Exec("BEGIN");
  if (rc != SQLITE_OK) {
    int status = StatusOf(rc, true);
    sqlite3_close(db_);
    db_ = nullptr;
    return status;
  }
  return kOk;
}

int Database::Attach(const std::string& file, bool create, std::string* schema) {
  if (!inTransaction_) {
    MakeRoom();
    return AttachNow(file, create, schema);
  }
  if (written_) return kTransactionError;
  // Nothing written yet: give the locks back, attach, and take them again.
  std::vector<std::string> locked;
  for (const auto& [path, dir] : dirs_)
    if (WriteLocked(dir.schema)) locked.push_back(path);
  Exec("ROLLBACK");
  MakeRoom(locked);
  int status = AttachNow(file, create, schema);
  int rc = Exec("BEGIN");
  int lockStatus = rc == SQLITE_OK ? LockDirectories(locked) : StatusOf(rc, true);
  if (lockStatus) {
    if (!sqlite3_get_autocommit(db_)) Exec("ROLLBACK");
    inTransaction_ = false;
    if (!status) {
      Exec("DETACH DATABASE " + Quote(*schema));
      status = lockStatus;
    }
  }
  return status;
}

int Database::AttachNow(const std::string& file, bool create, std::string* schema) {
  if (int(dirs_.size()) - 1 >= sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, -1))
    return kTransactionError;  // nothing could be detached
  std::string name = FreeSchemaName();
  sqlite3_stmt* attach = nullptr;
  int rc = sqlite3_prepare_v2(db_, ("ATTACH DATABASE ?1 AS " + Quote(name)).c_str(), -1,
                              &attach, nullptr);
  if (rc == SQLITE_OK) {
    std::string uri = UriOf(file, create);
    sqlite3_bind_text(attach, 1, uri.c_str(), -1, SQLITE_TRANSIENT);
    rc = sqlite3_step(attach);
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  sqlite3_finalize(attach);
  if (rc != SQLITE_OK) return StatusOf(rc, true);
  Exec("PRAGMA " + Quote(name) + ".journal_mode=DELETE");
  Exec("PRAGMA " + Quote(name) + ".synchronous=FULL");
  Exec("PRAGMA " + Quote(name) + ".cache_size=" + std::to_string(kCacheKiB));
  Exec("PRAGMA " + Quote(name) + ".mmap_size=" + std::to_string(kMappedBytes));
  *schema = name;
  return kOk;
}

std::string Database::FreeSchemaName() const {
  for (int i = 1;; ++i) {
    std::string name = "d" + std::to_string(i);
    bool used = false;
    for (const auto& [path, dir] : dirs_) used |= dir.schema == name;
    if (!used) return name;
  }
}

int Database::KeepAttached(const std::vector<std::string>& directories) {
  kept_ = directories;
  if (inTransaction_) return kOk;
  int result = kOk;
  for (const std::string& directory : directories) {
    Directory* dir = nullptr;
    int status = Use(directory, false, &dir);
    if (status != kOk && status != kFileNotFound && result == kOk) result = status;
  }
  return result;
}

// Detaches the least recently used directories until one more fits; the
// kept ones and those in `keep` stay.
void Database::MakeRoom(const std::vector<std::string>& keep) {
  int limit = sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, -1);
  auto mustStay = [&](const std::string& path) {
    return std::find(kept_.begin(), kept_.end(), path) != kept_.end() ||
           std::find(keep.begin(), keep.end(), path) != keep.end();
  };
  while (int(dirs_.size()) - 1 >= limit) {
    const Directory* oldest = nullptr;
    for (const auto& [path, dir] : dirs_)
      if (dir.schema != "main" && !mustStay(path) && (!oldest || dir.lastUse < oldest->lastUse))
        oldest = &dir;
    if (!oldest) return;
    Detach(oldest->path);
  }
}

void Database::Detach(const std::string& path) {
  auto found = dirs_.find(path);
  if (found == dirs_.end() || found->second.schema == "main") return;
  std::string schema = found->second.schema;
  dirs_.erase(found);  // finalizes the directory's statements first
  Exec("DETACH DATABASE " + Quote(schema));
  ++generation_;
}

int Database::CheckSchema(Directory* dir, bool create) {
  if (!dir->checked) {
    sqlite3_stmt* query = nullptr;
    std::string sql = "SELECT count(*), coalesce(sum(name='" + std::string(kCatalogue) +
                      "'),0) FROM " + Quote(dir->schema) + ".sqlite_schema";
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &query, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(query);
    if (rc != SQLITE_ROW) {
      sqlite3_finalize(query);
      int status = StatusOf(rc, true);
      if (status != kFileInUse) Detach(dir->path);
      return status == kIoError ? kNotAFile : status;
    }
    int64_t objects = sqlite3_column_int64(query, 0);
    dir->hasCatalogue = sqlite3_column_int64(query, 1) > 0;
    dir->foreign = objects > 0 && !dir->hasCatalogue;
    dir->checked = true;
    sqlite3_finalize(query);
  }
  if (dir->foreign) return kNotAFile;
  if (dir->hasCatalogue || !create) return kOk;
  std::string schema = Quote(dir->schema);
  int rc = Exec("CREATE TABLE IF NOT EXISTS " + schema + "." + kCatalogue +
                "(tbl INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL UNIQUE,"
                " definition BLOB NOT NULL)");
  if (rc == SQLITE_OK)
    rc = Exec("PRAGMA " + schema + ".application_id=" + std::to_string(kApplicationId));
  if (rc != SQLITE_OK) return StatusOf(rc, true);
  MarkWritten();
  dir->hasCatalogue = true;
  return kOk;
}

int Database::ExistingFile(const std::string& directory, const std::string& name, FileState** out) {
  Directory* dir = nullptr;
  if (int status = Use(directory, false, &dir)) return status;
  return File(dir, name, out);
}

int Database::File(Directory* dir, const std::string& name, FileState** out) {
  auto found = dir->files.find(name);
  if (found != dir->files.end()) {
    *out = found->second.get();
    return kOk;
  }
  if (!dir->hasCatalogue) return kFileNotFound;
  sqlite3_stmt* query = nullptr;
  std::string sql = "SELECT tbl, definition FROM " + Quote(dir->schema) + "." + kCatalogue +
                    " WHERE name=?1";
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &query, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_bind_text(query, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    rc = sqlite3_step(query);
  }
  int status = kOk;
  if (rc == SQLITE_DONE) {
    status = kFileNotFound;
  } else if (rc != SQLITE_ROW) {
    status = StatusOf(rc, true);
  } else {
    auto file = std::make_unique<FileState>();
    file->table = sqlite3_column_int64(query, 0);
    file->name = name;
    file->schemaName = dir->schema;
    file->schema = Quote(dir->schema);
    file->qualified = file->schema + ".r" + std::to_string(file->table);
    const uint8_t* definition = static_cast<const uint8_t*>(sqlite3_column_blob(query, 1));
    int size = sqlite3_column_bytes(query, 1);
    if (ParseLayout(definition, size_t(size), &file->layout) != kOk) {
      status = kIoError;  // a catalogue entry we did not write
    } else {
      *out = file.get();
      dir->files[name] = std::move(file);
    }
  }
  sqlite3_finalize(query);
  return status;
}

void Database::Forget(Directory* dir, const std::string& name) {
  dir->files.erase(name);
  ++generation_;
}

int Database::Begin(const std::vector<std::string>& lockNow) {
  if (inTransaction_) return kTransactionActive;
  if (db_) {
    int rc = Exec("BEGIN");
    if (rc != SQLITE_OK) return StatusOf(rc, true);
    if (int status = LockDirectories(lockNow)) {
      Exec("ROLLBACK");
      return status;
    }
  }
  inTransaction_ = true;
  written_ = false;
  return kOk;
}

// A write that changes nothing takes a database's write lock (SQLite's
// RESERVED lock) without a page to journal; the busy timeout applies as long
// as the transaction has not read that database yet. The paths are locked in
// their sorted order, the same in every process.
int Database::LockDirectories(const std::vector<std::string>& paths) {
  std::vector<std::string> sorted = paths;
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  for (const std::string& path : sorted) {
    auto found = dirs_.find(path);
    if (found == dirs_.end() || !found->second.hasCatalogue) continue;
    const std::string& schema = found->second.schema;
    if (WriteLocked(schema)) continue;
    int status = TakeWriteLockInTurn(schema, [&] {
      int rc = Exec("UPDATE " + Quote(schema) + "." + kCatalogue + " SET tbl=tbl WHERE 0");
      return rc == SQLITE_OK ? kOk : StatusOf(rc, true);
    });
    if (status) return status;
  }
  return kOk;
}

bool Database::TransactionLost() const {
  return inTransaction_ && db_ && sqlite3_get_autocommit(db_);
}

int Database::Commit() {
  if (!inTransaction_) return kNoTransaction;
  if (TransactionLost()) {
    inTransaction_ = false;
    return kTransactionError;
  }
  if (db_) {
    int rc = Exec("COMMIT");
    if (rc != SQLITE_OK) {
      // A busy commit leaves the transaction open for a retry or an abort.
      inTransaction_ = !sqlite3_get_autocommit(db_);
      return StatusOf(rc, true);
    }
  }
  inTransaction_ = false;
  return kOk;
}

int Database::Rollback() {
  if (!inTransaction_) return kNoTransaction;
  inTransaction_ = false;
  ++writes_;
  // The rollback may undo creations, deletions and new keys: reload layouts.
  for (auto& [path, dir] : dirs_) {
    dir.files.clear();
    dir.checked = false;
  }
  ++generation_;
  if (db_ && !sqlite3_get_autocommit(db_)) {
    int rc = Exec("ROLLBACK");
    if (rc != SQLITE_OK) return StatusOf(rc, true);
  }
  return kOk;
}

int Database::Release(const std::string& directory, bool othersOpen) {
  if (inTransaction_) return kTransactionActive;
  auto found = dirs_.find(directory);
  if (found == dirs_.end()) return kOk;
  if (found->second.schema != "main") {
    Detach(directory);
    return kOk;
  }
  if (othersOpen) return kFileInUse;
  Close();
  return kOk;
}

void Database::Close() {
  if (db_ && !sqlite3_get_autocommit(db_)) Exec("ROLLBACK");
  dirs_.clear();
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
  inTransaction_ = false;
  written_ = false;
  ++generation_;
}

}  // namespace recman
