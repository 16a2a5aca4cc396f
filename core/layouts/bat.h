// bat: batch postings, in the current-year directory. A record is one whole
// booking request, the structure the posting dialogs hand to the posting
// engine; batch postings wait here until they are posted.
//
//   Off  Width   Field
//     0      4   int32 batch number (stapel record)
//     4      4   int32 id, filled by the record manager
//     8      7   posting date
//    15      7   voucher date
//    22      9   voucher number
//    31  10x94   booking lines (below); the first line with an empty debit
//                and credit account ends the list
//   971     36   booking text
//  1007      2   int16 split kind (0: the engine decides)
//  1009      5   currency code
//  1014     13   amount in home currency
//  1027     13   open-item settlement reference (set for a settlement)
//  1040      1   byte passed to the journal record (its offset 209)
//  1041      1   skip: the engine posts nothing
//  1042      1   suppress the cash-basis tax account
//  1043      1   suppress open-item creation
//  1044     27   owner of a recovery record (the pending booking of a
//                posting dialog kept for a restart); empty otherwise
//  1071    256   embedded bank transfer (ueberw layout); stored as a
//                transfer when its amount is not empty
//  1327          record length
//
// Booking line:
//
//   Off  Width   Field
//     0      8   debit account
//     8      8   credit account
//    16      8   tax account shown in the entry dialog's list (the engine
//                does not read it)
//    24      1   debit account kind (2 Sachkonto, 4 Kreditor, 8 Debitor)
//    25      1   credit account kind
//    26      2   int16 tax side: 0 none, 1 credit side, 2 debit side
//    28      2   int16 tax class
//    30      2   int16 index of the rate record (-1: search by date)
//    32     13   gross amount
//    45     13   net amount
//    58      6   rate
//    64      8   cost centre 1
//    72      8   cost centre 2
//    80      1   cost-centre kind
//    81      1   byte passed to the journal record (its offset 210)
//    82      1   line 0 of a booking in a recurring batch: the day of the
//                month it falls due (0: its posting date's day), so that
//                moving on by one period keeps a 31st through February
//    83     11   reserved
//    94          line length
//
// K0 id (unique); K1 batch number.
#pragma once

#include "core/layouts/layout.h"
#include "core/layouts/ueberw.h"

namespace talvera::layouts::bat_line {

inline constexpr Field kDebitAccount = Account("debit_account", 0);
inline constexpr Field kCreditAccount = Account("credit_account", 8);
inline constexpr Field kListTaxAccount = Account("list_tax_account", 16);
inline constexpr Field kDebitKind = Byte("debit_kind", 24);
inline constexpr Field kCreditKind = Byte("credit_kind", 25);
inline constexpr Field kTaxSide = Int16("tax_side", 26);
inline constexpr Field kTaxClass = Int16("tax_class", 28);
inline constexpr Field kRateIndex = Int16("rate_index", 30);
inline constexpr Field kGross = Amount("gross", 32);
inline constexpr Field kNet = Amount("net", 45);
inline constexpr Field kRate = Rate("rate", 58);
inline constexpr Field kCostCentre1 = Text("cost_centre_1", 64, 8);
inline constexpr Field kCostCentre2 = Text("cost_centre_2", 72, 8);
inline constexpr Field kCostCentreKind = Byte("cost_centre_kind", 80);
inline constexpr Field kJournalByte = Byte("journal_byte", 81);
inline constexpr Field kDueDay = Byte("due_day", 82);

inline constexpr Field kFields[] = {
    kDebitAccount, kCreditAccount, kListTaxAccount, kDebitKind, kCreditKind,
    kTaxSide,      kTaxClass,      kRateIndex,      kGross,     kNet,
    kRate,         kCostCentre1,   kCostCentre2,    kCostCentreKind, kJournalByte,
    kDueDay,       Reserved(83, 11),
};

// A part of a record, not a file of its own.
inline constexpr Layout kLayout{"booking line", {}, 94, kFields, {}, {}};

}  // namespace talvera::layouts::bat_line

namespace talvera::layouts::bat {

inline constexpr int kLineCount = 10;

inline constexpr Field kBatchNo = Int32("batch_no", 0);
inline constexpr Field kId = AutoId("id", 4);
inline constexpr Field kPostingDate = Date("posting_date", 8);
inline constexpr Field kVoucherDate = Date("voucher_date", 15);
inline constexpr Field kVoucherNo = Text("voucher_no", 22, 9);
// Line i's fields: kLine.In(i, bat_line::kGross).
inline constexpr Field kLine = Embedded("line", 31, bat_line::kLayout, 94).Times(kLineCount, 94);
inline constexpr Field kText = Text("text", 971, 36);
inline constexpr Field kSplitKind = Int16("split_kind", 1007);
inline constexpr Field kCurrency = Text("currency", 1009, 5);
inline constexpr Field kHomeAmount = Amount("home_amount", 1014);
inline constexpr Field kSettlementReference = Text("settlement_reference", 1027, 13);
inline constexpr Field kJournalByte = Byte("journal_byte", 1040);
inline constexpr Field kSkip = Byte("skip", 1041);
inline constexpr Field kNoCashBasisTax = Byte("no_cash_basis_tax", 1042);
inline constexpr Field kNoOpenItem = Byte("no_open_item", 1043);
inline constexpr Field kRecoveryOwner = Text("recovery_owner", 1044, 27);
// The transfer's fields: kTransfer.In(ueberw::kAmount).
inline constexpr Field kTransfer = Embedded("transfer", 1071, ueberw::kLayout, 256);

inline constexpr Field kFields[] = {
    kBatchNo,    kId,         kPostingDate, kVoucherDate, kVoucherNo,       kLine,
    kText,       kSplitKind,  kCurrency,    kHomeAmount,  kSettlementReference,
    kJournalByte, kSkip,      kNoCashBasisTax, kNoOpenItem, kRecoveryOwner, kTransfer,
};

inline constexpr KeySegment kK0[] = {{kId}};
inline constexpr KeySegment kK1[] = {{kBatchNo}};
inline constexpr Key kKeys[] = {{.segments = kK0, .unique = true}, {kK1}};

inline constexpr const char* kFiles[] = {"bat"};
inline constexpr Layout kLayout{"bat", kFiles, 1327, kFields, kKeys, {}};

}  // namespace talvera::layouts::bat
