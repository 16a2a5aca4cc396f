#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/field_readers.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/settings.h"
#include "core/today.h"
#include "support/fake_dialog.h"

using namespace talvera;

namespace {

using talvera::testing::FakeDialog;

class FieldReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "09.12.2026", 1);
    ResetDayToday();
    CurrentMandant() = MandantValues{};
    CurrentSettings() = Settings{};
  }
  void TearDown() override {
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
    CurrentMandant() = MandantValues{};
  }
  FakeDialog d_;
  MessageRecorder messages_;
};

struct ReaderCase {
  const char* name;
  const char* input;
  int width;
  bool sign;
  const char* result;  // nullptr: refused
  int message;
};

TEST_F(FieldReaderTest, AmountFields) {
  const ReaderCase cases[] = {
      {"plain", "1.234,5", 12, false, "000001234,50", 0},
      {"trailing_currency", "12,50 EUR", 12, false, "000000012,50", 0},
      {"no_digits", "abc", 12, false, nullptr, 23},
      {"letter_inside", "1a2", 12, false, nullptr, 23},
      {"empty", "  ", 12, false, nullptr, 22},
      {"bad_amount", "12,345", 12, false, nullptr, 23},
      {"bad_rate", "100", 5, false, nullptr, 15},
      {"rate", "16", 5, false, "16,00", 0},
      {"sign_refused", "-5", 12, false, nullptr, 23},
      {"signed", "-5", 12, true, "000000005-00", 0},
      {"negative_zero", "-0", 12, true, "000000000,00", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    messages_.Clear();
    d_.text[101] = c.input;
    char out[16] = {};
    bool ok = c.sign ? ReadSignedAmountField(d_, 101, out, c.width)
                     : ReadAmountField(d_, 101, out, c.width);
    EXPECT_EQ(ok, c.result != nullptr);
    if (c.result) {
      EXPECT_STREQ(out, c.result);
      EXPECT_TRUE(messages_.shown.empty());
    } else {
      ASSERT_EQ(messages_.shown.size(), 1u);
      EXPECT_EQ(messages_.shown[0].number, c.message);
      EXPECT_EQ(messages_.shown[0].controlId, 101);
      EXPECT_EQ(messages_.focused, std::vector<int>{101});
    }
  }
}

TEST_F(FieldReaderTest, DateAndYearFields) {
  const std::pair<const char*, int> dates[] = {
      {"15.03.97", 0}, {"", 22}, {"32.1.97", 6}, {"1.13.97", 7}, {"1.1.1979", 8}};
  for (const auto& [input, message] : dates) {
    messages_.Clear();
    d_.text[7] = input;
    char out[7];
    EXPECT_EQ(ReadDateField(d_, 7, out), message == 0) << input;
    if (message) {
      EXPECT_EQ(messages_.Numbers(), std::vector<int>{message}) << input;
    } else {
      EXPECT_STREQ(out, "150317");
    }
  }

  char year[7];
  d_.text[8] = "97";
  ASSERT_TRUE(ReadYearField(d_, 8, year, 0));
  EXPECT_STREQ(year, "010117");
  CurrentMandant().fiscalStartMonth = 7;
  d_.text[8] = "1997";
  ASSERT_TRUE(ReadYearField(d_, 8, year, 3));  // March 1997 lies in the fiscal year 1996/97
  EXPECT_STREQ(year, "010116");
  ASSERT_TRUE(ReadYearField(d_, 8, year, 8));
  EXPECT_STREQ(year, "010117");
  messages_.Clear();
  d_.text[8] = "";
  EXPECT_FALSE(ReadYearField(d_, 8, year, 0));
  d_.text[8] = "19x7";
  EXPECT_FALSE(ReadYearField(d_, 8, year, 0));
  d_.text[8] = "1979";
  EXPECT_FALSE(ReadYearField(d_, 8, year, 0));
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{2, 8, 8}));
}

TEST_F(FieldReaderTest, Sums) {
  d_.text = {{1, "1.000,00"}, {2, ""}, {3, "0,50"}};
  ASSERT_TRUE(SumAmountFields(d_, 1, 2, 3, 9));
  EXPECT_EQ(d_.text[9], "1.000,50");
  d_.text[2] = "abc";
  EXPECT_FALSE(SumAmountFields(d_, 1, 2, 3, 9));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{23});
  d_.text = {{1, "999999999,99"}, {2, "0,01"}};
  messages_.Clear();
  EXPECT_FALSE(SumAmountFields(d_, 1, 2, 0, 9));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{745});

  d_.text = {{1, "-10,00"}, {2, "2,50"}};
  ASSERT_TRUE(SumTwoSignedFields(d_, 1, 2, 9));
  EXPECT_EQ(d_.text[9], "-7,50");
}

TEST_F(FieldReaderTest, TaxOfNetAndGross) {
  d_.text = {{1, "100,00"}, {2, "16"}};
  ASSERT_TRUE(TaxOfFields(d_, 1, 2, 9, false));
  EXPECT_EQ(d_.text[9], "16,00");
  d_.text[1] = "116,00";
  ASSERT_TRUE(TaxOfFields(d_, 1, 2, 9, true));
  EXPECT_EQ(d_.text[9], "16,00");
  d_.text[1] = "-116,00";
  ASSERT_TRUE(TaxOfFields(d_, 1, 2, 9, true));
  EXPECT_EQ(d_.text[9], "-16,00");
  EXPECT_TRUE(d_.enabled[9]);
  d_.text[2] = "0";
  ASSERT_TRUE(TaxOfFields(d_, 1, 2, 9, true));
  EXPECT_EQ(d_.text[9], "0,00");
  EXPECT_FALSE(d_.enabled[9]);
  d_.text[2] = "a1";
  EXPECT_FALSE(TaxOfFields(d_, 1, 2, 9, false));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{15});
  // An empty amount or rate is a bad one here (it showed message 22).
  messages_.Clear();
  d_.text = {{1, ""}, {2, "16"}};
  EXPECT_FALSE(TaxOfFields(d_, 1, 2, 9, false));
  d_.text = {{1, "100,00"}, {2, " "}};
  EXPECT_FALSE(TaxOfFields(d_, 1, 2, 9, false));
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{23, 15}));
}

TEST_F(FieldReaderTest, WithoutCommaSettingApplies) {
  CurrentSettings().ohneKomma = true;
  d_.text[1] = "12345";
  char out[16];
  ASSERT_TRUE(ReadAmountField(d_, 1, out, 12));
  EXPECT_STREQ(out, "000000123,45");
}

}  // namespace
