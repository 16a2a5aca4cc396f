// The trial balance (Summen- und Saldenliste): the balances of every account
// of the chosen kinds at any reference date, from the stored monthly totals.
#pragma once

#include <string>

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

// Builds the list into the report buffer. Returns its number of lines; -1
// when none of the chosen kinds has an account (the dialog shows message 55),
// 0 when the store failed.
int BuildTrialBalance(const TrialBalanceOptions& options);

}  // namespace talvera
