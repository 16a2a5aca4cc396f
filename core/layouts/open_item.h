// opdebi / opkred: open items of customers and vendors, one layout for both,
// in the current-year directory. The dates are kept year-first (YYPPDD, see
// ToSortDate) so that key order is date order; readers turn them back.
//
//   Off  Width  Field
//     0      4  int32 open-item id, filled by the record manager
//     4      8  account number (Debitor or Kreditor)
//    12     10  short code of the account
//    22     10  voucher number
//    32      8  value date (Valuta), year-first
//    40      8  due date (Fälligkeit), year-first
//    48      8  discount date (Skontotermin), year-first
//    56     26  account name
//    82     36  purpose (Verwendungszweck)
//   118      2  int16 credit note: 1 when the amount is negative
//   120     13  amount
//   133      6  tax rate
//   139      8  discount account
//   147      8  bank account (general-ledger account of the payment)
//   155      6  discount percent
//   161      2  int16 discount days
//   163      2  int16 payment days
//   165     13  discount amount
//   178     13  outstanding amount (Ausstand)
//   191     13  payment of the current settlement
//   204     13  paid total
//   217     13  remainder
//   230      2  int16 selected for settlement
//   232      2  int16 dunning level 0..3 (-1 not dunnable)
//   234      2  int16 days until the second reminder (0: setting Mahn2)
//   236      2  int16 days until the third reminder (0: setting Mahn3)
//   238      5  currency code
//   243     13  amount in currency
//   256     43  data of the settlement posting (owned by the settlement)
//   299         record length
//
// K0 id (unique); K1 account + value date + voucher number; K2 discount
// date + account + voucher number; K3 due date + account + voucher number
// (all accounts' items by due date); K4 voucher number.
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::open_item {

inline constexpr Field kId = AutoId("id", 0);
inline constexpr Field kAccountNo = Account("account_no", 4);
inline constexpr Field kShortCode = Text("short_code", 12, 10);
inline constexpr Field kVoucherNo = Text("voucher_no", 22, 10);
inline constexpr Field kValueDate = SortDate("value_date", 32, 8);
inline constexpr Field kDueDate = SortDate("due_date", 40, 8);
inline constexpr Field kDiscountDate = SortDate("discount_date", 48, 8);
inline constexpr Field kAccountName = Text("account_name", 56, 26);
inline constexpr Field kPurpose = Text("purpose", 82, 36);
inline constexpr Field kCreditNote = Int16("credit_note", 118);
inline constexpr Field kAmount = Amount("amount", 120);
inline constexpr Field kTaxRate = Rate("tax_rate", 133);
inline constexpr Field kDiscountAccount = Account("discount_account", 139);
inline constexpr Field kBankAccount = Account("bank_account", 147);
inline constexpr Field kDiscountPercent = Rate("discount_percent", 155);
inline constexpr Field kDiscountDays = Int16("discount_days", 161);
inline constexpr Field kPaymentDays = Int16("payment_days", 163);
inline constexpr Field kDiscountAmount = Amount("discount_amount", 165);
inline constexpr Field kOutstanding = Amount("outstanding", 178);
inline constexpr Field kPayment = Amount("payment", 191);
inline constexpr Field kPaidTotal = Amount("paid_total", 204);
inline constexpr Field kRemainder = Amount("remainder", 217);
inline constexpr Field kSelected = Int16("selected", 230);
inline constexpr Field kDunningLevel = Int16("dunning_level", 232);
inline constexpr Field kReminder2Days = Int16("reminder_2_days", 234);
inline constexpr Field kReminder3Days = Int16("reminder_3_days", 236);
inline constexpr Field kCurrency = Text("currency", 238, 5);
inline constexpr Field kCurrencyAmount = Amount("currency_amount", 243);
inline constexpr Field kSettlementData = Opaque("settlement_data", 256, 43);

inline constexpr Field kFields[] = {
    kId,              kAccountNo,      kShortCode,     kVoucherNo,      kValueDate,
    kDueDate,         kDiscountDate,   kAccountName,   kPurpose,        kCreditNote,
    kAmount,          kTaxRate,        kDiscountAccount, kBankAccount,  kDiscountPercent,
    kDiscountDays,    kPaymentDays,    kDiscountAmount, kOutstanding,   kPayment,
    kPaidTotal,       kRemainder,      kSelected,      kDunningLevel,   kReminder2Days,
    kReminder3Days,   kCurrency,       kCurrencyAmount, kSettlementData,
};

inline constexpr KeySegment kK0[] = {{kId}};
inline constexpr KeySegment kK1[] = {{kAccountNo}, {kValueDate}, {kVoucherNo}};
inline constexpr KeySegment kK2[] = {{kDiscountDate}, {kAccountNo}, {kVoucherNo}};
inline constexpr KeySegment kK3[] = {{kDueDate}, {kAccountNo}, {kVoucherNo}};
inline constexpr KeySegment kK4[] = {{kVoucherNo}};
inline constexpr Key kKeys[] = {{.segments = kK0, .unique = true}, {kK1}, {kK2}, {kK3}, {kK4}};

inline constexpr const char* kFiles[] = {"opdebi", "opkred"};
inline constexpr Layout kLayout{"opdebi/opkred", kFiles, 299, kFields, kKeys, {}};

}  // namespace talvera::layouts::open_item
