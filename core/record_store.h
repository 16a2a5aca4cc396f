// The record store: the one layer through which the program reaches its
// record files. Each data file has a fixed slot; the store keeps per slot
// the open flag, the record manager's 128-byte position block, a 36-byte key
// buffer and the record length. Files are opened on first use and closed
// again when the caller did not have them open; every unexpected status is
// reported to the user in German before false is returned.
//
// Functions return true on success. The *Found variants and GetEqual also
// set `found` and return true when the operation was sound even if nothing
// was found.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvera {

// Slot numbers of the data files.
enum Slot : int {
  kSlotSako = 0,
  kSlotBube = 1,
  kSlotKred = 2,
  kSlotDebi = 3,
  kSlotSteke = 4,
  kSlotFista = 6,
  kSlotGuvauf = 7,
  kSlotBilaktau = 8,
  kSlotBilpasau = 9,
  kSlotKore = 10,
  kSlotBat = 11,
  kSlotBank = 12,
  kSlotUeberw = 13,
  kSlotOpkred = 14,
  kSlotOpdebi = 15,
  kSlotStapel = 16,
  kSlotKurse = 17,
  kSlotButext = 18,
  kSlotBuscha = 19,
  kSlotUser = 20,
  kSlotSakoPrevious = 21,  // sako of the previous fiscal year
  kSlotScratch = 22,       // any file opened by full path
  kSlotBankIban = 23,      // IBAN and BIC beside bank
};
constexpr int kSlotCount = 24;
constexpr int kKeyBufferSize = 36;

// A file and the key an operation uses: slot + 24 * key number.
using FileId = std::uint8_t;
constexpr FileId MakeFileId(int slot, int keyNumber) {
  return static_cast<FileId>(slot + kSlotCount * keyNumber);
}
constexpr int SlotOf(FileId id) { return id % kSlotCount; }
constexpr int KeyOf(FileId id) { return id / kSlotCount; }

// A zero-filled key value of the size every keyed read copies.
struct KeyValue {
  char bytes[kKeyBufferSize] = {};
  KeyValue() = default;
  // Copies n bytes (at most 36) of a key field.
  KeyValue(const void* data, int n);
};

// File name of a slot ("sako", "bube", ...); empty for unused slots.
const char* SlotFileName(int slot);

// ---- Directories -------------------------------------------------------
void SetDataRoot(const std::string& root);  // without trailing separator
const std::string& DataRoot();
void SetMandantNumber(int number);          // suffix "" for 1, "n-1" otherwise
const std::string& MandantSuffix();
std::string MandantSuffixOf(int number);
// Current and previous fiscal year ("1996", "" while none); resets the working year.
void SetFiscalYears(const std::string& current, const std::string& previous);
const std::string& WorkingYear();
// <data root>/<year><Mandant suffix>
std::string YearDirectory(const std::string& year);
// Full path of a slot's file.
std::string SlotPath(int slot);

// ---- Opening and closing -----------------------------------------------
bool OpenSlot(int slot);
bool OpenPath(const std::string& path, int slot);
bool CloseSlot(int slot);
void CloseAll();
bool OpenMainFiles();
bool SwitchWorkingYear(const std::string& year);
bool IsSlotOpen(int slot);
bool MainFilesOpen();

// Work that opening the main files does for other subsystems: the data
// version check of the company master (before anything is opened) and the
// loaders of the rates kept in memory, tax rates and currency rates (after,
// in the order they were added; the first failure fails the opening).
// Unset seams are skipped.
struct MainFilesSeams {
  bool (*checkDataVersion)() = nullptr;
  std::vector<bool (*)()> rateLoaders;
  void (*requestProgramClose)() = nullptr;  // after a failed year switch
};
void SetMainFilesSeams(const MainFilesSeams& seams);
const MainFilesSeams& CurrentMainFilesSeams();
// Adds a rate loader unless it is there already.
void AddRateLoader(bool (*loader)());

// ---- Reading -----------------------------------------------------------
bool GetEqual(void* record, const KeyValue& key, bool& found, FileId id);
bool Exists(const KeyValue& key, bool& found, FileId id);
bool GetGreaterOrEqual(void* record, const KeyValue& key, FileId id);
bool GetGreaterOrEqualFound(void* record, const KeyValue& key, bool& found, FileId id);
bool GetFirst(void* record, FileId id);
bool GetFirstFound(void* record, bool& found, FileId id);
bool GetLast(void* record, FileId id);
bool GetLastFound(void* record, bool& found, FileId id);
bool GetPrevious(void* record, FileId id);
bool GetPreviousFound(void* record, bool& found, FileId id);
bool GetNext(void* record, FileId id);
bool GetNextFound(void* record, bool& found, FileId id);
bool Reread(void* record, FileId id);
// The position of the slot's current record, and the record at a position,
// after which GetNext follows the key of `id`; found = false when that
// record is gone. For long lists read page by page while other code moves
// the slot's position in between.
bool GetPosition(int slot, std::uint32_t& position);
bool GetDirectFound(void* record, std::uint32_t position, bool& found, FileId id);
// Record count and record length from the file statistics; -1 after a failure.
long RecordCount(int slot);
bool IsEmpty(int slot);
int RecordLength(int slot);
// The key the record manager left for the slot's current record.
const char* SlotKeyBuffer(int slot);

// ---- Writing -----------------------------------------------------------
bool Insert(void* record, FileId id);
bool Update(const void* record, FileId id);
bool Delete(int slot);

// ---- Transactions ------------------------------------------------------
enum TransactionKind { kBegin = 1, kEnd = 2, kAbort = 4 };
bool Transaction(int kind);
int TransactionDepth();

// Begins a transaction and aborts it on destruction unless committed, so
// every early return of a multi-record change leaves nothing behind.
class StoreTransaction {
 public:
  StoreTransaction() : active_(Transaction(kBegin)) {}
  ~StoreTransaction() {
    if (active_) Transaction(kAbort);
  }
  StoreTransaction(const StoreTransaction&) = delete;
  StoreTransaction& operator=(const StoreTransaction&) = delete;
  bool began() const { return active_; }
  bool Commit() {
    if (!active_) return false;
    active_ = false;
    return Transaction(kEnd);
  }

 private:
  bool active_;
};

// Keeps a slot's file open across the calls of one operation (and so its
// directory attached before a transaction begins); closes it afterwards
// unless it was open before.
class SlotKeptOpen {
 public:
  explicit SlotKeptOpen(int slot) : slot_(slot), wasOpen_(IsSlotOpen(slot)), ok_(OpenSlot(slot)) {}
  ~SlotKeptOpen() {
    if (!wasOpen_) CloseSlot(slot_);
  }
  SlotKeptOpen(const SlotKeptOpen&) = delete;
  SlotKeptOpen& operator=(const SlotKeptOpen&) = delete;
  bool ok() const { return ok_; }

 private:
  int slot_;
  bool wasOpen_, ok_;
};

// ---- Start and reports -------------------------------------------------
bool StartRecordManager();
// Shows the message of an unexpected status (3100 + status, or 3299 from
// 200 on) with " (status)" appended and keeps it as DBFehler.
void ReportDatabaseStatus(int status);
// Failures while the record manager starts: 300..308, or "Sonstiger Fehler".
void ReportOpenFailure(int code);
// The last status the record manager returned (for callers that must tell
// statuses apart, e.g. a duplicate key).
int LastStatus();

}  // namespace talvera
