#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "accounts/account_budget.h"
#include "accounts/account_checks.h"
#include "accounts/account_lists.h"
#include "accounts/account_store.h"
#include "core/layouts/bank.h"
#include "core/layouts/buscha.h"
#include "core/layouts/create_file.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/structure_file.h"
#include "core/today.h"
#include "recman/recman.h"
#include "small_accounts_fixture.h"
#include "support/fake_dialog.h"
#include "support/small_mandant.h"
#include "support/temp_dir.h"

using namespace talvera;
using namespace talvera::kontoneu;
namespace tt = talvera::testing;

namespace {

namespace S = layouts::sako;
namespace P = layouts::personal;
namespace K = layouts::kore;

std::string No(const char* digits) { return std::string(7 - std::strlen(digits), ' ') + digits; }

class AccountsTest : public tt::SmallAccountsTest {
 protected:
  // Typed fields of a sound new Sachkonto 1234.
  static tt::FakeDialog SoundSachkonto() {
    tt::FakeDialog d;
    d.text = {{kNumber, "1234"}, {kShortCode, "Neu"}, {kOpeningDate, "01.02.1996"},
              {kName, "Neues Konto"}};
    return d;
  }
  static tt::FakeDialog SoundPersonal() {
    tt::FakeDialog d;
    d.text = {{kNumber, "10500"}, {kShortCode, "Kunde"}, {kOpeningDate, "01.02.1996"},
              {kName, "Kunde GmbH"}, {kCountry, "D"}};
    return d;
  }

  StructureTree Tree(const char* year, StructureKind kind) {
    StructureTree tree;
    EXPECT_TRUE(LoadStructure(StructurePath(YearDirectory(year), kind), tree));
    return tree;
  }
  bool Read(const char* year, AccountFile file, const char* number, std::vector<char>& record) {
    record.assign(1024, 0);
    bool found = false;
    EXPECT_TRUE(OpenPath(YearDirectory(year) + "/" + AccountFileName(file) + ".btr", kSlotScratch));
    EXPECT_TRUE(GetEqual(record.data(), KeyValue(No(number).c_str(), 8), found, MakeFileId(kSlotScratch, 0)));
    CloseSlot(kSlotScratch);
    return found;
  }
  std::vector<char> NewSachkonto(const char* number, const char* code, int cls, const char* date) {
    tt::FakeDialog d = SoundSachkonto();
    d.text[kNumber] = number;
    d.text[kShortCode] = code;
    d.text[kOpeningDate] = date;
    d.text[kPrevDebit] = "500";
    AccountChoices c;
    c.accountClass = cls;
    std::vector<char> r(S::kLayout.recordLength);
    bool previous = false;
    EXPECT_TRUE(CheckSachkonto(d, c, {}, r.data(), previous));
    EXPECT_TRUE(SaveNewAccount(AccountFile::kSako, r.data(), previous));
    return r;
  }
};

struct Refusal {
  const char* name;
  std::map<int, std::string> typed;  // changes to the sound input
  AccountChoices choices;
  int message, control;
};

AccountChoices Choice(std::function<void(AccountChoices&)> set) {
  AccountChoices c;
  set(c);
  return c;
}

// Each check of the new Sachkonto in its order, with its message and the
// control that gets the focus; nothing is stored.
TEST_F(AccountsTest, SachkontoChecksRefuseWithMessageAndFocus) {
  const long before = RecordCount(kSlotSako);
  const Refusal rows[] = {
      {"NumberMissing", {{kNumber, ""}}, {}, 22, kNumber},
      {"NumberNotDigits", {{kNumber, "12a"}}, {}, 3, kNumber},
      {"NumberOfADebitor", {{kNumber, "10000"}}, {}, 4, kNumber},
      {"NumberOfASachkonto", {{kNumber, "1400"}}, {}, 4, kNumber},
      {"ShortCodeMissing", {{kShortCode, " "}}, {}, 2, kShortCode},
      {"ShortCodeOfAKreditor", {{kShortCode, "Lief"}}, {}, 13, kShortCode},
      {"BadDay", {{kOpeningDate, "32.01.1996"}}, {}, 6, kOpeningDate},
      {"YearNotOpen", {{kOpeningDate, "01.01.1994"}}, {}, 85, kOpeningDate},
      {"NameMissing", {{kName, ""}}, {}, 22, kName},
      {"NoRateLine", {}, Choice([](AccountChoices& c) { c.taxFree = false; }), 1, kRateList},
      {"UstvaNotDigits", {{kUstvaKey, "4x"}}, {}, 3, kUstvaKey},
      {"UstvaTwenty", {{kUstvaKey, "20"}}, {}, 430, kUstvaKey},
      {"UstvaAboveHundred", {{kUstvaKey, "101"}}, {}, 430, kUstvaKey},
      {"RevenueWithoutKey", {}, Choice([](AccountChoices& c) { c.accountClass = 8, c.revenue = true; }), 432,
       kUstvaKey},
      {"CostCentreMissing", {{kCostCentre1, "999"}}, Choice([](AccountChoices& c) { c.costType = true; }), 736,
       kCostCentre1},
      {"SameCostCentreTwice", {{kCostCentre1, "100"}, {kCostCentre2, "100"}},
       Choice([](AccountChoices& c) { c.costType = true; }), 526, kCostCentre2},
      {"PrevYearNotAnAmount", {{kPrevBalance, "1x2"}}, {}, 23, kPrevBalance},
  };
  for (const Refusal& row : rows) {
    messages_.Clear();
    tt::FakeDialog d = SoundSachkonto();
    for (const auto& [id, text] : row.typed) d.text[id] = text;
    std::vector<char> r(S::kLayout.recordLength);
    bool previous = false;
    EXPECT_FALSE(CheckSachkonto(d, row.choices, {}, r.data(), previous)) << row.name;
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{row.message}) << row.name;
    EXPECT_EQ(messages_.focused, std::vector<int>{row.control}) << row.name;
  }
  EXPECT_EQ(RecordCount(kSlotSako), before);  // the SKR 03 chart, nothing added
}

// Each line of the rate list gives its tax-key class; only the other, EC and
// § 13b lines keep the typed rate of the account.
TEST_F(AccountsTest, RateLinesGiveTheirTaxKeyAndOwnRate) {
  struct Row {
    int line;
    bool inputTax;
    int taxKey;
    const char* rate;
  };
  const Row rows[] = {{0, false, 2, ""},   {1, true, 4 | 32, ""},    {2, false, 16, "16,00"},
                      {3, true, 128 | 32, "16,00"}, {4, false, 8, ""}, {5, true, 1 | 32, "16,00"}};
  for (const Row& row : rows) {
    tt::FakeDialog d = SoundSachkonto();
    d.text[kRatePercent] = "16";
    AccountChoices c;
    c.taxFree = false;
    c.rateLine = row.line;
    c.inputTax = row.inputTax;
    std::vector<char> r(S::kLayout.recordLength);
    bool previous = false;
    ASSERT_TRUE(CheckSachkonto(d, c, {}, r.data(), previous)) << row.line;
    EXPECT_EQ(layouts::GetNumber(r.data(), S::kTaxKey), row.taxKey) << row.line;
    EXPECT_EQ(layouts::GetText(r.data(), S::kRate), row.rate) << row.line;
  }
}

TEST_F(AccountsTest, PersonalAccountAndCostCentreChecks) {
  const Refusal rows[] = {
      {"NumberNotDigits", {{kNumber, "K100"}}, {}, 3, kNumber},
      {"NumberOfASachkonto", {{kNumber, "1400"}}, {}, 4, kNumber},
      {"ShortCodeOfASachkonto", {{kShortCode, "Bank"}}, {}, 13, kShortCode},
      {"SevenDigitBankCode", {{kBankCode, "1234567"}}, {}, 102, kBankCode},
      {"BankAccountNotDigits", {{kBankAccount, "12-3"}}, {}, 3, kBankAccount},
      {"CounterAccountIsADebitor", {{kCounterAccount, "10000"}}, {}, 726, kCounterAccount},
      {"DiscountDaysNotDigits", {{kDiscountDays, "x"}}, {}, 3, kDiscountDays},
      {"HomeCountryWithCurrency", {{kCurrency, "USD"}}, {}, 434, kCurrency},
      {"NoCountryWithCurrency", {{kCountry, ""}, {kCurrency, "USD"}}, {}, 434, kCurrency},
  };
  for (const Refusal& row : rows) {
    messages_.Clear();
    tt::FakeDialog d = SoundPersonal();
    for (const auto& [id, text] : row.typed) d.text[id] = text;
    std::vector<char> r(P::kLayout.recordLength);
    bool previous = false;
    EXPECT_FALSE(CheckPersonalAccount(d, row.choices, true, {}, r.data(), previous)) << row.name;
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{row.message}) << row.name;
    EXPECT_EQ(messages_.focused, std::vector<int>{row.control}) << row.name;
  }

  // A foreign account may have its currency; in Austria any bank code of digits.
  tt::FakeDialog foreign = SoundPersonal();
  foreign.text[kCountry] = "US";
  foreign.text[kCurrency] = "USD";
  foreign.text[kBankCode] = "1234567";
  std::vector<char> r(P::kLayout.recordLength);
  bool previous = false;
  CurrentSettings().austria = true;
  messages_.Clear();
  EXPECT_TRUE(CheckPersonalAccount(foreign, {}, true, {}, r.data(), previous));
  EXPECT_EQ(layouts::GetText(r.data(), P::kCurrency), "USD");
  EXPECT_EQ(layouts::GetText(r.data(), P::kDiscountPercent), "00,00");
  foreign.text[kBankCode] = "12a";
  EXPECT_FALSE(CheckPersonalAccount(foreign, {}, true, {}, r.data(), previous));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{529});

  const std::pair<std::map<int, std::string>, int> centres[] = {
      {{{kNumber, "100"}}, 4}, {{{kShortCode, "Verw"}}, 13}, {{{kName, ""}}, 22}, {{}, 0}};
  for (const auto& [typed, message] : centres) {
    messages_.Clear();
    tt::FakeDialog d;
    d.text = {{kNumber, "300"}, {kShortCode, "Lager"}, {kName, "Lager"}};
    for (const auto& [id, text] : typed) d.text[id] = text;
    std::vector<char> k(K::kLayout.recordLength);
    EXPECT_EQ(CheckCostCentre(d, {}, k.data()), message == 0);
    EXPECT_EQ(messages_.Numbers(), message ? std::vector<int>{message} : std::vector<int>{});
  }
}

TEST_F(AccountsTest, QuickNewAccountChecks) {
  struct Row {
    int file;
    const char *number, *code;
    int message;
  };
  for (Row row : {Row{0, "12?4", "X", 155}, Row{0, "1234", "a*", 155}, Row{1, "K1", "X", 3},
                  Row{2, "10000", "X", 4}, Row{2, "70500", "Meier", 13}, Row{3, "100", "X", 4},
                  Row{3, "300", "Verw", 13}, Row{1, "10500", "Neu", 0}}) {
    messages_.Clear();
    tt::FakeDialog d;
    d.text = {{kNumber, row.number}, {kShortCode, row.code}};
    EXPECT_EQ(CheckQuickAccount(d, row.file), row.message == 0) << row.number;
    EXPECT_EQ(messages_.Numbers(), row.message ? std::vector<int>{row.message} : std::vector<int>{})
        << row.number;
  }
}

// Opening in the previous year: the account and its loose leaf go into
// both years, the typed previous-year figures only into this year's record;
// when the previous year has the number already, 762 and this year only.
TEST_F(AccountsTest, NewSachkontoWithItsLeafAndThePreviousYearCopy) {
  NewSachkonto("1234", "Neu", 2, "01.02.1995");
  EXPECT_TRUE(messages_.Numbers().empty());
  std::vector<char> r;
  ASSERT_TRUE(Read("1996", AccountFile::kSako, "1234", r));
  EXPECT_EQ(layouts::GetText(r.data(), S::kPrevDebitTurnover), "000000500,00");
  ASSERT_TRUE(Read("1995", AccountFile::kSako, "1234", r));
  EXPECT_EQ(layouts::GetText(r.data(), S::kPrevDebitTurnover), "000000000,00");
  for (const char* year : {"1996", "1995"}) {
    EXPECT_TRUE(Tree(year, StructureKind::kAssets).HasLeaf(No("1234"))) << year;
    EXPECT_FALSE(Tree(year, StructureKind::kLiabilities).HasLeaf(No("1234"))) << year;
  }

  // The same number only in the previous year already.
  std::vector<char> only(S::kLayout.recordLength);
  layouts::InitRecord(S::kLayout, only.data());
  layouts::SetRawText(only.data(), S::kAccountNo, No("1235"));
  ASSERT_TRUE(tt::InsertByPath(YearDirectory("1995") + "/sako.btr", only.data()));
  NewSachkonto("1235", "Neu2", 0, "01.02.1995");
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{762});
  EXPECT_TRUE(Read("1996", AccountFile::kSako, "1235", r));
  ASSERT_TRUE(Read("1995", AccountFile::kSako, "1235", r));
  EXPECT_EQ(layouts::GetText(r.data(), S::kShortCode), "");  // left as it was
}

TEST_F(AccountsTest, ChangedClassMovesTheLeafAndTheShortCodeFollows) {
  std::vector<char> r = NewSachkonto("1234", "Neu", 2, "01.02.1996");
  tt::FakeDialog d = SoundSachkonto();
  d.text[kShortCode] = "Anders";
  AccountChoices c;
  c.accountClass = 4;
  std::vector<char> changed(S::kLayout.recordLength);
  bool previous = false;
  ASSERT_TRUE(CheckSachkonto(d, c, {r.data()}, changed.data(), previous));
  ASSERT_TRUE(SaveChangedAccount(AccountFile::kSako, changed.data()));
  EXPECT_FALSE(Tree("1996", StructureKind::kAssets).HasLeaf(No("1234")));
  StructureTree liabilities = Tree("1996", StructureKind::kLiabilities);
  ASSERT_TRUE(liabilities.HasLeaf(No("1234")));
  EXPECT_EQ(liabilities.loose.back().shortCode, "Anders");

  // Once posted, the previous-year figures are the carry-forwards': a
  // change keeps them whatever the fields hold.
  layouts::SetNumber(r.data(), S::kUnposted, 0);  // the account as first stored, 500 typed
  d.text[kPrevDebit] = "999";
  d.text[kShortCode] = "Neu";
  std::vector<char> posted(S::kLayout.recordLength);
  ASSERT_TRUE(CheckSachkonto(d, c, {r.data()}, posted.data(), previous));
  EXPECT_EQ(layouts::GetText(posted.data(), S::kPrevDebitTurnover), "000000500,00");
}

// Deleting refuses what something still names, and deletes the rest with
// its leaves, in the previous year too.
TEST_F(AccountsTest, DeletionRefusesReferencedAccounts) {
  // A bank record for 1200 and a booking template naming 4200 by short code.
  std::string dir = YearDirectory("1996");
  std::vector<char> bank(layouts::bank::kLayout.recordLength);
  layouts::InitRecord(layouts::bank::kLayout, bank.data());
  layouts::SetRawText(bank.data(), layouts::bank::kAccountNo, No("1200"));
  ASSERT_TRUE(tt::InsertByPath(dir + "/bank.btr", bank.data()));
  ASSERT_TRUE(layouts::CreateFile(dir, "buscha"));
  std::vector<char> tmpl(layouts::buscha::kLayout.recordLength);
  layouts::InitRecord(layouts::buscha::kLayout, tmpl.data());
  std::vector<char> raum;
  ASSERT_TRUE(Read("1996", AccountFile::kSako, "4210", raum));
  layouts::SetText(tmpl.data(), layouts::buscha::kDebitAccount, layouts::GetText(raum.data(), S::kShortCode));
  ASSERT_TRUE(tt::InsertByPath(dir + "/buscha.btr", tmpl.data()));

  struct Row {
    const char* number;
    const char* named;
  };
  for (Row row : {Row{"1776", "Steuersatz"}, Row{"1400", "Sammelkonto der Debitoren"},
                  Row{"0860", "Gewinn-/Verlustvortrag"}, Row{"3736", "Abzugskonto"},
                  Row{"1200", "Bankverbindung"}, Row{"4210", "Buchungsvorlage"}}) {
    messages_.Clear();
    EXPECT_FALSE(DeleteAccount(AccountFile::kSako, No(row.number))) << row.number;
    ASSERT_EQ(messages_.Numbers(), std::vector<int>{480}) << row.number;
    EXPECT_NE(messages_.shown[0].text.find(row.named), std::string::npos) << messages_.shown[0].text;
    std::vector<char> r;
    EXPECT_TRUE(Read("1996", AccountFile::kSako, row.number, r)) << row.number;
  }

  messages_.Clear();
  ASSERT_TRUE(DeleteAccount(AccountFile::kSako, No("4200")));
  std::vector<char> r;
  EXPECT_FALSE(Read("1996", AccountFile::kSako, "4200", r));
  EXPECT_FALSE(Read("1995", AccountFile::kSako, "4200", r));
  EXPECT_FALSE(Tree("1996", StructureKind::kProfitAndLoss).HasLeaf(No("4200")));
  EXPECT_FALSE(Tree("1995", StructureKind::kProfitAndLoss).HasLeaf(No("4200")));
  EXPECT_TRUE(DeleteAccount(AccountFile::kKore, No("200")));
}

// Posted after the list was made: 724, and "Alle Löschen" stops there.
TEST_F(AccountsTest, AnAccountPostedMeanwhileIsNotDeletedAndDeleteAllStops) {
  NewSachkonto("1234", "A1", 0, "01.02.1996");
  NewSachkonto("1235", "A2", 0, "01.02.1996");
  NewSachkonto("1236", "A3", 0, "01.02.1996");
  std::vector<std::string> listed{No("1234"), No("1235"), No("1236")};
  std::vector<char> r;
  ASSERT_TRUE(Read("1996", AccountFile::kSako, "1235", r));
  layouts::SetNumber(r.data(), S::kUnposted, 0);
  ASSERT_TRUE(OpenPath(YearDirectory("1996") + "/sako.btr", kSlotScratch));
  std::vector<char> current(1024);
  bool found = false;
  ASSERT_TRUE(GetEqual(current.data(), KeyValue(No("1235").c_str(), 8), found, MakeFileId(kSlotScratch, 0)));
  ASSERT_TRUE(Update(r.data(), MakeFileId(kSlotScratch, 0)));
  CloseSlot(kSlotScratch);

  messages_.Clear();
  int deleted = 0;
  EXPECT_FALSE(DeleteAll(AccountFile::kSako, listed, deleted));
  EXPECT_EQ(deleted, 1);
  ASSERT_EQ(messages_.Numbers(), std::vector<int>{724});
  EXPECT_NE(messages_.shown[0].text.find("1235"), std::string::npos);
  EXPECT_TRUE(Read("1996", AccountFile::kSako, "1235", r));
  EXPECT_TRUE(Read("1996", AccountFile::kSako, "1236", r));
}

TEST(AccountBudgetTest, DevelopmentRulesInCents) {
  struct Row {
    const char* name;
    BudgetRule rule;
    long long start, end, percent;
    std::vector<long long> first3;
    long long last, total;
  };
  const Row rows[] = {
      {"LinearToEnd", BudgetRule::kStartToEnd, 10000, 120000, 0, {10000, 20000, 30000}, 120000, 780000},
      // (1000,00 - 0,01) / 11 is not whole: half up, the last one exact.
      {"LinearToOddEnd", BudgetRule::kStartToEnd, 1, 100000, 0, {1, 9092, 18183}, 100000, 600006},
      {"PercentLinear", BudgetRule::kPercentLinear, 10000, 0, 1000, {10000, 11000, 12000}, 21000, 186000},
      // Each period rounded before the next grows from it.
      {"PercentCompound", BudgetRule::kPercentCompound, 10000, 0, 1000, {10000, 11000, 12100}, 28533, 213850},
      {"Falling", BudgetRule::kStartToEnd, 0, -1100, 0, {0, -100, -200}, -1100, -6600},
  };
  for (const Row& row : rows) {
    BudgetValues v{};
    ASSERT_EQ(DevelopBudget(row.rule, row.start, row.end, row.percent, v), 0) << row.name;
    EXPECT_EQ(std::vector<long long>(v.begin(), v.begin() + 3), row.first3) << row.name;
    EXPECT_EQ(v[11], row.last) << row.name;
    long long total = 0;
    EXPECT_EQ(BudgetTotal(v, total), 0);
    EXPECT_EQ(total, row.total) << row.name;
  }
  BudgetValues v{};
  EXPECT_EQ(DevelopBudget(BudgetRule::kStartToEnd, 99999999999LL, 99999999999LL, 0, v), 745);
  EXPECT_EQ(DevelopBudget(BudgetRule::kPercentCompound, 50000000000LL, 0, 5000, v), 745);

  std::vector<char> r(S::kLayout.recordLength);
  layouts::InitRecord(S::kLayout, r.data());
  DevelopBudget(BudgetRule::kStartToEnd, 10000, 120000, 0, v);
  ASSERT_EQ(WriteBudget(r.data(), S::kBudget, v), 0);
  EXPECT_EQ(layouts::GetText(r.data(), S::kBudget.At(12)), "000007800,00");
  BudgetValues back{};
  ReadBudget(r.data(), S::kBudget, back);
  EXPECT_EQ(back, v);
}

TEST_F(AccountsTest, ListsFollowTheKeyOrderAndThePrefix) {
  std::vector<AccountListEntry> list;
  ASSERT_TRUE(ListAccounts(AccountFile::kSako, AccountOrder::kNumber, " 140", list));
  ASSERT_FALSE(list.empty());
  for (const AccountListEntry& e : list) EXPECT_EQ(e.number.substr(3, 3), "140") << e.number;
  ASSERT_TRUE(ListAccounts(AccountFile::kSako, AccountOrder::kShortCode, "", list));
  EXPECT_EQ(static_cast<long>(list.size()), RecordCount(kSlotSako));
  for (std::size_t i = 1; i < list.size(); ++i) EXPECT_LE(list[i - 1].shortCode, list[i].shortCode);
  ASSERT_TRUE(ListAccounts(AccountFile::kKore, AccountOrder::kShortCode, "Ve", list));
  ASSERT_EQ(list.size(), 2u);  // "Verw", "Vertr"
  EXPECT_FALSE(ListAccounts(AccountFile::kSako, AccountOrder::kPostalCode, "", list));
  ASSERT_TRUE(ListAccounts(AccountFile::kDebi, AccountOrder::kPostalCode, "", list));
  EXPECT_EQ(list.size(), 1u);
}

// A refused check holds no lock: while its message is up, another process
// adds a cost centre to the Mandant. (Inside a writing transaction the
// same load fails, so the test would see a held lock.)
TEST_F(AccountsTest, NoWriteLockIsHeldWhileACheckFails) {
  const char* bin = std::getenv("TALVERA_BIN");
  if (!bin) GTEST_SKIP() << "TALVERA_BIN not set";
  std::string dir = YearDirectory("1996");
  std::string flat = data_ / "kore.flat";
  {
    std::vector<char> k(K::kLayout.recordLength);
    layouts::InitRecord(K::kLayout, k.data());
    layouts::SetRawText(k.data(), K::kNumber, No("900"));
    std::ofstream(flat, std::ios::binary).write(k.data(), k.size());
  }
  std::string load = "TALVERA_RECMAN_BUSY_MS=300 " + std::string(bin) + "/talvi-butil load " + dir +
                     "/kore.btr " + flat + " >/dev/null 2>&1";

  class LoadingRecorder : public MessageRecorder {
   public:
    explicit LoadingRecorder(std::string command) : command_(std::move(command)) {}
    int Present(const MessageRequest& request) override {
      loaded = std::system(command_.c_str()) == 0;
      return MessageRecorder::Present(request);
    }
    bool loaded = false;
    std::string command_;
  } recorder(load);

  tt::FakeDialog d = SoundSachkonto();
  d.text[kShortCode] = "Lief";
  std::vector<char> r(S::kLayout.recordLength);
  bool previous = false;
  EXPECT_FALSE(CheckSachkonto(d, {}, {}, r.data(), previous));
  EXPECT_EQ(recorder.Numbers(), std::vector<int>{13});
  EXPECT_TRUE(recorder.loaded);

  recman::UseDirectory(dir);
  StoreTransaction writing;
  std::vector<char> k(K::kLayout.recordLength);
  layouts::InitRecord(K::kLayout, k.data());
  layouts::SetRawText(k.data(), K::kNumber, No("901"));
  ASSERT_TRUE(Insert(k.data(), MakeFileId(kSlotKore, 0)));
  EXPECT_NE(std::system(load.c_str()), 0);
}

}  // namespace
