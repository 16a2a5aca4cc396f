#include "reports/batch_report.h"

#include "core/amount.h"
#include "core/layouts/bat.h"
#include "core/mandant_values.h"
#include "posting/booking_checks.h"
#include "reports/account_values.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;

constexpr int kHeadingLines = 6;
constexpr int kTotalLines = 5;

long long Cents(const char* amount) {
  long long c = 0;
  if (amount[0]) AmountToCents(amount, &c);
  return c;
}

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

class BatchBuilder {
 public:
  explicit BatchBuilder(const BatchReportOptions& o) : o_(o), page_(o.linesPerPage) {}

  bool Begin() {
    if (!BeginReport("TQSTAPELOBJ", "TQSTAPELTAB")) return false;
    AddEmptyLine();
    if (page_.Printing()) Heading();
    return true;
  }

  // The lines of one booking: date, number and text on its first line;
  // each line's debit and credit amount (the net amount on the side that
  // carries it), tax account, tax and rate. A currency booking shows its
  // amounts in the currency.
  bool Add(const BatchRecord& record) {
    const void* b = record.data();
    std::string currency = layouts::FieldBytes(b, bat::kCurrency);
    for (int i = 0; i < bat::kLineCount; ++i) {
      auto F = [i](const layouts::Field& f) { return bat::kLine.In(i, f); };
      if (layouts::FieldBytes(b, F(line_::kDebitAccount))[0] == '\0') break;
      if (page_.Printing() && page_.Used() + 1 > page_.LinesPerPage()) {
        AddPageBreak();
        Heading();
      }
      page_.Count(1);
      long long gross = Cents(layouts::FieldBytes(b, F(line_::kGross)));
      long long net = Cents(layouts::FieldBytes(b, F(line_::kNet)));
      int taxSide = static_cast<int>(layouts::GetNumber(b, F(line_::kTaxSide)));
      bool first = i == 0;
      const std::string values[12] = {
          first ? DisplayDate(layouts::FieldBytes(b, bat::kVoucherDate)) : std::string(),
          first ? std::string(layouts::FieldBytes(b, bat::kVoucherNo)) : std::string(),
          first ? std::string(layouts::FieldBytes(b, bat::kText)) : std::string(),
          Trimmed(layouts::FieldBytes(b, F(line_::kDebitAccount))),
          DisplayAmount(taxSide == 2 ? net : gross),
          currency,
          Trimmed(layouts::FieldBytes(b, F(line_::kCreditAccount))),
          DisplayAmount(taxSide == 1 ? net : gross),
          currency,
          gross == net ? std::string() : Trimmed(layouts::FieldBytes(b, F(line_::kListTaxAccount))),
          gross == net ? std::string() : DisplayAmount(gross - net),
          gross == net ? std::string() : Trimmed(layouts::FieldBytes(b, F(line_::kRate)))};
      for (int k = 0; k < 12; ++k) SetFieldSlot(k, values[k]);
      if (!AddTemplateLine()) return false;
    }
    AddToControlTotal(total_, b);
    ++count_;
    return true;
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
    Total("Abstimmsumme     :", DisplayAmount(Cents(total_)));
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
    AddTextLine(std::string("\2\2\2") + label + "\3\3" + value);
  }

  void Heading() {
    page_.StartPage();
    AddTextLine("\x11" + ReportText("Stapelbuchungen vom ") + o_.date + " - " + ReportText(o_.batchName));
    AddTextLine("\2\2\2" + ReportText(CurrentMandant().companyName) + std::string(8, '\3') + "Seite : " +
                PageNumberText(page_.Page()));
    AddEmptyLine();
    AddTextLine("\3Belegdat.\2Beleg-Nr.\2Buchungstext\3Soll\3Betrag\2\3Haben\3Betrag\2\3Steuer\3Betrag\2Satz");
    AddCodeLine(kLineRule);
    AddEmptyLine();
    page_.Count(kHeadingLines);
  }

  const BatchReportOptions& o_;
  ReportPage page_;
  AmountText total_ = "000000000,00";
  long count_ = 0;
};

}  // namespace

int BuildBatchReport(const BatchReportOptions& options, const std::vector<BatchRecord>& bookings) {
  BatchBuilder builder(options);
  if (!builder.Begin()) return -1;
  for (const BatchRecord& b : bookings)
    if (!builder.Add(b)) {
      EndReport();
      return -1;
    }
  return builder.Finish();
}

}  // namespace talvera
