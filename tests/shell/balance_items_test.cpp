#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/mandant_values.h"
#include "core/settings.h"
#include "posting/posting_fixture.h"
#include "shell/balance_items.h"

namespace talvera::testing {
namespace {

constexpr int S = kSachkonto, D = kDebitor, K = kKreditor;

// 1200 Bank: opening debit 500,00, +1000,00 in period 3, -250,00 in period 5.
// 1000 Kasse takes the other sides. Debitor 10000 against Kreditor 70000:
// 80,00 in period 3. 1600 has opening debit and credit of -10,00 each.
class BalanceItemsTest : public PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    SetOpening("1200", layouts::sako::kOpeningDebit, "000000500,00");
    SetOpening("1600", layouts::sako::kOpeningDebit, "000000010-00");
    SetOpening("1600", layouts::sako::kOpeningCredit, "000000010-00");
    ASSERT_TRUE(Booking("150346").Line("1200", S, "1000", S, "000001000,00").Post());
    ASSERT_TRUE(Booking("150546").Line("1000", S, "1200", S, "000000250,00").Post());
    ASSERT_TRUE(Booking("200346").Line("10000", D, "70000", K, "000000080,00").Post());
  }
  void TearDown() override {
    SetCurrentPostingDate(nullptr);
    PostingTest::TearDown();
  }
  void SetOpening(const char* number, const layouts::Field& field, const char* amount) {
    std::vector<char> r = Account(S, number);
    layouts::SetRawText(r.data(), field, amount);
    ASSERT_TRUE(Update(r.data(), MakeFileId(kSlotSako, 0)));
  }
};

TEST_F(BalanceItemsTest, ValuesOfPeriodsOpeningBalanceAndYear) {
  SetCurrentPostingDate("010546");  // items without a period mean period 5
  struct Case {
    const char* item;
    const char* value;
  } cases[] = {
      {"K1200_0", "500,00"},    {"K1200_3", "1000,00"},  {"K1200_4", "0,00"},
      {"K1200_5", "-250,00"},   {"K1200_13", "1250,00"}, {"K1000_3", "-1000,00"},
      {"K1000_13", "-750,00"},  {"K10000_3", "80,00"},   {"K70000_3", "-80,00"},
      {"K70000_13", "-80,00"},  {"K1200", "-250,00"},    {"K1200_", "-250,00"},
      {"K1200_14", "-250,00"},  {"K1200_99999999999", "-250,00"},
      {"K1600_0", "0,00"},
  };
  for (const Case& c : cases) {
    std::optional<std::string> value = BalanceItemValue(c.item);
    ASSERT_TRUE(value) << c.item;
    EXPECT_EQ(*value, c.value) << c.item;
  }
}

TEST_F(BalanceItemsTest, MalformedItemsAndUnknownAccountsHaveNoValue) {
  for (const char* item : {"", "K", "K_3", "X1200_3", "k1200_3", "K12345678_3", "K12 00_3",
                           "K1200_x", "K1200_-1", "K1200_3 ", "K9999_3", "K99999"})
    EXPECT_FALSE(BalanceItemValue(item)) << '"' << item << '"';
}

TEST_F(BalanceItemsTest, CurrentPeriodDefaultsToTodaysFiscalPeriod) {
  // Today is 09.12.2026; a fiscal year from October makes December period 3.
  CurrentMandant().fiscalStartMonth = 10;
  EXPECT_EQ(CurrentPostingPeriod(), 3);
  EXPECT_EQ(BalanceItemValue("K1200"), "1000,00");
  SetCurrentPostingDate("010546");
  EXPECT_EQ(CurrentPostingPeriod(), 5);
  SetCurrentPostingDate("");
  EXPECT_EQ(CurrentPostingPeriod(), 3);
}

TEST_F(BalanceItemsTest, DecimalSeparatorOfTheSettings) {
  CurrentSettings().sDecimal = ".";
  EXPECT_EQ(BalanceItemValue("K1000_13"), "-750.00");
  CurrentSettings().sDecimal = "";
  EXPECT_EQ(BalanceItemValue("K1000_13"), "-750,00");
}

TEST_F(BalanceItemsTest, NoValueWhileNoMandantIsOpen) {
  CloseAll();
  EXPECT_FALSE(BalanceItemValue("K1200_3"));
  EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
}  // namespace talvera::testing
