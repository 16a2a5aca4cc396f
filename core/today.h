// Today's date, taken once and used as the default of date input.
// TALVERA_TODAY (DD.MM.YYYY) sets it for tests and demonstrations.
#pragma once

namespace talvera {

struct Today {
  char text[11];   // "09.12.2026"
  char day[3];     // "09"
  char month[4];   // ".12"
  char year[4];    // ".26"
  int d, m, y;     // 9, 12, 2026
};

const Today& DayToday();
// Reads the clock (or TALVERA_TODAY) again; start-up and tests call it.
void ResetDayToday();

}  // namespace talvera
