// The P&L statement (Gewinn- und Verlustrechnung) and the balance sheet
// (Bilanz, Eröffnungsbilanz): the account values summed up the structure
// trees and laid out through TQGUV / TQBIL, ready for the report window or
// the printer. Builders need no dialog: the command-line program calls them
// as the statement dialogs do.
#pragma once

#include <string>
#include <vector>

#include "core/period_date.h"
#include "core/structure_tree.h"

namespace talvera {

enum class StatementEvaluation { kNone, kDevelopment, kStructure };  // "Ohne", "Kontenentwicklung", "Kontenstruktur"
enum class StatementAccountLines { kNone, kPosted, kAll };  // no accounts, "mit bebuchten", "mit allen Konten"

struct StatementOptions {
  PeriodDate date = "";  // "per" date, or the last day of the chosen period
  // P&L month values: the first fiscal period they cover (a quarter, the
  // whole year); 0 takes the period of the date alone.
  int firstPeriod = 0;
  StatementEvaluation evaluation = StatementEvaluation::kNone;
  bool previousYearComparison = false;  // balance sheet, "Vorjahresvergleich" with "Kontenstruktur"
  int depth = 3;
  StatementAccountLines accounts = StatementAccountLines::kNone;
  bool monthValues = true;  // P&L "Monatswerte"
  bool yearValues = false;  // P&L "Jahreswerte"
  bool opening = false;     // balance sheet: the opening balance sheet of the date's year
  int linesPerPage = 0;     // 0: the screen
};

// The printed width: 56 without evaluation, 74 with "Kontenstruktur", 92
// with "Kontenentwicklung", 108 with "Kontenstruktur" and the previous year.
int StatementWidth(const StatementOptions& options);

// The number of lines built; 0 when a tree or the accounts cannot be read.
int BuildProfitAndLoss(const StatementOptions& options);
int BuildBalanceSheet(const StatementOptions& options);

// One line of a tree as the statements compute it: a P&L with the values
// of the year up to the date, a balance-sheet side per the date.
struct StatementLine {
  std::string label;  // Windows-1252: the group's name, or number and name of an account
  int depth = 1;      // 1..3: a group's level, an account one deeper (at most 3)
  bool account = false;
  long long value = 0, previous = 0;  // positive on the tree's expected side
  bool previousKnown = true;
};
bool StatementLines(StructureKind kind, const StatementOptions& options, std::vector<StatementLine>& out);

// A balance-sheet account whose balance lies on the unexpected side of its
// tree and which has no place in the other side's tree: the balance sheet
// keeps it where it is, with a minus sign, unless it is placed first.
struct MisplacedAccount {
  std::string number;  // "   1200"
  int accountClass = 0;
};
bool FindMisplacedAccounts(const StatementOptions& options, std::vector<MisplacedAccount>& out);

// The development column: nine characters, from the current and the
// previous value, both signed so that positive is the expected side.
std::string DevelopmentText(long long current, long long previous);
// A share in per cent of `total`: "12,35 %", "  -   " when the total is 0.
std::string ShareText(long long value, long long total);

}  // namespace talvera
