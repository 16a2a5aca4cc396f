// The four charts a Mandant can start from, and the accounts that other
// parts of the program expect in each of them: the chart defaults that
// Mandant creation writes into the company master record and the settings,
// the special accounts of the basic chart, and the short codes of the
// booking templates a new year starts with.
#pragma once

#include <array>
#include <span>

namespace talvera::charts {

struct SpecialAccount {
  const char* number;     // right-aligned
  const char* shortCode;
};

struct ChartDefinition {
  char letter;            // template files are <file>.bt<letter>
  const char* folder;     // below resources/charts
  const char* name;
  bool austrian;          // UStVA key numbers of the Austrian return
  // Receivables and payables collective accounts, input tax, import VAT
  // (EUSt), three output-tax accounts, profit/loss carry-forward, VAT not
  // yet due. Empty for the basic chart, which has its special accounts.
  std::array<const char*, 9> defaults;
  // Discount accounts (Ab0..Ab5) and currency gain and loss accounts that
  // Mandant creation writes into the settings; empty where it writes none.
  std::array<const char*, 8> settingAccounts;
};

enum DefaultRow {
  kReceivablesRow = 0,
  kPayablesRow = 1,
  kInputTaxRow = 2,
  kImportVatRow = 3,
  kCarryForwardRow = 7,
  kVatNotDueRow = 8,
};

std::span<const ChartDefinition> AllCharts();
const ChartDefinition* ChartByLetter(char letter);

// The twelve special accounts of the basic chart with their default
// numbers and short codes, in the rows of the special-accounts dialog.
std::span<const SpecialAccount> BasicChartSpecialAccounts();
inline constexpr int kSpecialImportVatRow = 3;

// Short codes the booking templates of a new year refer to.
std::span<const char* const> BookingTemplateShortCodes();

// The carry-forward account every chart holds.
inline constexpr char kCarryForwardAccount[] = "   9000";

// The import-VAT account of a chart (default row 3, special row 3).
const char* ImportVatAccount(const ChartDefinition& chart);

}  // namespace talvera::charts
