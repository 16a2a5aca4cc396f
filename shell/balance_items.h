// Items of the balance server: what other programs may ask about an
// account's balance, and the text they get back.
//
// An item is "K", the account number (1 to 7 characters, right-aligned to 7
// for the lookup) and optionally "_" and a period:
//   K1200       the period of the current posting date
//   K1200_0     the opening balance
//   K1200_3     fiscal period 3
//   K1200_13    the year: opening balance plus all twelve periods
// A period above 13, or "_" with nothing after it, also means the period of
// the current posting date.
//
// The value is the balance of the chosen debit and credit totals: the
// magnitude without leading zeros, a leading "-" for a credit balance and
// the decimal separator of the settings (sDecimal): "1234,50", "-80,00",
// "0,00".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/text_helpers.h"

namespace talvera {

inline constexpr int kOpeningPeriod = 0;
inline constexpr int kYearTotalPeriod = 13;
inline constexpr int kCurrentPeriod = -1;  // resolved when the value is taken

struct BalanceItem {
  AccountNo account{};         // right-aligned, "   1200"
  int period = kCurrentPeriod;  // 0..13 or kCurrentPeriod
};

// False for a malformed item: no leading "K", no account number or one
// longer than 7 characters, blanks in it, or a period with other characters
// than digits.
bool ParseBalanceItem(std::string_view item, BalanceItem& out);

// The posting dialog tells the balance server its posting date (DDPPYY);
// items without a period then mean the period of that date. nullptr or an
// empty text goes back to the default, the fiscal period of today.
void SetCurrentPostingDate(const char* date);
// The period items without a period stand for (1..12).
int CurrentPostingPeriod();

// The value of an item; nothing for a malformed item, an account that is
// none of the Sachkonten, Debitoren and Kreditoren, while no Mandant's
// files are open, or when the record store fails.
std::optional<std::string> BalanceItemValue(std::string_view item);
std::optional<std::string> BalanceItemValue(const BalanceItem& item);

}  // namespace talvera
