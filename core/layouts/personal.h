// debi / kred: customer (Debitoren) and vendor (Kreditoren) accounts, one
// layout for both, in the working-year directory.
//
//   Off  Width    Field
//     0      8    account number
//     8     10    short code, up to 8 characters typed
//    18      2    int16 unposted: 1 new, 0 after postings
//    20      7    opening date
//    27     13    previous year: debit turnover
//    40     13    previous year: credit turnover
//    53     13    previous year: closing balance (magnitude)
//    66      1    1 in a new record
//    67      1    side of the previous-year closing balance: 0 debit, 1 credit
//    68     26    name
//    94     26    name supplement (Zusatz)
//   120     31    street
//   151      7    postal code (PLZ)
//   158      4    country code (empty or the home country: domestic)
//   162     31    town
//   193      7    date of the last posting
//   200      8    default counter account (Gegenkonto), a Sachkonto
//   208     13    opening balance debit
//   221     13    opening balance credit
//   234     13    closing postings debit
//   247     13    closing postings credit
//   260  24x13    period totals: period p debit at 260 + 26(p-1), credit at
//                 273 + 26(p-1)
//   572   12x2    int16 number of postings per period
//   596      9    bank code (BLZ), digits
//   605     11    bank account number, digits
//   616     28    bank name
//   644      2    int16 discount days (Skontotage)
//   646      2    int16 payment days (Zahlungsziel)
//   648      6    discount percent ("00,00" when empty)
//   654      2    int16 dunning key: 0 dunnable, -1 not dunnable
//   656     16    VAT identification number
//   672     31    reserved
//   703      5    currency code (empty: home currency; foreign accounts only)
//   708      1    contract processing (Lohnveredelung): 1 set
//   709  13x13    budget figures: periods 1..12, then their total
//   878     28    payment reference (Verwendungszweck)
//   906     50    reserved
//   956           record length
//
// K0 account number; K1 short code; K2 short code + account number;
// K3 unposted; K4 name; K5 postal code.
#pragma once

#include "core/amount.h"
#include "core/layouts/layout.h"

namespace talvera::layouts::personal {

inline constexpr Field kAccountNo = Account("account_no", 0);
inline constexpr Field kShortCode = Text("short_code", 8, 10);
inline constexpr Field kUnposted = Int16("unposted", 18);
inline constexpr Field kOpeningDate = Date("opening_date", 20);
inline constexpr Field kPrevDebitTurnover = Amount("prev_debit_turnover", 27);
inline constexpr Field kPrevCreditTurnover = Amount("prev_credit_turnover", 40);
inline constexpr Field kPrevClosingBalance = Amount("prev_closing_balance", 53);
inline constexpr Field kNewRecordMark = Byte("new_record_mark", 66);
inline constexpr Field kPrevClosingSide = Byte("prev_closing_side", 67);
inline constexpr Field kName = Text("name", 68, 26);
inline constexpr Field kNameExtra = Text("name_extra", 94, 26);
inline constexpr Field kStreet = Text("street", 120, 31);
inline constexpr Field kPostalCode = Text("postal_code", 151, 7);
inline constexpr Field kCountry = Text("country", 158, 4);
inline constexpr Field kTown = Text("town", 162, 31);
inline constexpr Field kLastPostingDate = Date("last_posting_date", 193);
inline constexpr Field kCounterAccount = Account("counter_account", 200);
inline constexpr Field kOpeningDebit = Amount("opening_debit", 208);
inline constexpr Field kOpeningCredit = Amount("opening_credit", 221);
inline constexpr Field kClosingDebit = Amount("closing_debit", 234);
inline constexpr Field kClosingCredit = Amount("closing_credit", 247);
inline constexpr Field kPeriodDebit = Amount("period_debit", 260).Times(12, 26);
inline constexpr Field kPeriodCredit = Amount("period_credit", 273).Times(12, 26);
inline constexpr Field kPostingCount = Int16("posting_count", 572).Times(12, 2);
inline constexpr Field kBankCode = Text("bank_code", 596, 9);
inline constexpr Field kBankAccount = Text("bank_account", 605, 11);
inline constexpr Field kBankName = Text("bank_name", 616, 28);
inline constexpr Field kDiscountDays = Int16("discount_days", 644);
inline constexpr Field kPaymentDays = Int16("payment_days", 646);
inline constexpr Field kDiscountPercent = Rate("discount_percent", 648);
inline constexpr Field kDunningKey = Int16("dunning_key", 654);
inline constexpr Field kVatId = Text("vat_id", 656, 16);
inline constexpr Field kCurrency = Text("currency", 703, 5);
inline constexpr Field kContractProcessing = Byte("contract_processing", 708);
inline constexpr Field kBudget = Amount("budget", 709).Times(13, 13);
inline constexpr Field kPaymentReference = Text("payment_reference", 878, 28);

inline constexpr Field kFields[] = {
    kAccountNo,          kShortCode,          kUnposted,         kOpeningDate,
    kPrevDebitTurnover,  kPrevCreditTurnover, kPrevClosingBalance, kNewRecordMark,
    kPrevClosingSide,    kName,               kNameExtra,        kStreet,
    kPostalCode,         kCountry,            kTown,             kLastPostingDate,
    kCounterAccount,     kOpeningDebit,       kOpeningCredit,    kClosingDebit,
    kClosingCredit,      kPeriodDebit,        kPeriodCredit,     kPostingCount,
    kBankCode,           kBankAccount,        kBankName,         kDiscountDays,
    kPaymentDays,        kDiscountPercent,    kDunningKey,       kVatId,
    Reserved(672, 31),   kCurrency,           kContractProcessing, kBudget,
    kPaymentReference,   Reserved(906, 50),
};

inline constexpr KeySegment kK0[] = {{kAccountNo}};
inline constexpr KeySegment kK1[] = {{kShortCode}};
inline constexpr KeySegment kK2[] = {{kShortCode}, {kAccountNo}};
inline constexpr KeySegment kK3[] = {{kUnposted}};
inline constexpr KeySegment kK4[] = {{kName}};
inline constexpr KeySegment kK5[] = {{kPostalCode}};
inline constexpr Key kKeys[] = {{kK0}, {kK1}, {kK2}, {kK3}, {kK4}, {kK5}};

// Every amount starts as zero text; the record is new and unposted.
inline constexpr FieldDefault kDefaults[] = {
    {kPrevDebitTurnover, FieldDefault::kText, kZeroAmount},
    {kPrevCreditTurnover, FieldDefault::kText, kZeroAmount},
    {kPrevClosingBalance, FieldDefault::kText, kZeroAmount},
    {kOpeningDebit, FieldDefault::kText, kZeroAmount},
    {kOpeningCredit, FieldDefault::kText, kZeroAmount},
    {kClosingDebit, FieldDefault::kText, kZeroAmount},
    {kClosingCredit, FieldDefault::kText, kZeroAmount},
    {kPeriodDebit, FieldDefault::kText, kZeroAmount},
    {kPeriodCredit, FieldDefault::kText, kZeroAmount},
    {kBudget, FieldDefault::kText, kZeroAmount},
    {kNewRecordMark, FieldDefault::kNumber, nullptr, 1},
    {kPrevClosingSide, FieldDefault::kNumber, nullptr, 0},
    {kUnposted, FieldDefault::kNumber, nullptr, 1},
};

inline constexpr const char* kFiles[] = {"debi", "kred"};
inline constexpr Layout kLayout{"debi/kred", kFiles, 956, kFields, kKeys, kDefaults};

}  // namespace talvera::layouts::personal
