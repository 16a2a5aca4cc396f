#include "savepoint.h"

namespace recman {

Savepoint::Savepoint(const std::vector<const Directory*>& writes)
    : db_(Database::Instance().Handle()) {
  int rc = sqlite3_exec(db_, "SAVEPOINT recman_op", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    status_ = StatusOf(rc, true);
    return;
  }
  open_ = true;
  Database::Instance().MarkWritten();
  for (const Directory* dir : writes) {
    std::string lock = "UPDATE " + Quote(dir->schema) + "." + kCatalogue + " SET tbl=tbl WHERE 0";
    rc = sqlite3_exec(db_, lock.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      status_ = StatusOf(rc, true);
      return;
    }
  }
}

Savepoint::~Savepoint() {
  if (!open_) return;
  sqlite3_exec(db_, "ROLLBACK TO recman_op", nullptr, nullptr, nullptr);
  sqlite3_exec(db_, "RELEASE recman_op", nullptr, nullptr, nullptr);
}

int Savepoint::Release() {
  if (status_) return status_;
  int rc = sqlite3_exec(db_, "RELEASE recman_op", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) return StatusOf(rc, true);  // destructor rolls back
  open_ = false;
  return 0;
}

}  // namespace recman
