#include "tax/ustva_form.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/amount.h"

namespace talvera {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::vector<std::string> Columns(std::string_view line) {
  std::vector<std::string> out;
  while (true) {
    std::size_t bar = line.find('|');
    out.emplace_back(Trim(line.substr(0, bar)));
    if (bar == std::string_view::npos) break;
    line.remove_prefix(bar + 1);
  }
  return out;
}

bool Number(const std::string& s, int& out) {
  if (s.empty() || s.size() > 6) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  out = std::atoi(s.c_str());
  return true;
}

bool IsRate(const std::string& s) {
  if (s == "R" || s == "E" || s == "N") return true;
  char buffer[16];
  if (s.size() >= sizeof buffer - 1) return false;
  std::strcpy(buffer, s.c_str());
  return AmountParseWith(buffer, kRateWidth, false, false);
}

// "St81", "erg", "81"
bool ParseTerms(std::string_view text, std::vector<UstvaTerm>& out) {
  int sign = 1;
  bool expectTerm = true;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '+' || c == '-') {
      if (!expectTerm && out.empty()) return false;
      if (c == '-') sign = -sign;
      expectTerm = true;
      ++i;
    } else {
      if (!expectTerm) return false;
      std::size_t j = i;
      while (j < text.size() && (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_')) ++j;
      if (j == i) return false;
      out.push_back({sign, std::string(text.substr(i, j - i))});
      sign = 1;
      expectTerm = false;
      i = j;
    }
  }
  return !out.empty() && !expectTerm;
}

bool ParseCell(const std::string& s, UstvaCell& out) {
  if (s.empty()) return true;
  if (s[0] == 'T') return Number(s.substr(1), out.text);
  std::size_t colon = s.find(':');
  if (colon == std::string::npos) return false;
  if (colon > 0 && !Number(s.substr(0, colon), out.shownKz)) return false;
  out.term = s.substr(colon + 1);
  return !out.term.empty();
}

bool ParseKind(const std::string& s, UstvaKind& kind) {
  static const std::pair<const char*, UstvaKind> kKinds[] = {
      {"umsatz", UstvaKind::kTurnover}, {"bemessung", UstvaKind::kBaseWithTax},
      {"steuer", UstvaKind::kTax},      {"vorsteuer", UstvaKind::kInputTax},
      {"merk", UstvaKind::kMemo},       {"kennz", UstvaKind::kMark},
  };
  for (const auto& [name, k] : kKinds)
    if (s == name) {
      kind = k;
      return true;
    }
  return false;
}

class Parser {
 public:
  Parser(UstvaForm& form, std::string& error) : f_(form), error_(error) {}

  bool Line(const std::vector<std::string>& c) {
    const std::string& word = c[0];
    auto col = [&](std::size_t i) -> const std::string& {
      static const std::string empty;
      return i < c.size() ? c[i] : empty;
    };
    if (word == "vordruck") {
      f_.name = col(1);
      return !f_.name.empty() || Fail("Name fehlt");
    }
    if (word == "land") {
      f_.country = col(1);
      return f_.country == "DE" || f_.country == "AT" || Fail("Land DE oder AT erwartet");
    }
    if (word == "ab") return Number(col(1), f_.firstYear) || Fail("Jahr erwartet");
    if (word == "basen") {
      f_.wholeBases = col(1) == "ganz";
      return col(1) == "ganz" || col(1) == "cent" || Fail("ganz oder cent erwartet");
    }
    if (word == "vorlage") {
      f_.objectTemplate = col(1);
      f_.tabTemplate = col(2);
      return (Number(col(3), f_.width) && !f_.tabTemplate.empty()) || Fail("Vorlage unvollständig");
    }
    if (word == "zellen") return Segments(col(1), f_.cellSegments[0]) && Segments(col(2), f_.cellSegments[1]);
    if (word == "kz") return Kz(c);
    if (word == "nennsatz") {
      int kz = 0, year = 0;
      if (!Number(col(1), kz) || !Number(col(2), year) || !IsRate(col(3)))
        return Fail("nennsatz: Kennzahl, Jahr und Satz erwartet");
      UstvaLine* line = Find(kz);
      if (!line) return Fail("nennsatz vor seiner Kennzahl");
      line->nominal.push_back({year, col(3)});
      return true;
    }
    if (word == "heute") {
      int today = 0, here = 0;
      if (!Number(col(1), today) || !Number(col(2), here)) return Fail("zwei Kennzahlen erwartet");
      f_.todaysKz.emplace_back(today, here);
      return true;
    }
    if (word == "ist") {
      int bit = 0, kz = 0;
      if ((col(1) != "sonst" && !Number(col(1), bit)) || !Number(col(2), kz))
        return Fail("ist: Steuerklasse und Kennzahl erwartet");
      f_.cashTargets.emplace_back(bit, kz);
      return true;
    }
    if (word == "summe") {
      UstvaSum sum{col(1), {}};
      if (sum.name.empty() || !ParseTerms(col(2), sum.terms)) return Fail("Summe unlesbar");
      f_.sums.push_back(sum);
      return true;
    }
    if (word == "ergebnis") {
      f_.resultSum = col(1);
      const std::string& r = col(2);
      if (r == "cent") f_.rounding = UstvaRounding::kCent;
      else if (r == "zehntel") f_.rounding = UstvaRounding::kTenth;
      else if (r == "schilling") f_.rounding = UstvaRounding::kSchilling;
      else return Fail("Rundung cent, zehntel oder schilling erwartet");
      return true;
    }
    if (word == "zeile") return Row(c);
    if (word == "sonder") return Number(col(1), f_.specialPrepaymentKz) || Fail("Kennzahl erwartet");
    if (word == "berichtigt") return Number(col(1), f_.correctedKz) || Fail("Kennzahl erwartet");
    return Fail("unbekannte Zeile '" + word + "'");
  }

  bool Check() {
    if (f_.name.empty() || f_.firstYear == 0 || f_.tabTemplate.empty() || f_.resultSum.empty())
      return Fail("vordruck, ab, vorlage und ergebnis müssen angegeben sein");
    for (const UstvaLine& l : f_.lines) {
      if (l.partner && !f_.Line(l.partner)) return Fail("Partner " + std::to_string(l.partner) + " fehlt");
    }
    for (const auto& [bit, kz] : f_.cashTargets)
      if (!f_.Line(kz)) return Fail("ist-Kennzahl " + std::to_string(kz) + " fehlt");
    for (const UstvaSum& s : f_.sums)
      for (const UstvaTerm& t : s.terms)
        if (!KnownTerm(t.name, &s)) return Fail("Summe " + s.name + ": '" + t.name + "' unbekannt");
    if (!f_.Sum(f_.resultSum)) return Fail("Ergebnissumme fehlt");
    if (f_.specialPrepaymentKz && !f_.Line(f_.specialPrepaymentKz))
      return Fail("sonder: Kennzahl " + std::to_string(f_.specialPrepaymentKz) + " fehlt");
    for (const UstvaRow& r : f_.rows)
      for (const UstvaCell& cell : r.cells)
        if (!cell.term.empty() && !KnownTerm(cell.term, nullptr))
          return Fail("Zeile: '" + cell.term + "' unbekannt");
    return true;
  }

  void At(int lineNumber) { lineNumber_ = lineNumber; }

 private:
  bool Fail(const std::string& what) {
    error_ = "Zeile " + std::to_string(lineNumber_) + ": " + what;
    return false;
  }
  UstvaLine* Find(int kz) {
    for (UstvaLine& l : f_.lines)
      if (l.kz == kz) return &l;
    return nullptr;
  }
  bool Segments(const std::string& s, UstvaCellSegments& out) {
    std::size_t blank = s.find(' ');
    if (blank == std::string::npos || !Number(s.substr(0, blank), out.kzSegment) ||
        !Number(std::string(Trim(s.substr(blank))), out.amountSegment) ||
        out.amountSegment <= out.kzSegment)
      return Fail("zellen: zwei Segmentnummern je Zelle erwartet");
    return true;
  }
  bool Kz(const std::vector<std::string>& c) {
    if (c.size() < 7) return Fail("kz: sieben Spalten erwartet");
    UstvaLine line;
    if (!Number(c[1], line.kz) || line.kz < 1 || line.kz > 999) return Fail("Kennzahl erwartet");
    if (Find(line.kz)) return Fail("Kennzahl doppelt");
    if (!ParseKind(c[2], line.kind)) return Fail("Art unbekannt");
    if (c[3] != "H" && c[3] != "S") return Fail("Seite H oder S erwartet");
    line.debitPositive = c[3] == "S";
    line.rate = c[4];
    if (line.kind == UstvaKind::kTurnover ? !IsRate(line.rate) : !line.rate.empty())
      return Fail("Satz nur und immer bei umsatz");
    if (!c[5].empty() && !Number(c[5], line.partner)) return Fail("Partner unlesbar");
    if (line.kind == UstvaKind::kBaseWithTax && line.partner == 0) return Fail("bemessung ohne Partner");
    line.fromPostingsOnCashBasis = c[6] == "x";
    if (c.size() > 7 && !c[7].empty() && !Number(c[7], line.sinceYear)) return Fail("Jahr unlesbar");
    f_.lines.push_back(line);
    return true;
  }
  bool Row(const std::vector<std::string>& c) {
    auto col = [&](std::size_t i) -> std::string { return i < c.size() ? c[i] : std::string(); };
    UstvaRow row;
    const std::string kind = col(1);
    if (kind == "leer") {
      row.kind = UstvaRow::kEmpty;
    } else if (kind == "kopf") {
      row.kind = UstvaRow::kHeading;
      if (!Number(col(2), row.text)) return Fail("Textnummer erwartet");
    } else if (kind == "text") {
      row.kind = UstvaRow::kText;
      row.rate = col(3);
      if (!Number(col(2), row.text)) return Fail("Textnummer erwartet");
      if (!row.rate.empty() && !IsRate(row.rate)) return Fail("Satz unlesbar");
      if (!ParseCell(col(4), row.cells[0]) || !ParseCell(col(5), row.cells[1]))
        return Fail("Zelle unlesbar");
    } else if (kind == "ergebnis") {
      row.kind = UstvaRow::kResult;
      if (!Number(col(2), row.text) || !Number(col(3), row.refundText) || !Number(col(4), row.resultKz))
        return Fail("ergebnis: zwei Textnummern und eine Kennzahl erwartet");
    } else {
      return Fail("Zeilenart unbekannt");
    }
    // The last column: the line of the official form, when the table knows it.
    std::size_t lineColumn = row.kind == UstvaRow::kResult ? 5 : 6;
    if (row.kind != UstvaRow::kEmpty && row.kind != UstvaRow::kHeading && !col(lineColumn).empty() &&
        !Number(col(lineColumn), row.formLine))
      return Fail("Vordruckzeile unlesbar");
    f_.rows.push_back(row);
    return true;
  }
  bool KnownTerm(const std::string& name, const UstvaSum* within) {
    int kz = 0;
    if (Number(name, kz)) return f_.Line(kz) != nullptr;
    if (name.size() > 2 && name.compare(0, 2, "St") == 0 && Number(name.substr(2), kz)) {
      const UstvaLine* l = f_.Line(kz);
      return l && l->kind == UstvaKind::kTurnover;
    }
    // A sum may only use sums declared before it, so there are no cycles.
    for (const UstvaSum& s : f_.sums) {
      if (&s == within) return false;
      if (s.name == name) return true;
    }
    return false;
  }

  UstvaForm& f_;
  std::string& error_;
  int lineNumber_ = 0;
};

}  // namespace

std::string UstvaLine::NominalRate(int year) const {
  std::string rate;
  int best = -1;
  for (const UstvaNominalRate& n : nominal)
    if (n.fromYear <= year && n.fromYear > best) {
      best = n.fromYear;
      rate = n.rate;
    }
  return rate;
}

const UstvaLine* UstvaForm::Line(int kz) const {
  for (const UstvaLine& l : lines)
    if (l.kz == kz) return &l;
  return nullptr;
}

const UstvaLine* UstvaForm::LineForAccountKey(int todays, int year) const {
  int kz = todays;
  for (const auto& [today, here] : todaysKz)
    if (today == todays) kz = here;
  const UstvaLine* line = Line(kz);
  if (!line || line->kind == UstvaKind::kMark || line->sinceYear > year) return nullptr;
  return line;
}

const UstvaSum* UstvaForm::Sum(std::string_view name) const {
  for (const UstvaSum& s : sums)
    if (s.name == name) return &s;
  return nullptr;
}

bool ParseUstvaForm(std::string_view text, std::string_view source, UstvaForm& out,
                    std::string& error) {
  out = UstvaForm{};
  out.source = source;
  Parser parser(out, error);
  int number = 0;
  while (!text.empty()) {
    std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    parser.At(++number);
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (!parser.Line(Columns(line))) return false;
  }
  parser.At(number);
  return parser.Check();
}

const std::vector<UstvaForm>& UstvaForms() {
  static const std::vector<UstvaForm> forms = [] {
    std::vector<UstvaForm> out;
    for (const UstvaFormSource& s : UstvaFormSources()) {
      UstvaForm form;
      std::string error;
      if (ParseUstvaForm(s.text, s.name, form, error)) out.push_back(std::move(form));
    }
    return out;
  }();
  return forms;
}

const UstvaForm* UstvaFormFor(std::string_view country, int year) {
  const UstvaForm* best = nullptr;
  for (const UstvaForm& f : UstvaForms())
    if (f.country == country && f.firstYear <= year && (!best || f.firstYear > best->firstYear))
      best = &f;
  return best;
}

int TodaysKennzahl(int accountKey, int taxKey) {
  constexpr int kStandardOutput = 2;  // standard rate, no input-tax bit
  if (accountKey == 92) return 89;
  if (accountKey == 50 && taxKey == kStandardOutput) return 81;
  return accountKey;
}

}  // namespace talvera
