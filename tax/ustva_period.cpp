#include "tax/ustva_period.h"

#include <cstring>

namespace talvera {
namespace {

constexpr int kBaseYear = 1980;

int FiscalPeriodOfMonth(int month, int startMonth) { return ((month - startMonth + 12) % 12) + 1; }

}  // namespace

UstvaPeriodRefusal ResolveUstvaPeriod(int choice, int calendarYear, int startMonth,
                                      UstvaPeriod& out) {
  out = UstvaPeriod{};
  out.choice = choice;
  out.calendarYear = calendarYear;
  int firstMonth = 1;
  if (choice >= 1 && choice <= 12) {
    firstMonth = choice;
  } else if (choice >= kUstvaFirstQuarter && choice < kUstvaYear) {
    if ((startMonth - 1) % 3 != 0) return UstvaPeriodRefusal::kQuarterAcrossYears;
    firstMonth = 3 * (choice - kUstvaFirstQuarter) + 1;
  } else {
    if (startMonth != 1) return UstvaPeriodRefusal::kYearNotCalendar;
  }
  out.fiscalYear = firstMonth >= startMonth ? calendarYear : calendarYear - 1;
  int first = FiscalPeriodOfMonth(firstMonth, startMonth);
  if (choice >= 1 && choice <= 12) {
    out.selector = first;
    out.firstPeriod = out.lastPeriod = first;
  } else if (choice < kUstvaYear) {
    out.selector = kUstvaFirstQuarter + (first - 1) / 3;
    out.firstPeriod = first;
    out.lastPeriod = first + 2;
  } else {
    out.selector = kWholeYear;
    out.firstPeriod = 1;
    out.lastPeriod = 12;
  }
  MakePeriodDate(out.yearStart, 1, 1, out.fiscalYear - kBaseYear);
  int lastMonth = (startMonth - 1 + out.lastPeriod - 1) % 12 + 1;
  out.endYear = lastMonth >= startMonth ? out.fiscalYear : out.fiscalYear + 1;
  return UstvaPeriodRefusal::kNone;
}

const char* UstvaRefusalText(UstvaPeriodRefusal refusal) {
  switch (refusal) {
    case UstvaPeriodRefusal::kQuarterAcrossYears:
      return "Das Wirtschaftsjahr beginnt nicht mit einem Kalendervierteljahr. Ein "
             "Kalendervierteljahr liegt daher in zwei Wirtschaftsjahren; wählen Sie bitte "
             "die einzelnen Monate.";
    case UstvaPeriodRefusal::kYearNotCalendar:
      return "Das Wirtschaftsjahr ist nicht das Kalenderjahr. Eine Voranmeldung für das "
             "Gesamtjahr ist daher nicht möglich; wählen Sie bitte Monate oder Quartale.";
    case UstvaPeriodRefusal::kNone:
      break;
  }
  return "";
}

void UstvaPeriodLastDay(const UstvaPeriod& period, int p, char* out) {
  int index = period.fiscalYear - kBaseYear;
  MakePeriodDate(out, DaysInPeriod(p, index), p, index);
}

void UstvaLockDate(const UstvaPeriod& period, char* out) {
  std::memcpy(out, period.yearStart, sizeof(PeriodDate));
  if (period.selector >= 1 && period.selector <= 12) {
    out[2] = static_cast<char>('0' + period.selector / 10);
    out[3] = static_cast<char>('0' + period.selector % 10);
    NextPeriod(out);
    return;
  }
  for (int i = 0; i < period.lastPeriod; ++i) NextPeriod(out);
}

}  // namespace talvera
