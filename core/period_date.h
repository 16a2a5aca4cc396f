// Dates as fiscal-period text.
//
// A period date is six digits and a NUL, DDPPYY:
//   0..1  day of month 01..31
//   2..3  fiscal period 01..12, counted from the first month of the fiscal year
//   4..5  year index: the calendar year in which the fiscal year begins, - 1980
// so text order is date order within a fiscal year. Files that list records
// by date keep them year-first (YYPPDD, the "sort date").
//
// The fiscal start month is the open Mandant's (CurrentMandant()).
#pragma once

#include <string>

namespace talvera {

using PeriodDate = char[7];
using PostingKey = char[11];  // YYPPDDnnnn
// 1..12 one period, 13..16 the quarters, 17 and above the whole fiscal year;
// 0 in selection dialogs means a free date range.
using PeriodSelector = int;
constexpr PeriodSelector kWholeYear = 17;

enum ParseDateResult { kDateOk = 0, kBadDay = 1, kBadMonth = 2, kBadYear = 3 };

// Turns input ("15.3.97", "150397", "1503", "15") in place into DDPPYY.
// The buffer must hold at least 11 bytes. Missing month and year come from
// today. Returns a ParseDateResult.
int ParseDate(char* text);

// DD.MM.YYYY (or DD.MM.YY) with the calendar month; an empty date gives an
// empty text. out must hold 11 bytes.
void FormatDate(const char* date, char* out, bool fourDigitYear);

// Days of the calendar month that is `period` of the fiscal year; a year
// below 1980 is an index.
int DaysInPeriod(int period, int year);

bool AddDays(const char* date, int n, char* out);
bool PreviousDay(char* date);   // false on the first day of year index 00
bool NextPeriod(char* date);    // same day one period later, clamped
bool PreviousPeriod(char* date);
// One period later on `day` of the month, clamped to that month's last day
// (31 keeps the last day of every month); false beyond year index 99.
bool NextPeriodOnDay(char* date, int day);

void ToSortDate(char* date);    // DDPPYY -> YYPPDD, in place
void FromSortDate(char* date);  // YYPPDD -> DDPPYY, in place

bool CompareDates(const char* a, const char* b);  // a later than b
bool DateInRange(const char* first, const char* d, const char* last);

// 1980 + YY when that is the current or the previous open fiscal year, else 0.
int YearOfDate(const char* date);

// "<month> <year>" of the first period set in periodMask (bit 0 = period 1);
// a year below 120 is an index.
std::string PeriodName(unsigned periodMask, int year);
// "1996" for a calendar fiscal year, "1996/97" otherwise.
std::string FiscalYearLabel(const char* yearText);
// First and last day of a period selector's range in the fiscal year yearText.
void BuildPeriodBounds(PeriodSelector selector, const char* yearText, char* firstOut,
                       char* lastOut);
// First and last period of a selector.
void SelectorPeriods(PeriodSelector selector, int* first, int* last);

// Four-character decimal counter: "   9" -> "  10".
void CounterIncrement(char* text4);

// Builds DDPPYY from its parts.
void MakePeriodDate(char* out, int day, int period, int yearIndex);

}  // namespace talvera
