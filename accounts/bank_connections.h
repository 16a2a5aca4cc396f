// The bank administration without its screen: the Mandant's bank accounts
// (bank) with their IBAN and BIC (bankiban), listing, saving and deleting.
#pragma once

#include <string>
#include <vector>

#include "core/dialog_fields.h"
#include "core/text_helpers.h"

namespace talvera {

// Control ids of the bank administration (BANKENVERW).
namespace bankenverw {
enum : int {
  kAccount = 101, kBankCode, kBankAccount, kBankName, kImportBatch, kList, kIban, kBic,
  kCreate = 111, kDelete, kChange, kBatches, kFinish,
};
}

// One bank account of the Mandant. Texts are UTF-8.
struct BankConnection {
  AccountNo account = "";   // right-aligned general-ledger account
  std::string bankCode;     // BLZ
  std::string bankAccount;  // account number at the bank
  std::string bankName;
  int importBatch = 0;      // batch of imported postings, 0: post directly
  std::string iban;         // electronic form, empty when none
  std::string bic;
};

// Every bank record in account order with its IBAN and BIC; false when the
// store failed (it has reported the status).
bool ListBankConnections(std::vector<BankConnection>& out);

// The list line: account, bank code, bank account, bank name, batch name,
// IBAN (paper form) and BIC, separated by tabs.
std::string BankLine(const BankConnection& bank, const std::string& batchName);

// At least 100 KB free where the current year's files are (message 28).
bool EnoughSpaceToStore();

// "&Anlegen" (change false) and "Än&dern" (change true; `selected` is the
// account of the selected list line, empty when none is). Reads and checks
// the controls, asks when the bank name is missing, then writes the bank
// record and its IBAN record in one transaction. False with the message
// shown (103 when the writing failed) and the books unchanged.
bool SaveBank(DialogFields& dialog, bool change, const std::string& selected, int importBatch,
              BankConnection& saved);

// "&Löschen" for the account of the selected line (empty: message 1).
// Refused while transfers of that bank account wait (106); 104 when the
// records cannot be deleted.
bool DeleteBank(const std::string& selected);

}  // namespace talvera
