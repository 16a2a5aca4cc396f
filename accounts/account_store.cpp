#include "accounts/account_store.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <span>

#include "core/layouts/bank.h"
#include "core/layouts/buscha.h"
#include "core/layouts/kore.h"
#include "core/layouts/layout.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/layouts/steke.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/structure_file.h"
#include "core/structure_tree.h"
#include "core/text_helpers.h"
#include "recman/recman.h"

namespace talvera {

namespace {

namespace S = layouts::sako;
namespace P = layouts::personal;
namespace K = layouts::kore;

constexpr FileId kScratch = MakeFileId(kSlotScratch, 0);
constexpr int kLargestRecord = 1024;
constexpr long long kMinimumFreeKilobytes = 100;
constexpr int kMessageDiskFull = 28;

AccountNoticeListener g_listener = nullptr;

std::vector<AccountChangeListener>& ChangeListeners() {
  static std::vector<AccountChangeListener> listeners;
  return listeners;
}

struct FileInfo {
  const char* name;
  const layouts::Layout* layout;
  const layouts::Field* number;
  const layouts::Field* shortCode;
  const layouts::Field* unposted;
};

const FileInfo& InfoOf(AccountFile file) {
  static const FileInfo infos[] = {
      {"sako", &S::kLayout, &S::kAccountNo, &S::kShortCode, &S::kUnposted},
      {"debi", &P::kLayout, &P::kAccountNo, &P::kShortCode, &P::kUnposted},
      {"kred", &P::kLayout, &P::kAccountNo, &P::kShortCode, &P::kUnposted},
      {"kore", &K::kLayout, &K::kNumber, &K::kShortCode, &K::kUnposted},
  };
  return infos[static_cast<int>(file)];
}

std::string CurrentDirectory() { return YearDirectory(CurrentMandant().currentYear); }
std::string PreviousDirectory() {
  const char* previous = CurrentMandant().previousYear;
  return previous[0] ? YearDirectory(previous) : std::string();
}
std::string PathOf(const std::string& dir, AccountFile file) {
  return dir + "/" + InfoOf(file).name + ".btr";
}

std::string Trimmed(const std::string& s) {
  std::size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

// Reads the account of a number from a file opened by path; the record
// stays current in the scratch slot for an update or delete.
bool ReadByNumber(const std::string& path, const std::string& number, void* record, bool& found) {
  found = false;
  if (!OpenPath(path, kSlotScratch)) return false;
  return GetEqual(record, KeyValue(number.c_str(), 8), found, kScratch);
}

bool Exists(const std::string& path, const std::string& number, bool& found) {
  char record[kLargestRecord];
  bool ok = ReadByNumber(path, number, record, found);
  CloseSlot(kSlotScratch);
  return ok;
}

void Notify(int operation, AccountFile file, const void* record) {
  if (g_listener && file != AccountFile::kKore) g_listener(operation, file, record);
  std::string number = layouts::GetText(record, *InfoOf(file).number);
  for (AccountChangeListener listener : std::vector(ChangeListeners())) listener(operation, file, number);
}

// Every save first makes sure the data drive has room (message 28).
bool RoomToSave() {
  if (FreeDiskKilobytes(DataRoot()) >= kMinimumFreeKilobytes) return true;
  ShowMessage(kMessageDiskFull);
  return false;
}

// Applies `change` to each of the year's trees and writes the ones it
// changed. Runs inside the caller's transaction.
bool ChangeTrees(const std::string& dir, const std::function<bool(StructureKind, StructureTree&)>& change) {
  for (StructureKind kind : kAllStructures) {
    StructureTree tree;
    std::string path = StructurePath(dir, kind);
    if (!LoadStructure(path, tree)) return false;
    if (change(kind, tree) && !ReplaceStructureRecords(path, tree)) return false;
  }
  return true;
}

bool AddLooseLeaf(const std::string& dir, const std::string& number, const std::string& code,
                  int accountClass) {
  StructureKind target;
  if (!StructureOfClass(accountClass, target)) return true;
  return ChangeTrees(dir, [&](StructureKind kind, StructureTree& tree) {
    if (kind != target || tree.HasLeaf(number)) return false;
    tree.loose.push_back({number, code});
    return true;
  });
}

bool DropAccountLeaves(const std::string& dir, const std::string& number) {
  return ChangeTrees(dir, [&](StructureKind, StructureTree& tree) {
    return tree.DropLeaves([&](const std::string& account, bool) { return account == number; }) > 0;
  });
}

// Inserts the account into a year; for a Sachkonto with its leaf.
bool InsertInto(const std::string& dir, AccountFile file, const void* record) {
  const FileInfo& info = InfoOf(file);
  if (!OpenPath(PathOf(dir, file), kSlotScratch) || !Insert(const_cast<void*>(record), kScratch))
    return false;
  if (file != AccountFile::kSako) return true;
  return AddLooseLeaf(dir, layouts::GetText(record, *info.number),
                      layouts::GetText(record, *info.shortCode),
                      static_cast<int>(layouts::GetNumber(record, S::kAccountClass)));
}

// The previous year's copy: that year's own previous-year figures are not
// this year's, so they start at zero there.
void ClearPreviousYearFigures(AccountFile file, void* record) {
  const layouts::Field* fields[4];
  if (file == AccountFile::kSako) {
    fields[0] = &S::kPrevDebitTurnover, fields[1] = &S::kPrevCreditTurnover;
    fields[2] = &S::kPrevClosingBalance, fields[3] = &S::kPrevClosingSide;
  } else if (file != AccountFile::kKore) {
    fields[0] = &P::kPrevDebitTurnover, fields[1] = &P::kPrevCreditTurnover;
    fields[2] = &P::kPrevClosingBalance, fields[3] = &P::kPrevClosingSide;
  } else {
    return;
  }
  for (int i = 0; i < 3; ++i) layouts::SetRawText(record, *fields[i], kZeroAmount);
  layouts::SetNumber(record, *fields[3], 0);
}

// What postings own in an account record: the totals, the posting counts
// and dates, the unposted flag and, once posted, the previous-year figures.
// A change dialog's record was read before the user typed; a booking made
// meanwhile must not be overwritten by it, so these come from the record
// as stored when the change is written.
void KeepPostingFields(AccountFile file, const void* stored, void* record) {
  static const layouts::Field sako[] = {
      S::kUnposted, S::kLastPostingDate, S::kOpeningDebit, S::kOpeningCredit, S::kClosingDebit,
      S::kClosingCredit, S::kPeriodDebit, S::kPeriodCredit, S::kPostingCount, S::kFirstPostingDate};
  static const layouts::Field personal[] = {
      P::kUnposted, P::kLastPostingDate, P::kOpeningDebit, P::kOpeningCredit, P::kClosingDebit,
      P::kClosingCredit, P::kPeriodDebit, P::kPeriodCredit, P::kPostingCount};
  static const layouts::Field kore[] = {K::kUnposted, K::kPeriodAmount};
  static const layouts::Field sakoPrevious[] = {S::kPrevDebitTurnover, S::kPrevCreditTurnover,
                                                S::kPrevClosingBalance, S::kPrevClosingSide};
  static const layouts::Field personalPrevious[] = {P::kPrevDebitTurnover, P::kPrevCreditTurnover,
                                                    P::kPrevClosingBalance, P::kPrevClosingSide};
  auto keep = [&](std::span<const layouts::Field> fields) {
    for (const layouts::Field& f : fields)
      std::memcpy(layouts::FieldBytes(record, f), layouts::FieldBytes(stored, f), f.Span());
  };
  bool posted = layouts::GetNumber(stored, *InfoOf(file).unposted) == 0;
  switch (file) {
    case AccountFile::kSako:
      keep(sako);
      if (posted) keep(sakoPrevious);
      break;
    case AccountFile::kDebi:
    case AccountFile::kKred:
      keep(personal);
      if (posted) keep(personalPrevious);
      break;
    case AccountFile::kKore:
      keep(kore);
      break;
  }
}

template <typename Work>
bool InTransaction(const std::vector<std::string>& directories, Work work) {
  for (const std::string& dir : directories)
    if (!dir.empty()) recman::UseDirectory(dir);
  bool ok = false;
  {
    StoreTransaction transaction;
    ok = transaction.began() && work() && transaction.Commit();
  }
  CloseSlot(kSlotScratch);
  return ok;
}

// ---- References -----------------------------------------------------------

// Calls `visit` with every record of a file of the current year; a file
// the Mandant does not have names nothing.
bool EachRecord(const std::string& name, const std::function<void(const char*)>& visit) {
  std::string path = CurrentDirectory() + "/" + name + ".btr";
  if (!recman::FileExists(path)) return true;
  if (!OpenPath(path, kSlotScratch)) return false;
  char record[kLargestRecord];
  bool found = false;
  bool ok = GetFirstFound(record, found, kScratch);
  while (ok && found) {
    visit(record);
    ok = GetNextFound(record, found, kScratch);
  }
  CloseSlot(kSlotScratch);
  return ok;
}

void SettingReferences(const std::string& number, std::vector<std::string>& out) {
  const MandantValues& m = CurrentMandant();
  const MandantSettings& s = CurrentMandantSettings();
  auto same = [&](const std::string& account) {
    return !Trimmed(account).empty() && Trimmed(account) == Trimmed(number);
  };
  if (same(m.receivablesAccount)) out.push_back("Sammelkonto der Debitoren");
  if (same(m.payablesAccount)) out.push_back("Sammelkonto der Kreditoren");
  if (same(m.carryForwardAccount)) out.push_back("Gewinn-/Verlustvortrag");
  if (same(m.cashBasisAccount)) out.push_back("Konto der Istversteuerung");
  if (same(s.eust)) out.push_back("EUSt-Konto");
  if (same(s.wGewinn) || same(s.wVerlust)) out.push_back("Kursdifferenzen");
  for (const std::string& ab : s.ab) {
    if (same(ab)) {
      out.push_back("Skonto-/Abzugskonto der Einstellungen");
      break;
    }
  }
}

}  // namespace

const char* AccountFileName(AccountFile file) { return InfoOf(file).name; }

void SetAccountNoticeListener(AccountNoticeListener listener) { g_listener = listener; }

void AddAccountChangeListener(AccountChangeListener listener) {
  std::vector<AccountChangeListener>& all = ChangeListeners();
  if (std::find(all.begin(), all.end(), listener) == all.end()) all.push_back(listener);
}

void RemoveAccountChangeListener(AccountChangeListener listener) {
  std::vector<AccountChangeListener>& all = ChangeListeners();
  all.erase(std::remove(all.begin(), all.end(), listener), all.end());
}

bool SaveNewAccount(AccountFile file, const void* record, bool copyToPreviousYear) {
  if (!RoomToSave()) return false;
  std::string number = layouts::GetText(record, *InfoOf(file).number);
  std::string previous = copyToPreviousYear ? PreviousDirectory() : std::string();
  bool existsThere = false;
  if (!previous.empty() && !Exists(PathOf(previous, file), number, existsThere)) return false;
  bool copy = !previous.empty() && !existsThere;

  char copied[kLargestRecord];
  std::memcpy(copied, record, InfoOf(file).layout->recordLength);
  ClearPreviousYearFigures(file, copied);
  bool ok = InTransaction({CurrentDirectory(), previous}, [&] {
    return InsertInto(CurrentDirectory(), file, record) && (!copy || InsertInto(previous, file, copied));
  });
  if (!ok) {
    ShowMessage(kMessageNotStored);
    return false;
  }
  Notify(1, file, record);
  if (!previous.empty() && existsThere) ShowMessage(kMessageExistsInPreviousYear);
  return true;
}

bool SaveChangedAccount(AccountFile file, const void* record) {
  if (!RoomToSave()) return false;
  const FileInfo& info = InfoOf(file);
  std::string number = layouts::GetText(record, *info.number);
  std::string dir = CurrentDirectory();
  bool ok = InTransaction({dir}, [&] {
    char old[kLargestRecord];
    bool found = false;
    if (!ReadByNumber(PathOf(dir, file), number, old, found) || !found) return false;
    char merged[kLargestRecord];
    std::memcpy(merged, record, info.layout->recordLength);
    KeepPostingFields(file, old, merged);
    if (!Update(merged, kScratch)) return false;
    if (file != AccountFile::kSako) return true;
    int oldClass = static_cast<int>(layouts::GetNumber(old, S::kAccountClass));
    int newClass = static_cast<int>(layouts::GetNumber(record, S::kAccountClass));
    std::string code = layouts::GetText(record, S::kShortCode);
    if (oldClass != newClass &&
        (!DropAccountLeaves(dir, number) || !AddLooseLeaf(dir, number, code, newClass)))
      return false;
    if (code != layouts::GetText(old, S::kShortCode) &&
        !ChangeTrees(dir, [&](StructureKind, StructureTree& tree) { return tree.SetShortCode(number, code) > 0; }))
      return false;
    return true;
  });
  if (!ok) {
    ShowMessage(kMessageNotStored);
    return false;
  }
  Notify(2, file, record);
  return true;
}

bool AccountReferences(AccountFile file, const std::string& number, std::vector<std::string>& out) {
  out.clear();
  std::string code;
  {
    char record[kLargestRecord];
    bool found = false;
    bool ok = ReadByNumber(PathOf(CurrentDirectory(), file), number, record, found);
    CloseSlot(kSlotScratch);
    if (!ok) return false;
    if (found) code = Trimmed(layouts::GetText(record, *InfoOf(file).shortCode));
  }
  if (file == AccountFile::kKore) return true;  // nothing names a cost centre by number alone
  auto named = [&](const std::string& text) {
    std::string t = Trimmed(text);
    return !t.empty() && (t == Trimmed(number) || (!code.empty() && t == code));
  };
  bool rates = false, banks = false, templates = false;
  bool ok = EachRecord("steke", [&](const char* r) {
    rates = rates || named(layouts::GetText(r, layouts::steke::kOutputTaxAccount)) ||
            named(layouts::GetText(r, layouts::steke::kInputTaxAccount));
  }) && EachRecord("bank", [&](const char* r) {
    banks = banks || named(layouts::GetText(r, layouts::bank::kAccountNo));
  }) && EachRecord("buscha", [&](const char* r) {
    templates = templates || named(layouts::GetText(r, layouts::buscha::kDebitAccount)) ||
                named(layouts::GetText(r, layouts::buscha::kCreditAccount));
  });
  if (!ok) return false;
  if (rates) out.push_back("Steuersatz");
  if (file == AccountFile::kSako) SettingReferences(number, out);
  if (banks) out.push_back("Bankverbindung");
  if (templates) out.push_back("Buchungsvorlage");
  return true;
}

bool CheckDeletable(AccountFile file, const std::string& number) {
  char record[kLargestRecord];
  bool found = false;
  bool ok = ReadByNumber(PathOf(CurrentDirectory(), file), number, record, found);
  CloseSlot(kSlotScratch);
  if (!ok || !found) {
    ShowMessage(kMessageNotDeleted);
    return false;
  }
  if (layouts::GetNumber(record, *InfoOf(file).unposted) == 0) {
    ShowMessage(kMessagePostedMeanwhile, 0, Trimmed(number));
    return false;
  }
  std::vector<std::string> references;
  if (!AccountReferences(file, number, references)) return false;
  if (!references.empty()) {
    std::string list;
    for (const std::string& r : references) list += (list.empty() ? "" : ", ") + r;
    ShowMessage(kMessageStillReferenced, 0, Trimmed(number) + " (" + list + ")");
    return false;
  }
  return true;
}

bool DeleteAccount(AccountFile file, const std::string& number) {
  const FileInfo& info = InfoOf(file);
  std::string current = CurrentDirectory(), previous = PreviousDirectory();
  // Check first, by reading only.
  if (!CheckDeletable(file, number)) return false;
  char record[kLargestRecord];
  bool found = false;
  bool postedMeanwhile = false;
  bool ok = InTransaction({current, previous}, [&] {
    // Read again under the lock: a posting may have come in between.
    if (!ReadByNumber(PathOf(current, file), number, record, found) || !found) return false;
    if (layouts::GetNumber(record, *info.unposted) == 0) {
      postedMeanwhile = true;
      return false;
    }
    if (!Delete(kSlotScratch)) return false;
    if (file == AccountFile::kSako && !DropAccountLeaves(current, number)) return false;
    if (previous.empty()) return true;
    char old[kLargestRecord];
    bool there = false;
    if (!ReadByNumber(PathOf(previous, file), number, old, there)) return false;
    if (!there || layouts::GetNumber(old, *info.unposted) == 0) return true;
    return Delete(kSlotScratch) && (file != AccountFile::kSako || DropAccountLeaves(previous, number));
  });
  if (!ok) {
    if (postedMeanwhile)
      ShowMessage(kMessagePostedMeanwhile, 0, Trimmed(number));
    else
      ShowMessage(kMessageNotDeleted);
    return false;
  }
  Notify(3, file, record);
  return true;
}

bool ListDeletable(AccountFile file, std::vector<std::string>& numbers) {
  numbers.clear();
  const FileInfo& info = InfoOf(file);
  if (!OpenPath(PathOf(CurrentDirectory(), file), kSlotScratch)) return false;
  char record[kLargestRecord];
  bool found = false;
  bool ok = GetFirstFound(record, found, kScratch);
  while (ok && found) {
    if (layouts::GetNumber(record, *info.unposted) != 0)
      numbers.push_back(layouts::GetText(record, *info.number));
    ok = GetNextFound(record, found, kScratch);
  }
  CloseSlot(kSlotScratch);
  return ok;
}

bool DeleteAll(AccountFile file, const std::vector<std::string>& numbers, int& deleted) {
  deleted = 0;
  for (const std::string& number : numbers) {
    if (!DeleteAccount(file, number)) return false;
    ++deleted;
  }
  return true;
}

}  // namespace talvera
