// A SQLite file layer that kills the process with SIGKILL just before its
// n-th write, sync, truncate or delete of a file: a power cut at a chosen
// point of a commit (or of the recovery of an earlier one). Installed as the
// default layer, so every connection opened afterwards goes through it.
#pragma once

#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

namespace talvera::testing {

class CrashVfs {
 public:
  // Dies before the limit-th file change; 0 never.
  static void Install(long limit) {
    countdown_ = limit;
    real_ = sqlite3_vfs_find(nullptr);
    vfs_ = *real_;
    vfs_.zName = "crash";
    vfs_.szOsFile = int(sizeof(File)) + real_->szOsFile;
    vfs_.xOpen = Open;
    vfs_.xDelete = [](sqlite3_vfs*, const char* name, int syncDir) {
      Tick();
      return real_->xDelete(real_, name, syncDir);
    };
    methods_ = sqlite3_io_methods{};
    methods_.iVersion = 1;  // no shared memory or mmap: rollback journal only
    methods_.xClose = [](sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); };
    methods_.xRead = [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
      return Real(f)->pMethods->xRead(Real(f), b, n, o);
    };
    methods_.xWrite = [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
      Tick();
      return Real(f)->pMethods->xWrite(Real(f), b, n, o);
    };
    methods_.xTruncate = [](sqlite3_file* f, sqlite3_int64 size) {
      Tick();
      return Real(f)->pMethods->xTruncate(Real(f), size);
    };
    methods_.xSync = [](sqlite3_file* f, int flags) {
      Tick();
      return Real(f)->pMethods->xSync(Real(f), flags);
    };
    methods_.xFileSize = [](sqlite3_file* f, sqlite3_int64* size) {
      return Real(f)->pMethods->xFileSize(Real(f), size);
    };
    methods_.xLock = [](sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); };
    methods_.xUnlock = [](sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); };
    methods_.xCheckReservedLock = [](sqlite3_file* f, int* r) {
      return Real(f)->pMethods->xCheckReservedLock(Real(f), r);
    };
    methods_.xFileControl = [](sqlite3_file* f, int op, void* arg) {
      return Real(f)->pMethods->xFileControl(Real(f), op, arg);
    };
    methods_.xSectorSize = [](sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); };
    methods_.xDeviceCharacteristics = [](sqlite3_file* f) {
      return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
    };
    sqlite3_vfs_register(&vfs_, 1);
  }

 private:
  struct File {
    sqlite3_file base;
    sqlite3_file* real;
  };
  static sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }
  static void Tick() {
    if (countdown_ > 0 && --countdown_ == 0) kill(getpid(), SIGKILL);
  }
  static int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    int rc = real_->xOpen(real_, name, file->real, flags, outFlags);
    file->base.pMethods = rc == SQLITE_OK ? &methods_ : nullptr;
    return rc;
  }

  static inline sqlite3_vfs* real_ = nullptr;
  static inline sqlite3_vfs vfs_{};
  static inline sqlite3_io_methods methods_{};
  static inline long countdown_ = 0;
};

}  // namespace talvera::testing
