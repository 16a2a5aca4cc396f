#include "tax/ustva_form_record.h"

#include <cstdio>
#include <cstring>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/mandant_values.h"
#include "core/period_date.h"
#include "core/today.h"
#include "tax/ustva_form_sheet.h"

namespace talvera {
namespace {

constexpr int kBaseYear = 1980;

const char* const kMonthNames[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                   "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

// The form's amount places, named as the form of the 1990s numbers them,
// and the term of a return on a form that numbers as today (it has
// Kennzahl 81): full-rate sales are 81 there, acquisitions at the full rate
// 89, the tax on new vehicles is Kennzahl 96, and the input tax of
// acquisitions is booked to 61 instead of computed. Places whose Kennzahl
// is gone stay zero. `whole`: the place takes whole units only.
struct Slot {
  const char* old;
  const char* today;
  bool whole;
};

const Slot kSlots[kUstvaFormAmounts] = {
    {"41", "41", false},     {"44", "44", false},   {"49", "49", false},     {"43", "43", false},
    {"48", "48", false},     {"50", "81", false},   {"St50", "St81", false}, {"86", "86", false},
    {"St86", "St86", false}, {"35", "35", false},   {"36", "36", false},     {"77", "77", false},
    {"76", "76", false},     {"80", "80", false},   {"91", "91", false},     {"92", "89", false},
    {"St92", "St89", false}, {"93", "93", false},   {"St93", "St93", false}, {"94", "94", false},
    {"St94", "96", false},   {"65", "65", false},   {"66", "66", false},     {"vst61", "61", false},
    {"62", "62", false},     {"63", "63", false},   {"64", "64", false},     {"59", "59", false},
    {"58", "", false},       {"69", "69", false},   {"39", "39", false},     {"", "", false},
    {"57", "", false},       {"71", "", true},      {"72", "", true},        {"72", "", false},
    {"78", "", true},        {"79", "", true},      {"79", "", false},       {"75", "", false},
};
constexpr int kResultSlot = 31;

void PutText(UstvaFormRecord& r, UstvaFormField f, const std::string& utf8) {
  std::string text = Utf8ToCp1252(utf8);
  std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(f.width - 1));
  std::memset(r.data() + f.offset, 0, static_cast<std::size_t>(f.width));
  std::memcpy(r.data() + f.offset, text.data(), n);
}

void PutAmount(UstvaFormRecord& r, int slot, long long cents, bool whole) {
  char text[16] = "";
  if (whole) cents = cents / 100 * 100;
  if (!AmountFromCents(text, cents)) std::strcpy(text, "*");
  PutText(r, {ustva_record::kFirstAmount + slot * ustva_record::kAmountWidth, ustva_record::kAmountWidth},
          text);
}

std::string FiscalYearText(const UstvaPeriod& p) {
  const int start = CurrentMandant().fiscalStartMonth;
  std::string text = std::to_string(p.fiscalYear);
  if (start > 1) {
    char next[8];
    std::snprintf(next, sizeof next, "/%02d", (p.fiscalYear + 1) % 100);
    text += next;
  }
  return text;
}

void TodayAsPeriodDate(char* out) {
  const Today& t = DayToday();
  int start = CurrentMandant().fiscalStartMonth;
  if (start < 1 || start > 12) start = 1;
  int period = (t.m - start + 12) % 12 + 1;
  int fiscalYear = t.m >= start ? t.y : t.y - 1;
  MakePeriodDate(out, t.d, period, fiscalYear - kBaseYear);
}

}  // namespace

std::string UstvaFormPeriodText(const UstvaPeriod& p) {
  if (p.choice >= 1 && p.choice <= 12)
    return std::string(kMonthNames[p.choice - 1]) + " " + std::to_string(p.calendarYear);
  if (p.choice >= kUstvaFirstQuarter && p.choice < kUstvaYear)
    return std::to_string(p.choice - kUstvaFirstQuarter + 1) + ". Quartal " + FiscalYearText(p);
  return "Gesamt " + FiscalYearText(p);
}

void FillUstvaFormRecord(const UstvaReturn& ret, const CompanyMaster& m, UstvaFormRecord& r) {
  using namespace ustva_record;
  r.fill('\0');
  PutText(r, kTaxOffice, m.taxOffice);
  PutText(r, kTaxOfficeStreet, m.taxOfficeStreet);
  PutText(r, kTaxOfficeTown, m.taxOfficeTown);
  PutText(r, kCompany, m.name);
  PutText(r, kCompanyExtra, m.nameExtra);
  PutText(r, kStreet, m.street);
  PutText(r, kTown, m.town);
  PutText(r, kPhone, m.phone);
  char today[7];
  TodayAsPeriodDate(today);
  PutText(r, kToday, today);
  PutText(r, kCodeLine, UstvaTaxNumberCodeLine(m, ret.period));
  PutText(r, kPeriodText, UstvaFormPeriodText(ret.period));
  if (!ret.form) return;
  const bool todaysNumbers = ret.form->Line(81) != nullptr;
  for (int i = 0; i < kUstvaFormAmounts; ++i) {
    const Slot& s = kSlots[i];
    const char* term = todaysNumbers ? s.today : s.old;
    long long cents = i == kResultSlot ? ret.result : (*term ? ret.Term(term) : 0);
    PutAmount(r, i, cents, s.whole);
  }
}

std::string UstvaFormText(const UstvaFormRecord& r, UstvaFormField f) {
  const char* start = r.data() + f.offset;
  return Cp1252ToUtf8(std::string(start, strnlen(start, static_cast<std::size_t>(f.width))));
}

std::string UstvaFormAmount(const UstvaFormRecord& r, int slot) {
  return UstvaFormText(r, {ustva_record::kFirstAmount + slot * ustva_record::kAmountWidth,
                           ustva_record::kAmountWidth});
}

}  // namespace talvera
