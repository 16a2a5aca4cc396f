// The SKR 03 and SKR 04 templates against the published facts of today's
// charts (tests/charts/data: account number, class, balance-sheet or P&L
// position, tax function and UStVA key number; no names). The built
// templates are read back through the record store; at least 95 % of the
// current accounts must be there, and for at least 95 % of them the
// position (the group the account hangs in), the tax key and the key
// number must agree. Every difference is listed in the test's output.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "charts/template_reader.h"
#include "core/structure_file.h"
#include "support/temp_dir.h"
#include "tools/chart_builder/hgb_positions.h"
#include "tools/chart_builder/template_writer.h"

using namespace talvera::charts;
using talvera::testing::TemplateContents;
using talvera::StructureEntry;
using talvera::StructureTree;
using talvera::TreeFromRecords;

namespace {

struct Fact {
  std::string number, accountClass, position, tax, ustva, note;
};

// One ';'-separated line; fields may be double-quoted.
std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') cells.back() += c, ++i;
    else if (c == '"') quoted = !quoted;
    else if (c == ';' && !quoted) cells.emplace_back();
    else if (c != '\r') cells.back() += c;
  }
  return cells;
}

std::vector<Fact> ReadFacts(const std::string& path) {
  std::ifstream in(path);
  std::vector<Fact> facts;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> c = SplitCsv(line);
    if (c.size() == 6) facts.push_back({c[0], c[1], c[2], c[3], c[4], c[5]});
  }
  return facts;
}

// The tax key and own rate a tax function asks for; a proposal ("prop_")
// asks for the same key (the entry dialogs propose it, nothing fixes it).
void ExpectedKey(std::string code, int& key, std::string& rate) {
  key = 0;
  rate.clear();
  if (code.rfind("prop_", 0) == 0) code = code.substr(5);
  static const std::map<std::string, std::pair<int, const char*>> kKeys = {
      {"out19", {kStandardRate, ""}}, {"out7", {kReducedRate, ""}},
      {"out16", {kOtherRate, "16,00"}}, {"out15", {kOtherRate, "15,00"}},
      {"out_ag24", {kOtherRate, "07,80"}},
      {"in19", {kInputTax | kStandardRate, ""}}, {"in7", {kInputTax | kReducedRate, ""}},
      {"in16", {kInputTax | kOtherRate, "16,00"}},
      {"in_flat10.7", {kInputTax | kOtherRate, "10,70"}}, {"in_flat9", {kInputTax | kOtherRate, "09,00"}},
      {"in_flat5.5", {kInputTax | kOtherRate, "05,50"}}, {"in_flat5", {kInputTax | kOtherRate, "05,00"}},
      {"in_warehouse19", {kInputTax | kStandardRate, ""}}, {"in_warehouse7", {kInputTax | kReducedRate, ""}},
      {"in_warehouse16", {kInputTax | kOtherRate, "16,00"}},
      {"triangle_last19", {kInputTax | kStandardRate, ""}},
      {"eust19", {kInputTax | kStandardRate, ""}}, {"eust7", {kInputTax | kReducedRate, ""}},
      {"ig_in19", {kInputTax | kEcRate, "19,00"}}, {"ig_in7", {kInputTax | kEcRate, "07,00"}},
      {"ig_in16", {kInputTax | kEcRate, "16,00"}}, {"ig_in15", {kInputTax | kEcRate, "15,00"}},
      {"ig_in19_nodeduct", {kEcRate, "19,00"}}, {"ig_in7_nodeduct", {kEcRate, "07,00"}},
      {"ig_in_free", {kInputTax | kZeroRate, ""}}, {"ig_in_vehicle", {kInputTax | kEcRate, "19,00"}},
  };
  auto found = kKeys.find(code);
  if (found != kKeys.end()) {
    key = found->second.first;
    rate = found->second.second;
    return;
  }
  if (code.rfind("free", 0) == 0 || code == "triangle_first" || code == "eu_service" ||
      code == "rc_supply" || code == "nontaxable") {
    key = kZeroRate;
    return;
  }
  if (code.rfind("rc", 0) == 0) {  // rc19, rc_eu7, rc16_nodeduct, ...
    bool deduct = code.find("_nodeduct") == std::string::npos;
    key = kReverseChargeRate | (deduct ? kInputTax : 0);
    rate = code.find("19") != std::string::npos ? "19,00" : code.find("16") != std::string::npos ? "16,00" : "07,00";
  }
}

struct Comparison {
  int current = 0, present = 0, agreeing = 0;
  std::vector<std::string> missing, differences;
};

class FactsAgreementTest : public ::testing::TestWithParam<char> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new talvera::testing::TempDir;
    for (char letter : {'3', '4'}) {
      ChartTemplate prepared;
      Diagnostics diagnostics;
      ASSERT_TRUE(PrepareChart(TALVERA_CHART_SOURCES, *ChartByLetter(letter), prepared, diagnostics))
          << ::testing::PrintToString(diagnostics.lines());
      ASSERT_TRUE(WriteChartTemplate(prepared, letter, dir_->path()));
      ASSERT_TRUE(talvera::testing::ReadTemplate(dir_->path(), letter, (*built_)[letter]));
    }
  }
  static void TearDownTestSuite() { delete dir_; }

  // Account number -> position of the group its (normal) leaf hangs in. The
  // subgroups of item 8 carry no number; the facts number them 8.1 to 8.7
  // in the order the templates keep them.
  static std::map<std::string, std::string> PositionsOf(const TemplateContents& t) {
    std::map<std::string, std::string> result;
    for (int i = 0; i < kTreeCount; ++i) {
      StructureTree structure;
      EXPECT_TRUE(TreeFromRecords(t.trees[i], structure));
      std::map<int, std::string> positions = GroupPositions(static_cast<TreeId>(i), structure);
      int subgroup = 0;
      for (int handle : structure.DepthFirst()) {
        const StructureEntry& e = structure.at(handle);
        if (e.IsGroup() && e.level == 2 && positions[handle] == "GuV.8")
          positions[handle] += "." + std::to_string(++subgroup);
        if (e.kind == StructureEntry::kLeaf) result[e.text] = positions[e.parent];
      }
    }
    return result;
  }

  static Comparison Compare(char letter) {
    const TemplateContents& t = built_->at(letter);
    std::map<std::string, const AccountRow*> accounts;
    for (const AccountRow& a : t.accounts) accounts[a.number] = &a;
    std::map<std::string, std::string> positions = PositionsOf(t);
    std::string file = std::string(TALVERA_TEST_DATA) + (letter == '3' ? "/skr03" : "/skr04") + "-accounts.csv";
    Comparison c;
    for (const Fact& f : ReadFacts(file)) {
      if (f.note.find("older charts only") != std::string::npos) continue;
      ++c.current;
      auto found = accounts.find(AccountNumber(f.number));
      if (found == accounts.end()) {
        c.missing.push_back(f.number);
        continue;
      }
      ++c.present;
      const AccountRow& a = *found->second;
      std::vector<std::string> wrong;
      std::string position = positions.count(a.number) ? positions[a.number] : "";
      if (f.accountClass == "N" ? a.accountClass != kNoClass : position != f.position)
        wrong.push_back("Posten " + (position.empty() ? "-" : position) + " statt " + f.position);
      int key;
      std::string rate;
      ExpectedKey(f.tax, key, rate);
      if (a.taxKey != key || a.rate != rate)
        wrong.push_back("Steuerschlüssel " + std::to_string(a.taxKey) + " " + a.rate + " statt " + f.tax);
      std::string kz = a.ustvaKey ? std::to_string(a.ustvaKey) : "";
      bool prop = f.tax.rfind("prop_", 0) == 0;
      if (kz != (prop ? "" : f.ustva) && !(f.ustva == "47/85" && (kz == "47" || kz == "85")))
        wrong.push_back("Kz " + (kz.empty() ? "-" : kz) + " statt " + (f.ustva.empty() ? "-" : f.ustva));
      if (wrong.empty()) {
        ++c.agreeing;
        continue;
      }
      std::string line = f.number + ":";
      for (const std::string& w : wrong) line += " " + w + ";";
      c.differences.push_back(line);
    }
    return c;
  }

  static inline talvera::testing::TempDir* dir_ = nullptr;
  static inline std::map<char, TemplateContents>* built_ = new std::map<char, TemplateContents>;
};

TEST_P(FactsAgreementTest, TemplateHoldsTheCurrentAccountsAsTheFactsDescribeThem) {
  Comparison c = Compare(GetParam());
  ASSERT_GT(c.current, 1000);
  std::ostringstream report;
  report << "SKR 0" << GetParam() << ": " << c.current << " current accounts, " << c.present
         << " in the template, " << c.agreeing << " agree\n";
  for (const std::string& m : c.missing) report << "  fehlt " << m << "\n";
  for (const std::string& d : c.differences) report << "  " << d << "\n";
  std::cout << report.str();
  EXPECT_GE(c.present * 100, c.current * 95) << report.str();
  EXPECT_GE(c.agreeing * 100, c.present * 95) << report.str();
}

INSTANTIATE_TEST_SUITE_P(Charts, FactsAgreementTest, ::testing::Values('3', '4'),
                         [](const auto& info) { return std::string("SKR0") + info.param; });

}  // namespace
