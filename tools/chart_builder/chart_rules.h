// The rules that tie a chart's tables together, and the preparation of a
// chart for writing. Each check adds what it finds to the diagnostics.
#pragma once

#include <string>
#include <vector>

#include "core/charts/chart_catalog.h"
#include "tools/chart_builder/chart_source.h"
#include "tools/chart_builder/tree_nodes.h"

namespace talvera::charts {

// Unique numbers and short codes; own rate exactly for other and EC keys;
// a revenue account is a P&L account with a key number; cost types on P&L
// accounts, the fixed-asset flag on assets.
void CheckAccounts(const std::vector<AccountRow>& accounts, const std::string& file,
                   Diagnostics& diagnostics);

// Standard and reduced rates with a rate and the same valid-from dates
// (the reduced rate in force is the one with the standard rate's index);
// no two records of a class from the same day; tax accounts that exist.
void CheckRates(const std::vector<RateRow>& rates, const std::vector<AccountRow>& accounts,
                const std::string& file, Diagnostics& diagnostics);

// Every tax key names one rate class, and that class has records (the zero
// rate needs none).
void CheckTaxKeys(const std::vector<AccountRow>& accounts, const std::vector<RateRow>& rates,
                  const std::string& file, Diagnostics& diagnostics);

// Index order within each class: 0, 1, 2, ... with valid-from dates
// strictly falling, so that the first record not later than a date is the
// one in force.
void CheckRateIndexes(const std::vector<RateRow>& rates, const std::string& file,
                      Diagnostics& diagnostics);

// The accounts other parts of the program expect: chart defaults, the
// basic chart's special accounts with their short codes and sides, the
// discount and currency accounts of the settings, the booking templates'
// short codes and the carry-forward account.
void CheckChartAccounts(const ChartDefinition& chart, const std::vector<AccountRow>& accounts,
                        const std::string& file, Diagnostics& diagnostics);

// Gives the records of each class their index, newest first.
void NumberRates(std::vector<RateRow>& rates);

struct ChartTemplate {
  ChartSource source;
  StructureTree trees[kTreeCount];
};

// Reads the chart's sources, applies every rule, numbers the rates and
// builds the trees. False when anything was reported.
bool PrepareChart(const std::string& sourceRoot, const ChartDefinition& chart,
                  ChartTemplate& out, Diagnostics& diagnostics);

}  // namespace talvera::charts
