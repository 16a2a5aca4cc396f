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

bool RebaseRateDates(const std::string& path, int startMonth) {
  if (startMonth == 1) return true;
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
      RebaseCalendarDate(date, startMonth, rebased);
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
