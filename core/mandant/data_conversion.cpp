#include "core/mandant/data_conversion.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/layouts/create_file.h"
#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant/supplementary_key.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "recman/recman.h"

namespace talvera {
namespace {

namespace F = layouts::fista;

constexpr int kLastOldVersion = 310;  // versions up to this one need converting
constexpr int kVersion22 = 220;
constexpr int kTooOldVersion = 210;   // and below: cannot be converted any more

enum : int {
  kMessageCannotConvert = 700,
  kMessageMasterNotConverted = 701,
  kMessageTempExists = 549,
  kMessageCannotCreate = 548,
  kMessageCannotOpen = 723,
  kMessageOldNotRenamed = 781,
  kMessageNewNotRenamed = 782,
  kMessageTooOld = 775,
  kMessageAskConvert = 901,
};

// ---- Master file ---------------------------------------------------------

bool CopyShortRecords(const std::string& oldPath, const std::string& newPath) {
  if (!OpenPath(oldPath, kSlotFista)) return false;
  if (!OpenPath(newPath, kSlotScratch)) {
    CloseSlot(kSlotFista);
    ShowMessage(kMessageCannotOpen, 0, newPath);
    return false;
  }
  char record[F::kLayout.recordLength];
  std::memset(record, 0, sizeof record);
  bool found = false;
  bool ok = GetFirstFound(record, found, MakeFileId(kSlotFista, 0));
  while (ok && found) {
    ok = Insert(record, MakeFileId(kSlotScratch, 0));
    std::memset(record, 0, sizeof record);  // the old record leaves the rest zero
    ok = ok && GetNextFound(record, found, MakeFileId(kSlotFista, 0));
  }
  CloseSlot(kSlotScratch);
  CloseSlot(kSlotFista);
  if (!ok) {
    ShowMessage(kMessageMasterNotConverted);
    recman::DeleteFile(newPath);
  }
  return ok;
}

// ---- Year data -------------------------------------------------------------

std::string PathIn(const std::string& dir, const char* file) { return dir + "/" + file + ".btr"; }

bool CreateWhenMissing(const std::string& dir, const char* file) {
  return recman::FileExists(PathIn(dir, file)) || layouts::CreateFile(dir, file);
}

struct KeyToAdd {
  const char* file;
  int position;  // counted from 1
  int length;
  bool currentYearOnly;
};

bool AddKeys(const std::string& dir, bool currentYear, const std::vector<KeyToAdd>& keys) {
  for (const KeyToAdd& k : keys) {
    if (k.currentYearOnly && !currentYear) continue;
    if (!AddSupplementaryKey(PathIn(dir, k.file), k.position, k.length)) return false;
  }
  return true;
}

// Data of version 2.2 lack the cost centres, the voucher-number keys and,
// in the current year, the booking texts and templates.
bool UpdateFrom22(const std::string& dir, bool currentYear) {
  NoticeScope notice("TQUPDATE", "Update von Version 2.2");
  if (!CreateWhenMissing(dir, "kore")) return false;
  if (currentYear && !(CreateWhenMissing(dir, "butext") && CreateWhenMissing(dir, "buscha")))
    return false;
  return AddKeys(dir, currentYear, {{"bube", 48, 9, false},
                                    {"opkred", 23, 10, true},
                                    {"opdebi", 23, 10, true}});
}

// Everything before 3.11 lacks the keys by entry date, name and postal code
// and, in the current year, the user file.
bool UpdateTo311(const std::string& dir, const std::string& year, bool currentYear) {
  NoticeScope notice("TQUPDATE", year + ": Update auf Version 3.11");
  if (!AddKeys(dir, currentYear, {{"bube", 173, 7, false},
                                  {"sako", 71, 26, false},
                                  {"kred", 152, 7, false},
                                  {"debi", 152, 7, false},
                                  {"kore", 22, 31, false}}))
    return false;
  return !currentYear || CreateWhenMissing(dir, "user");
}

bool ConvertYears(int number, int version, const std::string& currentYear) {
  std::string suffix = MandantSuffixOf(number);
  for (const std::string& dir : MandantYearDirectories(number, 1980, 2099)) {
    std::string year = dir.substr(dir.size() - suffix.size() - 4, 4);
    bool current = year == currentYear;
    if (version <= kVersion22 && !UpdateFrom22(dir, current)) return false;
    if (!UpdateTo311(dir, year, current)) return false;
  }
  return true;
}

bool WriteCurrentVersion(int number) {
  bool ok = ChangeMandantRecord(number, [](void* record) {
    layouts::SetNumber(record, F::kDataVersion, F::kDataVersionCurrent);
    return true;
  });
  if (ok) layouts::SetNumber(CurrentMandant().masterRecord, F::kDataVersion, F::kDataVersionCurrent);
  return ok;
}

}  // namespace

bool ConvertMasterFile() {
  std::string oldPath = DataRoot() + "/fista.btr";
  // A new data root starts with an empty master file.
  if (!recman::FileExists(oldPath)) return layouts::CreateFile(DataRoot(), "fista");
  int length = RecordLength(kSlotFista);
  if (length < 0) return false;
  if (length >= F::kLayout.recordLength) return true;

  NoticeScope notice("TQUPDATE", "Update auf Version 3.3");
  std::string newPath = DataRoot() + "/FISTANEU.btr";
  if (recman::FileExists(newPath)) {
    ShowMessage(kMessageTempExists, 0, newPath);
    return false;
  }
  int status = 0;
  if (!layouts::CreateFile(F::kLayout, DataRoot(), "FISTANEU", &status)) {
    ShowMessage(kMessageCannotCreate, 0, newPath);
    return false;
  }
  if (!CopyShortRecords(oldPath, newPath)) return false;
  std::string savedPath = DataRoot() + "/fista.311";
  recman::DeleteFile(savedPath);  // a copy kept by an earlier conversion
  if (recman::RenameFile(oldPath, savedPath) != recman::kOk) {
    ShowMessage(kMessageOldNotRenamed);
    return false;
  }
  if (recman::RenameFile(newPath, oldPath) != recman::kOk) {
    ShowMessage(kMessageNewNotRenamed);
    return false;
  }
  return true;
}

bool CheckDataVersion() {
  const MandantValues& m = CurrentMandant();
  char record[F::kLayout.recordLength];
  bool found = false;
  if (!ReadMandantRecord(m.number, record, found) || !found) return false;
  int version = static_cast<int>(layouts::GetNumber(record, F::kDataVersion));
  if (version > kLastOldVersion) return true;
  if (!ShowMessage(kMessageAskConvert)) return false;
  // Checked before any directory: a Mandant without year directories must
  // not have its version raised either.
  if (version <= kTooOldVersion) {
    ShowMessage(kMessageTooOld);
    return false;
  }
  if (!ConvertYears(m.number, version, m.currentYear) || !WriteCurrentVersion(m.number)) {
    ShowMessage(kMessageCannotConvert);
    return false;
  }
  return true;
}

void InstallDataVersionCheck() {
  MainFilesSeams seams = CurrentMainFilesSeams();
  seams.checkDataVersion = &CheckDataVersion;
  SetMainFilesSeams(seams);
}

}  // namespace talvera
