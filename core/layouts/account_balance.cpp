#include "core/layouts/account_balance.h"

#include <cstring>

#include "core/amount.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"

namespace talvera::layouts {
namespace {

struct BalanceFields {
  Field openingDebit, openingCredit, periodDebit, periodCredit;
};

constexpr BalanceFields kSakoFields{sako::kOpeningDebit, sako::kOpeningCredit,
                                    sako::kPeriodDebit, sako::kPeriodCredit};
constexpr BalanceFields kPersonalFields{personal::kOpeningDebit, personal::kOpeningCredit,
                                        personal::kPeriodDebit, personal::kPeriodCredit};

bool IsAmountText(const char* t) {
  for (int i = 0; i < kAmountWidth; ++i) {
    bool ok = i == kAmountSignPos ? (t[i] == ',' || t[i] == '-') : (t[i] >= '0' && t[i] <= '9');
    if (!ok) return false;
  }
  return t[kAmountWidth] == '\0';
}

// sum += the amount field; a never-written (empty) field adds nothing.
bool AddField(char* sum, const void* record, const Field& field) {
  const char* amount = FieldBytes(record, field);
  if (amount[0] == '\0') return true;
  return IsAmountText(amount) && AmountAddInPlace(sum, amount);
}

bool SumSide(char* sum, const void* record, const Field& opening, const Field& periods) {
  std::memcpy(sum, kZeroAmount, sizeof kZeroAmount);
  if (!AddField(sum, record, opening)) return false;
  for (int p = 0; p < periods.count; ++p)
    if (!AddField(sum, record, periods.At(p))) return false;
  return true;
}

}  // namespace

bool AccountBalance(const void* account, AccountKind kind, char* result, char* side) {
  *side = 0;
  const BalanceFields* f = kind == kSachkonto ? &kSakoFields
                           : kind == kDebitor || kind == kKreditor ? &kPersonalFields
                                                                   : nullptr;
  if (!f) return false;
  AmountText debit, credit;
  if (!SumSide(debit, account, f->openingDebit, f->periodDebit)) return false;
  if (!SumSide(credit, account, f->openingCredit, f->periodCredit)) return false;
  char s = AmountSubtractRaw(result, debit, credit);
  if (s == 0) return false;
  // The side letter carries the sign; with two negative sums the raw
  // difference would keep a '-' and read as the opposite side.
  result[kAmountSignPos] = ',';
  *side = s;
  return true;
}

}  // namespace talvera::layouts
