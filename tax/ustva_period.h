// The period of a VAT return. Returns are made for calendar months, calendar
// quarters and calendar years; the books count fiscal periods. A calendar
// quarter is a fiscal quarter only when the fiscal year starts in January,
// April, July or October, and a calendar year is a fiscal year only when it
// starts in January; other choices are refused.
#pragma once

#include "core/period_date.h"

namespace talvera {

// What the dialog offers: calendar months 1..12, quarters 13..16, the year 17.
constexpr int kUstvaFirstQuarter = 13;
constexpr int kUstvaYear = 17;

struct UstvaPeriod {
  int choice = 0;               // as offered: month, quarter or year
  int calendarYear = 0;         // the year entered
  PeriodSelector selector = 0;  // fiscal period 1..12, fiscal quarter 13..16, 17
  int fiscalYear = 0;           // calendar year the fiscal year begins in
  PeriodDate yearStart = "";    // first day of that fiscal year (01 01 YY)
  int firstPeriod = 0, lastPeriod = 0;
  // Calendar year in which the period ends; it chooses the form.
  int endYear = 0;
};

enum class UstvaPeriodRefusal { kNone, kQuarterAcrossYears, kYearNotCalendar };

// Resolves a choice for a fiscal year starting in `startMonth`.
UstvaPeriodRefusal ResolveUstvaPeriod(int choice, int calendarYear, int startMonth,
                                      UstvaPeriod& out);
// The clear message for a refusal (UTF-8).
const char* UstvaRefusalText(UstvaPeriodRefusal refusal);

// Last day of fiscal period p of the period's fiscal year (DDPPYY).
void UstvaPeriodLastDay(const UstvaPeriod& period, int p, char* out);

// The first day after the period: the date postings are locked before.
void UstvaLockDate(const UstvaPeriod& period, char* out);

}  // namespace talvera
