// The files opened through Call(): each open gets a handle whose serial is
// written into the caller's 128-byte position block. The handle keeps the
// cursor (key number, row, version and key blob of the current record), so
// GetNext/GetPrevious continue from the right place even after other rows
// were inserted or deleted, and Update/Delete can tell a stale read.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "record_table.h"

namespace recman {

// Rows that GetNext/GetPrevious read ahead. They are served only while
// nothing can have changed: no write or rollback in this process and the
// same change counter in records.db (another process's commit raises it).
// Looking at that counter is a memory read through the mapping of the
// file's first page (a pread while that is not in place), where a fresh
// query needs a lock round trip of several system calls.
struct ReadAhead {
  AheadRows rows;
  size_t next = 0;
  Seek direction = Seek::kNext;
  int key = -1;
  int batch = 0;  // rows fetched last time; grows while the caller keeps reading
  // The caller has read on into the next key value of a key with
  // duplicates: batches may cross from one value to the next from now on.
  bool pastRunEnd = false;
  bool counterKnown = false;
  uint32_t counter = 0;
  uint64_t writes = 0;
  uint64_t generation = 0;
  void Clear() {
    rows.count = 0;
    next = 0;
    batch = 0;
    pastRunEnd = false;
  }
};

struct Handle {
  std::string directory;
  std::string name;
  bool readOnly = false;
  uint64_t generation = 0;
  FileState* file = nullptr;
  int key = 0;              // key whose order GetNext/GetPrevious follow
  bool positioned = false;  // a place in key order exists
  bool onRecord = false;    // ... and the record there still is current
  Position position;
  ReadAhead ahead;
};

class OpenFiles {
 public:
  static OpenFiles& Instance();
  // Registers a handle and stamps the position block with it.
  void Add(Handle handle, void* positionBlock);
  Handle* Find(const void* positionBlock);
  void Remove(void* positionBlock);
  bool IsOpen(const std::string& directory, const std::string& name) const;
  // Any file open at all; with a directory, any file of that directory.
  bool AnyOpen(const std::string* directory = nullptr) const;
  // The directories in which files are open.
  std::vector<std::string> Directories() const;
  void Clear() { handles_.clear(); }
  // The handle's file state, reloaded when directories or layouts changed.
  int Resolve(Handle* handle);

 private:
  std::unordered_map<uint64_t, Handle> handles_;
  uint64_t nextSerial_ = 1;
};

// Serialises every entry into the record manager.
std::mutex& RecmanMutex();

}  // namespace recman
