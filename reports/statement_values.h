// The figures the P&L statement, the balance sheet, the BWA and the analysis
// read: the Sachkonten of the statements' classes with their value for the
// chosen span and for the year before, and the three structure trees.
//
// Values are signed cents, debit minus credit, taken from the account
// records as the trial balance takes them (RowAtDate), so a statement per a
// date and the trial balance per that date never disagree.
#pragma once

#include <map>
#include <string>

#include "core/period_date.h"
#include "core/structure_tree.h"

namespace talvera {

// What an account contributes: its value and the year before's.
struct StatementAccount {
  std::string number;  // "   1200"
  std::string name;    // Windows-1252
  int accountClass = 0;
  long long value = 0;     // debit - credit
  long long previous = 0;  // debit - credit of the year before
  bool previousKnown = false;
  long long period[12] = {};  // debit - credit of each fiscal period
  long long openingValue = 0, closingValue = 0;
};
using StatementAccounts = std::map<std::string, StatementAccount>;

// How the value of an account is taken.
enum class ValueSpan {
  kBalance,      // balance at the date: opening, the periods up to it, closing on the last day
  kOpening,      // the opening values alone (opening balance sheet)
  kPeriods,      // the movement of the periods firstPeriod .. period of the date, up to the date
  kYearToDate,   // opening plus every period up to the date
};

struct ValueRequest {
  ValueSpan span = ValueSpan::kBalance;
  PeriodDate date = "";  // the reference date (DDPPYY)
  int firstPeriod = 1;   // kPeriods only
};

// Reads the Sachkonten of the classes in `classMask` (2, 4, 8) with their
// values. The year before comes from the balance-sheet fields of the record
// (its closing balance) for classes 2 and 4; for the P&L from the previous
// year's account file for the same periods, and where that file is not on
// disk from the record's turnover of the whole year when the span is the
// whole year; otherwise it stays unknown. False when the store failed.
bool ReadStatementAccounts(unsigned classMask, const ValueRequest& request, StatementAccounts& out);

// The tree of a kind in the working year; false when it cannot be read.
bool ReadStatementTree(StructureKind kind, StructureTree& out);

}  // namespace talvera
