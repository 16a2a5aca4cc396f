#include "core/today.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace talvera {
namespace {

Today g_today;
bool g_taken = false;

bool ParseOverride(const char* s, int* d, int* m, int* y) {
  return s && std::sscanf(s, "%2d.%2d.%4d", d, m, y) == 3 && *d >= 1 && *d <= 31 && *m >= 1 &&
         *m <= 12 && *y >= 1980 && *y < 2080;
}

}  // namespace

void ResetDayToday() {
  int d, m, y;
  if (!ParseOverride(std::getenv("TALVERA_TODAY"), &d, &m, &y)) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    d = local.tm_mday;
    m = local.tm_mon + 1;
    y = local.tm_year + 1900;
  }
  g_today.d = d;
  g_today.m = m;
  g_today.y = y;
  std::snprintf(g_today.text, sizeof g_today.text, "%02u.%02u.%04u", d % 100u, m % 100u,
                y % 10000u);
  std::snprintf(g_today.day, sizeof g_today.day, "%02u", d % 100u);
  std::snprintf(g_today.month, sizeof g_today.month, ".%02u", m % 100u);
  std::snprintf(g_today.year, sizeof g_today.year, ".%02u", y % 100u);
  g_taken = true;
}

const Today& DayToday() {
  if (!g_taken) ResetDayToday();
  return g_today;
}

}  // namespace talvera
