// buscha: booking templates, in the current-year directory.
//
//   Off  Width  Field
//     0      4  int32 id, filled by the record manager
//     4     36  template name
//    40      9  voucher number
//    49      8  debit account: number, short code, or "<Debi>" / "<Kred>"
//               (the user names the customer / vendor when using it)
//    57      8  credit account, the same forms
//    65      8  cost centre 1
//    73      8  cost centre 2
//    81     36  booking text
//   117      1  reserved
//   118      1  keep the voucher number (Belegnummer festhalten)
//   119     62  reserved
//   181         record length
//
// K0 id (unique); K1 template name.
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::buscha {

inline constexpr Field kId = AutoId("id", 0);
inline constexpr Field kName = Text("name", 4, 36);
inline constexpr Field kVoucherNo = Text("voucher_no", 40, 9);
inline constexpr Field kDebitAccount = Text("debit_account", 49, 8);
inline constexpr Field kCreditAccount = Text("credit_account", 57, 8);
inline constexpr Field kCostCentre1 = Text("cost_centre_1", 65, 8);
inline constexpr Field kCostCentre2 = Text("cost_centre_2", 73, 8);
inline constexpr Field kText = Text("text", 81, 36);
inline constexpr Field kKeepVoucherNo = Byte("keep_voucher_no", 118);

inline constexpr Field kFields[] = {
    kId,          kName,        kVoucherNo, kDebitAccount,    kCreditAccount, kCostCentre1,
    kCostCentre2, kText,        Reserved(117, 1), kKeepVoucherNo, Reserved(119, 62),
};

inline constexpr KeySegment kK0[] = {{kId}};
inline constexpr KeySegment kK1[] = {{kName}};
inline constexpr Key kKeys[] = {{.segments = kK0, .unique = true}, {kK1}};

// The rows of a new file: name (also the booking text), debit, credit. The
// accounts are short codes of the chart templates.
struct DefaultRow {
  const char* name;
  const char* debit;
  const char* credit;
};
inline constexpr DefaultRow kDefaultRows[] = {
    {"Barabhebung", "Kasse", "Bank"},          {"Barverkauf", "Kasse", "Erl.vo"},
    {"Bareinkauf", "War.ein", "Kasse"},        {"Ausgangsrechnung", "<Debi>", "Erl.vo"},
    {"Eingangsrechnung", "War.ein", "<Kred>"}, {"Zahlungseingang", "Bank", "<Debi>"},
    {"Zahlungsausgang", "<Kred>", "Bank"},
};

inline constexpr const char* kFiles[] = {"buscha"};
inline constexpr Layout kLayout{"buscha", kFiles, 181, kFields, kKeys, {}};

}  // namespace talvera::layouts::buscha
