// Account balances from account records and the scrambled password form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/layouts/account_balance.h"
#include "core/layouts/fista.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/layouts/scramble.h"
#include "core/layouts/user.h"

namespace talvera::layouts {
namespace {

struct Side {
  const char* opening;
  std::vector<std::pair<int, const char*>> periods;  // period 1..12, amount
};

struct BalanceCase {
  const char* name;
  Side debit, credit;
  const char* balance;
  char side;
};

const BalanceCase kBalanceCases[] = {
    {"new account", {"000000000,00", {}}, {"000000000,00", {}}, "000000000,00", 'S'},
    {"debit balance",
     {"000000100,00", {{1, "000000050,25"}, {12, "000000001,00"}}},
     {"000000000,00", {{3, "000000020,00"}}},
     "000000131,25", 'S'},
    {"credit balance",
     {"000000000,00", {{2, "000000010,00"}}},
     {"000000500,00", {{12, "000000000,01"}}},
     "000000490,01", 'H'},
    {"storno amounts are negative",
     {"000000000,00", {{1, "000000100,00"}, {2, "000000030-00"}}},
     {"000000000,00", {}},
     "000000070,00", 'S'},
    {"both sides negative",
     {"000000000,00", {{1, "000000005-00"}}},
     {"000000000,00", {{1, "000000007-00"}}},
     "000000002,00", 'S'},
};

void Fill(void* record, const Field& opening, const Field& periods, const Side& side) {
  SetRawText(record, opening, side.opening);
  for (auto [p, amount] : side.periods) SetRawText(record, periods.At(p - 1), amount);
}

TEST(AccountBalance, SachkontoAndPersonalAccountsByTheirOwnOffsets) {
  for (const BalanceCase& c : kBalanceCases) {
    SCOPED_TRACE(c.name);
    std::vector<char> s(sako::kLayout.recordLength), p(personal::kLayout.recordLength);
    InitRecord(sako::kLayout, s.data());
    InitRecord(personal::kLayout, p.data());
    Fill(s.data(), sako::kOpeningDebit, sako::kPeriodDebit, c.debit);
    Fill(s.data(), sako::kOpeningCredit, sako::kPeriodCredit, c.credit);
    Fill(p.data(), personal::kOpeningDebit, personal::kPeriodDebit, c.debit);
    Fill(p.data(), personal::kOpeningCredit, personal::kPeriodCredit, c.credit);

    for (auto [record, kind] : {std::pair{s.data(), kSachkonto}, std::pair{p.data(), kDebitor},
                                std::pair{p.data(), kKreditor}}) {
      AmountText result = "";
      char side = 0;
      ASSERT_TRUE(AccountBalance(record, kind, result, &side)) << kind;
      EXPECT_STREQ(result, c.balance) << kind;
      EXPECT_EQ(side, c.side) << kind;
    }
  }
}

TEST(AccountBalance, RefusesWhatItCannotSum) {
  std::vector<char> zeroFilled(sako::kLayout.recordLength, 0);
  AmountText result;
  char side = 'x';
  EXPECT_TRUE(AccountBalance(zeroFilled.data(), kSachkonto, result, &side));  // empty = zero
  EXPECT_EQ(side, 'S');

  std::vector<char> r(sako::kLayout.recordLength);
  InitRecord(sako::kLayout, r.data());
  EXPECT_FALSE(AccountBalance(r.data(), kNoAccount, result, &side));
  EXPECT_EQ(side, 0);

  SetRawText(r.data(), sako::kPeriodDebit.At(4), "12,50");  // not an amount text
  EXPECT_FALSE(AccountBalance(r.data(), kSachkonto, result, &side));

  InitRecord(sako::kLayout, r.data());
  SetRawText(r.data(), sako::kOpeningDebit, "999999999,99");
  SetRawText(r.data(), sako::kPeriodDebit.At(0), "000000000,01");
  EXPECT_FALSE(AccountBalance(r.data(), kSachkonto, result, &side));  // overflow
  EXPECT_EQ(side, 0);
}

TEST(ScrambleText, StoresEachCharacterShiftedByItsPosition) {
  char text[] = "abc";
  ASSERT_TRUE(ScrambleText(text));
  EXPECT_EQ(std::string(text), "\x42\x4A\x44");
  UnscrambleText(text);
  EXPECT_STREQ(text, "abc");
}

TEST(ScrambleText, RefusesCharactersThatWouldEndTheStoredText) {
  // Code 31 at an even and 24 at an odd position would be stored as NUL,
  // and the password would end there.
  for (const char* plain : {"\x1f" "abc", "a\x18" "bc"}) {
    char text[8];
    std::strcpy(text, plain);
    EXPECT_FALSE(ScrambleText(text));
    EXPECT_STREQ(text, plain);
  }
}

TEST(ScrambleText, PasswordFieldsRoundTripAndAreNeverCutShort) {
  std::vector<char> u(user::kLayout.recordLength, 0);
  ASSERT_TRUE(SetPassword(u.data(), user::kPassword, "Geheim€ü"));
  EXPECT_NE(GetText(u.data(), user::kPassword), "Geheim€ü");  // not stored plainly
  EXPECT_EQ(GetPassword(u.data(), user::kPassword), "Geheim€ü");

  std::vector<char> f(fista::kLayout.recordLength, 0);
  ASSERT_TRUE(SetPassword(f.data(), fista::kAccessPassword, std::string(15, 'z')));
  EXPECT_FALSE(SetPassword(f.data(), fista::kAccessPassword, std::string(16, 'y')));
  EXPECT_EQ(GetPassword(f.data(), fista::kAccessPassword), std::string(15, 'z'));
  EXPECT_EQ(f[fista::kAccessPassword.offset + 15], 0);
}

}  // namespace
}  // namespace talvera::layouts
