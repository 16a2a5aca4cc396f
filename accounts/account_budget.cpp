#include "accounts/account_budget.h"

#include <cstdlib>

namespace talvera {

namespace {

constexpr long long kLargestAmount = 99999999999LL;  // 999.999.999,99 in cents

bool Fits(long long cents) { return cents <= kLargestAmount && cents >= -kLargestAmount; }

// numerator / denominator rounded half away from zero (denominator > 0).
long long DivideRounded(long long numerator, long long denominator) {
  long long q = numerator / denominator, r = numerator % denominator;
  if (2 * std::llabs(r) >= denominator) q += numerator < 0 ? -1 : 1;
  return q;
}

}  // namespace

int DevelopBudget(BudgetRule rule, long long start, long long end, long long percent,
                  BudgetValues& out) {
  if (!Fits(start) || !Fits(end)) return kMessageSumOverflow;
  // Products stay far inside 64 bits: |start| < 1e11, |percent| < 1e6 for
  // any rate a percentage field takes, k < 12.
  if (std::llabs(percent) > 999999) return kMessageSumOverflow;
  for (int k = 0; k < 12; ++k) {
    long long value = 0;
    switch (rule) {
      case BudgetRule::kStartToEnd:
        value = k == 11 ? end : start + DivideRounded(k * (end - start), 11);
        break;
      case BudgetRule::kPercentLinear:
        value = start + DivideRounded(k * start * percent, 10000);
        break;
      case BudgetRule::kPercentCompound:
        value = k == 0 ? start : out[k - 1] + DivideRounded(out[k - 1] * percent, 10000);
        break;
    }
    if (!Fits(value)) return kMessageSumOverflow;
    out[k] = value;
  }
  long long total = 0;
  return BudgetTotal(out, total);
}

int BudgetTotal(const BudgetValues& values, long long& total) {
  total = 0;
  for (long long v : values) {
    total += v;
    if (!Fits(total)) return kMessageSumOverflow;
  }
  return 0;
}

bool ReadBudget(const void* record, const layouts::Field& budget, BudgetValues& out) {
  for (int k = 0; k < 12; ++k) {
    char text[kAmountWidth + 1] = {};
    const char* field = layouts::FieldBytes(record, budget.At(k));
    for (int i = 0; i < kAmountWidth; ++i) text[i] = field[i];
    long long cents = 0;
    if (!AmountToCents(text, &cents)) cents = 0;  // a never-set field reads as zero
    out[k] = cents;
  }
  return true;
}

int WriteBudget(void* record, const layouts::Field& budget, const BudgetValues& values) {
  long long total = 0;
  if (int message = BudgetTotal(values, total)) return message;
  char text[kAmountWidth + 1];
  for (int k = 0; k < 13; ++k) {
    AmountFromCents(text, k < 12 ? values[k] : total);
    layouts::SetRawText(record, budget.At(k), text);
  }
  return 0;
}

}  // namespace talvera
