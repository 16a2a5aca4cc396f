#include "core/charts/rate_dates.h"

#include <cstring>

#include "core/layouts/layout.h"
#include "core/layouts/steke.h"
#include "core/period_date.h"
#include "core/record_store.h"

namespace talvera::charts {

namespace {

int TwoDigits(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

}  // namespace

void RebaseCalendarDate(const char* calendarDate, int startMonth, char* out) {
  if (calendarDate[0] == '\0') {
    out[0] = '\0';
    return;
  }
  int day = TwoDigits(calendarDate);
  int month = TwoDigits(calendarDate + 2);
  int yearIndex = TwoDigits(calendarDate + 4);
  int period = month - startMonth + 1;
  if (month < startMonth) {
    period += 12;
    --yearIndex;  // the month belongs to the fiscal year begun the year before
  }
  if (yearIndex < 0) {
    MakePeriodDate(out, 1, 1, 0);
    return;
  }
  MakePeriodDate(out, day, period, yearIndex);
}

void RebaseDateBetween(const char* date, int fromMonth, int toMonth, char* out) {
  if (date[0] == '\0') {
    out[0] = '\0';
    return;
  }
  // Calendar month and year index of the date, then on to the other start month.
  int month = fromMonth + TwoDigits(date + 2) - 1;
  int yearIndex = TwoDigits(date + 4);
  if (month > 12) {
    month -= 12;
    ++yearIndex;
  }
  char calendar[7];
  MakePeriodDate(calendar, TwoDigits(date), month, yearIndex);
  RebaseCalendarDate(calendar, toMonth, out);
}

bool RebaseRateDates(const std::string& path, int startMonth) {
  return RebaseRateDatesBetween(path, 1, startMonth);
}

bool RebaseRateDatesBetween(const std::string& path, int fromMonth, int toMonth) {
  if (fromMonth == toMonth) return true;
  namespace T = layouts::steke;
  if (!OpenPath(path, kSlotScratch)) return false;
  bool ok = false;
  {
    StoreTransaction transaction;
    char record[34];
    bool found = false;
    ok = transaction.began() && GetFirstFound(record, found, MakeFileId(kSlotScratch, 0));
    while (ok && found) {
      char* date = layouts::FieldBytes(record, T::kValidFrom);
      char rebased[7];
      RebaseDateBetween(date, fromMonth, toMonth, rebased);
      std::memcpy(date, rebased, sizeof rebased);
      ok = Update(record, MakeFileId(kSlotScratch, 0)) &&
           GetNextFound(record, found, MakeFileId(kSlotScratch, 0));
    }
    ok = ok && transaction.Commit();
  }
  CloseSlot(kSlotScratch);
  return ok;
}

}  // namespace talvera::charts
