// A SQLite savepoint as a guard: rolled back on destruction unless released.
// Outside a transaction it takes the write locks of the schemas it is given
// first, so that it never has to upgrade a read lock (SQLite would fail that
// upgrade at once instead of waiting).
#pragma once

#include <string>
#include <vector>

#include "database.h"

namespace recman {

class Savepoint {
 public:
  explicit Savepoint(const std::vector<const Directory*>& writes);
  ~Savepoint();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;
  int status() const { return status_; }  // of opening and locking
  int Release();

 private:
  sqlite3* db_;
  bool open_ = false;
  int status_ = 0;
};

}  // namespace recman
