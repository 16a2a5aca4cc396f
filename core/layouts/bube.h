// bube: the posting journal, in the working-year directory. One record per
// posting line; a booking with splits, tax or collective accounts writes
// several records.
//
//   Off  Width  Field
//     0     11  journal key YYPPDDnnnn ("0000000000" in a new record)
//    11      7  posting date; decides the period that is updated
//    18      8  debit account (Soll)
//    26      8  credit account (Haben)
//    34      8  tax account
//    42      2  uint16 posting flags; from bit 11 up, on the first record of
//               a booking, the number of further records of that booking;
//               0x400 on the first record of a booking a storno cancelled
//    44      2  uint16 tax-side flags
//    46      1  tax class (as the account's tax key)
//    47      9  voucher number (Belegnummer)
//    56      7  voucher date
//    63     13  debit amount (gross)
//    76     13  credit amount (net)
//    89     13  tax amount
//   102     36  booking text
//   138     10  short code of the debit account
//   148     10  short code of the credit account
//   158     10  short code of the tax account
//   168      4  int32 posting number, filled by the record manager
//   172      7  entry date: the day the posting was made
//   179      8  cost centre 1
//   187      8  cost centre 2
//   195      1  cost-centre kind: 1 fixed, 2 variable, + 32 when the credit
//               account is a P&L account
//   196     13  open-item settlement reference
//   209      1  on a settlement posting (flag 0x200) the byte copied from
//               the booking request; on a record with flag 2 the opening-
//               posting mark kOpeningPostingMark (see IsOpeningPosting)
//   210      1  byte copied from the booking line
//   211         record length
//
// K0 journal key (10 bytes, unique): date order within a fiscal year;
// K1 debit, K2 credit, K3 tax account; K4 journal key descending (unique):
// newest posting first; K5 posting number (unique); K6 voucher number;
// K7 entry date.
#pragma once

#include "core/amount.h"
#include "core/layouts/layout.h"

namespace talvera::layouts::bube {

inline constexpr Field kPostingKey = Of(FieldKind::kPostingKey, "posting_key", 0, 11);
inline constexpr Field kPostingDate = Date("posting_date", 11);
inline constexpr Field kDebitAccount = Account("debit_account", 18);
inline constexpr Field kCreditAccount = Account("credit_account", 26);
inline constexpr Field kTaxAccount = Account("tax_account", 34);
inline constexpr Field kFlags = UInt16("flags", 42);
inline constexpr Field kTaxSideFlags = UInt16("tax_side_flags", 44);
inline constexpr Field kTaxClass = Byte("tax_class", 46);
inline constexpr Field kVoucherNo = Text("voucher_no", 47, 9);
inline constexpr Field kVoucherDate = Date("voucher_date", 56);
inline constexpr Field kDebitAmount = Amount("debit_amount", 63);
inline constexpr Field kCreditAmount = Amount("credit_amount", 76);
inline constexpr Field kTaxAmount = Amount("tax_amount", 89);
inline constexpr Field kText = Text("text", 102, 36);
inline constexpr Field kDebitShortCode = Text("debit_short_code", 138, 10);
inline constexpr Field kCreditShortCode = Text("credit_short_code", 148, 10);
inline constexpr Field kTaxShortCode = Text("tax_short_code", 158, 10);
inline constexpr Field kPostingNo = AutoId("posting_no", 168);
inline constexpr Field kEntryDate = Date("entry_date", 172);
inline constexpr Field kCostCentre1 = Text("cost_centre_1", 179, 8);
inline constexpr Field kCostCentre2 = Text("cost_centre_2", 187, 8);
inline constexpr Field kCostCentreKind = Byte("cost_centre_kind", 195);
inline constexpr Field kSettlementReference = Text("settlement_reference", 196, 13);
inline constexpr Field kRequestByte = Byte("request_byte", 209);
inline constexpr Field kLineByte = Byte("line_byte", 210);

inline constexpr Field kFields[] = {
    kPostingKey,      kPostingDate,      kDebitAccount,   kCreditAccount,
    kTaxAccount,      kFlags,            kTaxSideFlags,   kTaxClass,
    kVoucherNo,       kVoucherDate,      kDebitAmount,    kCreditAmount,
    kTaxAmount,       kText,             kDebitShortCode, kCreditShortCode,
    kTaxShortCode,    kPostingNo,        kEntryDate,      kCostCentre1,
    kCostCentre2,     kCostCentreKind,   kSettlementReference, kRequestByte,
    kLineByte,
};

inline constexpr KeySegment kK0[] = {{kPostingKey, 10}};
inline constexpr KeySegment kK1[] = {{kDebitAccount}};
inline constexpr KeySegment kK2[] = {{kCreditAccount}};
inline constexpr KeySegment kK3[] = {{kTaxAccount}};
inline constexpr KeySegment kK4[] = {{kPostingKey, 10, true}};
inline constexpr KeySegment kK5[] = {{kPostingNo}};
inline constexpr KeySegment kK6[] = {{kVoucherNo}};
inline constexpr KeySegment kK7[] = {{kEntryDate}};
inline constexpr Key kKeys[] = {
    {.segments = kK0, .unique = true}, {kK1}, {kK2}, {kK3},
    {.segments = kK4, .unique = true}, {.segments = kK5, .unique = true},
    {kK6}, {kK7},
};

inline constexpr FieldDefault kDefaults[] = {
    {kPostingKey, FieldDefault::kText, "0000000000"},
    {kDebitAmount, FieldDefault::kText, kZeroAmount},
    {kCreditAmount, FieldDefault::kText, kZeroAmount},
    {kTaxAmount, FieldDefault::kText, kZeroAmount},
    {kEntryDate, FieldDefault::kToday},
};

// Opening postings (Eröffnungsbuchungen) and the carry-forward records
// (Saldovortragsbuchungen) both carry flag 2 against the carry-forward
// account. Only an opening posting moves that account's period totals: its
// record (and its collective-account record, flags 2 + 8) carries this mark
// at offset 209. Every reader that tells the two apart uses IsOpeningPosting.
inline constexpr int kOpeningPostingMark = 'E';
inline bool IsOpeningPosting(const void* record) {
  return (GetNumber(record, kFlags) & 2) != 0 && GetNumber(record, kRequestByte) == kOpeningPostingMark;
}

inline constexpr const char* kFiles[] = {"bube"};
inline constexpr Layout kLayout{"bube", kFiles, 211, kFields, kKeys, kDefaults};

}  // namespace talvera::layouts::bube
