// The UStVA forms as data: one table per form (resources/ustva/*.txt,
// embedded at build time), read into a UstvaForm. The computation and the
// list know nothing of any particular form; what a Kennzahl counts, how the
// sums are made and which rows the list prints all come from the table.
// resources/ustva/README.md describes the file format.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvera {

enum class UstvaKind {
  kTurnover,     // base; the tax is computed at the line's rate
  kBaseWithTax,  // base whose tax is a Kennzahl of its own (the partner)
  kTax,          // output tax
  kInputTax,     // input tax
  kMemo,         // base without tax
  kMark,         // a mark on the form that no account fills
};

struct UstvaNominalRate {
  int fromYear = 0;
  std::string rate;  // "19,00"
};

struct UstvaLine {
  int kz = 0;
  UstvaKind kind = UstvaKind::kMemo;
  bool debitPositive = false;  // side S: debit minus credit
  std::string rate;            // "R", "E", "N" or a fixed rate ("14,00"); kTurnover only
  int partner = 0;             // kBaseWithTax: its tax; kTurnover: takes other rates
  bool fromPostingsOnCashBasis = false;
  int sinceYear = 0;           // 0: on the form from its first year
  std::vector<UstvaNominalRate> nominal;  // rate the form prints, by year

  bool IsBase() const {
    return kind == UstvaKind::kTurnover || kind == UstvaKind::kBaseWithTax ||
           kind == UstvaKind::kMemo;
  }
  bool IsTax() const { return kind == UstvaKind::kTax || kind == UstvaKind::kInputTax; }
  // The rate the form prints for the year; empty when it names none.
  std::string NominalRate(int year) const;
};

// A term of a sum: a Kennzahl's amount, a computed tax ("St81") or another sum.
struct UstvaTerm {
  int sign = 1;
  std::string name;
};

struct UstvaSum {
  std::string name;
  std::vector<UstvaTerm> terms;
};

// A cell of a list row: the Kennzahl shown (0: none), and the amount's term
// or a text of the message table.
struct UstvaCell {
  int shownKz = 0;
  std::string term;
  int text = 0;
  bool Empty() const { return term.empty() && text == 0; }
};

struct UstvaRow {
  enum Kind { kEmpty, kHeading, kText, kResult } kind = kEmpty;
  int text = 0;              // message number; kResult: text for a payable amount
  int refundText = 0;        // kResult: text for a refund
  int resultKz = 0;          // kResult: Kennzahl shown
  std::string rate;          // fills %s of the text
  UstvaCell cells[2];
  int formLine = 0;          // line of the official form; 0: none
};

enum class UstvaRounding {
  kCent,       // to the cent
  kTenth,      // payable cut to 0,10, refund rounded up in magnitude to 0,10
  kSchilling,  // 0,49 added to the magnitude, cents dropped
};

// The list's segments for the two cells: where the Kennzahl of a cell
// starts and where its amount ends (segment numbers of the tab template).
struct UstvaCellSegments {
  int kzSegment = 1;
  int amountSegment = 2;
};

struct UstvaForm {
  std::string source;  // file name, for messages
  std::string name;
  std::string country = "DE";
  int firstYear = 0;
  bool wholeBases = true;
  std::string objectTemplate, tabTemplate;
  int width = 92;
  UstvaCellSegments cellSegments[2] = {{1, 2}, {3, 4}};
  std::vector<UstvaLine> lines;
  std::vector<std::pair<int, int>> todaysKz;    // today's Kz -> this form's
  std::vector<std::pair<int, int>> cashTargets; // class bit (0: any other) -> Kz
  std::vector<UstvaSum> sums;
  std::string resultSum;
  UstvaRounding rounding = UstvaRounding::kCent;
  // The special advance payment: credited only in the year's last return,
  // by the user's choice; its accounts propose the amount. 0: none.
  int specialPrepaymentKz = 0;
  // The mark of a corrected return; 0: the form has none.
  int correctedKz = 0;
  std::vector<UstvaRow> rows;

  const UstvaLine* Line(int kz) const;
  // The line an account key counts on for a period of `year`; nullptr
  // when the key is none of this form's (or not yet on the year's form).
  const UstvaLine* LineForAccountKey(int todaysKz, int year) const;
  const UstvaSum* Sum(std::string_view name) const;
};

// Reads a table; false with a reason naming the line when it is malformed.
bool ParseUstvaForm(std::string_view text, std::string_view source, UstvaForm& out,
                    std::string& error);

// Every embedded table, parsed once. A malformed table is left out (the
// tests read each one and name its fault).
const std::vector<UstvaForm>& UstvaForms();
// The embedded tables' sources and texts.
struct UstvaFormSource {
  const char* name;
  const char* text;
};
const std::vector<UstvaFormSource>& UstvaFormSources();

// The newest form of the country whose first year is not after `year`;
// nullptr when there is none.
const UstvaForm* UstvaFormFor(std::string_view country, int year);

// An account key as today's Kennzahl. Charts made before today's numbers
// carry the old full-rate key 50 on turnover accounts and 92 on
// acquisitions; today 50 means a reduction under § 17 and 92 is gone.
int TodaysKennzahl(int accountKey, int taxKey);

}  // namespace talvera
