#include "core/period_date.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/mandant_values.h"
#include "core/today.h"

namespace talvera {
namespace {

constexpr int kBaseYear = 1980;

int StartMonth() {
  int s = CurrentMandant().fiscalStartMonth;
  return s >= 1 && s <= 12 ? s : 1;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int TwoDigits(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

void PutTwoDigits(char* p, int v) {
  p[0] = static_cast<char>('0' + v / 10 % 10);
  p[1] = static_cast<char>('0' + v % 10);
}

// Calendar month and year of a fiscal period.
void CalendarOf(int period, int yearIndex, int* month, int* year) {
  int m = StartMonth() + period - 1;
  int y = kBaseYear + yearIndex;
  if (m > 12) {
    m -= 12;
    ++y;
  }
  *month = m;
  *year = y;
}

// Fiscal period and year index of a calendar month.
void FiscalOf(int month, int year, int* period, int* yearIndex) {
  int s = StartMonth();
  if (month >= s) {
    *period = month - s + 1;
    *yearIndex = year - kBaseYear;
  } else {
    *period = month + 13 - s;
    *yearIndex = year - kBaseYear - 1;
  }
}

bool IsPeriodDate(const char* d) {
  for (int i = 0; i < 6; ++i)
    if (d[i] < '0' || d[i] > '9') return false;
  return true;
}

// Days since 1 March of year 0 (proleptic Gregorian), and back.
long DayNumber(int y, int m, int d) {
  y -= m <= 2;
  long era = y / 400;
  long yoe = y - era * 400;
  long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

void CivilFromDayNumber(long z, int* y, int* m, int* d) {
  long era = z / 146097;
  long doe = z - era * 146097;
  long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

bool ToDayNumber(const char* date, long* n) {
  if (!IsPeriodDate(date)) return false;
  int month, year;
  CalendarOf(TwoDigits(date + 2), TwoDigits(date + 4), &month, &year);
  *n = DayNumber(year, month, TwoDigits(date));
  return true;
}

bool FromDayNumber(long n, char* out) {
  int y, m, d, period, index;
  CivilFromDayNumber(n, &y, &m, &d);
  FiscalOf(m, y, &period, &index);
  if (index < 0 || index > 99) return false;
  MakePeriodDate(out, d, period, index);
  return true;
}

// Reads a run of digits; returns how many were read.
int ReadNumber(const char*& p, int* value) {
  int n = 0, v = 0;
  while (*p >= '0' && *p <= '9') {
    if (n < 6) v = v * 10 + (*p - '0');
    ++n;
    ++p;
  }
  *value = v;
  return n;
}

bool AllDigits(const char* p, std::size_t n) {
  if (std::strlen(p) != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] < '0' || p[i] > '9') return false;
  return true;
}

// Brings the short forms DDMMYY and DDMM into dotted form and drops one
// trailing point.
void Normalise(const char* text, char* out, std::size_t outSize) {
  while (*text == ' ') ++text;
  if (AllDigits(text, 6)) {
    std::snprintf(out, outSize, "%.2s.%.2s.%.2s", text, text + 2, text + 4);
  } else if (AllDigits(text, 4)) {
    std::snprintf(out, outSize, "%.2s.%.2s", text, text + 2);
  } else {
    std::snprintf(out, outSize, "%s", text);
    std::size_t n = std::strlen(out);
    if (n > 0 && out[n - 1] == '.') out[n - 1] = '\0';
  }
}

}  // namespace

void MakePeriodDate(char* out, int day, int period, int yearIndex) {
  PutTwoDigits(out, day);
  PutTwoDigits(out + 2, period);
  PutTwoDigits(out + 4, yearIndex);
  out[6] = '\0';
}

int ParseDate(char* text) {
  char buf[32];
  Normalise(text, buf, sizeof buf);
  const char* p = buf;
  const Today& today = DayToday();

  int day;
  ReadNumber(p, &day);
  if (day < 1 || day > 31) return kBadDay;

  int month = today.m;
  int year = today.y;
  bool yearGiven = false;
  if (*p != '\0') {
    if (*p != '.') return kBadMonth;
    ++p;
    if (ReadNumber(p, &month) == 0 || month < 1 || month > 12) return kBadMonth;
    if (*p != '\0') {
      if (*p != '.') return kBadMonth;
      ++p;
      yearGiven = true;
    }
  }
  if ((month == 2 && day > 29) || ((month == 4 || month == 6 || month == 9 || month == 11) && day > 30))
    return kBadDay;
  if (yearGiven) {
    if (ReadNumber(p, &year) == 0 || *p != '\0') return kBadYear;
    if (year < 100)
      year += year >= 80 ? 1900 : 2000;
    else if (year < kBaseYear || year >= 2080)
      return kBadYear;
  }
  if (month == 2 && day == 29 && !IsLeapYear(year)) return kBadDay;

  int period, index;
  FiscalOf(month, year, &period, &index);
  if (index < 0) return kBadYear;
  MakePeriodDate(text, day, period, index);
  return kDateOk;
}

void FormatDate(const char* date, char* out, bool fourDigitYear) {
  if (date[0] == '\0' || !IsPeriodDate(date)) {
    out[0] = '\0';
    return;
  }
  int month, year;
  CalendarOf(TwoDigits(date + 2), TwoDigits(date + 4), &month, &year);
  if (month < 1 || month > 12) {
    out[0] = '\0';
    return;
  }
  int day = TwoDigits(date);
  int last = DaysInMonth(month, year);
  if (day > last) day = last;
  PutTwoDigits(out, day);
  out[2] = '.';
  PutTwoDigits(out + 3, month);
  out[5] = '.';
  char* y = out + 6;
  if (fourDigitYear) {
    PutTwoDigits(y, year / 100);
    y += 2;
  }
  PutTwoDigits(y, year % 100);
  y[2] = '\0';
}

int DaysInPeriod(int period, int year) {
  if (year < kBaseYear) year += kBaseYear;
  int month, calendarYear;
  CalendarOf(period, year - kBaseYear, &month, &calendarYear);
  if (month < 1 || month > 12) return 31;
  return DaysInMonth(month, calendarYear);
}

bool AddDays(const char* date, int n, char* out) {
  long day;
  if (!ToDayNumber(date, &day)) return false;
  return FromDayNumber(day + n, out);
}

bool PreviousDay(char* date) { return AddDays(date, -1, date); }

namespace {

bool MovePeriod(char* date, int step, int day) {
  if (!IsPeriodDate(date)) return false;
  int period = TwoDigits(date + 2) + step;
  int index = TwoDigits(date + 4);
  if (period > 12) {
    period = 1;
    ++index;
  } else if (period < 1) {
    period = 12;
    --index;
  }
  if (index < 0 || index > 99) return false;
  if (day <= 0) day = TwoDigits(date);
  int last = DaysInPeriod(period, index);
  MakePeriodDate(date, day > last ? last : day, period, index);
  return true;
}

}  // namespace

bool NextPeriod(char* date) { return MovePeriod(date, 1, 0); }
bool PreviousPeriod(char* date) { return MovePeriod(date, -1, 0); }
bool NextPeriodOnDay(char* date, int day) { return MovePeriod(date, 1, day < 1 || day > 31 ? 0 : day); }

void ToSortDate(char* date) {
  std::swap(date[0], date[4]);
  std::swap(date[1], date[5]);
}

void FromSortDate(char* date) { ToSortDate(date); }

bool CompareDates(const char* a, const char* b) {
  if (a[0] == '\0') return false;
  if (b[0] == '\0') return true;
  for (int part : {4, 2, 0}) {
    int c = std::strncmp(a + part, b + part, 2);
    if (c != 0) return c > 0;
  }
  return false;
}

bool DateInRange(const char* first, const char* d, const char* last) {
  return !CompareDates(first, d) && !CompareDates(d, last);
}

int YearOfDate(const char* date) {
  if (!IsPeriodDate(date)) return 0;
  char year[5];
  std::snprintf(year, sizeof year, "%04d", kBaseYear + TwoDigits(date + 4));
  const MandantValues& m = CurrentMandant();
  if (std::strcmp(year, m.currentYear) == 0 || std::strcmp(year, m.previousYear) == 0)
    return kBaseYear + TwoDigits(date + 4);
  return 0;
}

std::string PeriodName(unsigned periodMask, int year) {
  static const char* const kMonths[12] = {"Januar", "Februar", "März",      "April",
                                          "Mai",    "Juni",    "Juli",      "August",
                                          "September", "Oktober", "November", "Dezember"};
  if (year < 120) year += kBaseYear;
  int period = 1;
  while (period < 12 && !(periodMask & (1u << (period - 1)))) ++period;
  int month, calendarYear;
  CalendarOf(period, year - kBaseYear, &month, &calendarYear);
  return std::string(kMonths[month - 1]) + " " + std::to_string(calendarYear);
}

std::string FiscalYearLabel(const char* yearText) {
  std::string label(yearText);
  if (StartMonth() == 1 || label.size() != 4) return label;
  char tail[4] = "/00";
  PutTwoDigits(tail + 1, (std::atoi(yearText) + 1) % 100);
  return label + tail;
}

void SelectorPeriods(PeriodSelector selector, int* first, int* last) {
  if (selector >= 1 && selector <= 12) {
    *first = *last = selector;
  } else if (selector >= 13 && selector <= 16) {
    *first = 3 * selector - 38;
    *last = 3 * selector - 36;
  } else {
    *first = 1;
    *last = 12;
  }
}

void BuildPeriodBounds(PeriodSelector selector, const char* yearText, char* firstOut,
                       char* lastOut) {
  int first, last;
  SelectorPeriods(selector, &first, &last);
  int index = std::atoi(yearText) - kBaseYear;
  if (index < 0) index = 0;
  MakePeriodDate(firstOut, 1, first, index);
  MakePeriodDate(lastOut, DaysInPeriod(last, index), last, index);
}

void CounterIncrement(char* text4) {
  for (int i = 3; i >= 0; --i) {
    char c = text4[i] == ' ' ? '0' : text4[i];
    if (c < '9') {
      text4[i] = static_cast<char>(c + 1);
      return;
    }
    text4[i] = '0';
  }
}

}  // namespace talvera
