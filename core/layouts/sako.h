// sako: general-ledger accounts (Sachkonten), in the working-year directory;
// the record-store slot of the previous year's copy uses the same layout.
//
//   Off  Width    Field
//     0      8    account number
//     8     10    short code (Kürzel), up to 8 characters typed
//    18      2    int16 account class: 0 none, 2 asset, 4 liability, 8 P&L
//    20      2    int16 unposted: 1 for a new account, 0 once anything was
//                 posted or carried to it (only then may it be deleted)
//    22      7    opening date: the first day the account is used
//    29     13    previous year: debit turnover (Umsatz Soll)
//    42     13    previous year: credit turnover (Umsatz Haben)
//    55     13    previous year: closing balance (magnitude)
//    68      1    1 in a new record
//    69      1    side of the previous-year closing balance: 0 debit, 1 credit
//    70     26    account name
//    96      2    reserved
//    98      7    date of the last posting
//   105      1    tax key: 0 none, else rate class (2, 4, 8, 16, 128) + 32
//                 for input tax (Vorsteuer)
//   106      6    rate for the "other" and "EC" rate classes
//   112     13    opening balance debit (Eröffnungsbilanz Soll)
//   125     13    opening balance credit
//   138     13    closing postings debit (Abschlussbuchungen Soll)
//   151     13    closing postings credit
//   164  24x13    period totals: period p debit at 164 + 26(p-1), credit at
//                 177 + 26(p-1)
//   476   12x2    int16 number of postings per period
//   500      2    int16 revenue account (Umsatzerlöse)
//   502      7    date of the first posting
//   509      1    DATEV fixed-asset flag (AM/AV)
//   510      2    int16 UStVA key number, 0 none, else 21..100
//   512  13x13    budget figures: periods 1..12, then their total
//   681      1    cost-type flag (Kostenart)
//   682      8    cost centre 1
//   690      8    cost centre 2
//   698      1    cost behaviour: 1 fixed, 2 variable
//   699     34    reserved
//   733           record length
//
// K0 account number; K1 short code; K2 short code + account number;
// K3 unposted; K4 account class + account number; K5 name.
#pragma once

#include "core/amount.h"
#include "core/layouts/layout.h"

namespace talvera::layouts::sako {

inline constexpr Field kAccountNo = Account("account_no", 0);
inline constexpr Field kShortCode = Text("short_code", 8, 10);
inline constexpr Field kAccountClass = Int16("account_class", 18);
inline constexpr Field kUnposted = Int16("unposted", 20);
inline constexpr Field kOpeningDate = Date("opening_date", 22);
inline constexpr Field kPrevDebitTurnover = Amount("prev_debit_turnover", 29);
inline constexpr Field kPrevCreditTurnover = Amount("prev_credit_turnover", 42);
inline constexpr Field kPrevClosingBalance = Amount("prev_closing_balance", 55);
inline constexpr Field kNewRecordMark = Byte("new_record_mark", 68);
inline constexpr Field kPrevClosingSide = Byte("prev_closing_side", 69);
inline constexpr Field kName = Text("name", 70, 26);
inline constexpr Field kLastPostingDate = Date("last_posting_date", 98);
inline constexpr Field kTaxKey = Byte("tax_key", 105);
inline constexpr Field kRate = Rate("rate", 106);
inline constexpr Field kOpeningDebit = Amount("opening_debit", 112);
inline constexpr Field kOpeningCredit = Amount("opening_credit", 125);
inline constexpr Field kClosingDebit = Amount("closing_debit", 138);
inline constexpr Field kClosingCredit = Amount("closing_credit", 151);
inline constexpr Field kPeriodDebit = Amount("period_debit", 164).Times(12, 26);
inline constexpr Field kPeriodCredit = Amount("period_credit", 177).Times(12, 26);
inline constexpr Field kPostingCount = Int16("posting_count", 476).Times(12, 2);
inline constexpr Field kRevenueAccount = Int16("revenue_account", 500);
inline constexpr Field kFirstPostingDate = Date("first_posting_date", 502);
inline constexpr Field kDatevFixedAsset = Byte("datev_fixed_asset", 509);
inline constexpr Field kUstvaKey = Int16("ustva_key", 510);
inline constexpr Field kBudget = Amount("budget", 512).Times(13, 13);
inline constexpr Field kCostType = Byte("cost_type", 681);
inline constexpr Field kCostCentre1 = Text("cost_centre_1", 682, 8);
inline constexpr Field kCostCentre2 = Text("cost_centre_2", 690, 8);
inline constexpr Field kCostBehaviour = Byte("cost_behaviour", 698);

// Values of kAccountClass.
enum AccountClass { kNoClass = 0, kAsset = 2, kLiability = 4, kProfitAndLoss = 8 };

inline constexpr Field kFields[] = {
    kAccountNo,        kShortCode,         kAccountClass,       kUnposted,
    kOpeningDate,      kPrevDebitTurnover, kPrevCreditTurnover, kPrevClosingBalance,
    kNewRecordMark,    kPrevClosingSide,   kName,               Reserved(96, 2),
    kLastPostingDate,  kTaxKey,            kRate,               kOpeningDebit,
    kOpeningCredit,    kClosingDebit,      kClosingCredit,      kPeriodDebit,
    kPeriodCredit,     kPostingCount,      kRevenueAccount,     kFirstPostingDate,
    kDatevFixedAsset,  kUstvaKey,          kBudget,             kCostType,
    kCostCentre1,      kCostCentre2,       kCostBehaviour,      Reserved(699, 34),
};

inline constexpr KeySegment kK0[] = {{kAccountNo}};
inline constexpr KeySegment kK1[] = {{kShortCode}};
inline constexpr KeySegment kK2[] = {{kShortCode}, {kAccountNo}};
inline constexpr KeySegment kK3[] = {{kUnposted}};
inline constexpr KeySegment kK4[] = {{kAccountClass}, {kAccountNo}};
inline constexpr KeySegment kK5[] = {{kName}};
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

inline constexpr const char* kFiles[] = {"sako"};
inline constexpr Layout kLayout{"sako", kFiles, 733, kFields, kKeys, kDefaults};

}  // namespace talvera::layouts::sako
