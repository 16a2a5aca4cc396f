// bankiban: IBAN and BIC of the Mandant's bank accounts, in the current-year
// directory beside bank. The bank record has no room for them, so they live
// in this side file, one record per bank record with the same account
// number, written in the same transaction as the bank record. A bank record
// without IBAN and BIC has no record here; older year directories may lack
// the file altogether until an IBAN or a BIC is first stored.
//
//   Off  Width  Field
//     0      8  general-ledger account number, as in bank
//     8     35  IBAN, electronic form (no blanks, upper case)
//    43     12  BIC, 8 or 11 characters
//    55      9  reserved
//    64         record length
//
// K0 account number (unique).
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::bankiban {

inline constexpr Field kAccountNo = Account("account_no", 0);
inline constexpr Field kIban = Text("iban", 8, 35);
inline constexpr Field kBic = Text("bic", 43, 12);

inline constexpr Field kFields[] = {
    kAccountNo, kIban, kBic, Reserved(55, 9),
};

inline constexpr KeySegment kK0[] = {{kAccountNo}};
inline constexpr Key kKeys[] = {{.segments = kK0, .unique = true}};

inline constexpr const char* kFiles[] = {"bankiban"};
inline constexpr Layout kLayout{"bankiban", kFiles, 64, kFields, kKeys, {}};

}  // namespace talvera::layouts::bankiban
