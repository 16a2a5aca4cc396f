#include "reports/report_page.h"

#include <cstdio>

#include "core/mandant_values.h"

namespace talvera {

std::string PageNumberText(int page) {
  char text[16];
  std::snprintf(text, sizeof text, "%4d", page);
  return text;
}

std::string FiscalMonthName(int month) {
  static const char* const kNames[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                       "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  int start = CurrentMandant().fiscalStartMonth;
  if (start < 1 || start > 12) start = 1;
  if (month < 1 || month > 12) return {};
  return kNames[(start - 1 + month - 1) % 12];
}

}  // namespace talvera
