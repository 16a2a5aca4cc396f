#include "reports/journal_report.h"

#include <string>

#include "core/mandant_values.h"
#include "reports/account_values.h"
#include "reports/clipboard_text.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"

namespace talvera {
namespace {

constexpr int kHeadingLines = 6;
constexpr int kTotalLines = 8;

class JournalBuilder {
 public:
  explicit JournalBuilder(const JournalReportOptions& o)
      : o_(o), page_(o.linesPerPage), period_(JournalPeriodText(o.first, o.last)) {}

  bool Begin() {
    if (!BeginReport("TQBJOUOBJ0", "TQBJOUTAB0")) return false;
    AddEmptyLine();
    if (page_.Printing()) Heading();
    return true;
  }

  bool Add(const JournalLine& l) {
    // Collective-account records repeat a personal line on the receivables
    // or payables account; they are no posting of their own.
    if (l.IsCollectiveRecord()) return true;
    if (page_.Printing() && page_.Used() + 1 > page_.LinesPerPage()) {
      AddPageBreak();
      Heading();
    }
    page_.Count(1);
    const std::string values[10] = {
        l.voucherNo,
        DisplayDate(l.voucherDate.c_str()),
        DisplayDate(l.postingDate.c_str()),
        l.text,
        l.debitAccount,
        l.debitAccount.empty() && l.debit == 0 ? std::string() : DisplayAmount(l.debit),
        l.creditAccount,
        l.creditAccount.empty() && l.credit == 0 ? std::string() : DisplayAmount(l.credit),
        l.taxAccount,
        l.taxAccount.empty() ? std::string() : DisplayAmount(l.tax)};
    for (int i = 0; i < 10; ++i) SetFieldSlot(i, values[i]);
    debit_ += l.debit;
    credit_ += l.credit;
    if (l.TaxOnCreditSide()) outputTax_ += l.tax;
    if (l.TaxOnDebitSide()) inputTax_ += l.tax;
    ++count_;
    return AddTemplateLine();
  }

  int Finish() {
    if (count_ == 0) {
      EndReport();
      TheReportBuffer().Clear();
      return 0;
    }
    if (page_.Printing() && page_.Used() + kTotalLines > page_.LinesPerPage()) {
      AddPageBreak();
      Heading();
    }
    AddEmptyLine();
    AddCodeLine(kLineDoubleRule);
    for (int i = 0; i < 10; ++i) SetFieldSlot(i, "");
    SetFieldSlot(5, DisplayAmount(debit_));
    SetFieldSlot(7, DisplayAmount(credit_));
    AddTemplateLine();
    Total("Summe Umsatzsteuer  :", outputTax_ == 0 ? DisplayAmount(0) : "-" + DisplayAmount(outputTax_));
    Total("Summe Vorsteuer     :", DisplayAmount(inputTax_));
    Total("Gesamt Soll   :", DisplayAmount(debit_ + inputTax_));
    Total("Gesamt Haben  :", DisplayAmount(credit_ + outputTax_));
    Total("Anzahl Buchungen :", std::to_string(count_));
    AddEmptyLine();
    if (page_.Printing()) AddPageBreak();
    EndReport();
    return TheReportBuffer().LineCount();
  }

 private:
  // A total: its label in the text column, its value ending at the debit
  // amount column.
  void Total(const char* label, const std::string& value) {
    AddTextLine(std::string("\2\2\2\2") + label + "\3" + value);
  }

  void Heading() {
    page_.StartPage();
    AddTextLine("\x11" + (o_.title.empty() ? ReportText("Buchungsjournal vom ") + period_ : o_.title));
    for (const std::string& line : o_.subtitles) AddTextLine("\1" + line);
    AddTextLine("\2\2\2\2" + ReportText(CurrentMandant().companyName) + std::string(6, '\3') +
                "Seite : " + PageNumberText(page_.Page()));
    AddEmptyLine();
    AddTextLine("\3Beleg-Nr.\2Belegdat.\2Buch.dat.\2Buchungstext\3Soll\3Betrag\3Haben\3Betrag"
                "\3Steuer\3Betrag");
    AddCodeLine(kLineRule);
    AddEmptyLine();
    page_.Count(kHeadingLines + static_cast<int>(o_.subtitles.size()));
  }

  const JournalReportOptions& o_;
  ReportPage page_;
  std::string period_;
  long long debit_ = 0, credit_ = 0, outputTax_ = 0, inputTax_ = 0;
  long count_ = 0;
};

}  // namespace

int BuildJournalReportOf(const JournalReportOptions& options, const JournalFeed& feed) {
  JournalBuilder builder(options);
  if (!builder.Begin()) return -1;
  bool added = true;
  bool read = feed([&](const JournalLine& l) {
    added = builder.Add(l);
    return added;
  });
  if (!read || !added) {
    EndReport();
    return -1;
  }
  return builder.Finish();
}

int BuildJournalReport(const JournalReportOptions& options) {
  return BuildJournalReportOf(options, [&](const std::function<bool(const JournalLine&)>& visit) {
    return options.byDocumentDate ? ForEachJournalLineByDocumentDate(options.first, options.last, visit)
                                  : ForEachJournalLine(options.first, options.last, visit);
  });
}

}  // namespace talvera
