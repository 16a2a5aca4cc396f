#include "reports/closing_overview.h"

#include <cstdio>
#include <string>

#include "core/mandant_values.h"
#include "core/period_date.h"
#include "reports/account_values.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"

namespace talvera {
namespace {

constexpr int kAccountLines = 5;
constexpr int kHeadingLines = 8;

struct Columns {
  long long openingDebit = 0, openingCredit = 0;
  long long currentDebit = 0, currentCredit = 0;
  long long closingDebit = 0, closingCredit = 0;
};

struct SideSums {
  Columns columns;
  long long debitBalances = 0, creditBalances = 0;
};

const char* SideTitle(int side) {
  return side == 2 ? "Bilanz Aktiva" : side == 4 ? "Bilanz Passiva" : "Gewinn- und Verlustrechnung";
}

class ClosingOverviewBuilder {
 public:
  explicit ClosingOverviewBuilder(const ClosingOverviewOptions& o) : o_(o), page_(o.linesPerPage) {
    // Day 31 of the last fiscal period: the last day of the fiscal year.
    char date[7];
    std::snprintf(date, sizeof date, "3112%.2s", o.yearIndex);
    referenceDate_ = DisplayDate(date);
    int startYear = 1980 + (o.yearIndex[0] - '0') * 10 + (o.yearIndex[1] - '0');
    char label[16];
    std::snprintf(label, sizeof label, "zum 01.%02d.%02d", CurrentMandant().fiscalStartMonth,
                  startYear % 100);
    openingLabel_ = label;
  }

  int Build() {
    bool printer = page_.Printing();
    if (!BeginReport(printer ? "TQKHAUOBJ1" : "TQKHAUOBJ0", printer ? "TQKHAUTAB1" : "TQKHAUTAB0"))
      return 0;
    AddEmptyLine();
    for (int side : {2, 4, 8}) {
      if (!(o_.sides & side)) continue;
      if (!Side(side)) return 0;
    }
    AddEmptyLine();
    if (printer) AddPageBreak();
    EndReport();
    return TheReportBuffer().LineCount();
  }

 private:
  bool Side(int side) {
    side_ = side;
    SideSums sums;
    Heading();
    bool ok = ForEachAccount(kSachkonto, true, [&](const AccountValues& a) {
      if (a.accountClass != side) return true;
      if (page_.Printing()) {
        page_.Count(kAccountLines);
        if (page_.LinesPerPage() < page_.Used() + 2) {
          Heading();
          page_.Count(kAccountLines);
        }
      }
      return Account(a, sums);
    });
    return ok && SideEnd(sums);
  }

  void Heading() {
    if (page_.Printing() && page_.Page() > 0) AddPageBreak();
    page_.StartPage();
    AddEmptyLine();
    AddEmptyLine();
    AddTextLine("\1" + ReportText("Hauptabschluß - Übersicht per ") + referenceDate_);
    AddTextLine(std::string("\1") + SideTitle(side_));
    AddEmptyLine();
    std::string firm = "\2" + ReportText(CurrentMandant().companyName);
    if (page_.Printing()) firm += std::string(6, '\3') + "Seite : " + PageNumberText(page_.Page());
    AddTextLine(firm);
    AddEmptyLine();
    AddTextLine("\2Konto-\2\2Kontobezeichnung\3Soll\3Haben\2bezogen auf:");
    AddTextLine("\2Nummer");
    AddCodeLine(kLineRule);
    AddEmptyLine();
    page_.Count(kHeadingLines);
  }

  void Fill(const std::string& number, const std::string& name, const Columns& c,
            long long balanceDebit, long long balanceCredit) {
    const std::string values[14] = {number,
                                    name,
                                    DisplayAmount(c.openingDebit),
                                    DisplayAmount(c.openingCredit),
                                    openingLabel_,
                                    DisplayAmount(c.currentDebit),
                                    DisplayAmount(c.currentCredit),
                                    "lfd Gesch.vorf.",
                                    DisplayAmount(c.closingDebit),
                                    DisplayAmount(c.closingCredit),
                                    ReportText("Abschlußbuchungen"),
                                    DisplayAmountBlankZero(balanceDebit),
                                    DisplayAmountBlankZero(balanceCredit),
                                    "Saldo " + referenceDate_};
    for (int i = 0; i < 14; ++i) SetFieldSlot(i, values[i]);
  }

  bool Account(const AccountValues& a, SideSums& sums) {
    Columns c;
    c.openingDebit = a.openingDebit;
    c.openingCredit = a.openingCredit;
    for (int p = 0; p < 12; ++p) {
      c.currentDebit += a.periodDebit[p];
      c.currentCredit += a.periodCredit[p];
    }
    c.closingDebit = a.closingDebit;
    c.closingCredit = a.closingCredit;
    long long balance = c.openingDebit + c.currentDebit + c.closingDebit -
                        (c.openingCredit + c.currentCredit + c.closingCredit);
    // Side "S" for zero and debit balances, "H" for credit balances.
    long long debit = balance >= 0 ? balance : 0, credit = balance < 0 ? -balance : 0;
    Fill(a.number, a.name, c, debit, credit);
    Columns& s = sums.columns;
    s.openingDebit += c.openingDebit;
    s.openingCredit += c.openingCredit;
    s.currentDebit += c.currentDebit;
    s.currentCredit += c.currentCredit;
    s.closingDebit += c.closingDebit;
    s.closingCredit += c.closingCredit;
    sums.debitBalances += debit;
    sums.creditBalances += credit;
    return AddTemplateLine() && AddEmptyLine();
  }

  bool SideEnd(const SideSums& sums) {
    AddCodeLine(kLineDoubleRule);
    AddEmptyLine();
    Fill("", "Summenwerte:", sums.columns, sums.debitBalances, sums.creditBalances);
    return AddTemplateLine() && AddEmptyLine();
  }

  const ClosingOverviewOptions& o_;
  ReportPage page_;
  std::string referenceDate_, openingLabel_;
  int side_ = 2;
};

}  // namespace

int BuildClosingOverview(const ClosingOverviewOptions& options) {
  return ClosingOverviewBuilder(options).Build();
}

}  // namespace talvera
