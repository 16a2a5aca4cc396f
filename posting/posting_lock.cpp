#include "posting/posting_lock.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/settings.h"
#include "core/today.h"

namespace talvera {
namespace {

constexpr int kMessageLockQuestion = 920;
constexpr int kMessageLockRefused = 785;
constexpr int kMessageMonthLocked = 780;
constexpr int kMessageBackdated = 544;

int TwoDigits(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

bool IsDate(const char* d) {
  if (std::strlen(d) != 6) return false;
  for (int i = 0; i < 6; ++i)
    if (d[i] < '0' || d[i] > '9') return false;
  return true;
}

}  // namespace

const char* PostingLockDate() { return CurrentMandantSettings().buchungssperre.c_str(); }

CheckResult CheckPostingLock(const char* date, LockAnswer answer, std::string_view bookingName,
                             int control) {
  const char* lock = PostingLockDate();
  if (!IsDate(lock) || !CompareDates(lock, date)) return CheckResult::Pass();
  if (answer == LockAnswer::kRefuse)
    return CheckResult::Refuse(kMessageLockRefused, control, std::string(bookingName));
  if (ShowMessage(kMessageLockQuestion)) return CheckResult::Pass();
  return CheckResult::Refuse(0, control);
}

bool PostingMonth::Holds(const char* date) const {
  return IsDate(date) && TwoDigits(date + 2) == period && TwoDigits(date + 4) == yearIndex;
}

PostingMonth MonthOf(int calendarMonth, int calendarYear) {
  int start = CurrentMandant().fiscalStartMonth;
  if (start < 1 || start > 12) start = 1;
  PostingMonth m;
  m.period = (calendarMonth - start + 12) % 12 + 1;
  m.yearIndex = calendarYear - 1980 - (calendarMonth < start ? 1 : 0);
  return m;
}

CheckResult ChoosePostingMonth(int calendarMonth, int calendarYear, PostingMonth& out) {
  PostingMonth month = MonthOf(calendarMonth, calendarYear);
  // A lock date within the month still leaves its later days open.
  char lastDay[7];
  MakePeriodDate(lastDay, DaysInPeriod(month.period, month.yearIndex), month.period,
                 month.yearIndex);
  const char* lock = PostingLockDate();
  if (IsDate(lock) && CompareDates(lock, lastDay)) return CheckResult::Refuse(kMessageMonthLocked, 0);
  const Today& today = DayToday();
  PostingMonth current = MonthOf(today.m, today.y);
  if (month.yearIndex < current.yearIndex ||
      (month.yearIndex == current.yearIndex && month.period < current.period))
    ShowMessage(kMessageBackdated);
  out = month;
  return CheckResult::Pass();
}

}  // namespace talvera
