#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accounts/bank_connections.h"
#include "accounts/bank_iban.h"
#include "accounts_fixture.h"
#include "core/layouts/bankiban.h"
#include "core/layouts/kurse.h"
#include "core/layouts/ueberw.h"
#include "support/fake_dialog.h"

using namespace talvera;
using talvera::testing::AccountsTest;
using talvera::testing::FakeDialog;

namespace {

TEST(IbanTest, ChecksCountryLengthAndCheckDigits) {
  struct Case {
    const char* typed;
    IbanFault fault;
  } cases[] = {
      {"DE89 3704 0044 0532 0130 00", IbanFault::kNone},
      {"de89370400440532013000", IbanFault::kNone},
      {"AT61 1904 3002 3457 3201", IbanFault::kNone},
      {"CH93 0076 2011 6238 5295 7", IbanFault::kNone},
      {"GB82 WEST 1234 5698 7654 32", IbanFault::kNone},
      {"FR14 2004 1010 0505 0001 3M02 606", IbanFault::kNone},
      {"NL91 ABNA 0417 1643 00", IbanFault::kNone},
      {"IT60 X054 2811 1010 0000 0123 456", IbanFault::kNone},
      {"PL61 1090 1014 0000 0712 1981 2874", IbanFault::kNone},
      {"NO93 8601 1117 947", IbanFault::kNone},
      {"DE89 3704 0044 0532 0130 01", IbanFault::kCheckDigits},  // last digit mistyped
      {"DE98 3704 0044 0532 0130 00", IbanFault::kCheckDigits},  // check digits swapped
      {"AT61 1904 3002 3457 3210", IbanFault::kCheckDigits},     // digits swapped
      {"DE89 3704 0044 0532 0130 0", IbanFault::kLength},
      {"CH93 0076 2011 6238 5295 70", IbanFault::kLength},
      {"XY89 3704 0044 0532 0130 00", IbanFault::kCountry},
      {"DE89-3704-0044-0532-0130-00", IbanFault::kCharacters},
      {"D889 3704 0044 0532 0130 00", IbanFault::kCharacters},
      {"DEXX 3704 0044 0532 0130 00", IbanFault::kCharacters},
      {"DE8", IbanFault::kCharacters},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(CheckIban(IbanElectronic(c.typed)), c.fault);
  }
  EXPECT_EQ(IbanPaperForm("DE89370400440532013000"), "DE89 3704 0044 0532 0130 00");
}

TEST(BicTest, EightOrElevenCharactersOfTheRightKinds) {
  for (const char* valid : {"DEUTDEFF", "deutdeff500", "COBADEFFXXX", "BKAUATWW", "UBSWCHZH80A"})
    EXPECT_TRUE(IsValidBic(BicElectronic(valid))) << valid;
  for (const char* invalid : {"DEUTDEF", "DEUTDEFF50", "1EUTDEFF", "DEUT1EFF", "DEUTDEFF-00", ""})
    EXPECT_FALSE(IsValidBic(BicElectronic(invalid))) << invalid;
}

class BankTest : public AccountsTest {
 protected:
  FakeDialog Typed(const char* account, const char* code = "37040044", const char* number = "532013000",
                   const char* name = "Commerzbank", const char* iban = "", const char* bic = "") {
    FakeDialog d;
    d.text[bankenverw::kAccount] = account;
    d.text[bankenverw::kBankCode] = code;
    d.text[bankenverw::kBankAccount] = number;
    d.text[bankenverw::kBankName] = name;
    d.text[bankenverw::kIban] = iban;
    d.text[bankenverw::kBic] = bic;
    return d;
  }
  bool Save(FakeDialog d, bool change = false, const std::string& selected = {}, int batch = 0) {
    BankConnection saved;
    return SaveBank(d, change, selected, batch, saved);
  }
  std::vector<BankConnection> Listed() {
    std::vector<BankConnection> banks;
    EXPECT_TRUE(ListBankConnections(banks));
    return banks;
  }
};

TEST_F(BankTest, SaveRefusesBadInputWithTheMessageOfItsField) {
  ASSERT_TRUE(Save(Typed("1200")));
  struct Case {
    const char* what;
    FakeDialog typed;
    bool change;
    int message;
    int control;
  } cases[] = {
      {"no account", Typed(""), false, 22, bankenverw::kAccount},
      {"letters in the account", Typed("12a0"), false, 3, bankenverw::kAccount},
      {"change without a line", Typed("1800"), true, 756, 0},
      {"account has a bank", Typed("1200"), false, 192, bankenverw::kAccount},
      {"no such account", Typed("1300"), false, 36, bankenverw::kAccount},
      {"a Debitor", Typed("10000"), false, 19, bankenverw::kAccount},
      {"bank code of 7 digits", Typed("1800", "3704004"), false, 102, bankenverw::kBankCode},
      {"bank code with letters", Typed("1800", "3704004A"), false, 102, bankenverw::kBankCode},
      {"account with a dash", Typed("1800", "37040044", "5320-13"), false, 3, bankenverw::kBankAccount},
      {"IBAN mistyped", Typed("1800", "37040044", "1", "X", "DE89370400440532013001"), false, 4204,
       bankenverw::kIban},
      {"IBAN too short", Typed("1800", "37040044", "1", "X", "DE8937040044053201300"), false, 4203,
       bankenverw::kIban},
      {"IBAN country", Typed("1800", "37040044", "1", "X", "XY89370400440532013000"), false, 4202,
       bankenverw::kIban},
      {"BIC too short", Typed("1800", "37040044", "1", "X", "", "COBADEF"), false, 4205, bankenverw::kBic},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages_.Clear();
    EXPECT_FALSE(Save(c.typed, c.change));
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{c.message});
    if (c.control) {
      EXPECT_EQ(messages_.focused, std::vector<int>{c.control});
    }
  }
  EXPECT_EQ(Listed().size(), 1u);
}

TEST_F(BankTest, AustrianBankCodesAreDigitsOfAnyLength) {
  CurrentSettings().austria = true;
  EXPECT_FALSE(Save(Typed("1200", "1904A")));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{529});
  EXPECT_TRUE(Save(Typed("1200", "19043")));
}

TEST_F(BankTest, AMissingBankNameMustBeConfirmed) {
  messages_.answers = {kIdNo};
  EXPECT_FALSE(Save(Typed("1200", "37040044", "1", "")));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{911});
  EXPECT_TRUE(Listed().empty());
  EXPECT_TRUE(Save(Typed("1200", "37040044", "1", "")));  // answered yes
  EXPECT_EQ(Listed().size(), 1u);
}

TEST_F(BankTest, IbanAndBicTravelWithTheBankRecord) {
  // A year directory made before the side file: it appears with the first IBAN.
  ASSERT_TRUE(Save(Typed("1200", "37040044", "532013000", "Commerzbank Köln")));
  EXPECT_FALSE(recman::FileExists(SlotPath(kSlotBankIban)));
  ASSERT_TRUE(Save(Typed("1200", "37040044", "532013000", "Commerzbank Köln", "de89 3704 0044 0532 0130 00",
                         "cobadeffxxx"),
                   true, "   1200", 16));
  std::vector<BankConnection> banks = Listed();
  ASSERT_EQ(banks.size(), 1u);
  EXPECT_EQ(banks[0].iban, "DE89370400440532013000");
  EXPECT_EQ(banks[0].bic, "COBADEFFXXX");
  EXPECT_EQ(banks[0].bankName, "Commerzbank Köln");
  EXPECT_EQ(banks[0].importBatch, 16);
  EXPECT_EQ(BankLine(banks[0], "Standardstapel"),
            "   1200\t37040044\t532013000\tCommerzbank Köln\tStandardstapel\tDE89 3704 0044 0532 0130 00\tCOBADEFFXXX");

  // A new account number moves both records.
  ASSERT_TRUE(Save(Typed("1800", "37040044", "532013000", "Commerzbank", "DE89370400440532013000"), true,
                   "   1200"));
  banks = Listed();
  ASSERT_EQ(banks.size(), 1u);
  EXPECT_STREQ(banks[0].account, "   1800");
  EXPECT_EQ(banks[0].iban, "DE89370400440532013000");
  EXPECT_EQ(banks[0].bic, "");
  EXPECT_EQ(RecordCount(kSlotBankIban), 1);

  // Cleared IBAN and BIC leave no side record; deleting leaves nothing.
  ASSERT_TRUE(Save(Typed("1800"), true, "   1800"));
  EXPECT_EQ(RecordCount(kSlotBankIban), 0);
  ASSERT_TRUE(Save(Typed("1200", "37040044", "1", "X", "AT611904300234573201")));
  ASSERT_TRUE(DeleteBank("   1200"));
  EXPECT_EQ(RecordCount(kSlotBankIban), 0);
  EXPECT_EQ(Listed().size(), 1u);
}

TEST_F(BankTest, AFailedSideRecordLeavesNoBankRecordBehind) {
  // A damaged side file (wrong record length) refuses the IBAN record: the
  // bank record of the same transaction must not stay either.
  ASSERT_TRUE(layouts::CreateFile(layouts::kurse::kLayout, dir_, "bankiban"));
  EXPECT_FALSE(Save(Typed("1200", "37040044", "1", "X", "DE89370400440532013000")));
  EXPECT_EQ(messages_.Numbers().back(), 103);
  EXPECT_TRUE(Listed().empty());
}

TEST_F(BankTest, DeleteNeedsALineAndNoWaitingTransfers) {
  ASSERT_TRUE(Save(Typed("1200")));
  EXPECT_FALSE(DeleteBank(""));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{1});

  namespace U = layouts::ueberw;
  std::vector<char> transfer(U::kLayout.recordLength);
  layouts::InitRecord(U::kLayout, transfer.data());
  layouts::SetRawText(transfer.data(), U::kOwnBankAccount, "   1200");
  ASSERT_TRUE(Insert(transfer.data(), kSlotUeberw));
  messages_.Clear();
  EXPECT_FALSE(DeleteBank("   1200"));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{106});
  EXPECT_EQ(Listed().size(), 1u);
}

}  // namespace
