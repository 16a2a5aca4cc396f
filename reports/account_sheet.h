// Account sheets (Kontenblätter): the postings of one account over a period
// in date order, with the balance brought forward, the period and year sums
// and, when printed, pages that carry their sums over.
//
// One sheet at a time goes into the report buffer: the screen browser shows
// it, the printer takes it as soon as it is complete. On the screen the
// first two lines are the column headings, which the browser shows above
// its report window; printed, the first line is the screen's empty line.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/period_date.h"
#include "core/text_helpers.h"

namespace talvera {

struct AccountSheetOptions {
  PeriodDate first = "", last = "";
  // 1..12 a fiscal month, 13..16 a quarter, 17 the whole year, 0 a free
  // range ("Tagesgenau").
  PeriodSelector selector = 0;
  bool resolveCollective = false;  // "Sammelbuchungen auflösen"
  bool withoutPostings = false;    // "ohne Buchungen": also sheets without postings
  bool costCentres = false;        // printed with the columns "KoSt1" and "KoSt2"
  int linesPerPage = 0;            // 0: the screen
};

struct SheetAccount {
  AccountKind kind = kNoAccount;
  std::string number;  // "   1200"
};

// The accounts of the kinds (bits 2, 4, 8) whose numbers lie from `from` to
// `to` (either may be empty: no bound), Sachkonten, Kreditoren, Debitoren,
// each in number order. False when the store failed (reported).
bool ListSheetAccounts(unsigned kinds, const std::string& from, const std::string& to,
                       std::vector<SheetAccount>& out);

// The figures of a built sheet, in cents.
struct SheetFigures {
  long long broughtForward = 0;           // debit minus credit
  long long periodDebit = 0, periodCredit = 0;
  long long yearDebit = 0, yearCredit = 0;
  long postings = 0;                      // journal records listed
};

// Builds the sheet of one account into the report buffer. Returns its
// number of lines; 0 when the account gives no sheet for the period (no
// values and no postings, unless "ohne Buchungen"); -1 when the account is
// missing or the store failed.
int BuildAccountSheet(const SheetAccount& account, const AccountSheetOptions& options,
                      SheetFigures* figures = nullptr);

// The report width of a sheet: 84 on the screen, 108 printed, 124 printed
// with cost centres.
int AccountSheetWidth(const AccountSheetOptions& options);

// Builds the sheet of every account in turn and hands each one that has
// lines to `print`, which prints the buffer and says whether that worked;
// `progress` hears (account counted from 1, number of accounts) before each
// account and stops the run by returning false ("Abbrechen"). No sheet
// printed and nothing failed or stopped: every sheet was empty (message 43).
struct SheetRunResult {
  int printed = 0;
  bool failed = false;   // a sheet could not be built (message 57)
  bool stopped = false;  // "Abbrechen", or a print that failed and said so
};
SheetRunResult PrintAccountSheets(const std::vector<SheetAccount>& accounts,
                                  const AccountSheetOptions& options,
                                  const std::function<bool(int lines)>& print,
                                  const std::function<bool(int sheet, int total)>& progress);

// How many entries of one account a sheet holds in memory before it sorts
// them in runs on a temporary file (65,536); tests make it small.
void SetSheetEntriesHeld(std::size_t entries);

}  // namespace talvera
