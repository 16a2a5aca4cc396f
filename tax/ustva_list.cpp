#include "tax/ustva_list.h"

#include <cstdio>
#include <cstring>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/settings.h"
#include "reports/report_buffer.h"

namespace talvera {
namespace {

// Line kinds of the list: ordinary row, period line, section heading, title.
constexpr char kRow = 0x02;
constexpr char kPeriodLine = 0x11;
constexpr char kHeading = 0x12;
constexpr char kTitle = 'Q';
constexpr char kStartsAtTab = 0x02;
constexpr char kEndsAtTab = 0x03;

enum Text : int {
  kTextTitle = 6290,
  kTextTaxOffice = 6291,
  kTextTaxNumber = 6292,
  kTextForm = 6293,
  kTextCashBasis = 6294,
  kTextSkippedHeading = 6295,
  kTextSkipped = 6296,
  kTextCorrected = 6253,
};

const char* const kMonthNames[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                   "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

// A message-table text in the report's character set, %s filled in.
std::string TableText(int number, const std::string& argument = "") {
  std::string text = MessageText(number).value_or("");
  std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return Utf8ToCp1252(text);
}

std::string AmountCell(long long cents, const std::string& currency) {
  AmountDisplayText display = {};
  if (!AmountFromCents(display, cents)) std::strcpy(display, "*");
  else AmountFormat(display);
  return std::string(display) + " " + Utf8ToCp1252(currency);
}

// A row's segments: the text, then cells placed at the segments the form names.
class RowText {
 public:
  explicit RowText(char kind, const std::string& text) : line_(1, kind) { line_ += text; }
  void At(int segment, char marker, const std::string& text) {
    while (segment_ + 1 < segment) {
      line_ += kStartsAtTab;
      ++segment_;
    }
    line_ += marker;
    line_ += text;
    segment_ = segment;
  }
  const std::string& str() const { return line_; }

 private:
  std::string line_;
  int segment_ = 0;
};

class ListBuilder {
 public:
  ListBuilder(const UstvaReturn& r, const UstvaListHeading& h) : r_(r), f_(*r.form), h_(h) {}

  bool Build() {
    if (!BeginReport(f_.objectTemplate, f_.tabTemplate)) return false;
    bool ok = Heading();
    for (const UstvaRow& row : f_.rows) ok = ok && Row(row);
    ok = ok && Skipped();
    EndReport();
    return ok;
  }

 private:
  bool Add(const std::string& line) { return AddTextLine(line); }

  bool Heading() {
    RowText company(kRow, Utf8ToCp1252(h_.company));
    company.At(f_.cellSegments[1].amountSegment, kEndsAtTab,
               TableText(kTextTaxNumber) + " " + Utf8ToCp1252(h_.taxNumber));
    bool ok = Add(company.str()) &&
              Add(std::string(1, kRow) + TableText(kTextTaxOffice) + " " + Utf8ToCp1252(h_.taxOffice)) &&
              AddEmptyLine() && Add(std::string(1, kTitle) + TableText(kTextTitle)) && AddEmptyLine() &&
              Add(std::string(1, kPeriodLine) + Utf8ToCp1252(UstvaPeriodText(r_.period))) &&
              Add(std::string(1, kRow) + TableText(kTextForm, f_.name)) && AddEmptyLine();
    if (ok && r_.corrected)
      ok = Add(std::string(1, kRow) + TableText(kTextCorrected, std::to_string(f_.correctedKz))) && AddEmptyLine();
    if (ok && r_.cashBasis) ok = Add(std::string(1, kRow) + TableText(kTextCashBasis)) && AddEmptyLine();
    return ok;
  }

  // The rate a row names, as the form prints it: "7,00", not "07,00".
  std::string RateOf(const UstvaRow& row) const {
    std::string rate = RateNamed(row);
    if (rate.size() > 4 && rate[0] == '0') rate.erase(0, 1);
    return rate;
  }

  std::string RateNamed(const UstvaRow& row) const {
    if (row.rate != "R" && row.rate != "E") return row.rate;
    for (const UstvaCell& c : row.cells) {
      if (c.term.empty() || c.term[0] < '0' || c.term[0] > '9') continue;
      int kz = std::atoi(c.term.c_str());
      if (const UstvaLine* line = f_.Line(kz)) {
        std::string nominal = line->NominalRate(r_.period.endYear);
        if (!nominal.empty()) return nominal;
      }
      auto used = r_.ratesUsed.find(kz);
      if (used != r_.ratesUsed.end()) return used->second;
    }
    return row.rate;
  }

  void Cell(RowText& line, int column, int shownKz, const std::string& amount) {
    const UstvaCellSegments& s = f_.cellSegments[column];
    char kz[8] = "  ";
    if (shownKz) std::snprintf(kz, sizeof kz, "%02d", shownKz);
    line.At(s.kzSegment, kStartsAtTab, std::string(": ") + kz);
    line.At(s.amountSegment, kEndsAtTab, amount);
  }

  bool Row(const UstvaRow& row) {
    switch (row.kind) {
      case UstvaRow::kEmpty:
        return AddEmptyLine();
      case UstvaRow::kHeading:
        return Add(std::string(1, kHeading) + TableText(row.text));
      case UstvaRow::kResult: {
        RowText line(kRow, TableText(r_.result < 0 ? row.refundText : row.text));
        Cell(line, 1, row.resultKz, AmountCell(r_.result, h_.currency));
        return Add(line.str());
      }
      case UstvaRow::kText:
        break;
    }
    RowText line(kRow, TableText(row.text, RateOf(row)));
    for (int column = 0; column < 2; ++column) {
      const UstvaCell& c = row.cells[column];
      if (c.text) {
        line.At(f_.cellSegments[column].kzSegment, kStartsAtTab, TableText(c.text));
      } else if (!c.term.empty()) {
        Cell(line, column, c.shownKz, AmountCell(r_.Term(c.term), h_.currency));
      }
    }
    return Add(line.str());
  }

  bool Skipped() {
    if (r_.skipped.empty()) return true;
    bool ok = AddEmptyLine() && Add(std::string(1, kHeading) + TableText(kTextSkippedHeading));
    for (const UstvaSkippedKey& s : r_.skipped) {
      std::string account = s.account;
      while (!account.empty() && account.front() == ' ') account.erase(0, 1);
      ok = ok && Add(std::string(1, kRow) +
                     TableText(kTextSkipped, account + " (Kennzahl " + std::to_string(s.key) + ")"));
    }
    return ok;
  }

  const UstvaReturn& r_;
  const UstvaForm& f_;
  const UstvaListHeading& h_;
};

}  // namespace

UstvaListHeading CurrentUstvaHeading() {
  const MandantValues& m = CurrentMandant();
  return {m.companyName, m.taxNumber, m.taxOffice, CurrentSettings().waehrung};
}

std::string UstvaPeriodText(const UstvaPeriod& p) {
  std::string year = std::to_string(p.calendarYear);
  if (p.choice >= 1 && p.choice <= 12) return std::string(kMonthNames[p.choice - 1]) + " " + year;
  if (p.choice >= kUstvaFirstQuarter && p.choice < kUstvaYear)
    return std::to_string(p.choice - kUstvaFirstQuarter + 1) + ". Quartal " + year;
  return "Gesamtjahr " + year;
}

bool BuildUstvaList(const UstvaReturn& ret, const UstvaListHeading& heading, int& lineCount) {
  lineCount = 0;
  if (!ret.form) return false;
  if (!ListBuilder(ret, heading).Build()) return false;
  lineCount = TheReportBuffer().LineCount();
  return true;
}

}  // namespace talvera
