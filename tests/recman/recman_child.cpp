// A second process for the record-manager tests.
//
//   hold FILE               begin a transaction on FILE's directory, print
//                           "ready", hold the lock until stdin closes
//   change FILE ID          update byte 4 of the record with int32 key ID
//   delete FILE ID          delete the record with int32 key ID
//   insert FILE ID VALUE    insert the record (int32 ID, int32 VALUE)
//   post DIR1 DIR2 LIMIT    one transaction over a.btr, b.btr (DIR1) and c.btr
//                           (DIR2, opened only after DIR1 is written, so that
//                           its lock is taken then); the process kills itself
//                           with SIGKILL before its LIMIT-th write, sync,
//                           truncate or delete of a file (0: never)
//   count FILE ID N MODE    N transactions that each add 1 to byte 4 of the
//                           record with int32 key ID, each tried again after
//                           84/85; MODE "open": FILE is open at Begin,
//                           "late": opened inside each transaction
//
// Exit status: the record manager's status of the failing step, 0 when done.
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "recman.h"

namespace {

// ---- a VFS that dies at a chosen point -------------------------------------

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs crashVfs;
sqlite3_io_methods crashMethods;
long countdown = 0;

struct CrashFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<CrashFile*>(f)->real; }

void Tick() {
  if (countdown > 0 && --countdown == 0) kill(getpid(), SIGKILL);
}

int Close(sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); }
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
  return Real(f)->pMethods->xRead(Real(f), b, n, o);
}
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
  Tick();
  return Real(f)->pMethods->xWrite(Real(f), b, n, o);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  Tick();
  return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
  Tick();
  return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
  return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); }
int Unlock(sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); }
int CheckReserved(sqlite3_file* f, int* r) {
  return Real(f)->pMethods->xCheckReservedLock(Real(f), r);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
  return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int Characteristics(sqlite3_file* f) {
  return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  auto* file = reinterpret_cast<CrashFile*>(f);
  file->real = reinterpret_cast<sqlite3_file*>(file + 1);
  int rc = realVfs->xOpen(realVfs, name, file->real, flags, outFlags);
  file->base.pMethods = rc == SQLITE_OK ? &crashMethods : nullptr;
  return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  Tick();
  return realVfs->xDelete(realVfs, name, syncDir);
}

void InstallCrashVfs(long limit) {
  countdown = limit;
  realVfs = sqlite3_vfs_find(nullptr);
  crashVfs = *realVfs;
  crashVfs.zName = "crash";
  crashVfs.szOsFile = int(sizeof(CrashFile)) + realVfs->szOsFile;
  crashVfs.xOpen = Open;
  crashVfs.xDelete = Delete;
  crashMethods = sqlite3_io_methods{};
  crashMethods.iVersion = 1;  // no shared memory or mmap: rollback journal only
  crashMethods.xClose = Close;
  crashMethods.xRead = Read;
  crashMethods.xWrite = Write;
  crashMethods.xTruncate = Truncate;
  crashMethods.xSync = Sync;
  crashMethods.xFileSize = FileSize;
  crashMethods.xLock = Lock;
  crashMethods.xUnlock = Unlock;
  crashMethods.xCheckReservedLock = CheckReserved;
  crashMethods.xFileControl = FileControl;
  crashMethods.xSectorSize = SectorSize;
  crashMethods.xDeviceCharacteristics = Characteristics;
  sqlite3_vfs_register(&crashVfs, 1);
}

// ---- record-manager steps ----------------------------------------------------

using Bytes = std::vector<uint8_t>;
constexpr uint16_t kLen = 8;  // int32 id at 0, int32 value at 4

struct File {
  uint8_t block[recman::kPositionBlockSize] = {};
  uint8_t key[255] = {};
  int Open(const std::string& path) {
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    uint32_t length = 0;
    return recman::Call(recman::kOpen, block, nullptr, &length, name.data(), 255, 0);
  }
  int Do(uint16_t op, Bytes* record) {
    uint32_t length = uint32_t(record->size());
    return recman::Call(op, block, record->data(), &length, key, 255, 0);
  }
  int Find(int32_t id, Bytes* record) {
    memcpy(key, &id, 4);
    return Do(recman::kGetEqual, record);
  }
};

int Transaction(uint16_t op) {
  uint32_t length = 0;
  return recman::Call(op, nullptr, nullptr, &length, nullptr, 0, 0);
}

int Hold(const std::string& path) {
  File file;
  if (int status = file.Open(path)) return status;
  if (int status = Transaction(recman::kBeginTransaction)) return status;
  std::printf("ready\n");
  std::fflush(stdout);
  char buffer[16];
  while (read(0, buffer, sizeof buffer) > 0) {
  }
  return Transaction(recman::kAbortTransaction);
}

int Change(const std::string& path, int32_t id, bool remove) {
  File file;
  Bytes record(kLen);
  if (int status = file.Open(path)) return status;
  if (int status = file.Find(id, &record)) return status;
  if (remove) return file.Do(recman::kDelete, &record);
  record[4]++;
  return file.Do(recman::kUpdate, &record);
}

int Add(const std::string& path, int32_t id, int32_t value) {
  File file;
  if (int status = file.Open(path)) return status;
  Bytes record(kLen);
  memcpy(record.data(), &id, 4);
  memcpy(record.data() + 4, &value, 4);
  return file.Do(recman::kInsert, &record);
}

// Record 0 of each file counts the transactions posted; each transaction
// adds records n*10+1 .. n*10+3 to every file and raises every counter.
int Post(const std::string& dir1, const std::string& dir2) {
  File files[3];
  const std::string paths[3] = {dir1 + "/a.btr", dir1 + "/b.btr", dir2 + "/c.btr"};
  for (int i = 0; i < 2; ++i)
    if (int status = files[i].Open(paths[i])) return status;
  if (int status = recman::UseDirectory(dir2)) return status;
  if (int status = Transaction(recman::kBeginTransaction)) return status;
  for (File& file : files) {
    if (&file == &files[2])
      if (int status = file.Open(paths[2])) return status;
    Bytes counter(kLen);
    if (int status = file.Find(0, &counter)) return status;
    int32_t n;
    memcpy(&n, counter.data() + 4, 4);
    for (int32_t k = 1; k <= 3; ++k) {
      Bytes record(kLen, 0);
      int32_t id = n * 10 + k;
      memcpy(record.data(), &id, 4);
      if (int status = file.Do(recman::kInsert, &record)) return status;
    }
    if (int status = file.Find(0, &counter)) return status;
    ++n;
    memcpy(counter.data() + 4, &n, 4);
    if (int status = file.Do(recman::kUpdate, &counter)) return status;
  }
  return Transaction(recman::kEndTransaction);
}

bool InUse(int status) { return status == recman::kRecordInUse || status == recman::kFileInUse; }

// One increment; 84/85 when a lock could not be had (the transaction is aborted).
int Increment(const std::string& path, int32_t id, bool late) {
  File file;
  if (!late)
    if (int status = file.Open(path)) return status;
  int status = Transaction(recman::kBeginTransaction);
  if (status) return status;
  Bytes record(kLen);
  if (late) status = file.Open(path);
  if (!status) status = file.Find(id, &record);
  if (!status) {
    int32_t value;
    memcpy(&value, record.data() + 4, 4);
    ++value;
    memcpy(record.data() + 4, &value, 4);
    status = file.Do(recman::kUpdate, &record);
  }
  if (!status) status = Transaction(recman::kEndTransaction);
  if (status) Transaction(recman::kAbortTransaction);
  Bytes none;
  file.Do(recman::kClose, &none);
  return status;
}

int Count(const std::string& path, int32_t id, int times, bool late) {
  std::string directory = path.substr(0, path.rfind('/'));
  if (int status = recman::UseDirectory(directory)) return status;
  for (int done = 0, tries = 0; done < times; ++tries) {
    if (tries > 100 * times) return recman::kFileInUse;
    int status = Increment(path, id, late);
    if (status == 0) ++done;
    else if (!InUse(status)) return status;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "hold") return Hold(args[1]);
  if (args.size() == 3 && (args[0] == "change" || args[0] == "delete"))
    return Change(args[1], std::atoi(args[2].c_str()), args[0] == "delete");
  if (args.size() == 4 && args[0] == "insert")
    return Add(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()));
  if (args.size() == 4 && args[0] == "post") {
    InstallCrashVfs(std::atol(args[3].c_str()));
    return Post(args[1], args[2]);
  }
  if (args.size() == 5 && args[0] == "count")
    return Count(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()),
                 args[4] == "late");
  std::fprintf(stderr, "usage: recman-test-child hold|change|delete|insert|post|count ...\n");
  return 100;
}
