// The trial balance (Summen- und Saldenliste): the balances of every account
// of the chosen kinds at any reference date, from the stored monthly totals.
#pragma once

#include <string>
#include <unordered_map>

#include "core/period_date.h"

namespace talvera {

struct TrialBalanceOptions {
  unsigned kinds = 2;        // bits 2 Sachkonten, 4 Kreditoren, 8 Debitoren
  bool byNumber = true;      // else by short code
  PeriodDate date = "";      // reference date ("per :")
  bool withUnposted = false; // "mit unbebuchten Konten"
  int linesPerPage = 0;      // 0: the screen form
};

// The figures of one account at the reference date, in cents.
struct TrialBalanceRow {
  long long openingDebit = 0, openingCredit = 0;
  long long monthDebit = 0, monthCredit = 0;
  long long cumulativeDebit = 0, cumulativeCredit = 0;
  long long balance = 0;  // cumulative debit - cumulative credit
  bool IsEmpty() const {
    return openingDebit == 0 && openingCredit == 0 && monthDebit == 0 && monthCredit == 0 &&
           cumulativeDebit == 0 && cumulativeCredit == 0;
  }
};

struct AccountValues;

// Postings dated after a reference date up to the end of its fiscal month,
// per account number ("   1200"), that the monthly totals already hold.
struct Deduction {
  long long debit = 0, credit = 0;
};
using Deductions = std::unordered_map<std::string, Deduction>;
bool ReadLaterPostings(const char* date, Deductions& out);
// Whether a reference date is the last day of fiscal month 12, where the
// closing postings count.
bool ClosingIncluded(const char* date);
// The figures of an account at a reference date in fiscal month `month`:
// every evaluation that needs a balance at a date takes it from here.
TrialBalanceRow RowAtDate(const AccountValues& a, int month, bool withClosing, const Deductions& later);

// Builds the list into the report buffer. Returns its number of lines; -1
// when none of the chosen kinds has an account (the dialog shows message 55),
// 0 when the store failed.
int BuildTrialBalance(const TrialBalanceOptions& options);

}  // namespace talvera
