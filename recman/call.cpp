// Call(): the one record-manager entry, dispatching on the operation code.
#include <algorithm>
#include <cstring>

#include "open_files.h"
#include "file_ops.h"

namespace recman {
namespace {

struct Args {
  void* positionBlock;
  uint8_t* data;
  uint32_t* dataLength;
  uint8_t* keyBuffer;
  uint8_t keyLength;
  int8_t keyNumber;
};

sqlite3* Db() { return Database::Instance().Handle(); }

int CheckKey(const Handle& h, int keyNumber) {
  if (keyNumber < 0 || size_t(keyNumber) >= h.file->layout.keys.size()) return kInvalidKeyNumber;
  return kOk;
}

// The key buffer must hold the whole key (it is written after every read).
int CheckKeyBuffer(const Handle& h, int keyNumber, const Args& a) {
  if (!a.keyBuffer) return kInvalidOperation;
  if (a.keyLength < h.file->layout.keys[keyNumber].length) return kKeyBufferTooShort;
  return kOk;
}

int CheckRecordBuffer(const Handle& h, const Args& a) {
  if (!a.data || !a.dataLength) return kInvalidOperation;
  return *a.dataLength < h.file->layout.recordLength ? kDataBufferTooShort : kOk;
}

// Makes the record just read or written the current one.
void Arrive(Handle* h, int keyNumber, const Position& position, const uint8_t* record,
            const Args& a) {
  h->key = keyNumber;
  h->positioned = h->onRecord = true;
  h->position = position;
  *a.dataLength = h->file->layout.recordLength;
  ExtractKey(h->file->layout.keys[keyNumber], record, a.keyBuffer);
}

Seek SeekOf(uint16_t op) {
  switch (op) {
    case kGetEqual: return Seek::kEqual;
    case kGetNext: return Seek::kNext;
    case kGetPrevious: return Seek::kPrevious;
    case kGetGreater: return Seek::kGreater;
    case kGetGreaterOrEqual: return Seek::kGreaterOrEqual;
    case kGetLess: return Seek::kLess;
    case kGetLessOrEqual: return Seek::kLessOrEqual;
    case kGetFirst: return Seek::kFirst;
    default: return Seek::kLast;
  }
}

constexpr int kFirstBatch = 8;
// Long scans (a journal of a year) grow their batches this far: every batch
// is a query of its own, and fewer of them bring a key scan close to one
// plain SQLite query over the table.
constexpr int kLargestBatch = 1024;

bool AheadUsable(Handle* h, Seek seek, int keyNumber) {
  ReadAhead& r = h->ahead;
  Database& db = Database::Instance();
  if (r.next >= r.rows.count || r.direction != seek || r.key != keyNumber || !r.counterKnown ||
      r.writes != db.Writes() || r.generation != db.Generation())
    return false;
  uint32_t counter;
  return ChangeCounter(Db(), h->file, &counter) && counter == r.counter;
}

int FetchAhead(Handle* h, Seek seek, int keyNumber) {
  ReadAhead& r = h->ahead;
  Database& db = Database::Instance();
  bool continuing = r.batch && r.direction == seek && r.key == keyNumber;
  int batch = continuing ? std::min(r.batch * 2, kLargestBatch) : kFirstBatch;
  bool pastRunEnd = continuing && r.pastRunEnd;
  r.Clear();
  // The counter is read before the rows: a commit in between makes the rows
  // newer than the counter, which only costs a fetch more.
  r.counterKnown = ChangeCounter(Db(), h->file, &r.counter);
  if (int status = SeekBatch(Db(), h->file, keyNumber, seek, h->position, batch, !pastRunEnd,
                             &r.rows))
    return status;
  r.pastRunEnd =
      pastRunEnd || (r.rows.count > 0 && r.rows.positions[0].keyBlob != h->position.keyBlob);
  r.batch = batch;
  r.direction = seek;
  r.key = keyNumber;
  r.writes = db.Writes();
  r.generation = db.Generation();
  return r.rows.count == 0 ? kEndOfFile : kOk;
}

int Continue(Handle* h, Seek seek, const Args& a) {
  if (!AheadUsable(h, seek, a.keyNumber))
    if (int status = FetchAhead(h, seek, a.keyNumber)) return status;
  size_t i = h->ahead.next++;
  memcpy(a.data, h->ahead.rows.Record(i), h->ahead.rows.length);
  Arrive(h, a.keyNumber, h->ahead.rows.positions[i], a.data, a);
  return kOk;
}

int Read(Handle* h, uint16_t op, const Args& a) {
  Seek seek = SeekOf(op);
  bool continues = seek == Seek::kNext || seek == Seek::kPrevious;
  if (continues) {
    if (!h->positioned) return kInvalidPositioning;
    if (a.keyNumber != h->key) return kDifferentKeyNumber;
  }
  if (int status = CheckKey(*h, a.keyNumber)) return status;
  if (int status = CheckKeyBuffer(*h, a.keyNumber, a)) return status;
  if (int status = CheckRecordBuffer(*h, a)) return status;
  if (continues) return Continue(h, seek, a);
  Position from;
  if (seek != Seek::kFirst && seek != Seek::kLast) {
    EncodeFromRaw(h->file->layout.keys[a.keyNumber], a.keyBuffer, &from.keyBlob);
  }
  Position found;
  int status = SeekRow(Db(), h->file, a.keyNumber, seek, from, a.data, &found);
  if (status == kEndOfFile && seek == Seek::kEqual) return kKeyNotFound;
  if (status) return status;
  Arrive(h, a.keyNumber, found, a.data, a);
  return kOk;
}

int Insert(Handle* h, const Args& a) {
  if (h->readOnly) return kAccessDenied;
  if (int status = CheckKey(*h, a.keyNumber)) return status;
  if (int status = CheckKeyBuffer(*h, a.keyNumber, a)) return status;
  if (!a.data || !a.dataLength) return kInvalidOperation;
  if (*a.dataLength != h->file->layout.recordLength) return kDataBufferTooShort;
  Database& db = Database::Instance();
  if (db.TransactionLost()) return kTransactionError;
  if (int status = LockForWrite(Db(), h->file)) return status;
  // Work on a copy: the caller's buffer gets the filled auto-increment
  // values only when the record is in.
  std::vector<uint8_t> record(a.data, a.data + *a.dataLength);
  Position inserted;
  db.MarkWritten();
  int status = InsertRow(Db(), h->file, a.keyNumber, record.data(), !db.InTransaction(),
                         &inserted);
  if (status) return status;
  memcpy(a.data, record.data(), record.size());
  Arrive(h, a.keyNumber, inserted, a.data, a);
  return kOk;
}

int Update(Handle* h, const Args& a) {
  if (h->readOnly) return kAccessDenied;
  if (!h->onRecord) return kInvalidPositioning;
  int keyNumber = CheckKey(*h, a.keyNumber) == kOk ? a.keyNumber : h->key;
  if (int status = CheckKeyBuffer(*h, keyNumber, a)) return status;
  if (!a.data || !a.dataLength) return kInvalidOperation;
  if (*a.dataLength != h->file->layout.recordLength) return kDataBufferTooShort;
  Database& db = Database::Instance();
  if (db.TransactionLost()) return kTransactionError;
  if (int status = LockForWrite(Db(), h->file)) return status;
  Position updated;
  db.MarkWritten();
  int status = UpdateRow(Db(), h->file, keyNumber, h->position, a.data, &updated);
  if (status) return status;
  Arrive(h, keyNumber, updated, a.data, a);
  return kOk;
}

int Delete(Handle* h) {
  if (h->readOnly) return kAccessDenied;
  if (!h->onRecord) return kInvalidPositioning;
  Database& db = Database::Instance();
  if (db.TransactionLost()) return kTransactionError;
  if (int status = LockForWrite(Db(), h->file)) return status;
  db.MarkWritten();
  int status = DeleteRow(Db(), h->file, h->position);
  // The place in key order stays, so GetNext continues behind the gap.
  if (!status) h->onRecord = false;
  return status;
}

int GetPosition(Handle* h, const Args& a) {
  if (!h->onRecord) return kInvalidPositioning;
  if (!a.data || !a.dataLength) return kInvalidOperation;
  if (*a.dataLength < 4) return kDataBufferTooShort;
  uint32_t position = uint32_t(h->position.id);
  memcpy(a.data, &position, 4);
  *a.dataLength = 4;
  return kOk;
}

int GetDirect(Handle* h, const Args& a) {
  if (int status = CheckKey(*h, a.keyNumber)) return status;
  if (int status = CheckKeyBuffer(*h, a.keyNumber, a)) return status;
  if (int status = CheckRecordBuffer(*h, a)) return status;
  uint32_t position;
  memcpy(&position, a.data, 4);
  Position found;
  int status = ReadDirect(Db(), h->file, a.keyNumber, position, a.data, &found);
  if (status) return status;
  Arrive(h, a.keyNumber, found, a.data, a);
  return kOk;
}

int Stat(Handle* h, const Args& a) {
  if (!a.data || !a.dataLength) return kInvalidOperation;
  int64_t count = 0;
  if (int status = CountRows(Db(), h->file, &count)) return status;
  std::vector<uint8_t> definition = DefinitionBytes(h->file->layout, uint32_t(count));
  if (*a.dataLength < definition.size()) return kDataBufferTooShort;
  memcpy(a.data, definition.data(), definition.size());
  *a.dataLength = uint32_t(definition.size());
  return kOk;
}

std::string PathArgument(const uint8_t* keyBuffer) {
  if (!keyBuffer) return {};
  const char* text = reinterpret_cast<const char*>(keyBuffer);
  return std::string(text, strnlen(text, 4096));
}

int Open(const Args& a) {
  if (!a.positionBlock) return kInvalidOperation;
  Handle h;
  if (int status = SplitPath(PathArgument(a.keyBuffer), &h.directory, &h.name)) return status;
  h.readOnly = a.keyNumber == -2;
  if (int status = OpenFiles::Instance().Resolve(&h)) return status;
  OpenFiles::Instance().Add(std::move(h), a.positionBlock);
  return kOk;
}

int Create(const Args& a) {
  if (!a.data || !a.dataLength) return kInvalidOperation;
  return CreateFile(PathArgument(a.keyBuffer), a.data, *a.dataLength, a.keyNumber != -1);
}

int AddKey(Handle* h, const Args& a) {
  if (h->readOnly) return kAccessDenied;
  if (!a.data || !a.dataLength) return kInvalidOperation;
  return AddSupplementalKey(h->directory, h->name, a.data, *a.dataLength);
}

int OnOpenFile(uint16_t op, Handle* h, const Args& a) {
  if (int status = OpenFiles::Instance().Resolve(h)) return status;
  if (op != kGetNext && op != kGetPrevious) h->ahead.Clear();
  switch (op) {
    case kInsert: return Insert(h, a);
    case kUpdate: return Update(h, a);
    case kDelete: return Delete(h);
    case kStat: return Stat(h, a);
    case kGetPosition: return GetPosition(h, a);
    case kGetDirect: return GetDirect(h, a);
    case kCreateSupplementalIndex: return AddKey(h, a);
    case kGetEqual:
    case kGetNext:
    case kGetPrevious:
    case kGetGreater:
    case kGetGreaterOrEqual:
    case kGetLess:
    case kGetLessOrEqual:
    case kGetFirst:
    case kGetLast: return Read(h, op, a);
  }
  return kInvalidOperation;
}

int Dispatch(uint16_t op, const Args& a) {
  Database& db = Database::Instance();
  switch (op) {
    case kOpen: return Open(a);
    case kCreate: return Create(a);
    case kBeginTransaction: return db.Begin(OpenFiles::Instance().Directories());
    case kEndTransaction: return db.Commit();
    case kAbortTransaction: return db.Rollback();
    default: break;
  }
  Handle* h = OpenFiles::Instance().Find(a.positionBlock);
  if (!h) return kFileNotOpen;
  if (op == kClose) {
    OpenFiles::Instance().Remove(a.positionBlock);
    return kOk;
  }
  return OnOpenFile(op, h, a);
}

}  // namespace

int Call(uint16_t op, void* positionBlock, void* dataBuffer, uint32_t* dataLength,
         void* keyBuffer, uint8_t keyLength, int8_t keyNumber) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  Args args{positionBlock, static_cast<uint8_t*>(dataBuffer), dataLength,
            static_cast<uint8_t*>(keyBuffer), keyLength, keyNumber};
  try {
    return Dispatch(op, args);
  } catch (...) {  // out of memory, mostly: never let it cross the call
    return kIoError;
  }
}

int UseDirectory(const std::string& directory) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    std::string canonical, name;
    if (int status = SplitPath(directory + "/x", &canonical, &name)) return status;
    Directory* dir = nullptr;
    return Database::Instance().Use(canonical, false, &dir);
  } catch (...) {
    return kIoError;
  }
}

int KeepAttached(const std::vector<std::string>& directories) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    std::vector<std::string> canonical;
    for (const std::string& directory : directories) {
      std::string path, name;
      if (SplitPath(directory + "/x", &path, &name) == kOk) canonical.push_back(path);
    }
    return Database::Instance().KeepAttached(canonical);
  } catch (...) {
    return kIoError;
  }
}

void SetBusyTimeout(int milliseconds) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  Database::Instance().SetBusyTimeout(milliseconds);
}

void Shutdown() {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  OpenFiles::Instance().Clear();
  Database::Instance().Close();
}

}  // namespace recman
