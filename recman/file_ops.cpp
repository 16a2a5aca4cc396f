#include "file_ops.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "open_files.h"
#include "record_table.h"
#include "savepoint.h"

namespace recman {
namespace {

sqlite3* Db() { return Database::Instance().Handle(); }

int Run(const std::string& sql) {
  int rc = Database::Instance().Exec(sql);
  return rc == SQLITE_OK ? kOk : StatusOf(rc, true);
}

struct Located {
  std::string directory;
  std::string name;
  Directory* dir = nullptr;
};

int Locate(const std::string& path, bool create, Located* out) {
  if (int status = SplitPath(path, &out->directory, &out->name)) return status;
  return Database::Instance().Use(out->directory, create, &out->dir);
}

// The catalogue id of a file, or 0 when the directory has no such file.
int FindTable(Directory* dir, const std::string& name, int64_t* table) {
  FileState* file = nullptr;
  int status = Database::Instance().File(dir, name, &file);
  *table = status == kOk ? file->table : 0;
  return status == kFileNotFound ? kOk : status;
}

int DropTable(Directory* dir, const std::string& name, int64_t table) {
  std::string schema = Quote(dir->schema);
  if (int status = Run("DROP TABLE " + schema + ".r" + std::to_string(table))) return status;
  if (int status = Run("DELETE FROM " + schema + "." + kCatalogue + " WHERE tbl=" +
                       std::to_string(table)))
    return status;
  Database::Instance().Forget(dir, name);
  return kOk;
}

// Adds the catalogue entry and the empty table; indexes only when asked, so
// that a bulk copy can fill the table first.
int AddTable(Directory* dir, const std::string& name, const Layout& layout, bool indexes,
             FileState* state) {
  sqlite3_stmt* insert = nullptr;
  std::string sql = "INSERT INTO " + Quote(dir->schema) + "." + kCatalogue +
                    "(name, definition) VALUES(?1, ?2)";
  int rc = sqlite3_prepare_v2(Db(), sql.c_str(), -1, &insert, nullptr);
  if (rc == SQLITE_OK) {
    std::vector<uint8_t> definition = DefinitionBytes(layout, 0);
    sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_blob(insert, 2, definition.data(), int(definition.size()), SQLITE_TRANSIENT);
    rc = sqlite3_step(insert);
  }
  sqlite3_finalize(insert);
  if (rc != SQLITE_DONE) return StatusOf(rc, true);
  state->table = sqlite3_last_insert_rowid(Db());
  state->name = name;
  state->schemaName = dir->schema;
  state->schema = Quote(dir->schema);
  state->qualified = state->schema + ".r" + std::to_string(state->table);
  state->layout = layout;
  if (int status = Run(CreateTableSql(*state))) return status;
  for (size_t k = 0; indexes && k < layout.keys.size(); ++k)
    if (int status = Run(CreateIndexSql(*state, int(k)))) return status;
  return kOk;
}

// Creates the file in a savepoint the caller holds.
int CreateInside(Directory* dir, const std::string& name, const Layout& layout, bool overwrite,
                 FileState* state) {
  int64_t existing = 0;
  if (int status = FindTable(dir, name, &existing)) return status;
  if (existing && !overwrite) return kFileExists;
  if (existing)
    if (int status = DropTable(dir, name, existing)) return status;
  int status = AddTable(dir, name, layout, true, state);
  Database::Instance().Forget(dir, name);
  return status;
}

int CopyRows(const FileState& from, const FileState& to) {
  std::string columns = "id, ver, data";
  for (size_t k = 0; k < from.layout.keys.size(); ++k) columns += ", k" + std::to_string(k);
  return Run("INSERT INTO " + to.qualified + "(" + columns + ") SELECT " + columns + " FROM " +
             from.qualified + " ORDER BY id");
}

// Copies inside a savepoint the caller holds.
int CopyInside(const Located& from, const Located& to) {
  FileState* source = nullptr;
  if (int status = Database::Instance().File(from.dir, from.name, &source)) return status;
  Layout layout = source->layout;
  int64_t existing = 0;
  if (int status = FindTable(to.dir, to.name, &existing)) return status;
  if (existing)
    if (int status = DropTable(to.dir, to.name, existing)) return status;
  // The drop may have reloaded file states: look the source up again.
  if (int status = Database::Instance().File(from.dir, from.name, &source)) return status;
  FileState target;
  if (int status = AddTable(to.dir, to.name, layout, false, &target)) return status;
  if (int status = CopyRows(*source, target)) return status;
  for (size_t k = 0; k < layout.keys.size(); ++k)
    if (int status = Run(CreateIndexSql(target, int(k)))) return status;
  Database::Instance().Forget(to.dir, to.name);
  return kOk;
}

bool Same(const Located& a, const Located& b) {
  return a.directory == b.directory && a.name == b.name;
}

// Key blobs of the new key for every row, computed before the column is written.
int ComputeKeyColumn(const FileState& file, const Key& key, int column) {
  std::vector<std::pair<int64_t, std::string>> rows;
  sqlite3_stmt* select = nullptr;
  int rc = sqlite3_prepare_v2(Db(), ("SELECT id, data FROM " + file.qualified).c_str(), -1,
                              &select, nullptr);
  while (rc == SQLITE_OK && (rc = sqlite3_step(select)) == SQLITE_ROW) {
    if (sqlite3_column_bytes(select, 1) != file.layout.recordLength) {
      rc = SQLITE_CORRUPT;
      break;
    }
    std::string blob;
    EncodeFromRecord(key, static_cast<const uint8_t*>(sqlite3_column_blob(select, 1)), &blob);
    rows.emplace_back(sqlite3_column_int64(select, 0), std::move(blob));
    rc = SQLITE_OK;
  }
  sqlite3_finalize(select);
  if (rc != SQLITE_DONE) return StatusOf(rc, true);
  sqlite3_stmt* update = nullptr;
  std::string sql = "UPDATE " + file.qualified + " SET k" + std::to_string(column) +
                    "=?1 WHERE id=?2";
  rc = sqlite3_prepare_v2(Db(), sql.c_str(), -1, &update, nullptr);
  for (size_t i = 0; rc == SQLITE_OK && i < rows.size(); ++i) {
    sqlite3_bind_blob(update, 1, rows[i].second.data(), int(rows[i].second.size()),
                      SQLITE_STATIC);
    sqlite3_bind_int64(update, 2, rows[i].first);
    rc = sqlite3_step(update);
    sqlite3_reset(update);
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  sqlite3_finalize(update);
  return rc == SQLITE_OK ? kOk : StatusOf(rc, true);
}

int UpdateDefinition(const FileState& file, const Directory* dir) {
  sqlite3_stmt* update = nullptr;
  std::string sql = "UPDATE " + Quote(dir->schema) + "." + kCatalogue + " SET definition=?1 WHERE tbl=?2";
  int rc = sqlite3_prepare_v2(Db(), sql.c_str(), -1, &update, nullptr);
  if (rc == SQLITE_OK) {
    std::vector<uint8_t> definition = DefinitionBytes(file.layout, 0);
    sqlite3_bind_blob(update, 1, definition.data(), int(definition.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(update, 2, file.table);
    rc = sqlite3_step(update);
  }
  sqlite3_finalize(update);
  return rc == SQLITE_DONE ? kOk : StatusOf(rc, true);
}

}  // namespace

int CreateFile(const std::string& path, const uint8_t* definition, size_t size, bool overwrite) {
  Layout layout;
  if (int status = ParseLayout(definition, size, &layout)) return status;
  Located file;
  if (int status = Locate(path, true, &file)) return status;
  if (OpenFiles::Instance().IsOpen(file.directory, file.name)) return kFileInUse;
  Savepoint savepoint({file.dir});
  if (savepoint.status()) return savepoint.status();
  FileState state;
  if (int status = CreateInside(file.dir, file.name, layout, overwrite, &state)) return status;
  return savepoint.Release();
}

int AddSupplementalKey(const std::string& directory, const std::string& name,
                       const uint8_t* keyDefinitions, size_t size) {
  Database& db = Database::Instance();
  Directory* dir = nullptr;
  FileState* file = nullptr;
  if (int status = db.Use(directory, false, &dir)) return status;
  if (int status = db.File(dir, name, &file)) return status;
  FileState extended;
  extended.table = file->table;
  extended.schema = file->schema;
  extended.qualified = file->qualified;
  extended.layout = file->layout;
  if (int status = AppendKey(keyDefinitions, size, &extended.layout)) return status;
  int column = int(extended.layout.keys.size()) - 1;
  if (column > 118) return kInvalidKeyNumber;
  Savepoint savepoint({dir});
  if (savepoint.status()) return savepoint.status();
  if (int status = Run("ALTER TABLE " + extended.qualified + " ADD COLUMN k" +
                       std::to_string(column) + " BLOB NOT NULL DEFAULT x''"))
    return status;
  if (int status = ComputeKeyColumn(extended, extended.layout.keys[size_t(column)], column))
    return status;
  if (int status = Run(CreateIndexSql(extended, column))) return status;
  if (int status = UpdateDefinition(extended, dir)) return status;
  db.Forget(dir, name);
  return savepoint.Release();
}

bool FileExists(const std::string& path) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    Located file;
    if (Locate(path, false, &file)) return false;
    int64_t table = 0;
    return FindTable(file.dir, file.name, &table) == kOk && table != 0;
  } catch (...) {
    return false;
  }
}

int CopyFile(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    Located source, target;
    if (int status = Locate(from, false, &source)) return status;
    if (int status = Locate(to, true, &target)) return status;
    // The target directory's attach may have detached the source's: look again.
    if (int status = Locate(from, false, &source)) return status;
    if (Same(source, target)) return kInvalidFileName;  // would overwrite itself
    if (OpenFiles::Instance().IsOpen(target.directory, target.name)) return kFileInUse;
    Savepoint savepoint({source.dir, target.dir});
    if (savepoint.status()) return savepoint.status();
    if (int status = CopyInside(source, target)) return status;
    return savepoint.Release();
  } catch (...) {
    return kIoError;
  }
}

int RenameFile(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    Located source, target;
    if (int status = Locate(from, false, &source)) return status;
    if (int status = Locate(to, true, &target)) return status;
    if (int status = Locate(from, false, &source)) return status;
    if (Same(source, target)) return kOk;
    OpenFiles& open = OpenFiles::Instance();
    if (open.IsOpen(source.directory, source.name) || open.IsOpen(target.directory, target.name))
      return kFileInUse;
    int64_t existing = 0, table = 0;
    if (int status = FindTable(target.dir, target.name, &existing)) return status;
    if (existing) return kFileExists;
    if (int status = FindTable(source.dir, source.name, &table)) return status;
    if (!table) return kFileNotFound;
    Savepoint savepoint({source.dir, target.dir});
    if (savepoint.status()) return savepoint.status();
    if (source.directory == target.directory) {
      sqlite3_stmt* update = nullptr;
      std::string sql = "UPDATE " + Quote(source.dir->schema) + "." + kCatalogue +
                        " SET name=?1 WHERE tbl=?2";
      int rc = sqlite3_prepare_v2(Db(), sql.c_str(), -1, &update, nullptr);
      if (rc == SQLITE_OK) {
        sqlite3_bind_text(update, 1, target.name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(update, 2, table);
        rc = sqlite3_step(update);
      }
      sqlite3_finalize(update);
      if (rc != SQLITE_DONE) return StatusOf(rc, true);
      Database::Instance().Forget(source.dir, source.name);
    } else {
      if (int status = CopyInside(source, target)) return status;
      if (int status = DropTable(source.dir, source.name, table)) return status;
    }
    return savepoint.Release();
  } catch (...) {
    return kIoError;
  }
}

int DeleteFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    Located file;
    if (int status = Locate(path, false, &file)) return status;
    int64_t table = 0;
    if (int status = FindTable(file.dir, file.name, &table)) return status;
    if (!table) return kFileNotFound;
    if (OpenFiles::Instance().IsOpen(file.directory, file.name)) return kFileInUse;
    Savepoint savepoint({file.dir});
    if (savepoint.status()) return savepoint.status();
    if (int status = DropTable(file.dir, file.name, table)) return status;
    return savepoint.Release();
  } catch (...) {
    return kIoError;
  }
}

int RemoveDirectory(const std::string& directory) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    std::string dirPath, name;
    if (int status = SplitPath(directory + "/x", &dirPath, &name)) return status;
    std::error_code ec;
    if (!std::filesystem::is_directory(dirPath, ec)) return kFileNotFound;
    Located file;
    int status = Locate(dirPath + "/x", false, &file);
    if (status == kOk && file.dir->hasCatalogue) {
      sqlite3_stmt* query = nullptr;
      std::string sql = "SELECT count(*) FROM " + Quote(file.dir->schema) + "." + kCatalogue;
      int rc = sqlite3_prepare_v2(Db(), sql.c_str(), -1, &query, nullptr);
      if (rc == SQLITE_OK) rc = sqlite3_step(query);
      int64_t files = rc == SQLITE_ROW ? sqlite3_column_int64(query, 0) : -1;
      sqlite3_finalize(query);
      if (files != 0) return files < 0 ? StatusOf(rc, true) : kAccessDenied;
    } else if (status != kOk && status != kFileNotFound) {
      return status;
    }
    const OpenFiles& open = OpenFiles::Instance();
    if (open.AnyOpen(&dirPath)) return kFileInUse;
    if (int released = Database::Instance().Release(dirPath, open.AnyOpen())) return released;
    // Plain files only: a subdirectory is not ours to throw away.
    for (const auto& entry : std::filesystem::directory_iterator(dirPath, ec))
      if (!entry.is_directory(ec)) std::filesystem::remove(entry.path(), ec);
    return std::filesystem::remove(dirPath, ec) ? kOk : kIoError;
  } catch (...) {
    return kIoError;
  }
}

std::vector<std::string> ListFiles(const std::string& directory) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  std::vector<std::string> names;
  try {
    Located file;
    if (Locate(directory + "/x", false, &file) || !file.dir->hasCatalogue) return names;
    sqlite3_stmt* query = nullptr;
    std::string sql = "SELECT name FROM " + Quote(file.dir->schema) + "." + kCatalogue +
                      " ORDER BY name";
    int rc = sqlite3_prepare_v2(Db(), sql.c_str(), -1, &query, nullptr);
    while (rc == SQLITE_OK && sqlite3_step(query) == SQLITE_ROW)
      names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(query, 0)));
    sqlite3_finalize(query);
  } catch (...) {
    names.clear();
  }
  return names;
}

}  // namespace recman
