// The value arithmetic runs per posting line and per report line; it must
// never touch the heap. Counting every operator new of this test program
// proves it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/amount.h"
#include "core/period_date.h"
#include "core/text_helpers.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
  ++g_allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace talvera;

TEST(NoAllocation, ValueArithmeticStaysOnTheStack) {
  // Today and the fiscal year are taken before counting.
  char warm[16] = "15.03.1997";
  ParseDate(warm);

  long before = g_allocations.load();
  AmountText r;
  AmountAdd(r, "000001234,56", "000000012-30");
  AmountSubtract(r, "000000005,00", "000000007,50");
  AmountPercentOf(r, "000000100,00", "16,00");
  AmountNetFromGross(r, "000000116,00", "16,00");
  char input[32] = "-1.234,5";
  AmountParseWith(input, kAmountWidth, true, false);
  AmountDisplayText shown = "001234567-89";
  AmountFormat(shown);
  char date[16] = "29.02.2000";
  ParseDate(date);
  char out[11];
  FormatDate("150317", out, true);
  char d[7] = "010101";
  PreviousDay(d);
  AddDays("311216", 40, out);
  NextPeriod(d);
  char counter[5] = "   9";
  CounterIncrement(counter);
  char account[8] = "1400";
  PadLeft(account, kAccountNoWidth);
  EXPECT_EQ(g_allocations.load(), before);
}
