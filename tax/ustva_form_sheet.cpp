#include "tax/ustva_form_sheet.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/message.h"
#include "tax/ustva_form_record.h"
#include "tax/ustva_list.h"

namespace talvera {
namespace {

// Positions in tenths of a millimetre; every row of the form fits one page.
constexpr int kLeft = 200;
constexpr int kRight = 1100;
constexpr int kLineNumberEnd = 270;
constexpr int kTextLeft = 310;
constexpr int kHeadRow = 700;
constexpr int kRowStart = 750;
constexpr int kRowStep = 33;
constexpr int kEmptyStep = 12;
constexpr int kPageEnd = 2800;
constexpr int kTextChars = 40;       // beside a base
constexpr int kLongTextChars = 62;   // rows with a tax only
constexpr int kCellKz[2] = {1060, 1520};
constexpr int kCellAmountEnd[2] = {1480, 1900};
// The Land whose code line has the tax office's own marks (Nordrhein-Westfalen).
constexpr int kOwnCodeLineState = 10;
constexpr std::size_t kCodeLineChars = 34;  // the record's field less its ending zero

enum SheetText : int {
  kTextTitle = 6290,
  kTextForm = 6293,
  kTextSheetLine = 6250,
  kTextSheetBase = 6251,
  kTextSheetTax = 6252,
  kTextCorrected = 6253,
  kTextTaxNumber = 6254,
};

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
        y_ += kEmptyStep;
        continue;
      }
      if (y_ > kPageEnd) {
        b_.AddPageBreak();
        y_ = kLeft;
      }
      if (row.kind == UstvaRow::kHeading) {
        Put(kLeft, y_, Text(row.text));
      } else if (row.kind == UstvaRow::kResult) {
        LineNumber(row);
        Put(kTextLeft, y_, Text(r_.result < 0 ? row.refundText : row.text));
        Cell(1, row.resultKz, r_.result);
      } else {
        LineNumber(row);
        std::string text = Text(row.text, RateText(row));
        Put(kTextLeft, y_, Utf8Prefix(text, row.cells[0].Empty() ? kLongTextChars : kTextChars));
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
  void LineNumber(const UstvaRow& row) {
    if (row.formLine) Put(kLineNumberEnd, y_, std::to_string(row.formLine), kFormRightAligned);
  }
  // At most `chars` characters, never cutting one in two.
  static std::string Utf8Prefix(const std::string& s, std::size_t chars) {
    std::size_t i = 0, n = 0;
    while (i < s.size() && n < chars) {
      ++i;
      while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
      ++n;
    }
    return s.substr(0, i);
  }
  void Cell(int c, int kz, long long cents) {
    if (kz) Put(kCellKz[c], y_, std::to_string(kz));
    Put(kCellAmountEnd[c], y_, Amount(cents), kFormRightAligned);
  }
  // "7,00", not the table's "07,00".
  static std::string Shown(std::string rate) {
    if (rate.size() > 1 && rate[0] == '0' && std::isdigit(static_cast<unsigned char>(rate[1]))) rate.erase(0, 1);
    return rate;
  }
  std::string RateText(const UstvaRow& row) const { return Shown(TableRate(row)); }
  std::string TableRate(const UstvaRow& row) const {
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
  const bool ownMarks = m.federalState == kOwnCodeLineState;
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
  std::string line = std::string("    ") + (ownMarks ? "  " : "11") + " " + number + " " +
                     (ownMarks ? "21" : "  ") + "57" + (ownMarks ? "11" : "  ") + " " + year + code;
  // A tax number longer than the form's field is cut with the line, never
  // written past it.
  if (line.size() > kCodeLineChars) line.resize(kCodeLineChars);
  return line;
}

void LayOutUstvaFormSheet(const UstvaReturn& ret, const CompanyMaster& m, FormBuffer& buffer) {
  buffer.Clear();
  buffer.SetPitch(0);
  if (!ret.form) return;
  UstvaFormRecord record;
  FillUstvaFormRecord(ret, m, record);
  using namespace ustva_record;
  Sheet sheet(ret, buffer);
  int y = kLeft;
  for (UstvaFormField f : {kTaxOffice, kTaxOfficeStreet, kTaxOfficeTown}) {
    sheet.Put(kLeft, y, UstvaFormText(record, f));
    y += 42;
  }
  sheet.Put(kRight, kLeft, Text(kTextTaxNumber) + " " + m.taxNumber);
  sheet.Put(kRight, kLeft + 42, UstvaFormText(record, kCodeLine));
  y = 360;
  for (UstvaFormField f : {kCompany, kCompanyExtra, kStreet, kTown, kPhone}) {
    sheet.Put(kLeft, y, UstvaFormText(record, f));
    y += 42;
  }
  sheet.Put(kLeft, 590, Text(kTextTitle) + " " + UstvaFormText(record, kPeriodText));
  sheet.Put(kLeft, 632, Text(kTextForm, ret.form->name));
  if (ret.corrected) sheet.Put(kRight, 590, Text(kTextCorrected, std::to_string(ret.form->correctedKz)));
  sheet.Put(kLineNumberEnd, kHeadRow, Text(kTextSheetLine), kFormRightAligned);
  for (int kz : kCellKz) sheet.Put(kz, kHeadRow, "Kz");
  sheet.Put(kCellAmountEnd[0], kHeadRow, Text(kTextSheetBase), kFormRightAligned);
  sheet.Put(kCellAmountEnd[1], kHeadRow, Text(kTextSheetTax), kFormRightAligned);
  sheet.Rows();
}

}  // namespace talvera
