// The record files of a new Mandant's year directory: empty files for the
// postings and the master data, the five chart files copied from the chart
// templates of the data root (<file>.bt<chart letter>).
#pragma once

#include <string>

#include "core/mandant/special_accounts.h"

namespace talvera {

// Chart letters: '3' SKR-03, '4' SKR-04, 'A' RLG chart, 'G' basic chart.
inline constexpr char kBasicChart = 'G';

// Creates the file set in `directory`. The copied rate dates are re-based
// for a fiscal year starting in `startMonth`; for the basic chart every
// special account that differs from its default is applied (message 502
// when that fails). False after the first failure.
bool CreateFileSet(char chart, const std::string& directory, int startMonth,
                   const SpecialAccountSet& special);

// Gives the account of a special-account row its new number and short code
// in sako, in the balance-sheet structure file and in every tax-rate record
// that names it. Refused when the new number or short code is already taken
// by another account of sako: the chart would then hold it twice.
bool ApplySpecialAccount(int row, const std::string& directory, const SpecialAccountValue& value);

}  // namespace talvera
