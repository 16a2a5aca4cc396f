#include "core/record_store.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/mandant_values.h"
#include "core/message.h"
#include "core/profile.h"
#include "recman/recman.h"

namespace talvera {
namespace {

struct SlotState {
  bool open = false;
  unsigned char position[recman::kPositionBlockSize] = {};
  char key[kKeyBufferSize + 1] = {};
  int recordLength = 0;
};

struct FileInfo {
  const char* name;
  int recordLength;
};

// Name and record length of every slot; slot 5 has no file, the scratch
// slot takes its length from the file it opens.
constexpr FileInfo kFiles[kSlotCount] = {
    {"sako", 733},     {"bube", 211},  {"kred", 956},    {"debi", 956},   {"steke", 34},
    {"", 0},           {"fista", 998}, {"guvauf", 64},   {"bilaktau", 64}, {"bilpasau", 64},
    {"kore", 493},     {"bat", 1327},  {"bank", 64},     {"ueberw", 256}, {"opkred", 299},
    {"opdebi", 299},   {"stapel", 64}, {"kurse", 58},    {"butext", 64},  {"buscha", 181},
    {"user", 128},     {"sako", 733},  {"", 0},          {"bankiban", 64},
};

constexpr int kStatBufferSize = 16 + 16 * 119;  // file part and every key segment

SlotState g_slots[kSlotCount];
std::string g_dataRoot;
std::string g_mandantSuffix;
std::string g_currentYear, g_previousYear, g_workingYear;
int g_depth = 0;
bool g_mainFilesOpen = false;
int g_lastStatus = 0;
MainFilesSeams g_seams;

bool ValidSlot(int slot) { return slot >= 0 && slot < kSlotCount; }

// The one call into the record manager for a slot.
int Call(int slot, int op, void* record, int keyNumber, const KeyValue* key = nullptr,
         int bufferLength = -1) {
  SlotState& s = g_slots[slot];
  if (key) {
    std::memcpy(s.key, key->bytes, kKeyBufferSize);
  }
  uint32_t length = static_cast<uint32_t>(bufferLength >= 0 ? bufferLength : s.recordLength);
  int status = recman::Call(static_cast<uint16_t>(op), s.position, record, &length, s.key,
                            recman::kMaxKeyLength, static_cast<int8_t>(keyNumber));
  g_lastStatus = status;
  return status;
}

int OpenFile(int slot, const std::string& path) {
  SlotState& s = g_slots[slot];
  char name[4096];
  std::snprintf(name, sizeof name, "%s", path.c_str());
  uint32_t length = 0;
  std::memset(s.position, 0, sizeof s.position);
  int status = recman::Call(recman::kOpen, s.position, nullptr, &length, name,
                            recman::kMaxKeyLength, 0);
  g_lastStatus = status;
  return status;
}

void CloseFile(int slot) {
  SlotState& s = g_slots[slot];
  uint32_t length = 0;
  recman::Call(recman::kClose, s.position, nullptr, &length, s.key, recman::kMaxKeyLength, 0);
  std::memset(s.position, 0, sizeof s.position);
  s.open = false;
}

// Opens a slot for the length of one call and closes it again afterwards.
class OpenForCall {
 public:
  explicit OpenForCall(int slot) : slot_(slot), opened_(!g_slots[slot].open) {
    ok_ = !opened_ || OpenSlot(slot);
  }
  ~OpenForCall() {
    if (opened_ && ok_) CloseSlot(slot_);
  }
  bool ok() const { return ok_; }

 private:
  int slot_;
  bool opened_;
  bool ok_;
};

// Reads with the "end of file is no error" rule; found tells whether a record came.
bool Read(int op, void* record, const KeyValue* key, bool& found, FileId id, bool reportEnd) {
  int slot = SlotOf(id);
  int status = Call(slot, op, record, KeyOf(id), key);
  found = status == recman::kOk;
  if (status == recman::kOk) return true;
  if (status == recman::kEndOfFile) return !reportEnd;
  ReportDatabaseStatus(status);
  return false;
}

// Keyed and positioning reads that open the file when needed and leave it open.
bool ReadOpening(int op, void* record, const KeyValue* key, bool& found, FileId id,
                 bool endIsSuccess) {
  int slot = SlotOf(id);
  if (!ValidSlot(slot) || (!g_slots[slot].open && !OpenSlot(slot))) return false;
  bool ok = Read(op, record, key, found, id, !endIsSuccess);
  return endIsSuccess ? ok : ok && found;
}

// Reads that act on the position the caller established; never open.
bool ReadPositioned(int op, void* record, bool& found, FileId id, bool endIsSuccess) {
  int slot = SlotOf(id);
  found = false;
  if (!ValidSlot(slot)) return false;
  if (!g_slots[slot].open) {
    ReportDatabaseStatus(recman::kFileNotOpen);
    return false;
  }
  bool ok = Read(op, record, nullptr, found, id, !endIsSuccess);
  return endIsSuccess ? ok : ok && found;
}

}  // namespace

KeyValue::KeyValue(const void* data, int n) {
  std::memcpy(bytes, data, n < kKeyBufferSize ? n : kKeyBufferSize);
}

const char* SlotFileName(int slot) { return ValidSlot(slot) ? kFiles[slot].name : ""; }

// ---- Directories -------------------------------------------------------

void SetDataRoot(const std::string& root) {
  g_dataRoot = root;
  while (g_dataRoot.size() > 1 && g_dataRoot.back() == '/') g_dataRoot.pop_back();
}
const std::string& DataRoot() { return g_dataRoot; }

std::string MandantSuffixOf(int number) { return number <= 1 ? "" : std::to_string(number - 1); }
void SetMandantNumber(int number) { g_mandantSuffix = MandantSuffixOf(number); }
const std::string& MandantSuffix() { return g_mandantSuffix; }

void SetFiscalYears(const std::string& current, const std::string& previous) {
  g_currentYear = current;
  g_previousYear = previous;
  g_workingYear = current;
  // The date functions read the open years from the Mandant values.
  MandantValues& m = CurrentMandant();
  std::snprintf(m.currentYear, sizeof m.currentYear, "%s", current.c_str());
  std::snprintf(m.previousYear, sizeof m.previousYear, "%s", previous.c_str());
}
const std::string& WorkingYear() { return g_workingYear; }

std::string YearDirectory(const std::string& year) {
  return g_dataRoot + "/" + year + g_mandantSuffix;
}

std::string SlotPath(int slot) {
  if (!ValidSlot(slot) || kFiles[slot].name[0] == '\0') return {};
  std::string file = std::string(kFiles[slot].name) + ".btr";
  if (slot == kSlotFista) return g_dataRoot + "/" + file;
  if (slot == kSlotSakoPrevious) return YearDirectory(g_previousYear) + "/" + file;
  if (slot >= kSlotBat) return YearDirectory(g_currentYear) + "/" + file;
  return YearDirectory(g_workingYear) + "/" + file;
}

// ---- Opening and closing -----------------------------------------------

bool IsSlotOpen(int slot) { return ValidSlot(slot) && g_slots[slot].open; }
bool MainFilesOpen() { return g_mainFilesOpen; }

bool OpenSlot(int slot) {
  if (!ValidSlot(slot)) return false;
  SlotState& s = g_slots[slot];
  if (s.open) return true;
  std::string path = SlotPath(slot);
  if (path.empty()) return false;
  s.recordLength = kFiles[slot].recordLength;
  int status = OpenFile(slot, path);
  if (status == recman::kOk) {
    s.open = true;
    return true;
  }
  if (slot == kSlotFista && status == recman::kFileNotFound) {
    ShowMessage(516);
  } else {
    ReportDatabaseStatus(status);
  }
  CloseFile(slot);
  return false;
}

bool OpenPath(const std::string& path, int slot) {
  if (!ValidSlot(slot)) return false;
  SlotState& s = g_slots[slot];
  // Even inside a transaction the slot's previous file is closed: its
  // position block is about to be replaced.
  if (s.open) CloseFile(slot);
  int status = OpenFile(slot, path);
  if (status != recman::kOk) {
    ReportDatabaseStatus(status);
    CloseFile(slot);
    return false;
  }
  s.open = true;
  unsigned char stat[kStatBufferSize] = {};
  status = Call(slot, recman::kStat, stat, 0, nullptr, sizeof stat);
  if (status != recman::kOk) {
    ReportDatabaseStatus(status);
    CloseFile(slot);
    return false;
  }
  recman::FilePart definition;
  std::memcpy(&definition, stat, sizeof definition);
  s.recordLength = definition.recordLength;
  return true;
}

bool CloseSlot(int slot) {
  if (!ValidSlot(slot)) return false;
  if (g_depth > 0) return true;  // files stay open until the transaction ends
  if (g_slots[slot].open) CloseFile(slot);
  return true;
}

void CloseAll() {
  for (int slot = kSlotSakoPrevious; slot >= 0; --slot)
    if (g_slots[slot].open) CloseFile(slot);
  if (g_slots[kSlotBankIban].open) CloseFile(kSlotBankIban);
  g_mainFilesOpen = false;
}

bool OpenMainFiles() {
  if (g_seams.checkDataVersion && !g_seams.checkDataVersion()) return false;
  CloseAll();
  // Whatever a transaction of this Mandant touches stays attached: a
  // previous-year booking reaches the current year after it has written.
  std::vector<std::string> kept = {g_dataRoot, YearDirectory(g_currentYear)};
  if (!g_previousYear.empty()) kept.push_back(YearDirectory(g_previousYear));
  recman::KeepAttached(kept);
  // The title of the warning names the file that failed.
  const int mainSlots[] = {kSlotSako, kSlotBube, kSlotKred, kSlotDebi};
  for (int i = 0; i < 4; ++i) {
    if (!OpenSlot(mainSlots[i])) {
      ShowTextBox("Sonstiger Fehler", std::to_string(180 + i), BoxStyle::kExclamationOk);
      CloseAll();
      return false;
    }
  }
  if (!OpenSlot(kSlotKore)) {
    ShowMessage(437);
    CloseAll();
    return false;
  }
  for (bool (*load)() : g_seams.rateLoaders) {
    if (!load()) {
      CloseAll();
      return false;
    }
  }
  g_mainFilesOpen = true;
  return true;
}

bool SwitchWorkingYear(const std::string& year) {
  if (year == g_workingYear) return true;
  g_workingYear = year;
  CloseAll();
  if (OpenMainFiles()) return true;
  ShowArgumentMessage(201, 0, year);
  if (g_seams.requestProgramClose) g_seams.requestProgramClose();
  return false;
}

void SetMainFilesSeams(const MainFilesSeams& seams) { g_seams = seams; }
const MainFilesSeams& CurrentMainFilesSeams() { return g_seams; }

void AddRateLoader(bool (*loader)()) {
  std::vector<bool (*)()>& loaders = g_seams.rateLoaders;
  if (std::find(loaders.begin(), loaders.end(), loader) == loaders.end()) loaders.push_back(loader);
}

// ---- Reading -----------------------------------------------------------

bool GetEqual(void* record, const KeyValue& key, bool& found, FileId id) {
  found = false;
  int slot = SlotOf(id);
  if (!ValidSlot(slot)) return false;
  OpenForCall open(slot);
  if (!open.ok()) return false;
  int status = Call(slot, recman::kGetEqual, record, KeyOf(id), &key);
  found = status == recman::kOk;
  if (status == recman::kOk || status == recman::kKeyNotFound) return true;
  ReportDatabaseStatus(status);
  return false;
}

bool Exists(const KeyValue& key, bool& found, FileId id) {
  int slot = SlotOf(id);
  if (!ValidSlot(slot)) return false;
  int length = kFiles[slot].recordLength > 0 ? kFiles[slot].recordLength : g_slots[slot].recordLength;
  std::vector<char> buffer(static_cast<std::size_t>(length > 0 ? length : 1));
  return GetEqual(buffer.data(), key, found, id);
}

bool GetGreaterOrEqual(void* record, const KeyValue& key, FileId id) {
  bool found;
  return ReadOpening(recman::kGetGreaterOrEqual, record, &key, found, id, false);
}
bool GetGreaterOrEqualFound(void* record, const KeyValue& key, bool& found, FileId id) {
  return ReadOpening(recman::kGetGreaterOrEqual, record, &key, found, id, true);
}
bool GetFirst(void* record, FileId id) {
  bool found;
  return ReadOpening(recman::kGetFirst, record, nullptr, found, id, false);
}
bool GetFirstFound(void* record, bool& found, FileId id) {
  return ReadOpening(recman::kGetFirst, record, nullptr, found, id, true);
}
bool GetLast(void* record, FileId id) {
  bool found;
  return ReadOpening(recman::kGetLast, record, nullptr, found, id, false);
}
bool GetLastFound(void* record, bool& found, FileId id) {
  return ReadOpening(recman::kGetLast, record, nullptr, found, id, true);
}
bool GetPrevious(void* record, FileId id) {
  bool found;
  return ReadOpening(recman::kGetPrevious, record, nullptr, found, id, false);
}
bool GetPreviousFound(void* record, bool& found, FileId id) {
  return ReadOpening(recman::kGetPrevious, record, nullptr, found, id, true);
}
bool GetNext(void* record, FileId id) {
  bool found;
  return ReadPositioned(recman::kGetNext, record, found, id, false);
}
bool GetNextFound(void* record, bool& found, FileId id) {
  return ReadPositioned(recman::kGetNext, record, found, id, true);
}

bool Reread(void* record, FileId id) {
  int slot = SlotOf(id);
  if (!ValidSlot(slot)) return false;
  if (!g_slots[slot].open) {
    ReportDatabaseStatus(recman::kFileNotOpen);
    return false;
  }
  unsigned char position[4] = {};
  int status = Call(slot, recman::kGetPosition, position, 0, nullptr, sizeof position);
  if (status != recman::kOk) {
    ReportDatabaseStatus(status);
    return false;
  }
  std::memcpy(record, position, sizeof position);
  status = Call(slot, recman::kGetDirect, record, KeyOf(id));
  if (status != recman::kOk) {
    ReportDatabaseStatus(status);
    return false;
  }
  return true;
}

bool GetPosition(int slot, std::uint32_t& position) {
  if (!ValidSlot(slot)) return false;
  if (!g_slots[slot].open) {
    ReportDatabaseStatus(recman::kFileNotOpen);
    return false;
  }
  unsigned char bytes[4] = {};
  int status = Call(slot, recman::kGetPosition, bytes, 0, nullptr, sizeof bytes);
  if (status != recman::kOk) {
    ReportDatabaseStatus(status);
    return false;
  }
  std::memcpy(&position, bytes, sizeof position);
  return true;
}

bool GetDirectFound(void* record, std::uint32_t position, bool& found, FileId id) {
  int slot = SlotOf(id);
  found = false;
  if (!ValidSlot(slot) || (!g_slots[slot].open && !OpenSlot(slot))) return false;
  std::memcpy(record, &position, sizeof position);
  int status = Call(slot, recman::kGetDirect, record, KeyOf(id));
  found = status == recman::kOk;
  if (found || status == recman::kInvalidRecordAddress) return true;
  ReportDatabaseStatus(status);
  return false;
}

namespace {

bool Stat(int slot, recman::FilePart* definition) {
  if (!ValidSlot(slot)) return false;
  OpenForCall open(slot);
  if (!open.ok()) return false;
  unsigned char stat[kStatBufferSize] = {};
  int status = Call(slot, recman::kStat, stat, 0, nullptr, sizeof stat);
  if (status != recman::kOk) {
    ReportDatabaseStatus(status);
    return false;
  }
  std::memcpy(definition, stat, sizeof *definition);
  return true;
}

}  // namespace

long RecordCount(int slot) {
  recman::FilePart definition;
  return Stat(slot, &definition) ? static_cast<long>(definition.recordCount) : -1;
}

bool IsEmpty(int slot) { return RecordCount(slot) == 0; }

int RecordLength(int slot) {
  recman::FilePart definition;
  return Stat(slot, &definition) ? definition.recordLength : -1;
}

const char* SlotKeyBuffer(int slot) { return ValidSlot(slot) ? g_slots[slot].key : ""; }

// ---- Writing -----------------------------------------------------------

bool Insert(void* record, FileId id) {
  int slot = SlotOf(id);
  if (!ValidSlot(slot)) return false;
  OpenForCall open(slot);
  if (!open.ok()) return false;
  int status = Call(slot, recman::kInsert, record, KeyOf(id));
  if (status == recman::kOk) return true;
  ReportDatabaseStatus(status);
  return false;
}

bool Update(const void* record, FileId id) {
  int slot = SlotOf(id);
  if (!IsSlotOpen(slot)) return false;
  int status = Call(slot, recman::kUpdate, const_cast<void*>(record), KeyOf(id));
  if (status == recman::kOk) return true;
  ReportDatabaseStatus(status);
  return false;
}

bool Delete(int slot) {
  if (!IsSlotOpen(slot)) return false;
  int status = Call(slot, recman::kDelete, nullptr, 0, nullptr, 0);
  if (status == recman::kOk) return true;
  ReportDatabaseStatus(status);
  return false;
}

// ---- Transactions ------------------------------------------------------

namespace {

int TransactionCall(int op) {
  unsigned char position[recman::kPositionBlockSize] = {};
  char key[kKeyBufferSize] = {};
  uint32_t length = 0;
  int status = recman::Call(static_cast<uint16_t>(op), position, nullptr, &length, key,
                            recman::kMaxKeyLength, 0);
  g_lastStatus = status;
  return status;
}

bool FailTransaction(int status) {
  ReportDatabaseStatus(status);
  TransactionCall(recman::kAbortTransaction);
  g_depth = 0;
  return false;
}

}  // namespace

bool Transaction(int kind) {
  switch (kind) {
    case kBegin:
      if (g_depth == 0) {
        int status = TransactionCall(recman::kBeginTransaction);
        if (status != recman::kOk) return FailTransaction(status);
      }
      ++g_depth;
      return true;
    case kEnd:
      if (g_depth == 1) {
        int status = TransactionCall(recman::kEndTransaction);
        if (status != recman::kOk) return FailTransaction(status);
      }
      if (g_depth > 0) --g_depth;
      return true;
    case kAbort:
      if (g_depth > 0) {
        g_depth = 0;
        TransactionCall(recman::kAbortTransaction);
      }
      return true;
    default:
      return false;
  }
}

int TransactionDepth() { return g_depth; }

// ---- Start and reports -------------------------------------------------

bool StartRecordManager() {
  std::error_code ec;
  return !g_dataRoot.empty() && std::filesystem::is_directory(g_dataRoot, ec);
}

void ReportDatabaseStatus(int status) {
  ProfileWriteString(TalviIniPath(), kTalviSection, "DBFehler", std::to_string(status));
  SetPendingSuffix(" (" + std::to_string(status) + ")");
  ShowMessage(status >= 0 && status < 200 ? 3100 + status : 3299);
}

void ReportOpenFailure(int code) {
  if (code < 10) {
    std::optional<std::string> text = MessageText(299 + code);
    if (!text) {
      ShowTextBox("Speicher voll.", "Systemfehler", BoxStyle::kExclamationOk);
      return;
    }
    ShowTextBox(*text, "Datenbankfehler", BoxStyle::kExclamationOk);
    return;
  }
  ShowTextBox("Sonstiger Fehler", std::to_string(code), BoxStyle::kExclamationOk);
}

int LastStatus() { return g_lastStatus; }

}  // namespace talvera
