// The main closing overview (Hauptabschlußübersicht): the Sachkonten of one
// fiscal year by account class, each with its opening balance, current
// transactions, closing postings and balance.
#pragma once

namespace talvera {

struct ClosingOverviewOptions {
  unsigned sides = 2;     // bits 2 "Bilanz aktiv", 4 "Bilanz passiv", 8 "GuV"
  char yearIndex[3] = ""; // the fiscal year: two digits, year - 1980
  int linesPerPage = 0;   // 0: the screen
};

// Builds the overview; its number of lines, 0 when the store failed.
int BuildClosingOverview(const ClosingOverviewOptions& options);

}  // namespace talvera
