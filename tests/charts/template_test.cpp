// The built templates themselves: each is written through the builder into
// a temporary data root, read back through the record store, and checked
// against the rules a new Mandant relies on.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "charts/template_reader.h"
#include "core/layouts/sako.h"
#include "core/layouts/structure.h"
#include "core/record_store.h"
#include "recman/recman.h"
#include "support/temp_dir.h"
#include "tools/chart_builder/chart_rules.h"
#include "tools/chart_builder/template_writer.h"
#include "tools/chart_builder/ustva_kinds.h"

using namespace talvera;
using namespace talvera::charts;
using talvera::testing::TemplateContents;
using talvera::testing::TreeRecord;

namespace {

// Built once for all tests of this program.
class BuiltTemplates : public ::testing::Environment {
 public:
  static inline std::unique_ptr<talvera::testing::TempDir> dir;
  static inline std::map<char, TemplateContents> contents;

  void SetUp() override {
    dir = std::make_unique<talvera::testing::TempDir>();
    for (const ChartDefinition& chart : AllCharts()) {
      ChartTemplate prepared;
      Diagnostics diagnostics;
      ASSERT_TRUE(PrepareChart(TALVERA_CHART_SOURCES, chart, prepared, diagnostics))
          << ::testing::PrintToString(diagnostics.lines());
      ASSERT_TRUE(WriteChartTemplate(prepared, chart.letter, dir->path()));
      ASSERT_TRUE(talvera::testing::ReadTemplate(dir->path(), chart.letter, contents[chart.letter]));
    }
  }
  void TearDown() override {
    recman::Shutdown();
    dir.reset();
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new BuiltTemplates);

class TemplateTest : public ::testing::TestWithParam<char> {
 protected:
  const ChartDefinition& chart() const { return *ChartByLetter(GetParam()); }
  const TemplateContents& built() const { return BuiltTemplates::contents.at(GetParam()); }
  std::string path(const char* file) const {
    return TemplatePath(BuiltTemplates::dir->path(), file, GetParam());
  }
  std::string file() const { return std::string("sako.bt") + GetParam(); }
};

TEST_P(TemplateTest, EveryFileOpensAndHoldsTheSourceRecords) {
  ChartSource source;
  Diagnostics diagnostics;
  ASSERT_TRUE(ReadChartSource(TALVERA_CHART_SOURCES, chart().folder, source, diagnostics));
  EXPECT_EQ(built().accounts.size(), source.accounts.size());
  EXPECT_EQ(built().rates.size(), source.rates.size());
  for (int t = 0; t < kTreeCount; ++t) EXPECT_GT(built().trees[t].size(), 1u) << t;
}

TEST_P(TemplateTest, AccountsOtherPartsExpectExist) {
  Diagnostics diagnostics;
  CheckChartAccounts(chart(), built().accounts, file(), diagnostics);
  EXPECT_TRUE(diagnostics.empty()) << ::testing::PrintToString(diagnostics.lines());
}

// The booking templates name accounts by short code; the look-up goes
// through the short-code key of the account file.
TEST_P(TemplateTest, BookingTemplateShortCodesResolveByKey) {
  ASSERT_TRUE(OpenPath(path("sako"), kSlotScratch));
  for (const char* code : BookingTemplateShortCodes()) {
    char record[733];
    char key[10] = {};
    std::snprintf(key, sizeof key, "%s", code);
    bool found = false;
    EXPECT_TRUE(GetEqual(record, KeyValue(key, sizeof key), found, MakeFileId(kSlotScratch, 1)));
    EXPECT_TRUE(found) << code;
  }
  CloseSlot(kSlotScratch);
}

TEST_P(TemplateTest, TaxKeysNameRateClassesWithRecordsAndIndexesFollowTheDates) {
  Diagnostics diagnostics;
  CheckTaxKeys(built().accounts, built().rates, file(), diagnostics);
  CheckRateIndexes(built().rates, file(), diagnostics);
  EXPECT_TRUE(diagnostics.empty()) << ::testing::PrintToString(diagnostics.lines());
  // The reduced rate in force is the record with the standard rate's index.
  std::map<int, const RateRow*> standard, reduced;
  for (const RateRow& r : built().rates) {
    if (r.rateClass == kStandardRate) standard[r.index] = &r;
    if (r.rateClass == kReducedRate) reduced[r.index] = &r;
  }
  ASSERT_EQ(standard.size(), reduced.size());
  for (const auto& [index, r] : standard)
    EXPECT_EQ(std::tie(r->year, r->month, r->day),
              std::tie(reduced[index]->year, reduced[index]->month, reduced[index]->day));
}

// Every rate of a period books to its own tax accounts: the record of a
// class in force at a date (the newest one not later than it) names them.
struct RateInForce {
  char chart;
  int rateClass;
  int day, month, year;
  const char* rate;  // empty for the classes whose rate the account gives
  const char* output;
  const char* input;
};

const RateInForce kRatesInForce[] = {
    {'3', kStandardRate, 15, 8, 2020, "16,00", "1775", "1575"},
    {'3', kReducedRate, 15, 8, 2020, "05,00", "1786", "1568"},
    {'3', kReducedRate, 1, 3, 2026, "07,00", "1771", "1571"},
    {'3', kStandardRate, 1, 3, 2026, "19,00", "1776", "1576"},
    {'3', kEcRate, 15, 8, 2020, "", "1773", "1573"},
    {'3', kEcRate, 1, 3, 2026, "", "1774", "1574"},
    {'3', kReverseChargeRate, 1, 3, 2026, "", "1787", "1577"},
    {'4', kReducedRate, 15, 8, 2020, "05,00", "3825", "1414"},
    {'4', kEcRate, 1, 3, 2026, "", "3804", "1404"},
    {'4', kReverseChargeRate, 15, 8, 2020, "", "3836", "1409"},
    {'A', kStandardRate, 1, 3, 2026, "20,00", "35000", "25000"},
    {'A', kOtherRate, 30, 6, 2021, "", "35050", "25050"},
    {'A', kOtherRate, 1, 3, 2026, "", "35130", "25130"},
};

TEST(TemplateRates, EachRateOfAPeriodHasItsOwnTaxAccounts) {
  for (const RateInForce& want : kRatesInForce) {
    const RateRow* inForce = nullptr;
    for (const RateRow& r : BuiltTemplates::contents.at(want.chart).rates) {
      if (r.rateClass != want.rateClass ||
          std::tie(r.year, r.month, r.day) > std::tie(want.year, want.month, want.day))
        continue;
      if (!inForce || std::tie(r.year, r.month, r.day) > std::tie(inForce->year, inForce->month, inForce->day))
        inForce = &r;
    }
    std::string where = std::string(1, want.chart) + " class " + std::to_string(want.rateClass) +
                        " " + std::to_string(want.year) + "-" + std::to_string(want.month);
    ASSERT_TRUE(inForce) << where;
    EXPECT_EQ(inForce->rate, want.rate) << where;
    EXPECT_EQ(inForce->outputAccount, AccountNumber(want.output)) << where;
    EXPECT_EQ(inForce->inputAccount, AccountNumber(want.input)) << where;
  }
}

TEST_P(TemplateTest, UstvaKeyNumbersSitOnAccountsOfTheirKind) {
  Diagnostics diagnostics;
  CheckUstvaKeys(chart(), built().accounts, built().rates, file(), diagnostics);
  EXPECT_TRUE(diagnostics.empty()) << ::testing::PrintToString(diagnostics.lines());
}

// Walks a tree from its header along the links, as the statements do, and
// collects what hangs where.
struct TreeWalk {
  std::map<int, const TreeRecord*> byId;
  std::map<std::string, int> leaves, alternatives;  // account -> count
  std::vector<std::string> problems;
  size_t visited = 0;

  explicit TreeWalk(const std::vector<TreeRecord>& records) {
    for (const TreeRecord& r : records) byId[r.id] = &r;
    const TreeRecord* header = byId.count(1) ? byId[1] : nullptr;
    if (!header || header->kind != 2) {
      problems.push_back("no header");
      return;
    }
    visited = 1;
    WalkChildren(*header, 0);
  }

  // The first node below a group is the one that names the group above it
  // and is not its successor.
  const TreeRecord* FirstChild(const TreeRecord& group) const {
    for (const auto& [id, r] : byId)
      if (r->above == group.id && id != group.next) return r;
    return nullptr;
  }

  void WalkChildren(const TreeRecord& group, int depth) {
    for (const TreeRecord* child = FirstChild(group); child;
         child = child->next ? byId.at(child->next) : nullptr) {
      ++visited;
      if (child->kind == 2) {
        if (layouts::structure::LevelOf(child->levelWord) != depth + 1) problems.push_back(child->label + ": level");
        WalkChildren(*child, depth + 1);
      } else if (depth == 0) {
        problems.push_back(child->label + ": account outside a group");
      } else {
        (child->kind == 5 ? alternatives : leaves)[child->label]++;
      }
    }
  }
};

TEST_P(TemplateTest, EveryAccountHangsInExactlyOneGroupOfItsTree) {
  std::map<std::string, const AccountRow*> accounts;
  for (const AccountRow& a : built().accounts) accounts[a.number] = &a;
  for (int t = 0; t < kTreeCount; ++t) {
    auto tree = static_cast<TreeId>(t);
    TreeWalk walk(built().trees[t]);
    EXPECT_TRUE(walk.problems.empty()) << TreeFileName(tree) << ::testing::PrintToString(walk.problems);
    EXPECT_EQ(walk.visited, built().trees[t].size()) << TreeFileName(tree) << ": unreachable nodes";
    for (const auto& [number, count] : walk.leaves) {
      ASSERT_TRUE(accounts.count(number)) << TreeFileName(tree) << number;
      EXPECT_EQ(accounts[number]->accountClass, TreeClass(tree)) << number;
    }
    for (const auto& [number, count] : walk.alternatives) {
      ASSERT_TRUE(accounts.count(number)) << TreeFileName(tree) << number;
      EXPECT_EQ(accounts[number]->accountClass, AlternativeClass(tree)) << number;
    }
    for (const auto& [number, account] : accounts) {
      if (account->accountClass == TreeClass(tree)) {
        EXPECT_EQ(walk.leaves[number], 1) << TreeFileName(tree) << " " << number;
      }
    }
  }
}

// Bank accounts and the VAT clearing accounts change sides; their
// alternative place keeps the balance sheet from stopping at them. (The
// basic chart's special accounts get none: Mandant creation renumbers them
// in their own side's tree only.)
TEST_P(TemplateTest, BankAndVatClearingHaveAnAlternativePlace) {
  std::set<std::string> alternatives;
  for (int t : {kAssetsTree, kLiabilitiesTree})
    for (const TreeRecord& r : built().trees[t])
      if (r.kind == 5) alternatives.insert(r.label);
  auto shortCodeOf = [&](const std::string& code) {
    for (const AccountRow& a : built().accounts)
      if (a.shortCode == code) return a.number;
    return std::string();
  };
  EXPECT_TRUE(alternatives.count(shortCodeOf("Bank")));
  if (GetParam() == 'G') return;
  EXPECT_TRUE(alternatives.count(chart().defaults[kInputTaxRow]));
  EXPECT_TRUE(alternatives.count(chart().defaults[4]));  // standard-rate output tax
}

// The statute's computed lines: 15 and 17 of the P&L sum the groups above
// them, A. V. of the liabilities carries the year's result; none holds an
// account.
TEST_P(TemplateTest, ComputedLinesOfTheGermanCharts) {
  if (GetParam() != '3' && GetParam() != '4') return;
  auto bitsOf = [&](int tree, const std::string& prefix) {
    for (const TreeRecord& r : built().trees[tree])
      if (r.kind == 2 && r.label.rfind(prefix, 0) == 0) return layouts::structure::AttributesOf(r.levelWord);
    return -1;
  };
  EXPECT_TRUE(bitsOf(kProfitAndLossTree, "15. ") & kSumAbove);
  EXPECT_TRUE(bitsOf(kProfitAndLossTree, "17. ") & kSumAbove);
  EXPECT_TRUE(bitsOf(kLiabilitiesTree, "V. Jahres") & kYearResult);
}

INSTANTIATE_TEST_SUITE_P(Charts, TemplateTest, ::testing::Values('3', '4', 'A', 'G'),
                         [](const auto& info) {
                           return std::string(ChartByLetter(info.param)->folder);
                         });

}  // namespace
