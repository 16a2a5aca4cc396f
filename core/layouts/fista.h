// fista: the Mandant master file, in the data root; one record per Mandant.
//
//   Off  Width  Field
//     0      2  int16 Mandant number (1, 2, ...)
//     2     41  company name
//    43     26  tax office (Finanzamt)
//    69     13  tax number when it has fewer than 13 characters, else empty
//    82      5  previous fiscal year "1995"; empty while none is open
//    87      5  current fiscal year "1996"
//    92      8  receivables collective account (Forderungen)
//   100      8  payables collective account (Verbindlichkeiten)
//   108      8  profit/loss carry-forward account (Gewinn-/Verlustvortrag)
//   116     16  access password (Fibu-Zugang), scrambled
//   132      2  int16 password protection on (1) / off (0)
//   134     16  tax number when it has 13 or more characters
//   150      2  int16 data version (330)
//   152      2  reserved
//   154     16  VAT identification number (USt-ID-Nummer)
//   170      2  int16 taxation basis: 0 accrual (Soll), 1 cash (Ist)
//   172      8  account for VAT not yet due (cash basis)
//   180     16  evaluations password (Auswertungen), scrambled
//   196      2  int16 first month of the fiscal year, 1..12 (0 read as 1)
//   198      1  federal state, index into the company-master dialog's list
//   199     31  tax office street
//   230     31  tax office postal code and town
//   261     41  company name supplement (Zusatz)
//   302     31  company street
//   333     31  company postal code and town
//   364     21  telephone
//   385    613  reserved
//   998         record length
//
// K0 Mandant number: unique, never changes (the year directories carry it).
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::fista {

inline constexpr Field kMandantNo = Int16("mandant_no", 0);
inline constexpr Field kCompanyName = Text("company_name", 2, 41);
inline constexpr Field kTaxOffice = Text("tax_office", 43, 26);
inline constexpr Field kTaxNumberShort = Text("tax_number_short", 69, 13);
inline constexpr Field kPreviousYear = Text("previous_year", 82, 5);
inline constexpr Field kCurrentYear = Text("current_year", 87, 5);
inline constexpr Field kReceivablesAccount = Account("receivables_account", 92);
inline constexpr Field kPayablesAccount = Account("payables_account", 100);
inline constexpr Field kCarryForwardAccount = Account("carry_forward_account", 108);
inline constexpr Field kAccessPassword = Scrambled("access_password", 116, 16);
inline constexpr Field kPasswordOn = Int16("password_on", 132);
inline constexpr Field kTaxNumberLong = Text("tax_number_long", 134, 16);
inline constexpr Field kDataVersion = Int16("data_version", 150);
inline constexpr Field kVatId = Text("vat_id", 154, 16);
inline constexpr Field kTaxationBasis = Int16("taxation_basis", 170);
inline constexpr Field kVatNotDueAccount = Account("vat_not_due_account", 172);
inline constexpr Field kEvaluationPassword = Scrambled("evaluation_password", 180, 16);
inline constexpr Field kFiscalStartMonth = Int16("fiscal_start_month", 196);
inline constexpr Field kFederalState = Byte("federal_state", 198);
inline constexpr Field kTaxOfficeStreet = Text("tax_office_street", 199, 31);
inline constexpr Field kTaxOfficeTown = Text("tax_office_town", 230, 31);
inline constexpr Field kCompanyNameExtra = Text("company_name_extra", 261, 41);
inline constexpr Field kCompanyStreet = Text("company_street", 302, 31);
inline constexpr Field kCompanyTown = Text("company_town", 333, 31);
inline constexpr Field kTelephone = Text("telephone", 364, 21);

inline constexpr int kDataVersionCurrent = 330;

inline constexpr Field kFields[] = {
    kMandantNo,         kCompanyName,        kTaxOffice,          kTaxNumberShort,
    kPreviousYear,      kCurrentYear,        kReceivablesAccount, kPayablesAccount,
    kCarryForwardAccount, kAccessPassword,   kPasswordOn,         kTaxNumberLong,
    kDataVersion,       Reserved(152, 2),    kVatId,              kTaxationBasis,
    kVatNotDueAccount,  kEvaluationPassword, kFiscalStartMonth,   kFederalState,
    kTaxOfficeStreet,   kTaxOfficeTown,      kCompanyNameExtra,   kCompanyStreet,
    kCompanyTown,       kTelephone,          Reserved(385, 613),
};

inline constexpr KeySegment kK0[] = {{kMandantNo}};
inline constexpr Key kKeys[] = {{.segments = kK0, .unique = true, .modifiable = false}};

inline constexpr const char* kFiles[] = {"fista"};
inline constexpr Layout kLayout{"fista", kFiles, 998, kFields, kKeys, {}};

}  // namespace talvera::layouts::fista
