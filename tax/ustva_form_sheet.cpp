#include "tax/ustva_form_sheet.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/message.h"
#include "tax/ustva_list.h"

namespace talvera {
namespace {

// Positions in tenths of a millimetre.
constexpr int kLeft = 200;
constexpr int kRight = 1100;
constexpr int kRowStart = 800;
constexpr int kRowStep = 38;
constexpr int kPageEnd = 2700;
constexpr int kTextChars = 48;
constexpr int kCellKz[2] = {1060, 1520};
constexpr int kCellAmountEnd[2] = {1480, 1900};
constexpr int kBerlinCode = 10;  // the Bundesland whose code line differs

bool Blank(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); });
}

std::string Text(int number, const std::string& argument = "") {
  std::string text = MessageText(number).value_or("");
  std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

std::string Amount(long long cents) {
  AmountDisplayText display = {};
  if (!AmountFromCents(display, cents)) return "*";
  AmountFormat(display);
  return display;
}

class Sheet {
 public:
  Sheet(const UstvaReturn& r, FormBuffer& b) : r_(r), b_(b) {}

  void Put(int x, int y, const std::string& utf8, unsigned flags = 0) {
    if (!utf8.empty()) b_.AddText(x, y, Utf8ToCp1252(utf8), flags | kFormProportional);
  }

  void Rows() {
    const UstvaForm& f = *r_.form;
    for (const UstvaRow& row : f.rows) {
      if (row.kind == UstvaRow::kEmpty) {
        y_ += kRowStep / 2;
        continue;
      }
      if (y_ > kPageEnd) {
        b_.AddPageBreak();
        y_ = kLeft;
      }
      if (row.kind == UstvaRow::kHeading) {
        Put(kLeft, y_, Text(row.text));
      } else if (row.kind == UstvaRow::kResult) {
        Put(kLeft, y_, Text(r_.result < 0 ? row.refundText : row.text));
        Cell(1, row.resultKz, r_.result);
      } else {
        std::string text = Text(row.text, RateText(row));
        Put(kLeft + 40, y_, text.substr(0, kTextChars));
        for (int c = 0; c < 2; ++c) {
          const UstvaCell& cell = row.cells[c];
          if (cell.text) Put(kCellKz[c], y_, Text(cell.text));
          else if (!cell.term.empty()) Cell(c, cell.shownKz, r_.Term(cell.term));
        }
      }
      y_ += kRowStep;
    }
  }

 private:
  void Cell(int c, int kz, long long cents) {
    if (kz) Put(kCellKz[c], y_, std::to_string(kz));
    Put(kCellAmountEnd[c], y_, Amount(cents), kFormRightAligned);
  }
  std::string RateText(const UstvaRow& row) const {
    if (row.rate != "R" && row.rate != "E") return row.rate;
    for (const UstvaCell& c : row.cells) {
      if (c.term.empty() || !std::isdigit(static_cast<unsigned char>(c.term[0]))) continue;
      int kz = std::atoi(c.term.c_str());
      const UstvaLine* line = r_.form->Line(kz);
      std::string nominal = line ? line->NominalRate(r_.period.endYear) : "";
      if (!nominal.empty()) return nominal;
      auto used = r_.ratesUsed.find(kz);
      if (used != r_.ratesUsed.end()) return used->second;
    }
    return row.rate;
  }

  const UstvaReturn& r_;
  FormBuffer& b_;
  int y_ = kRowStart;
};

}  // namespace

bool UstvaMasterDataComplete(const CompanyMaster& m) {
  return m.federalState != 0 && !Blank(m.taxOfficeStreet) && !Blank(m.taxOfficeTown) &&
         !Blank(m.nameExtra) && !Blank(m.street) && !Blank(m.town) && !Blank(m.phone);
}

std::string UstvaTaxNumberCodeLine(const CompanyMaster& m, const UstvaPeriod& p) {
  if (m.federalState == 0) return "";
  const bool berlin = m.federalState == kBerlinCode;
  std::string number = m.taxNumber;
  std::replace(number.begin(), number.end(), '/', ' ');
  char code[16];
  if (p.choice >= 1 && p.choice <= 12)
    std::snprintf(code, sizeof code, "%02d", p.choice);
  else if (p.choice < kUstvaYear)
    std::snprintf(code, sizeof code, "%02d", 41 + p.choice - kUstvaFirstQuarter);
  else
    std::strcpy(code, "19");
  char year[16];
  std::snprintf(year, sizeof year, "%02d", p.calendarYear % 100);
  return std::string("    ") + (berlin ? "  " : "11") + " " + number + " " + (berlin ? "21" : "  ") +
         "57" + (berlin ? "11" : "  ") + " " + year + code;
}

void LayOutUstvaFormSheet(const UstvaReturn& ret, const CompanyMaster& m, FormBuffer& buffer) {
  buffer.Clear();
  buffer.SetPitch(0);
  if (!ret.form) return;
  Sheet sheet(ret, buffer);
  int y = kLeft;
  for (const std::string* line : {&m.taxOffice, &m.taxOfficeStreet, &m.taxOfficeTown}) {
    sheet.Put(kLeft, y, *line);
    y += 42;
  }
  sheet.Put(kRight, kLeft, "Steuernummer: " + m.taxNumber);
  sheet.Put(kRight, kLeft + 42, UstvaTaxNumberCodeLine(m, ret.period));
  y = 400;
  for (const std::string* line : {&m.name, &m.nameExtra, &m.street, &m.town, &m.phone}) {
    sheet.Put(kLeft, y, *line);
    y += 42;
  }
  sheet.Put(kLeft, 660, Text(6290) + " " + UstvaPeriodText(ret.period));
  sheet.Put(kLeft, 710, Text(6293, ret.form->name));
  sheet.Rows();
}

}  // namespace talvera
