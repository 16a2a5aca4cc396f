// Valid-from dates of the tax-rate templates for a Mandant whose fiscal
// year does not start in January.
//
// A period date counts months from the fiscal-year start, so one calendar
// day has a different text for every start month. The templates hold the
// dates for a January start (the text of 01.01.2007 is "010127"); copied
// unchanged into a Mandant starting in July, that text would mean
// 01.07.2007 and the new rate would apply half a year late. Mandant creation
// therefore re-bases the copied rate file when the start month is not 1.
#pragma once

#include <string>

namespace talvera::charts {

// Converts a period date of a January fiscal year into the same calendar
// day for a fiscal year starting in `startMonth`. A day before the first
// representable fiscal year (index 00) becomes its first day: a rate valid
// since then is valid for every date the Mandant can hold. An empty date
// stays empty.
void RebaseCalendarDate(const char* calendarDate, int startMonth, char* out);

// Re-bases every valid-from date of the rate file at `path` in one
// transaction. Start month 1 leaves the file untouched. False after a
// record-store failure, which the store has reported.
bool RebaseRateDates(const std::string& path, int startMonth);

// The same between any two start months: a rate file copied from a Mandant
// whose fiscal year starts in `fromMonth` into one starting in `toMonth`.
void RebaseDateBetween(const char* date, int fromMonth, int toMonth, char* out);
bool RebaseRateDatesBetween(const std::string& path, int fromMonth, int toMonth);

}  // namespace talvera::charts
