// steke.txt: one rate record per line.
#include <cstdio>

#include "tools/chart_builder/chart_source.h"
#include "tools/chart_builder/source_text.h"

namespace talvera::charts {

namespace {

enum Column { kClassCell, kDateCell, kRateCell, kOutputCell, kInputCell, kColumns };

bool ParseRateClass(std::string_view text, int& out) {
  if (text == "R") out = kStandardRate;
  else if (text == "E") out = kReducedRate;
  else if (text == "S") out = kOtherRate;
  else if (text == "EG") out = kEcRate;
  else if (text == "13b") out = kReverseChargeRate;
  else return false;
  return true;
}

int DaysInMonth(int month, int year) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

// DD.MM.YYYY inside the years a period date can hold (1980..2079).
bool ParseCalendarDate(std::string_view text, RateRow& row) {
  if (text.size() != 10 || text[2] != '.' || text[5] != '.') return false;
  std::string copy(text);
  char tail = 0;
  if (std::sscanf(copy.c_str(), "%2d.%2d.%4d%c", &row.day, &row.month, &row.year, &tail) != 3)
    return false;
  return row.year >= 1980 && row.year <= 2079 && row.month >= 1 && row.month <= 12 &&
         row.day >= 1 && row.day <= DaysInMonth(row.month, row.year);
}

void ParseRateRow(const std::vector<std::string_view>& c, const std::string& file, int line,
                  std::vector<RateRow>& out, Diagnostics& diagnostics) {
  RateRow row;
  row.line = line;
  bool ok = true;
  auto require = [&](bool good, const char* what, std::string_view cell) {
    if (!good) diagnostics.Add(file, line, std::string(what) + ": \"" + std::string(cell) + "\"");
    ok = ok && good;
  };
  require(ParseRateClass(c[kClassCell], row.rateClass), "Klasse muss R, E, S, EG oder 13b sein",
          c[kClassCell]);
  require(ParseCalendarDate(c[kDateCell], row), "Datum TT.MM.JJJJ zwischen 1980 und 2079",
          c[kDateCell]);
  row.rate = std::string(c[kRateCell]);
  require(row.rate.empty() || IsRateText(row.rate), "Satz muss wie 19,00 geschrieben sein",
          c[kRateCell]);
  row.outputAccount = AccountNumber(c[kOutputCell]);
  require(!row.outputAccount.empty(), "USt-Konto fehlt oder ist keine Kontonummer", c[kOutputCell]);
  row.inputAccount = AccountNumber(c[kInputCell]);
  require(!row.inputAccount.empty(), "VSt-Konto fehlt oder ist keine Kontonummer", c[kInputCell]);
  if (ok) out.push_back(std::move(row));
}

}  // namespace

void ParseRates(std::string_view text, const std::string& file, std::vector<RateRow>& out,
                Diagnostics& diagnostics) {
  std::vector<SourceLine> lines = ContentLines(text);
  if (lines.empty() || SplitCells(lines.front().text).size() != kColumns ||
      SplitCells(lines.front().text)[0] != "klasse") {
    diagnostics.Add(file, lines.empty() ? 0 : lines.front().number,
                    "Kopfzeile \"klasse | gültig ab | satz | ust-konto | vst-konto\" erwartet");
    return;
  }
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string_view> cells = SplitCells(lines[i].text);
    if (cells.size() != kColumns)
      diagnostics.Add(file, lines[i].number, "5 Spalten erwartet");
    else
      ParseRateRow(cells, file, lines[i].number, out, diagnostics);
  }
}

}  // namespace talvera::charts
