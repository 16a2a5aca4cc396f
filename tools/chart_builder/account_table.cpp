// sako.txt: one account per line.
#include <charconv>

#include "tools/chart_builder/chart_source.h"
#include "tools/chart_builder/source_text.h"

namespace talvera::charts {

namespace {

enum Column { kNumberCell, kCodeCell, kNameCell, kClassCell, kTaxCell, kRateCell, kRevenueCell,
              kUstvaCell, kCostCell, kAssetCell, kColumns };

bool ParseClass(std::string_view text, int& out) {
  if (text == "A") out = kAsset;
  else if (text == "P") out = kLiability;
  else if (text == "G") out = kProfitAndLoss;
  else if (text == "-") out = kNoClass;
  else return false;
  return true;
}

// "-", or a rate class (R, E, N, S, EG, 13b) with an optional leading V for input tax.
bool ParseTaxKey(std::string_view text, int& out) {
  out = 0;
  if (text == "-") return true;
  if (!text.empty() && text.front() == 'V') {
    out = kInputTax;
    text.remove_prefix(1);
  }
  if (text == "R") out |= kStandardRate;
  else if (text == "E") out |= kReducedRate;
  else if (text == "N") out |= kZeroRate;
  else if (text == "S") out |= kOtherRate;
  else if (text == "EG") out |= kEcRate;
  else if (text == "13b") out |= kReverseChargeRate;
  else return false;
  return true;
}

bool ParseFlag(std::string_view text, bool& out) {
  out = text == "x";
  return text.empty() || out;
}

bool ParseUstvaKey(std::string_view text, int& out) {
  out = 0;
  if (text.empty()) return true;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && out >= 21 && out <= 100;
}

bool ParseCost(std::string_view text, int& out) {
  out = text == "f" ? 1 : text == "v" ? 2 : 0;
  return text.empty() || out != 0;
}

// Checks one cell; on failure notes what is wrong with it.
struct RowReader {
  const std::string& file;
  int line;
  Diagnostics& diagnostics;
  bool ok = true;

  void Require(bool good, const char* what, std::string_view cell) {
    if (good) return;
    diagnostics.Add(file, line, std::string(what) + ": \"" + std::string(cell) + "\"");
    ok = false;
  }
};

void ParseAccountRow(const std::vector<std::string_view>& c, RowReader& r, AccountRow& a) {
  a.number = AccountNumber(c[kNumberCell]);
  r.Require(!a.number.empty(), "Kontonummer muss aus 1 bis 7 Ziffern bestehen", c[kNumberCell]);
  a.shortCode = std::string(c[kCodeCell]);
  int codeWidth = RecordWidth(c[kCodeCell]);
  r.Require(codeWidth >= 1 && codeWidth <= 8, "Kürzel muss 1 bis 8 Zeichen haben", c[kCodeCell]);
  a.name = std::string(c[kNameCell]);
  int nameWidth = RecordWidth(c[kNameCell]);
  r.Require(nameWidth >= 1 && nameWidth <= 25, "Bezeichnung muss 1 bis 25 Zeichen haben",
            c[kNameCell]);
  r.Require(ParseClass(c[kClassCell], a.accountClass), "Klasse muss A, P, G oder - sein", c[kClassCell]);
  r.Require(ParseTaxKey(c[kTaxCell], a.taxKey), "unbekannter Steuerschlüssel", c[kTaxCell]);
  a.rate = std::string(c[kRateCell]);
  r.Require(a.rate.empty() || IsRateText(a.rate), "Satz muss wie 19,00 geschrieben sein",
            c[kRateCell]);
  r.Require(ParseFlag(c[kRevenueCell], a.revenue), "Erlös-Spalte hat x oder bleibt leer",
            c[kRevenueCell]);
  r.Require(ParseUstvaKey(c[kUstvaCell], a.ustvaKey), "Kennziffer muss zwischen 21 und 100 liegen",
            c[kUstvaCell]);
  r.Require(ParseCost(c[kCostCell], a.costBehaviour), "Kostenart ist f, v oder leer", c[kCostCell]);
  r.Require(ParseFlag(c[kAssetCell], a.fixedAsset), "AV-Spalte hat x oder bleibt leer", c[kAssetCell]);
}

}  // namespace

void ParseAccounts(std::string_view text, const std::string& file, std::vector<AccountRow>& out,
                   Diagnostics& diagnostics) {
  std::vector<SourceLine> lines = ContentLines(text);
  if (lines.empty() || SplitCells(lines.front().text).size() != kColumns ||
      SplitCells(lines.front().text)[0] != "konto") {
    diagnostics.Add(file, lines.empty() ? 0 : lines.front().number,
                    "Kopfzeile \"konto | kürzel | ... | av\" mit 10 Spalten erwartet");
    return;
  }
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string_view> cells = SplitCells(lines[i].text);
    RowReader reader{file, lines[i].number, diagnostics};
    if (cells.size() != kColumns) {
      diagnostics.Add(file, lines[i].number, "10 Spalten erwartet");
      continue;
    }
    AccountRow row;
    row.line = lines[i].number;
    ParseAccountRow(cells, reader, row);
    if (reader.ok) out.push_back(std::move(row));
  }
}

}  // namespace talvera::charts
