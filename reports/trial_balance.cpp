// Balances at a reference date d in fiscal month m:
//   cumulative = opening + monthly totals of months 1..m
//                - postings dated after d up to the end of month m
//                + the closing pair, when d is the last day of the last month.
// Only postings the monthly totals hold are taken out again: opening and
// carry-forward records (flag 2) went into the opening values and closing
// postings (flag 4) into the closing pair, so subtracting them would take
// out of the totals what they never held.
#include "reports/trial_balance.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

#include "core/amount.h"
#include "core/layouts/bube.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/text_helpers.h"
#include "reports/account_values.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"

namespace talvera {
namespace {

namespace bube = layouts::bube;

constexpr unsigned kNotInMonthlyTotals = 2 | 4;  // carry-forward/opening, closing
constexpr unsigned kTaxOnDebitSide = 0x20;
constexpr int kAccountLines = 5;
constexpr int kHeadingLines = 8;

int Two(const char* s) { return (s[0] - '0') * 10 + (s[1] - '0'); }

void Deduct(Deductions& d, const char* account, long long cents, bool debit) {
  if (!account[0] || cents == 0) return;
  Deduction& x = d[std::string(account, strnlen(account, 7))];
  (debit ? x.debit : x.credit) += cents;
}

}  // namespace

// The postings after the reference date up to the end of its month, read by
// the journal key: one short key range, whatever the size of the year.
bool ReadLaterPostings(const char* date, Deductions& out) {
  int day = Two(date), period = Two(date + 2), year = Two(date + 4);
  int days = DaysInPeriod(period, year);
  if (day >= days) return true;
  char first[32], last[32];
  std::snprintf(first, sizeof first, "%02d%02d%02d0000", year % 100, period % 100, (day + 1) % 100);
  std::snprintf(last, sizeof last, "%02d%02d%02d9999", year % 100, period % 100, days % 100);
  char r[bube::kLayout.recordLength];
  bool found = false;
  FileId byKey = MakeFileId(kSlotBube, 0);
  bool ok = GetGreaterOrEqualFound(r, KeyValue(first, 10), found, byKey);
  while (ok && found && std::strncmp(layouts::FieldBytes(r, bube::kPostingKey), last, 10) <= 0) {
    unsigned flags = static_cast<unsigned>(layouts::GetNumber(r, bube::kFlags));
    if (bube::IsOpeningPosting(r)) {
      // Of an opening posting only the carry-forward account's side is in
      // the monthly totals; the account's side is in its opening balance.
      const char* debitAccount = layouts::FieldBytes(r, bube::kDebitAccount);
      const char* creditAccount = layouts::FieldBytes(r, bube::kCreditAccount);
      long long amount = 0;
      if (std::strcmp(debitAccount, kCarryForwardAccount) == 0) {
        AmountToCents(layouts::FieldBytes(r, bube::kDebitAmount), &amount);
        Deduct(out, debitAccount, amount, true);
      } else if (std::strcmp(creditAccount, kCarryForwardAccount) == 0) {
        AmountToCents(layouts::FieldBytes(r, bube::kCreditAmount), &amount);
        Deduct(out, creditAccount, amount, false);
      }
    } else if (!(flags & kNotInMonthlyTotals)) {
      long long debit = 0, credit = 0, tax = 0;
      AmountToCents(layouts::FieldBytes(r, bube::kDebitAmount), &debit);
      AmountToCents(layouts::FieldBytes(r, bube::kCreditAmount), &credit);
      AmountToCents(layouts::FieldBytes(r, bube::kTaxAmount), &tax);
      Deduct(out, layouts::FieldBytes(r, bube::kDebitAccount), debit, true);
      Deduct(out, layouts::FieldBytes(r, bube::kCreditAccount), credit, false);
      unsigned taxSide = static_cast<unsigned>(layouts::GetNumber(r, bube::kTaxSideFlags));
      Deduct(out, layouts::FieldBytes(r, bube::kTaxAccount), tax, taxSide & kTaxOnDebitSide);
    }
    ok = GetNextFound(r, found, byKey);
  }
  return ok;
}

TrialBalanceRow RowAtDate(const AccountValues& a, int month, bool withClosing, const Deductions& later) {
  TrialBalanceRow row;
  long long debit = 0, credit = 0;
  for (int p = 0; p < month; ++p) {
    debit += a.periodDebit[p];
    credit += a.periodCredit[p];
  }
  row.monthDebit = a.periodDebit[month - 1];
  row.monthCredit = a.periodCredit[month - 1];
  auto it = later.find(a.number);
  if (it != later.end()) {
    debit -= it->second.debit;
    credit -= it->second.credit;
    row.monthDebit -= it->second.debit;
    row.monthCredit -= it->second.credit;
  }
  if (withClosing) {
    debit += a.closingDebit;
    credit += a.closingCredit;
    row.monthDebit += a.closingDebit;
    row.monthCredit += a.closingCredit;
  }
  row.openingDebit = a.openingDebit;
  row.openingCredit = a.openingCredit;
  row.cumulativeDebit = debit + a.openingDebit;
  row.cumulativeCredit = credit + a.openingCredit;
  row.balance = row.cumulativeDebit - row.cumulativeCredit;
  return row;
}

bool ClosingIncluded(const char* date) {
  int month = Two(date + 2);
  return month == 12 && Two(date) == DaysInPeriod(month, Two(date + 4));
}

namespace {

const char* KindName(AccountKind kind) {
  return kind == kSachkonto ? "Sachkonten" : kind == kKreditor ? "Kreditoren" : "Debitoren";
}

struct Totals {
  TrialBalanceRow sum;
  long long debitBalances = 0, creditBalances = 0;
  void Add(const TrialBalanceRow& r) {
    sum.openingDebit += r.openingDebit;
    sum.openingCredit += r.openingCredit;
    sum.monthDebit += r.monthDebit;
    sum.monthCredit += r.monthCredit;
    sum.cumulativeDebit += r.cumulativeDebit;
    sum.cumulativeCredit += r.cumulativeCredit;
    (r.balance >= 0 ? debitBalances : creditBalances) += r.balance >= 0 ? r.balance : -r.balance;
  }
};

class TrialBalanceBuilder {
 public:
  explicit TrialBalanceBuilder(const TrialBalanceOptions& o)
      : o_(o), page_(o.linesPerPage), month_(Two(o.date + 2)) {
    closing_ = ClosingIncluded(o.date);
    dateText_ = DisplayDate(o.date);
    monthLabel_ = ReportText(FiscalMonthName(month_));
  }

  int Build() {
    if (!ReadLaterPostings(o_.date, later_)) return 0;
    bool printer = page_.Printing();
    if (!BeginReport(printer ? "TQKSALOBJ1" : "TQKSALOBJ0", printer ? "TQKSALTAB1" : "TQKSALTAB0"))
      return 0;
    AddEmptyLine();
    bool first = true;
    for (AccountKind kind : {kSachkonto, kKreditor, kDebitor}) {
      if (!(o_.kinds & kind) || NoAccountsOf(kind)) continue;
      if (!Kind(kind, first)) return 0;
      first = false;
    }
    AddEmptyLine();
    if (printer) AddPageBreak();
    EndReport();
    return TheReportBuffer().LineCount();
  }

 private:
  bool Kind(AccountKind kind, bool first) {
    kind_ = kind;
    Totals totals;
    if (page_.Printing()) {
      if (!first) AddPageBreak();
      PrinterHeading();
    } else {
      AddEmptyLine();
      AddTextLine("\x11" + std::string(KindName(kind)) + " - Saldenliste per " + dateText_);
      AddEmptyLine();
    }
    bool ok = ForEachAccount(kind, o_.byNumber, [&](const AccountValues& a) {
      TrialBalanceRow row = RowAtDate(a, month_, closing_, later_);
      if (row.IsEmpty() && !o_.withUnposted) return true;
      totals.Add(row);
      return Account(a, row);
    });
    return ok && KindEnd(totals);
  }

  void PrinterHeading() {
    page_.StartPage();
    AddTextLine("\2" + ReportText(CurrentMandant().companyName) + std::string(6, '\3') +
                "Seite : " + PageNumberText(page_.Page()));
    AddTextLine("\x11Summen- und Saldenliste per " + dateText_);
    AddTextLine("\x11" + std::string(KindName(kind_)));
    AddEmptyLine();
    AddTextLine("\2Konto-\2\2Kontobezeichnung\3Soll\3Haben\2bezogen auf:");
    AddTextLine("\2Nummer");
    AddCodeLine(kLineRule);
    AddEmptyLine();
    page_.Count(kHeadingLines);
  }

  // A page break and the heading when the next block would start within
  // five lines of the page end.
  void KeepTogether(int lines) {
    if (page_.Printing() && page_.Used() + std::max(lines, kAccountLines + 1) > page_.LinesPerPage()) {
      AddPageBreak();
      PrinterHeading();
    }
    page_.Count(lines);
  }

  bool Account(const AccountValues& a, const TrialBalanceRow& r) {
    if (!page_.Printing()) {
      SetFieldSlot(0, a.number);
      SetFieldSlot(1, a.shortCode);
      SetFieldSlot(2, a.name);
      SetFieldSlot(3, DisplayAmount(r.balance >= 0 ? r.balance : -r.balance));
      SetFieldSlot(4, r.balance > 0 ? "Soll" : r.balance < 0 ? "Haben" : "");
      return AddTemplateLine();
    }
    KeepTogether(kAccountLines);
    FillRows(a.number, a.name, r, r.balance > 0 ? r.balance : 0, r.balance < 0 ? -r.balance : 0,
             "Saldo");
    return AddTemplateLine() && AddEmptyLine();
  }

  void FillRows(const std::string& number, const std::string& name, const TrialBalanceRow& r,
                long long balanceDebit, long long balanceCredit, const char* balanceLabel) {
    const std::string values[14] = {number,
                                    name,
                                    DisplayAmount(r.openingDebit),
                                    DisplayAmount(r.openingCredit),
                                    "EB-Werte",
                                    DisplayAmount(r.monthDebit),
                                    DisplayAmount(r.monthCredit),
                                    monthLabel_,
                                    DisplayAmount(r.cumulativeDebit),
                                    DisplayAmount(r.cumulativeCredit),
                                    "kumuliert",
                                    DisplayAmountBlankZero(balanceDebit),
                                    DisplayAmountBlankZero(balanceCredit),
                                    balanceLabel};
    for (int i = 0; i < 14; ++i) SetFieldSlot(i, values[i]);
  }

  bool KindEnd(const Totals& t) {
    if (page_.Printing()) {
      KeepTogether(kAccountLines + 1);
      AddCodeLine(kLineDoubleRule);
      FillRows("", "Summen:", t.sum, t.debitBalances, t.creditBalances, "Salden");
      return AddTemplateLine() && AddEmptyLine();
    }
    AddCodeLine(kLineRule);
    struct Sum {
      const char* label;
      long long value;
      const char* side;
    } sums[] = {{"Summe Sollsalden:", t.debitBalances, "Soll"},
                {"Summe Habensalden:", t.creditBalances, "Haben"}};
    for (const Sum& sum : sums) {
      SetFieldSlot(0, "");
      SetFieldSlot(1, "");
      SetFieldSlot(2, sum.label);
      SetFieldSlot(3, DisplayAmount(sum.value));
      SetFieldSlot(4, sum.side);
      if (!AddTemplateLine()) return false;
    }
    return true;
  }

  const TrialBalanceOptions& o_;
  ReportPage page_;
  int month_;
  bool closing_ = false;
  std::string dateText_, monthLabel_;
  Deductions later_;
  AccountKind kind_ = kSachkonto;
};

}  // namespace

int BuildTrialBalance(const TrialBalanceOptions& options) {
  bool any = false;
  for (AccountKind kind : {kSachkonto, kKreditor, kDebitor})
    if ((options.kinds & kind) && !NoAccountsOf(kind)) any = true;
  if (!any) return -1;
  return TrialBalanceBuilder(options).Build();
}

}  // namespace talvera
