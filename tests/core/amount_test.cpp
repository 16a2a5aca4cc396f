#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "core/amount.h"

using namespace talvera;

namespace {

struct BinaryCase {
  const char* name;
  const char* a;
  const char* b;
  const char* expected;  // nullptr: the operation must fail
};

TEST(AmountAdd, Table) {
  const BinaryCase cases[] = {
      {"plus_minus_cancel", "000000000,01", "000000000-01", "000000000,00"},
      {"both_positive", "000001234,56", "000000765,44", "000002000,00"},
      {"both_negative", "000000010-50", "000000000-75", "000000011-25"},
      {"mixed_negative_wins", "000000005,00", "000000007-50", "000000002-50"},
      {"mixed_positive_wins", "000000007-50", "000000010,00", "000000002,50"},
      {"carry_through", "000000999,99", "000000000,01", "000001000,00"},
      {"overflow", "999999999,99", "000000000,01", nullptr},
      {"negative_overflow", "999999999-99", "000000000-01", nullptr},
      {"largest", "999999999,98", "000000000,01", "999999999,99"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AmountText r;
    bool ok = AmountAdd(r, c.a, c.b);
    if (!c.expected) {
      EXPECT_FALSE(ok);
      continue;
    }
    EXPECT_TRUE(ok);
    EXPECT_STREQ(r, c.expected);
  }
}

TEST(AmountAdd, ResultMayBeAnOperand) {
  AmountText a = "000000001,50";
  ASSERT_TRUE(AmountAddInPlace(a, "000000001,50"));
  EXPECT_STREQ(a, "000000003,00");
  ASSERT_TRUE(AmountAdd(a, "000000000-50", a));
  EXPECT_STREQ(a, "000000002,50");
}

TEST(AmountSubtract, Table) {
  struct Case {
    const char* name;
    const char* a;
    const char* b;
    const char* result;
    bool negative;
    char side;
  };
  const Case cases[] = {
      {"smaller_minus_larger", "000000005,00", "000000007,50", "000000002-50", true, 'H'},
      {"larger_minus_smaller", "000000007,50", "000000005,00", "000000002,50", false, 'S'},
      {"equal", "000000003,00", "000000003,00", "000000000,00", false, 'S'},
      // Zero is never negative (it showed as "-0,00").
      {"equal_negatives", "000000003-00", "000000003-00", "000000000,00", false, 'S'},
      {"both_negative_result_positive", "000000005-00", "000000007-50", "000000002,50", false, 'S'},
      {"both_negative_result_negative", "000000007-50", "000000005-00", "000000002-50", true, 'H'},
      // A positive minus a negative amount lies on the debit side, and the
      // other way round on the credit side.
      {"positive_minus_negative", "000000005,00", "000000003-00", "000000008,00", false, 'S'},
      {"negative_minus_positive", "000000005-00", "000000003,00", "000000008-00", true, 'H'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AmountText r;
    EXPECT_EQ(AmountSubtract(r, c.a, c.b), c.negative);
    EXPECT_STREQ(r, c.result);
    AmountText raw;
    EXPECT_EQ(AmountSubtractRaw(raw, c.a, c.b), c.side);
  }
}

TEST(AmountSubtractRaw, KeepsTheMinusWhenBothOperandsAreNegative) {
  AmountText raw;
  EXPECT_EQ(AmountSubtractRaw(raw, "000000005-00", "000000007-50"), 'S');
  EXPECT_STREQ(raw, "000000002-50");
}

TEST(AmountPredicates, ZeroAndOneCent) {
  for (const char* zero : {"", "0,00", "00,00", "000000000,00", "000000000-00", "0-00"})
    EXPECT_TRUE(AmountIsZero(zero)) << zero;
  for (const char* nonzero : {"0,01", "01,00", "000000001,00", "000000000-01", "123"})
    EXPECT_FALSE(AmountIsZero(nonzero)) << nonzero;
  for (const char* cent : {"0,01", "00,01", "000000000,01", "000000000-01"})
    EXPECT_TRUE(AmountIsOneCent(cent)) << cent;
  for (const char* other : {"0,02", "000000001,01", "000000000,10", ""})
    EXPECT_FALSE(AmountIsOneCent(other)) << other;
}

TEST(AmountParse, Table) {
  struct Case {
    const char* name;
    const char* input;
    int width;
    bool allowSign;
    bool withoutComma;
    const char* expected;  // nullptr: refused
  };
  const Case cases[] = {
      {"thousands_and_one_decimal", "1.234,5", 12, false, false, "000001234,50"},
      {"three_decimals", "12,345", 12, false, false, nullptr},
      {"nine_integer_digits", "999999999,99", 12, false, false, "999999999,99"},
      {"ten_integer_digits", "1234567890", 12, false, false, nullptr},
      {"letters", "abc", 12, false, false, nullptr},
      {"whole_number", "12345", 12, false, false, "000012345,00"},
      {"without_comma", "12345", 12, false, true, "000000123,45"},
      {"without_comma_one_digit", "5", 12, false, true, "000000000,50"},
      {"without_comma_but_typed", "5,5", 12, false, true, "000000005,50"},
      {"signed", "-5", 12, true, false, "000000005-00"},
      {"sign_not_allowed", "-5", 12, false, false, nullptr},
      {"zero", "0", 12, false, false, "000000000,00"},
      {"empty", "", 12, false, false, "000000000,00"},
      {"blanks_ignored", " 1 234 ", 12, false, false, "000001234,00"},
      {"two_commas", "1,2,3", 12, false, false, nullptr},
      {"rate", "16", 5, false, false, "16,00"},
      {"rate_decimal", "7,5", 5, false, false, "07,50"},
      {"rate_too_large", "100", 5, false, false, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    char buf[32];
    std::strcpy(buf, c.input);
    bool ok = AmountParseWith(buf, c.width, c.allowSign, c.withoutComma);
    EXPECT_EQ(ok, c.expected != nullptr);
    if (ok && c.expected) {
      EXPECT_STREQ(buf, c.expected);
    }
  }
}

TEST(AmountFormat, Table) {
  const std::pair<const char*, const char*> cases[] = {
      {"000000000,00", "0,00"},       {"000123456-78", "-123.456,78"},
      {"001234567,89", "1.234.567,89"}, {"000001234,50", "1.234,50"},
      {"000000012-30", "-12,30"},     {"999999999,99", "999.999.999,99"},
      {"000000999,00", "999,00"},     {"000000000-05", "-0,05"},
  };
  for (const auto& [in, out] : cases) {
    AmountDisplayText buf;
    std::strcpy(buf, in);
    AmountFormat(buf);
    EXPECT_STREQ(buf, out) << in;
  }
  AmountDisplayText quiet = "000000000-00";
  AmountFormatQuiet(quiet);
  EXPECT_STREQ(quiet, "0,00");
  AmountDisplayText empty = "";
  AmountFormatQuiet(empty);
  EXPECT_STREQ(empty, "");
  char withCurrency[32];
  AmountFormatWithCurrency(withCurrency, sizeof withCurrency, "000001234,50", "EUR");
  EXPECT_STREQ(withCurrency, "1.234,50 EUR");
}

TEST(AmountNetFromGross, Table) {
  struct Case {
    const char* name;
    const char* gross;
    const char* rate;
    const char* net;
  };
  const Case cases[] = {
      {"sixteen_percent", "000000116,00", "16,00", "000000100,00"},
      {"nineteen_percent", "000000119,00", "19,00", "000000100,00"},
      {"zero_rate", "000000050,00", "00,00", "000000050,00"},
      {"negative_gross_gives_magnitude", "000000116-00", "16,00", "000000100,00"},
      // 1,02 / 1,07 = 0,953271...: four decimals 0,9533, third decimal 3 -> 0,95.
      {"third_decimal_three", "000000001,02", "07,00", "000000000,95"},
      // 10,00 / 1,07 = 9,345794...: four decimals 9,3458, third decimal 5 -> 9,35.
      {"third_decimal_five", "000000010,00", "07,00", "000000009,35"},
      {"small", "000000000,10", "19,00", "000000000,08"},
      // 1,99 / 1,19 = 1,672268...: 1,6723 -> third decimal 2 -> 1,67.
      {"third_decimal_two", "000000001,99", "19,00", "000000001,67"},
      {"largest", "999999999,99", "00,00", "999999999,99"},
      {"empty_rate_is_zero", "000000119,00", "", "000000119,00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AmountText r;
    EXPECT_TRUE(AmountNetFromGross(r, c.gross, c.rate));
    EXPECT_STREQ(r, c.net);
  }
}

TEST(AmountNetFromGross, RoundsTwiceLikeTheTaxTablesDo) {
  // 0,23 / 1,07 = 0,214953...: to four decimals 0,2150, whose third decimal
  // 5 rounds up to 0,22; a single rounding of the quotient would give 0,21.
  AmountText r;
  ASSERT_TRUE(AmountNetFromGross(r, "000000000,23", "07,00"));
  EXPECT_STREQ(r, "000000000,22");
  // 0,47 / 1,19 = 0,394957...: 0,3950 -> 0,40 (once rounded: 0,39).
  ASSERT_TRUE(AmountNetFromGross(r, "000000000,47", "19,00"));
  EXPECT_STREQ(r, "000000000,40");
}

TEST(AmountNetFromGross, MalformedInputLeavesTheGross) {
  AmountText r;
  EXPECT_FALSE(AmountNetFromGross(r, "0000001x6,00", "16,00"));
  EXPECT_STREQ(r, "0000001x6,00");
  EXPECT_FALSE(AmountNetFromGross(r, "000000116,00", "1a,00"));
  EXPECT_STREQ(r, "000000116,00");
}

// Cause: the failure path copied twelve bytes of a gross text that may be
// shorter. The text here ends at the end of a readable page.
TEST(AmountNetFromGross, ShortMalformedGrossIsNotReadPastItsEnd) {
  long page = sysconf(_SC_PAGESIZE);
  void* pages = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  char* guard = static_cast<char*>(pages) + page;
  ASSERT_EQ(mprotect(guard, page, PROT_NONE), 0);
  char* gross = guard - 4;
  std::memcpy(gross, "1x5", 4);
  AmountText r;
  EXPECT_FALSE(AmountNetFromGross(r, gross, "19,00"));
  EXPECT_STREQ(r, "1x5");
  munmap(pages, 2 * page);
}

TEST(AmountRates, MalformedRateFails) {
  AmountText r;
  for (const char* rate : {"1a,00", "19", "19.00"}) {
    EXPECT_FALSE(AmountPercentOf(r, "000000100,00", rate)) << rate;
    EXPECT_FALSE(AmountNetFromGross(r, "000000119,00", rate)) << rate;
  }
}

TEST(AmountPercentOf, Table) {
  struct Case {
    const char* name;
    const char* amount;
    const char* rate;
    const char* result;
  };
  const Case cases[] = {
      {"below_one_cent", "000000000,04", "10,00", "000000000,00"},
      {"plain", "000000100,00", "16,00", "000000016,00"},
      {"half_cent_rounds_up", "000000000,50", "19,00", "000000000,10"},
      {"negative_amount", "000000100-00", "07,00", "000000007-00"},
      {"negative_rate", "000000100,00", "07-00", "000000007-00"},
      {"both_negative", "000000100-00", "07-00", "000000007,00"},
      {"large", "999999999,99", "99,99", "999899999,99"},
      {"empty_rate_is_zero", "000000100,00", "", "000000000,00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AmountText r;
    EXPECT_TRUE(AmountPercentOf(r, c.amount, c.rate));
    EXPECT_STREQ(r, c.result);
  }
}

TEST(AmountCents, RoundTripAndLimits) {
  AmountText t;
  ASSERT_TRUE(AmountFromCents(t, -1230));
  EXPECT_STREQ(t, "000000012-30");
  long long c = 0;
  ASSERT_TRUE(AmountToCents(t, &c));
  EXPECT_EQ(c, -1230);
  EXPECT_FALSE(AmountFromCents(t, 100000000000LL));
  EXPECT_FALSE(AmountToCents("12x", &c));
  EXPECT_DOUBLE_EQ(AmountToDouble("000000012-30"), -12.30);
}

}  // namespace
