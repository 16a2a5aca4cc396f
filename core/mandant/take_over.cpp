#include "core/mandant/take_over.h"

#include <cstring>
#include <string>

#include "core/amount.h"
#include "core/charts/rate_dates.h"
#include "core/layouts/create_file.h"
#include "core/layouts/fista.h"
#include "core/layouts/kore.h"
#include "core/layouts/layout.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "recman/recman.h"

namespace talvera {
namespace {

namespace F = layouts::fista;

enum : int {
  kMessageChoose = 5,
  kMessageTakenOver = 520,
  kMessageStructureOnly = 521,
  kMessageIncomplete = 710,
};

struct FileItem {
  unsigned item;
  const char* file;
};
// Copied as whole files, in this order, after the Sachkonten.
constexpr FileItem kCopiedFiles[] = {
    {kTakeGuvStructure, "guvauf"},      {kTakeAssetStructure, "bilaktau"},
    {kTakeLiabilityStructure, "bilpasau"}, {kTakeBookingTexts, "butext"},
    {kTakeBookingTemplates, "buscha"},  {kTakeExchangeRates, "kurse"},
    {kTakeKreditorItems, "opkred"},     {kTakeDebitorItems, "opdebi"},
};

std::string PathIn(const std::string& dir, const char* file) { return dir + "/" + file + ".btr"; }

void Zero(void* record, const layouts::Field& field) {
  for (int i = 0; i < field.count; ++i)
    layouts::SetRawText(record, field.At(i), kZeroAmount);
}

void Clear(void* record, const layouts::Field& field) {
  for (int i = 0; i < field.count; ++i) {
    layouts::Field f = field.At(i);
    std::memset(layouts::FieldBytes(record, f), 0, f.width);
  }
}

// ---- Take-over with reset ------------------------------------------------

struct ResetFile {
  const char* file;
  int slot;
  const layouts::Layout* layout;
  void (*reset)(void*);
  bool account;  // skipped when its number is an account of the open Mandant already
};

// The open Mandant's accounts of every kind, open by path in their slots.
bool OpenAccountFiles(const std::string& dir) {
  return OpenPath(PathIn(dir, "sako"), kSlotSako) && OpenPath(PathIn(dir, "debi"), kSlotDebi) &&
         OpenPath(PathIn(dir, "kred"), kSlotKred);
}

bool IsAccountOfAnyKind(const char* record, bool& taken) {
  taken = false;
  KeyValue key(record, 8);
  for (int slot : {kSlotSako, kSlotDebi, kSlotKred}) {
    if (!Exists(key, taken, MakeFileId(slot, 0))) return false;
    if (taken) return true;
  }
  return true;
}

bool CopyWithReset(const ResetFile& f, const std::string& from, const std::string& to) {
  if (!layouts::CreateFile(to, f.file)) return false;
  bool ok = (!f.account || OpenAccountFiles(to)) && OpenPath(PathIn(to, f.file), f.slot) &&
            OpenPath(PathIn(from, f.file), kSlotScratch);
  if (ok) {
    StoreTransaction transaction;
    std::string record(f.layout->recordLength, '\0');
    bool found = false;
    ok = transaction.began() && GetFirstFound(record.data(), found, MakeFileId(kSlotScratch, 0));
    while (ok && found) {
      f.reset(record.data());
      bool taken = false;
      ok = (!f.account || IsAccountOfAnyKind(record.data(), taken)) &&
           (taken || Insert(record.data(), MakeFileId(f.slot, 0))) &&
           GetNextFound(record.data(), found, MakeFileId(kSlotScratch, 0));
    }
    ok = ok && transaction.Commit();
  }
  CloseAll();
  return ok;
}

const ResetFile kSakoReset{"sako", kSlotSako, &layouts::sako::kLayout, ResetSachkonto, true};
const ResetFile kKredReset{"kred", kSlotKred, &layouts::personal::kLayout, ResetPersonalAccount, true};
const ResetFile kDebiReset{"debi", kSlotDebi, &layouts::personal::kLayout, ResetPersonalAccount, true};
const ResetFile kKoreReset{"kore", kSlotKore, &layouts::kore::kLayout, ResetCostCentre, false};

// ---- Sachkonten ------------------------------------------------------------

// Rate dates count fiscal periods: copied between Mandanten whose years
// start in different months they are re-based, or every rate would change
// on another calendar day.
bool RebaseCopiedRates(const std::string& path, int fromMonth, int toMonth) {
  return charts::RebaseRateDatesBetween(path, fromMonth, toMonth);
}

// IBAN and BIC belong to the bank records: they go with them, and the
// target's own ones must not stay behind attached to the source's accounts.
bool TakeOverBankSideFile(const std::string& from, const std::string& to) {
  if (recman::FileExists(PathIn(from, "bankiban")))
    return recman::CopyFile(PathIn(from, "bankiban"), PathIn(to, "bankiban")) == recman::kOk;
  if (recman::FileExists(PathIn(to, "bankiban")))
    return recman::DeleteFile(PathIn(to, "bankiban")) == recman::kOk;
  return true;
}

bool TakeOverChart(int source, const char* sourceRecord, const std::string& from,
                   const std::string& to) {
  MandantValues& m = CurrentMandant();
  if (!CopyWithReset(kSakoReset, from, to)) return false;
  for (const char* file : {"steke", "bank"})
    if (recman::CopyFile(PathIn(from, file), PathIn(to, file)) != recman::kOk) return false;
  if (!TakeOverBankSideFile(from, to)) return false;
  int sourceMonth = static_cast<int>(layouts::GetNumber(sourceRecord, F::kFiscalStartMonth));
  if (!RebaseCopiedRates(PathIn(to, "steke"), sourceMonth < 1 ? 1 : sourceMonth,
                         m.fiscalStartMonth))
    return false;
  bool ok = ChangeMandantRecord(m.number, [&](void* record) {
    for (const layouts::Field& f :
         {F::kReceivablesAccount, F::kPayablesAccount, F::kCarryForwardAccount})
      std::memcpy(layouts::FieldBytes(record, f), layouts::FieldBytes(sourceRecord, f), f.width);
    return true;
  });
  if (!ok) return false;
  for (const char* key : {keys::kEust, keys::kWGewinn, keys::kWVerlust})
    CopyMandantSetting(key, source, m.number);
  for (int i = 0; i < 6; ++i)
    CopyMandantSetting(std::string(keys::kAb) + std::to_string(i), source, m.number);
  return LoadMandant(m.number);
}

bool TakeOver(int source, unsigned items) {
  char sourceRecord[F::kLayout.recordLength];
  bool found = false;
  if (!ReadMandantRecord(source, sourceRecord, found) || !found) return false;
  std::string from = MandantYearDirectory(layouts::GetText(sourceRecord, F::kCurrentYear), source);
  std::string to = YearDirectory(CurrentMandant().currentYear);
  if (from == to) return false;
  if ((items & kTakeSachkonten) && !TakeOverChart(source, sourceRecord, from, to)) return false;
  if ((items & kTakeKreditoren) && !CopyWithReset(kKredReset, from, to)) return false;
  if ((items & kTakeDebitoren) && !CopyWithReset(kDebiReset, from, to)) return false;
  if ((items & kTakeCostCentres) && !CopyWithReset(kKoreReset, from, to)) return false;
  for (const FileItem& f : kCopiedFiles)
    if ((items & f.item) && recman::CopyFile(PathIn(from, f.file), PathIn(to, f.file)) != recman::kOk)
      return false;
  return true;
}

}  // namespace

void ResetSachkonto(void* record) {
  namespace S = layouts::sako;
  for (const layouts::Field& f : {S::kPrevDebitTurnover, S::kPrevCreditTurnover,
                                  S::kPrevClosingBalance, S::kOpeningDebit, S::kOpeningCredit,
                                  S::kClosingDebit, S::kClosingCredit, S::kPeriodDebit,
                                  S::kPeriodCredit})
    Zero(record, f);
  for (int i = 0; i < 12; ++i) layouts::SetNumber(record, S::kPostingCount.At(i), 0);
  Clear(record, S::kFirstPostingDate);
  Clear(record, S::kLastPostingDate);
  layouts::SetNumber(record, S::kNewRecordMark, 1);
  layouts::SetNumber(record, S::kPrevClosingSide, 0);
}

void ResetPersonalAccount(void* record) {
  namespace P = layouts::personal;
  for (const layouts::Field& f : {P::kPrevDebitTurnover, P::kPrevCreditTurnover,
                                  P::kPrevClosingBalance, P::kOpeningDebit, P::kOpeningCredit,
                                  P::kClosingDebit, P::kClosingCredit, P::kPeriodDebit,
                                  P::kPeriodCredit})
    Zero(record, f);
  for (int i = 0; i < 12; ++i) layouts::SetNumber(record, P::kPostingCount.At(i), 0);
  Clear(record, P::kLastPostingDate);
  layouts::SetNumber(record, P::kNewRecordMark, 1);
  layouts::SetNumber(record, P::kPrevClosingSide, 0);
}

void ResetCostCentre(void* record) { Zero(record, layouts::kore::kPeriodAmount); }

bool TakeOverData(int source, unsigned items) {
  if (items == 0) {
    ShowMessage(kMessageChoose);
    return false;
  }
  unsigned structures = kTakeGuvStructure | kTakeAssetStructure | kTakeLiabilityStructure;
  if ((items & structures) && !(items & kTakeSachkonten)) ShowMessage(kMessageStructureOnly);
  bool ok;
  {
    NoticeScope notice("TQCOPY", "Die Daten werden nun übernommen...");
    CloseAll();
    ok = TakeOver(source, items);
    CloseAll();
    ok = OpenMainFiles() && ok;
  }
  ShowMessage(ok ? kMessageTakenOver : kMessageIncomplete);
  return ok;
}

}  // namespace talvera
