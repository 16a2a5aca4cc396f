#include "accounts/bank_connections.h"

#include <cstring>

#include "accounts/bank_iban.h"
#include "core/account_lookup.h"
#include "core/layouts/bank.h"
#include "core/layouts/bankiban.h"
#include "core/layouts/create_file.h"
#include "core/layouts/ueberw.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "recman/recman.h"

namespace talvera {
namespace {

namespace B = layouts::bank;
namespace I = layouts::bankiban;
using namespace bankenverw;

constexpr int kMessageChooseEntry = 1;
constexpr int kMessageDigitsOnly = 3;
constexpr int kMessageAccountIsPersonal = 19;
constexpr int kMessageInputNeeded = 22;
constexpr int kMessageNoSpace = 28;
constexpr int kMessageNoAccount = 36;
constexpr int kMessageBankCode = 102;
constexpr int kMessageCannotSave = 103;
constexpr int kMessageCannotDelete = 104;
constexpr int kMessageTransfersWaiting = 106;
constexpr int kMessageHasBank = 192;
constexpr int kMessageAustrianBankCode = 529;
constexpr int kMessageNothingToChange = 756;
constexpr int kMessageAskWithoutName = 911;
constexpr int kMessageIbanCharacters = 4201;
constexpr int kMessageIbanCountry = 4202;
constexpr int kMessageIbanLength = 4203;
constexpr int kMessageIbanCheckDigits = 4204;
constexpr int kMessageBic = 4205;

constexpr FileId kBankByAccount = MakeFileId(kSlotBank, 0);
constexpr FileId kSideByAccount = MakeFileId(kSlotBankIban, 0);

// Shows the message (focusing the control) and fails.
bool Refuse(int message, int control = 0) {
  ShowMessage(message, control);
  return false;
}

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SideFileExists() { return recman::FileExists(SlotPath(kSlotBankIban)); }

// The side file appears with the first IBAN or BIC of a year directory that
// was made before it existed; it is created before any transaction begins.
bool EnsureSideFile() {
  if (SideFileExists()) return true;
  std::string path = SlotPath(kSlotBankIban);
  return layouts::CreateFile(I::kLayout, path.substr(0, path.rfind('/')), "bankiban");
}

void ReadSide(BankConnection& bank) {
  char record[I::kLayout.recordLength];
  bool found = false;
  if (!GetEqual(record, KeyValue(bank.account, 8), found, kSideByAccount) || !found) return;
  bank.iban = layouts::GetText(record, I::kIban);
  bank.bic = layouts::GetText(record, I::kBic);
}

BankConnection ConnectionOf(const char* record) {
  BankConnection b;
  CopyLimited(b.account, layouts::FieldBytes(record, B::kAccountNo), sizeof b.account);
  b.bankCode = layouts::GetText(record, B::kBankCode);
  b.bankAccount = layouts::GetText(record, B::kBankAccount);
  b.bankName = layouts::GetText(record, B::kBankName);
  b.importBatch = static_cast<int>(layouts::GetNumber(record, B::kImportBatch));
  return b;
}

// ---- Checks, in the order the user meets them ----------------------------

bool ReadAccountNumber(DialogFields& d, AccountNo out) {
  std::string text = Trimmed(d.FieldText(kAccount));
  if (text.empty()) return Refuse(kMessageInputNeeded, kAccount);
  if (text.size() > kAccountNoWidth || !IsDigitsOnly(text.c_str()))
    return Refuse(kMessageDigitsOnly, kAccount);
  CopyLimited(out, text.c_str(), sizeof(AccountNo));
  PadLeft(out, kAccountNoWidth);
  return true;
}

// A bank record of its own for an account not yet in the list is refused,
// as is an account that is missing or a customer's or vendor's.
bool CheckAccount(const char* account, bool newToList) {
  char record[B::kLayout.recordLength];
  bool found = false;
  if (newToList) {
    if (!GetEqual(record, KeyValue(account, 8), found, kBankByAccount)) return false;
    if (found) return Refuse(kMessageHasBank, kAccount);
  }
  AccountKind kind = kNoAccount;
  if (!LookUpAccount(account, kind)) return false;
  if (kind == kNoAccount) return Refuse(kMessageNoAccount, kAccount);
  if (kind != kSachkonto) return Refuse(kMessageAccountIsPersonal, kAccount);
  return true;
}

bool CheckBankCode(const std::string& code) {
  if (CurrentSettings().austria) {
    if (!IsDigitsOnly(code.c_str())) return Refuse(kMessageAustrianBankCode, kBankCode);
    return true;
  }
  if (code.size() != 8 || !IsDigitsOnly(code.c_str())) return Refuse(kMessageBankCode, kBankCode);
  return true;
}

bool CheckIbanField(const std::string& iban) {
  if (iban.empty()) return true;
  switch (CheckIban(iban)) {
    case IbanFault::kNone: return true;
    case IbanFault::kCharacters: ShowMessage(kMessageIbanCharacters, kIban); return false;
    case IbanFault::kCountry: ShowMessage(kMessageIbanCountry, kIban, iban.substr(0, 2)); return false;
    case IbanFault::kLength: {
      std::string country = iban.substr(0, 2);
      ShowMessage(kMessageIbanLength, kIban, country + ": " + std::to_string(IbanLengthOf(country)));
      return false;
    }
    case IbanFault::kCheckDigits: ShowMessage(kMessageIbanCheckDigits, kIban); return false;
  }
  return false;
}

bool ReadInput(DialogFields& d, bool change, const std::string& selected, BankConnection& b) {
  if (!EnoughSpaceToStore() || !ReadAccountNumber(d, b.account)) return false;
  if (change && selected.empty()) return Refuse(kMessageNothingToChange);
  bool newToList = !change || selected != b.account;
  if (!CheckAccount(b.account, newToList)) return false;
  b.bankCode = Trimmed(d.FieldText(kBankCode));
  if (!CheckBankCode(b.bankCode)) return false;
  b.bankAccount = Trimmed(d.FieldText(kBankAccount));
  if (!IsDigitsOnly(b.bankAccount.c_str())) return Refuse(kMessageDigitsOnly, kBankAccount);
  b.iban = IbanElectronic(d.FieldText(kIban));
  if (!CheckIbanField(b.iban)) return false;
  b.bic = BicElectronic(d.FieldText(kBic));
  if (!b.bic.empty() && !IsValidBic(b.bic)) return Refuse(kMessageBic, kBic);
  b.bankName = Trimmed(d.FieldText(kBankName));
  if (b.bankName.empty() && !ShowMessage(kMessageAskWithoutName, kBankName)) return false;
  return true;
}

// ---- Writing ---------------------------------------------------------------

void FillBankRecord(const BankConnection& b, char* record) {
  layouts::InitRecord(B::kLayout, record);
  layouts::SetRawText(record, B::kAccountNo, b.account);
  layouts::SetRawText(record, B::kBankCode, b.bankCode);
  layouts::SetRawText(record, B::kBankAccount, b.bankAccount);
  layouts::SetText(record, B::kBankName, b.bankName);
  layouts::SetNumber(record, B::kImportBatch, b.importBatch);
}

// Removes the IBAN record of an account, when there is one.
bool DeleteSide(const char* account) {
  char record[I::kLayout.recordLength];
  bool found = false;
  if (!GetEqual(record, KeyValue(account, 8), found, kSideByAccount)) return false;
  return !found || Delete(kSlotBankIban);
}

// Writes the IBAN record of a bank account; none when IBAN and BIC are empty.
bool WriteSide(const BankConnection& b) {
  char record[I::kLayout.recordLength];
  bool found = false;
  if (!GetEqual(record, KeyValue(b.account, 8), found, kSideByAccount)) return false;
  if (b.iban.empty() && b.bic.empty()) return !found || Delete(kSlotBankIban);
  layouts::InitRecord(I::kLayout, record);
  layouts::SetRawText(record, I::kAccountNo, b.account);
  layouts::SetRawText(record, I::kIban, b.iban);
  layouts::SetRawText(record, I::kBic, b.bic);
  return found ? Update(record, kSideByAccount) : Insert(record, kSideByAccount);
}

// The bank record: a new one, the old one updated, or the old one replaced
// by one under the new account.
bool WriteBank(const BankConnection& b, bool change, const char* oldAccount) {
  char record[B::kLayout.recordLength];
  FillBankRecord(b, record);
  if (!change) return Insert(record, kBankByAccount);
  char old[B::kLayout.recordLength];
  bool found = false;
  if (!GetEqual(old, KeyValue(oldAccount, 8), found, kBankByAccount) || !found) return false;
  if (std::strcmp(oldAccount, b.account) == 0) return Update(record, kBankByAccount);
  return Delete(kSlotBank) && Insert(record, kBankByAccount);
}

bool WriteConnection(const BankConnection& b, bool change, const char* oldAccount) {
  bool withSide = !b.iban.empty() || !b.bic.empty();
  if (withSide && !EnsureSideFile()) return false;
  bool sideExists = SideFileExists();
  // Open before the transaction, so that positions hold for update and delete.
  if (!OpenSlot(kSlotBank) || (sideExists && !OpenSlot(kSlotBankIban))) return false;
  bool ok = false;
  {
    StoreTransaction transaction;
    ok = transaction.began() && WriteBank(b, change, oldAccount) &&
         (!sideExists || !change || std::strcmp(oldAccount, b.account) == 0 || DeleteSide(oldAccount)) &&
         (!sideExists || WriteSide(b)) && transaction.Commit();
  }
  CloseSlot(kSlotBank);
  CloseSlot(kSlotBankIban);
  return ok;
}

}  // namespace

bool ListBankConnections(std::vector<BankConnection>& out) {
  out.clear();
  char record[B::kLayout.recordLength];
  bool found = false;
  bool ok = OpenSlot(kSlotBank) && GetFirstFound(record, found, kBankByAccount);
  while (ok && found) {
    out.push_back(ConnectionOf(record));
    ok = GetNextFound(record, found, kBankByAccount);
  }
  CloseSlot(kSlotBank);
  if (ok && SideFileExists() && OpenSlot(kSlotBankIban)) {
    for (BankConnection& b : out) ReadSide(b);
    CloseSlot(kSlotBankIban);
  }
  return ok;
}

std::string BankLine(const BankConnection& b, const std::string& batchName) {
  return std::string(b.account) + "\t" + b.bankCode + "\t" + b.bankAccount + "\t" + b.bankName +
         "\t" + batchName + "\t" + IbanPaperForm(b.iban) + "\t" + b.bic;
}

bool EnoughSpaceToStore() {
  std::string path = SlotPath(kSlotBank);
  if (FreeDiskKilobytes(path.substr(0, path.rfind('/'))) >= 100) return true;
  ShowMessage(kMessageNoSpace);
  return false;
}

bool SaveBank(DialogFields& d, bool change, const std::string& selected, int importBatch,
              BankConnection& saved) {
  BankConnection b;
  AccountNo oldAccount = "";
  CopyLimited(oldAccount, selected.c_str(), sizeof oldAccount);
  if (!ReadInput(d, change, selected, b)) return false;
  b.importBatch = importBatch;
  if (!WriteConnection(b, change, oldAccount)) {
    ShowMessage(kMessageCannotSave);
    return false;
  }
  saved = b;
  return true;
}

bool DeleteBank(const std::string& selected) {
  if (selected.empty()) return Refuse(kMessageChooseEntry);
  AccountNo account = "";
  CopyLimited(account, selected.c_str(), sizeof account);
  bool waiting = false;
  if (!Exists(KeyValue(account, 8), waiting, MakeFileId(kSlotUeberw, 0))) return false;
  if (waiting) return Refuse(kMessageTransfersWaiting);
  bool sideExists = SideFileExists();
  if (!OpenSlot(kSlotBank) || (sideExists && !OpenSlot(kSlotBankIban))) return false;
  bool ok = false;
  {
    StoreTransaction transaction;
    char record[B::kLayout.recordLength];
    bool found = false;
    ok = transaction.began() && GetEqual(record, KeyValue(account, 8), found, kBankByAccount) &&
         found && Delete(kSlotBank) && (!sideExists || DeleteSide(account)) && transaction.Commit();
  }
  CloseSlot(kSlotBank);
  CloseSlot(kSlotBankIban);
  if (!ok) ShowMessage(kMessageCannotDelete);
  return ok;
}

}  // namespace talvera
