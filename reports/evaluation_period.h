// The period an evaluation covers, as every evaluation dialog offers it:
// twelve month radios (170 "Januar" .. 181 "Dezember", calendar months),
// four quarter radios (182..185, fiscal quarters), "Gesamtjahr" (186) and
// "Tagesgenau" (169) with two dates, and the year field. This part holds
// no Qt: the shared period memory, the "SetzeJahr" rule and the reading and
// checking of a chosen period into its first and last date.
#pragma once

#include <string>

#include "core/dialog_fields.h"
#include "core/period_date.h"

namespace talvera {

namespace periodids {
enum : int {
  kTagesgenau = 169,
  kFirstMonth = 170,    // "Januar"; 181 "Dezember"
  kFirstQuarter = 182,  // "1. Quartal"; 185 "4. Quartal"
  kGesamtjahr = 186,
  kYear = 161,          // "Jahr :"
  kFirstDate = 167,     // "&vom :" of "Tagesgenau"
  kLastDate = 168,      // "bis &zum :"
};
}

// A period choice: the radio and the text of the year field.
struct PeriodChoice {
  int radio = periodids::kFirstMonth;
  std::string year;
};

// The period and year last used in any evaluation dialog; every dialog
// starts from it and writes it after a successful start. Without one, the
// month and year of the program date.
PeriodChoice InitialPeriodChoice();
void RememberPeriodChoice(const PeriodChoice& choice);
void ForgetPeriodChoice();  // a newly opened Mandant starts afresh

// The calendar month of a month radio (1..12); 0 for the other radios.
int CalendarMonthOfRadio(int radio);
// The selector of a radio: fiscal period 1..12, quarter 13..16, whole year
// 17, 0 for "Tagesgenau".
PeriodSelector SelectorOfRadio(int radio);

// "SetzeJahr": with the option on, choosing a calendar month before the
// fiscal-year start month sets the year field to the year after the current
// fiscal year's starting year, any other choice to that starting year.
// Returns the year text to show, or empty when the field stays as it is.
std::string YearForChoice(int radio, bool setzeJahr);

// Reads and checks the chosen period into its first and last day (DDPPYY).
// "Tagesgenau": both dates (messages 6/7/8/22), 86, 87; otherwise the year
// field (2, 8) turned into the period's dates. Then the first date must lie
// in an open fiscal year (85, 88), which selects that year's files. The
// message names the control at fault; false keeps the dialog open.
bool ReadPeriod(DialogFields& d, int radio, char* first, char* last);

}  // namespace talvera
