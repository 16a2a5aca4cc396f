#include "core/postable_year.h"

#include <cstdlib>
#include <cstring>

#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"

namespace talvera {
namespace {

std::string g_archiveViewYear;

// "1996" for a period date of year index 16.
std::string FiscalYearOf(const char* date) {
  if (std::strlen(date) < 6) return {};
  return std::to_string(1980 + (date[4] - '0') * 10 + (date[5] - '0'));
}

bool CheckYear(const char* date, int control, int outsideMessage) {
  if (!g_archiveViewYear.empty()) {
    if (FiscalYearOf(date) == g_archiveViewYear) return true;
    ShowMessage(88, control);
    return false;
  }
  int year = YearOfDate(date);
  if (year == 0) {
    ShowMessage(outsideMessage, control);
    return false;
  }
  return SwitchWorkingYear(std::to_string(year));
}

}  // namespace

void SetArchiveViewYear(const std::string& year) { g_archiveViewYear = year; }
const std::string& ArchiveViewYear() { return g_archiveViewYear; }

bool CheckPostableYear(const char* date, int control) { return CheckYear(date, control, 85); }

bool CheckPostingDate(const char* date, int control) { return CheckYear(date, control, 83); }

bool CheckDateRange(const char* first, const char* last, int control) {
  if (CompareDates(first, last)) {
    ShowMessage(86, control);
    return false;
  }
  if (std::strncmp(first + 4, last + 4, 2) != 0) {
    ShowMessage(87, control);
    return false;
  }
  return CheckPostableYear(first, control);
}

}  // namespace talvera
