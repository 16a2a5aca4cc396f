// ueberw: bank transfers, in the current-year directory. A booking request
// (bat) embeds one record of this layout.
//
//   Off  Width  Field
//     0      8  own bank account (general-ledger account number)
//     8     28  name 1: ordering party of a credit transfer, payer of a
//               direct debit
//    36     10  counterparty bank code (BLZ)
//    46     12  counterparty account number
//    58     28  name 2: payee of a credit transfer
//    86      6  DTA text key, e.g. "51000"
//    92   3x28  purpose lines 1..3
//   176      2  int16 kind: 1 credit transfer (Gutschrift), 0 direct debit
//   178     13  amount
//   191      1  reserved
//   192      4  int32 id, filled by the record manager
//   196     28  own bank's name
//   224     28  counterparty bank's name
//   252      4  reserved
//   256         record length
//
// K0 own bank account; K1 id (unique).
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::ueberw {

inline constexpr Field kOwnBankAccount = Account("own_bank_account", 0);
inline constexpr Field kName1 = Text("name_1", 8, 28);
inline constexpr Field kCounterBankCode = Text("counter_bank_code", 36, 10);
inline constexpr Field kCounterAccountNo = Text("counter_account_no", 46, 12);
inline constexpr Field kName2 = Text("name_2", 58, 28);
inline constexpr Field kTextKey = Text("text_key", 86, 6);
inline constexpr Field kPurpose = Text("purpose", 92, 28).Times(3, 28);
inline constexpr Field kKind = Int16("kind", 176);
inline constexpr Field kAmount = Amount("amount", 178);
inline constexpr Field kId = AutoId("id", 192);
inline constexpr Field kBankName = Text("bank_name", 196, 28);
inline constexpr Field kCounterBankName = Text("counter_bank_name", 224, 28);

// Values of kKind.
enum TransferKind { kDirectDebit = 0, kCreditTransfer = 1 };

inline constexpr Field kFields[] = {
    kOwnBankAccount, kName1, kCounterBankCode, kCounterAccountNo, kName2,   kTextKey,
    kPurpose,        kKind,  kAmount,          Reserved(191, 1),  kId,      kBankName,
    kCounterBankName, Reserved(252, 4),
};

inline constexpr KeySegment kK0[] = {{kOwnBankAccount}};
inline constexpr KeySegment kK1[] = {{kId}};
inline constexpr Key kKeys[] = {{kK0}, {.segments = kK1, .unique = true}};

inline constexpr const char* kFiles[] = {"ueberw"};
inline constexpr Layout kLayout{"ueberw", kFiles, 256, kFields, kKeys, {}};

}  // namespace talvera::layouts::ueberw
