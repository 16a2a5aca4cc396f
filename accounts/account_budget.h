// Budget figures (Sollwerte) of an account: twelve period values and their
// total, and the rules that develop the twelve values from a start value.
// All arithmetic is in cents; a value that is not a whole cent is rounded
// half away from zero.
#pragma once

#include <array>

#include "core/amount.h"
#include "core/layouts/layout.h"

namespace talvera {

using BudgetValues = std::array<long long, 12>;  // cents, period 1 first

enum class BudgetRule {
  kStartToEnd,        // S to E in eleven equal steps, the last value E exactly
  kPercentLinear,     // period k: S + (k - 1) * (S * p / 100)
  kPercentCompound,   // each period: the previous value plus p percent of it
};

// The twelve values of a rule. `percent` is in hundredths of a per cent
// (5,25 % is 525); `end` is used by kStartToEnd only. Message 745 when a
// value would not fit into an amount, else 0.
int DevelopBudget(BudgetRule rule, long long start, long long end, long long percent,
                  BudgetValues& out);

// The total of the twelve values; message 745 when it does not fit.
int BudgetTotal(const BudgetValues& values, long long& total);

// The budget fields of an account record (periods 1..12, then the total);
// `budget` is the kBudget field of the record's layout.
bool ReadBudget(const void* record, const layouts::Field& budget, BudgetValues& out);
// Writes the values and their total; 745 when the total overflows, else 0.
int WriteBudget(void* record, const layouts::Field& budget, const BudgetValues& values);

inline constexpr int kMessageSumOverflow = 745;

}  // namespace talvera
