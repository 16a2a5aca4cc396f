#include "shell/balance_items.h"

#include <cstring>
#include <vector>

#include "core/account_lookup.h"
#include "core/amount.h"
#include "core/layouts/layout.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"

namespace talvera {
namespace {

namespace ly = layouts;

int g_postingPeriod = 0;  // 0: not set, the period of today

struct TotalsFields {
  int slot;
  ly::Field openingDebit, openingCredit, periodDebit, periodCredit;
};

bool TotalsOf(AccountKind kind, TotalsFields& f) {
  namespace sako = ly::sako;
  namespace pers = ly::personal;
  switch (kind) {
    case kSachkonto:
      f = {kSlotSako, sako::kOpeningDebit, sako::kOpeningCredit, sako::kPeriodDebit,
           sako::kPeriodCredit};
      return true;
    case kDebitor:
    case kKreditor:
      f = {kind == kDebitor ? kSlotDebi : kSlotKred, pers::kOpeningDebit, pers::kOpeningCredit,
           pers::kPeriodDebit, pers::kPeriodCredit};
      return true;
    default:
      return false;
  }
}

bool IsAmountText(const char* t) {
  for (int i = 0; i < kAmountWidth; ++i) {
    bool ok = i == kAmountSignPos ? (t[i] == ',' || t[i] == '-') : (t[i] >= '0' && t[i] <= '9');
    if (!ok) return false;
  }
  return t[kAmountWidth] == '\0';
}

// sum += the amount field; a never-written (empty) field adds nothing.
bool AddField(char* sum, const void* record, const ly::Field& field) {
  const char* amount = ly::FieldBytes(record, field);
  if (amount[0] == '\0') return true;
  return IsAmountText(amount) && AmountAddInPlace(sum, amount);
}

// Debit or credit of one period (0 opening, 1..12, 13 the year).
bool SideTotal(char* sum, const void* record, const ly::Field& opening, const ly::Field& periods,
               int period) {
  std::memcpy(sum, kZeroAmount, sizeof kZeroAmount);
  if (period == kOpeningPeriod || period == kYearTotalPeriod)
    if (!AddField(sum, record, opening)) return false;
  for (int p = 1; p <= 12; ++p)
    if ((period == p || period == kYearTotalPeriod) && !AddField(sum, record, periods.At(p - 1)))
      return false;
  return true;
}

// "000001234,50" with side 'H' -> "-1234,50" (decimal separator as set).
std::string ValueText(const char* magnitude, char side) {
  std::string decimal = CurrentSettings().sDecimal;
  if (decimal.empty()) decimal = ",";
  int first = 0;
  while (first < kAmountSignPos - 1 && magnitude[first] == '0') ++first;
  std::string out;
  if (side == 'H' && !AmountIsZero(magnitude)) out += '-';
  out.append(magnitude + first, magnitude + kAmountSignPos);
  out += decimal;
  out.append(magnitude + kAmountSignPos + 1, 2);
  return out;
}

}  // namespace

bool ParseBalanceItem(std::string_view item, BalanceItem& out) {
  if (item.size() < 2 || item[0] != 'K') return false;
  item.remove_prefix(1);
  std::string_view number = item.substr(0, item.find('_'));
  if (number.empty() || number.size() > static_cast<std::size_t>(kAccountNoWidth)) return false;
  for (char c : number)
    if (static_cast<unsigned char>(c) <= ' ') return false;
  int period = kCurrentPeriod;
  if (number.size() < item.size()) {
    std::string_view digits = item.substr(number.size() + 1);
    long value = digits.empty() ? kYearTotalPeriod + 1 : 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      if (value <= kYearTotalPeriod) value = value * 10 + (c - '0');
    }
    if (value <= kYearTotalPeriod) period = static_cast<int>(value);
  }
  std::memset(out.account, 0, sizeof out.account);
  std::memcpy(out.account, number.data(), number.size());
  PadLeft(out.account, kAccountNoWidth);
  out.period = period;
  return true;
}

void SetCurrentPostingDate(const char* date) {
  int period = 0;
  if (date && std::strlen(date) >= 4 && date[2] >= '0' && date[2] <= '9' && date[3] >= '0' &&
      date[3] <= '9')
    period = (date[2] - '0') * 10 + (date[3] - '0');
  g_postingPeriod = period >= 1 && period <= 12 ? period : 0;
}

int CurrentPostingPeriod() {
  if (g_postingPeriod) return g_postingPeriod;
  int start = CurrentMandant().fiscalStartMonth;
  if (start < 1 || start > 12) start = 1;
  return (DayToday().m - start + 12) % 12 + 1;
}

std::optional<std::string> BalanceItemValue(std::string_view item) {
  BalanceItem parsed;
  if (!ParseBalanceItem(item, parsed)) return std::nullopt;
  return BalanceItemValue(parsed);
}

std::optional<std::string> BalanceItemValue(const BalanceItem& item) {
  if (!MainFilesOpen()) return std::nullopt;
  AccountKind kind = kNoAccount;
  TotalsFields f;
  if (!LookUpAccount(item.account, kind) || !TotalsOf(kind, f)) return std::nullopt;
  std::vector<char> record(ly::personal::kLayout.recordLength);
  bool found = false;
  if (!GetEqual(record.data(), KeyValue(item.account, kAccountNoWidth + 1), found,
                MakeFileId(f.slot, 0)) ||
      !found)
    return std::nullopt;
  int period = item.period == kCurrentPeriod ? CurrentPostingPeriod() : item.period;
  AmountText debit, credit, balance;
  if (!SideTotal(debit, record.data(), f.openingDebit, f.periodDebit, period) ||
      !SideTotal(credit, record.data(), f.openingCredit, f.periodCredit, period))
    return std::nullopt;
  char side = AmountSubtractRaw(balance, debit, credit);
  if (side == 0) return std::nullopt;
  return ValueText(balance, side);
}

}  // namespace talvera
