// The analysis of one account: the movement of each of the twelve fiscal
// periods in the working year and in the year before, their difference and
// the change in per cent; the account windows open it ("&Analyse...").
#pragma once

#include <string>

#include "core/text_helpers.h"

namespace talvera {

struct AccountAnalysis {
  AccountKind kind = kNoAccount;
  std::string number;  // "   1200"
  std::string name;    // Windows-1252
  std::string year, previousYear;  // "1996", "1995"
  // Debit total minus credit total of each period, in cents.
  long long current[12] = {};
  long long previous[12] = {};
  bool hasPrevious = false;  // the year before is on disk and holds the account
};

// Reads the account from the working year and, where it exists, the same
// account from the year before. False when the account is missing or the
// store failed (reported).
bool ComputeAccountAnalysis(AccountKind kind, const std::string& number, AccountAnalysis& out);

// The change from `previous` to `current` in per cent, as "12,35 %" or
// "-4,00 %"; "--- %" when the previous value is zero.
std::string ChangeText(long long current, long long previous);

// A movement as shown: "1.234,50", "-155,00".
std::string SignedAmountText(long long cents);

// The analysis as a report of kind 12: a heading with the account and the
// two years, one line per fiscal period (month, this year, the year before,
// difference, change) and a closing line "Gesamt:". Returns the number of
// lines, 0 when the buffer failed. `linesPerPage` 0 is the screen.
int BuildAccountAnalysisReport(const AccountAnalysis& analysis, int linesPerPage);

// The report's width: the four columns of the analysis template and the
// change column.
constexpr int kAccountAnalysisWidth = 80;

}  // namespace talvera
