// bank: the Mandant's bank accounts, in the current-year directory.
//
//   Off  Width  Field
//     0      8  general-ledger account number of the bank account
//     8     10  bank code (BLZ), 8 digits
//    18     12  bank account number, up to 11 digits
//    30     28  bank name
//    58      4  int32 batch (stapel number) that receives the postings
//               imported for this account; 0: post directly
//    62      2  reserved
//    64         record length
//
// K0 account number; K1 bank code.
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::bank {

inline constexpr Field kAccountNo = Account("account_no", 0);
inline constexpr Field kBankCode = Text("bank_code", 8, 10);
inline constexpr Field kBankAccount = Text("bank_account", 18, 12);
inline constexpr Field kBankName = Text("bank_name", 30, 28);
inline constexpr Field kImportBatch = Int32("import_batch", 58);

inline constexpr Field kFields[] = {
    kAccountNo, kBankCode, kBankAccount, kBankName, kImportBatch, Reserved(62, 2),
};

inline constexpr KeySegment kK0[] = {{kAccountNo}};
inline constexpr KeySegment kK1[] = {{kBankCode}};
inline constexpr Key kKeys[] = {{kK0}, {kK1}};

inline constexpr const char* kFiles[] = {"bank"};
inline constexpr Layout kLayout{"bank", kFiles, 64, kFields, kKeys, {}};

}  // namespace talvera::layouts::bank
