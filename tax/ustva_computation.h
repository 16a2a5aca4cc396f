// The VAT advance return (UStVA) computed from the books.
//
// 1. Account pass: every Sachkonto with a UStVA key adds, for each month of
//    the period, credit minus debit to the Kennzahl its key names on the
//    period's form. Keys the form does not have are listed as skipped.
// 2. Journal pass: reclassification postings of tax accounts are taken back
//    out of the tax Kennzahlen; they are read by the journal's debit and
//    credit keys of the tax accounts, so the pass does not grow with the
//    period's other postings. Under cash-basis taxation the postings whose
//    output tax became due give the turnover bases instead of the accounts;
//    then the whole period is read.
//    The reverse charge of an EG or § 13b purchase is no reclassification:
//    its input tax counts, its output tax goes with the purchase's base (to
//    the base's tax Kennzahl, e.g. 84 → 85, or computed from the base).
// 3. Bases are cut to whole units (when the form says so) and their taxes
//    computed at the rate in force at each month's last day: a return for
//    December 2020 uses 16 % whenever it is made. Months whose rate is not
//    the one the form prints go to the form's line for other rates.
// 4. The form's sums, the result and its rounding.
//
// Amounts are kept in cents, each Kennzahl with the sign of its side on the
// form (credit minus debit, or debit minus credit).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tax/ustva_form.h"
#include "tax/ustva_period.h"

namespace talvera {

struct UstvaSkippedKey {
  std::string account;  // right-aligned account number
  int key = 0;
};

struct UstvaReturn {
  const UstvaForm* form = nullptr;
  UstvaPeriod period;
  bool cashBasis = false;
  std::map<int, long long> amounts;          // by Kennzahl of the form
  std::map<int, long long> taxes;            // computed taxes of turnover lines
  std::map<int, std::string> ratesUsed;      // turnover lines: the last rate used
  std::map<std::string, long long> sums;
  long long unroundedResult = 0;
  long long result = 0;
  std::vector<UstvaSkippedKey> skipped;
  // Debits of the special-prepayment accounts from the fiscal year's start
  // to the period's end: what was paid, proposed for crediting.
  long long specialPrepaymentBooked = 0;
  bool corrected = false;  // a corrected return (its mark on the form)

  // A term of the form: "81", "St81" or a sum's name; 0 when unknown.
  long long Term(std::string_view name) const;
};

struct UstvaBooks {
  std::string country = "DE";      // "AT" in Austrian mode
  bool cashBasis = false;
  std::string interimAccount;      // the cash-basis account for VAT not yet due
};

// Computes the return from the working year's files (the caller has switched
// the record store to the period's fiscal year). False when no form covers
// the period or the store failed (reported by the store).
bool ComputeUstva(const UstvaPeriod& period, const UstvaBooks& books, UstvaReturn& out);

// What the user chooses for a return beyond the books.
struct UstvaChoices {
  bool corrected = false;
  bool creditSpecialPrepayment = false;
  long long specialPrepayment = 0;  // cents, as paid (positive)
};

// The special advance payment is credited in the return that closes the
// calendar year: December, the fourth quarter, or the whole year.
bool UstvaCreditsSpecialPrepayment(const UstvaPeriod& period);

// Applies the choices and sums up again. The special prepayment counts only
// where the period credits it and the form has the line.
void ApplyUstvaChoices(UstvaReturn& ret, const UstvaChoices& choices);

// The return of the open Mandant as the program makes it: its books
// (country from the settings, cash basis and interim account from the
// Mandant), computed in the period's fiscal year with the user's choices
// applied. The current year's files are selected again afterwards.
bool ComputeMandantUstva(const UstvaPeriod& period, const UstvaChoices& choices, UstvaReturn& out);

// The form's sums and the rounded result from the amounts.
void SumUpUstva(UstvaReturn& ret);

// The rounding of the result.
long long RoundUstvaResult(long long cents, UstvaRounding rounding);
// base * rate / 100, half up to the cent, with the sign of the base.
long long TaxOfBase(long long baseCents, std::string_view rate);

}  // namespace talvera
