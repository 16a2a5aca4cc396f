#include <gtest/gtest.h>

#include <cstdlib>

#include "core/today.h"

using namespace talvera;

TEST(DayToday, OverrideAndParts) {
  ::setenv("TALVERA_TODAY", "05.03.1997", 1);
  ResetDayToday();
  const Today& t = DayToday();
  EXPECT_STREQ(t.text, "05.03.1997");
  EXPECT_STREQ(t.day, "05");
  EXPECT_STREQ(t.month, ".03");
  EXPECT_STREQ(t.year, ".97");
  EXPECT_EQ(t.y, 1997);
  // A malformed override falls back to the clock.
  ::setenv("TALVERA_TODAY", "31.13.1997", 1);
  ResetDayToday();
  EXPECT_NE(DayToday().m, 13);
  EXPECT_GE(DayToday().y, 2024);
  ::unsetenv("TALVERA_TODAY");
  ResetDayToday();
}
