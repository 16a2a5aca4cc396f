// The chart of accounts (Kontenplan): the accounts of the chosen kinds with
// their master data, in number, short-code or structure ("Gruppe") order.
#pragma once

namespace talvera {

enum class ChartOrder { kNumber, kShortCode, kGroup };

struct ChartOptions {
  unsigned kinds = 2;          // bits 2 Sachkonten, 4 Kreditoren, 8 Debitoren
  ChartOrder order = ChartOrder::kNumber;
  bool withAddresses = false;  // "mit Adressen" for Kreditoren and Debitoren
  int linesPerPage = 0;        // 0: the screen
};

// The width of the list: 80 characters, wider in the order "Gruppe", whose
// amounts column stands at 90 on the screen and 82 on paper.
int ChartReportWidth(ChartOrder order, bool printer);

// Builds the list; its number of lines, 0 when the store failed or a
// structure tree is damaged (message 50).
int BuildChartOfAccounts(const ChartOptions& options);

}  // namespace talvera
