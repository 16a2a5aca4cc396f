#include "reports/evaluation_period.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "core/field_readers.h"
#include "core/mandant_values.h"
#include "core/postable_year.h"
#include "core/today.h"

namespace talvera {
namespace {

std::optional<PeriodChoice>& Memory() {
  static std::optional<PeriodChoice> memory;
  return memory;
}

int FiscalStartMonth() {
  int start = CurrentMandant().fiscalStartMonth;
  return start >= 1 && start <= 12 ? start : 1;
}

}  // namespace

PeriodChoice InitialPeriodChoice() {
  if (Memory()) return *Memory();
  const Today& today = DayToday();
  return PeriodChoice{periodids::kFirstMonth + today.m - 1, std::to_string(today.y)};
}

void RememberPeriodChoice(const PeriodChoice& choice) { Memory() = choice; }
void ForgetPeriodChoice() { Memory().reset(); }

int CalendarMonthOfRadio(int radio) {
  int month = radio - periodids::kFirstMonth + 1;
  return month >= 1 && month <= 12 ? month : 0;
}

PeriodSelector SelectorOfRadio(int radio) {
  if (int month = CalendarMonthOfRadio(radio)) return (month - FiscalStartMonth() + 12) % 12 + 1;
  if (radio >= periodids::kFirstQuarter && radio < periodids::kFirstQuarter + 4)
    return 13 + radio - periodids::kFirstQuarter;
  if (radio == periodids::kGesamtjahr) return kWholeYear;
  return 0;
}

std::string YearForChoice(int radio, bool setzeJahr) {
  if (!setzeJahr || radio == periodids::kTagesgenau) return {};
  int start = std::atoi(CurrentMandant().currentYear);
  if (start == 0) return {};
  int month = CalendarMonthOfRadio(radio);
  return std::to_string(month != 0 && month < FiscalStartMonth() ? start + 1 : start);
}

bool ReadPeriod(DialogFields& d, int radio, char* first, char* last) {
  if (radio == periodids::kTagesgenau) {
    if (!ReadDateField(d, periodids::kFirstDate, first)) return false;
    if (!ReadDateField(d, periodids::kLastDate, last)) return false;
    return CheckDateRange(first, last, periodids::kFirstDate);
  }
  char yearStart[11];
  if (!ReadYearField(d, periodids::kYear, yearStart, CalendarMonthOfRadio(radio))) return false;
  char year[5];
  std::snprintf(year, sizeof year, "%d", 1980 + (yearStart[4] - '0') * 10 + (yearStart[5] - '0'));
  BuildPeriodBounds(SelectorOfRadio(radio), year, first, last);
  return CheckPostableYear(first, periodids::kYear);
}

}  // namespace talvera
