// Broken sources must be refused with a message that names the fault, so
// that a wrong key number or a lost account never reaches a template.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/layouts/structure.h"
#include "core/structure_file.h"
#include "tools/chart_builder/chart_rules.h"
#include "tools/chart_builder/ustva_kinds.h"

using namespace talvera::charts;

namespace {

AccountRow& AccountOf(ChartSource& s, const char* number) {
  auto it = std::find_if(s.accounts.begin(), s.accounts.end(),
                         [&](const AccountRow& a) { return a.number == AccountNumber(number); });
  if (it == s.accounts.end()) throw std::runtime_error(number);
  return *it;
}

void EraseRates(ChartSource& s, int rateClass, size_t keep) {
  size_t seen = 0;
  std::erase_if(s.rates, [&](const RateRow& r) { return r.rateClass == rateClass && seen++ >= keep; });
}

// Every rule a prepared chart goes through, on sources already read.
Diagnostics CheckEverything(const ChartDefinition& chart, const ChartSource& s) {
  Diagnostics d;
  CheckAccounts(s.accounts, "sako", d);
  CheckChartAccounts(chart, s.accounts, "sako", d);
  CheckRates(s.rates, s.accounts, "steke", d);
  CheckTaxKeys(s.accounts, s.rates, "sako", d);
  CheckUstvaKeys(chart, s.accounts, s.rates, "sako", d);
  for (int t = 0; t < kTreeCount; ++t)
    BuildTreeNodes(static_cast<TreeId>(t), s.trees[t], s.accounts, "tree", d);
  return d;
}

struct BrokenChart {
  const char* name;
  std::function<void(ChartSource&)> breakIt;
  const char* expected;  // part of the message
};

const BrokenChart kBrokenCharts[] = {
    {"TurnoverKeyOnExpenseAccount", [](ChartSource& s) { AccountOf(s, "3400").ustvaKey = 81; },
     "Kennziffer 81 auf Konto 3400"},
    {"StandardRateKeyOnReducedRevenue", [](ChartSource& s) { AccountOf(s, "8300").ustvaKey = 81; },
     "Kennziffer 81 auf Konto 8300"},
    {"InputTaxKeyOnRevenue", [](ChartSource& s) { AccountOf(s, "8400").ustvaKey = 66; },
     "Kennziffer 66 auf Konto 8400"},
    {"OtherRateTaxOnStandardOutputTaxCountsTwice",
     [](ChartSource& s) { AccountOf(s, "1776").ustvaKey = 36; }, "Kennziffer 36 auf Konto 1776"},
    {"InputTaxKeyOnEcInputTaxCountsTwice", [](ChartSource& s) { AccountOf(s, "1572").ustvaKey = 66; },
     "Kennziffer 66 auf Konto 1572"},
    {"StandardAcquisitionAtReducedRate", [](ChartSource& s) { AccountOf(s, "3425").rate = "07,00"; },
     "Kennziffer 89 auf Konto 3425"},
    {"RecipientTaxBaseOnOrdinaryPurchase", [](ChartSource& s) { AccountOf(s, "3400").ustvaKey = 84; },
     "Kennziffer 84 auf Konto 3400"},
    {"RecipientInputTaxKeyOnOrdinaryInputTax",
     [](ChartSource& s) { AccountOf(s, "1576").ustvaKey = 67; }, "Kennziffer 67 auf Konto 1576"},
    {"AcquisitionInputTaxKeyOnRecipientInputTax",
     [](ChartSource& s) { AccountOf(s, "1577").ustvaKey = 61; }, "Kennziffer 61 auf Konto 1577"},
    {"RecipientTaxRecordsMissing", [](ChartSource& s) { EraseRates(s, kReverseChargeRate, 0); },
     "keinen Steuersatz"},
    {"ImportVatKeyOnOtherAccount", [](ChartSource& s) { AccountOf(s, "1571").ustvaKey = 62; },
     "Kennziffer 62 auf Konto 1571"},
    {"KeyTheReturnDoesNotKnow", [](ChartSource& s) { AccountOf(s, "8400").ustvaKey = 22; },
     "kennt die Voranmeldung nicht"},
    {"RevenueAccountWithoutKey", [](ChartSource& s) { AccountOf(s, "8400").ustvaKey = 0; },
     "Erlöskonto"},
    {"OwnRateOnStandardRateAccount", [](ChartSource& s) { AccountOf(s, "8400").rate = "19,00"; },
     "eigenen Satz"},
    {"DuplicateShortCode", [](ChartSource& s) { AccountOf(s, "1010").shortCode = "Kasse"; },
     "Kürzel Kasse doppelt"},
    {"BookingTemplateCodeMissing", [](ChartSource& s) { AccountOf(s, "8400").shortCode = "Erl19"; },
     "Kürzel Erl.vo"},
    {"ChartDefaultMissing",
     [](ChartSource& s) { std::erase_if(s.accounts, [](auto& a) { return a.number == "   0869"; }); },
     "0869 fehlt"},
    {"TaxKeyWithoutRateRecords", [](ChartSource& s) { EraseRates(s, kEcRate, 0); },
     "keinen Steuersatz"},
    {"ReducedRateDatesDifferFromStandard", [](ChartSource& s) { EraseRates(s, kReducedRate, 5); },
     "dieselben Gültigkeitstage"},
    {"RateRecordWithMissingTaxAccount",
     [](ChartSource& s) { s.rates.front().outputAccount = AccountNumber("1798"); },
     "Steuerkonto 1798"},
    {"AccountInNoGroup",
     [](ChartSource& s) {
       AccountRow a = AccountOf(s, "4900");
       a.number = AccountNumber("5555");
       a.shortCode = "Neu";
       s.accounts.push_back(a);
     },
     "Konto 5555 hängt in keiner Gruppe"},
    {"AccountOnTheWrongSide", [](ChartSource& s) { AccountOf(s, "0010").accountClass = kLiability; },
     "Konto 0010 hängt in keiner Gruppe"},
};

class BrokenChartTest : public ::testing::TestWithParam<BrokenChart> {};

TEST_P(BrokenChartTest, IsRefusedWithItsFault) {
  const ChartDefinition& skr03 = *ChartByLetter('3');
  ChartSource source;
  Diagnostics read;
  ASSERT_TRUE(ReadChartSource(TALVERA_CHART_SOURCES, skr03.folder, source, read));
  ASSERT_TRUE(CheckEverything(skr03, source).empty());
  GetParam().breakIt(source);
  Diagnostics found = CheckEverything(skr03, source);
  EXPECT_TRUE(found.Mentions(GetParam().expected)) << ::testing::PrintToString(found.lines());
}

INSTANTIATE_TEST_SUITE_P(Rules, BrokenChartTest, ::testing::ValuesIn(kBrokenCharts),
                         [](const auto& info) { return std::string(info.param.name); });

struct BrokenLine {
  const char* name;
  const char* text;
  const char* expected;
};

const char kAccountHeader[] = "konto | kürzel | bezeichnung | klasse | steuer | satz | erlös | kz | kostenart | av\n";

const BrokenLine kBrokenAccountLines[] = {
    {"NameTooLong", "8400 | Erl | Erlöse aus Lieferungen 19 % | G | R | | x | 50 | |", "Bezeichnung"},
    {"NameOutsideCodePage", "8400 | Erl | Erlöse Łódź | G | R | | x | 50 | |", "Bezeichnung"},
    {"ShortCodeTooLong", "8400 | Erlöse19 % | Erlöse | G | R | | x | 50 | |", "Kürzel"},
    {"NumberWithLetters", "84A0 | Erl | Erlöse | G | R | | x | 50 | |", "Kontonummer"},
    {"UnknownClass", "8400 | Erl | Erlöse | X | R | | x | 50 | |", "Klasse"},
    {"UnknownTaxKey", "8400 | Erl | Erlöse | G | VX | | x | 50 | |", "Steuerschlüssel"},
    {"KeyNumberAbove100", "8400 | Erl | Erlöse | G | R | | x | 101 | |", "Kennziffer"},
    {"MissingColumn", "8400 | Erl | Erlöse | G | R | | x | 50 |", "10 Spalten"},
};

const BrokenLine kBrokenTreeLines[] = {
    {"LevelSkipped", "1 A\n3 B\n", "Ebene 3 folgt auf Ebene 1"},
    {"AccountsBeforeAnyGroup", "konten 1000\n1 A\n", "vor der ersten Gruppe"},
    {"UnknownAttribute", "1 A [kursiv]\n", "unbekanntes Attribut"},
    {"GroupTextTooLong", "1 Sonstige betriebliche Aufwendungen\n", "Gruppenbezeichnung"},
    {"RangeBackwards", "1 A\nkonten 1999-1000\n", "Spanne"},
    {"UnknownLine", "gruppe A\n", "beginnt nicht"},
    {"AccountsInAComputedLine", "1 A\nkonten 4000\n1 Summe [fett summe]\nkonten 4010\n", "gerechnete Zeile"},
};

class BrokenLineTest : public ::testing::TestWithParam<BrokenLine> {};

TEST_P(BrokenLineTest, AccountLineIsRefused) {
  std::vector<AccountRow> rows;
  Diagnostics d;
  ParseAccounts(std::string(kAccountHeader) + GetParam().text, "sako", rows, d);
  EXPECT_TRUE(rows.empty());
  EXPECT_TRUE(d.Mentions(GetParam().expected)) << ::testing::PrintToString(d.lines());
}

INSTANTIATE_TEST_SUITE_P(Accounts, BrokenLineTest, ::testing::ValuesIn(kBrokenAccountLines),
                         [](const auto& info) { return std::string(info.param.name); });

class BrokenTreeLineTest : public ::testing::TestWithParam<BrokenLine> {};

TEST_P(BrokenTreeLineTest, TreeLineIsRefused) {
  std::vector<TreeLine> lines;
  Diagnostics d;
  ParseTree(GetParam().text, "guvauf", lines, d);
  EXPECT_TRUE(d.Mentions(GetParam().expected)) << ::testing::PrintToString(d.lines());
}

INSTANTIATE_TEST_SUITE_P(Trees, BrokenTreeLineTest, ::testing::ValuesIn(kBrokenTreeLines),
                         [](const auto& info) { return std::string(info.param.name); });

// Placement rules that need accounts: overlapping ranges, alternatives in
// the P&L, and a single number that wins over a range.
TEST(TreePlacement, RangesSinglesAndAlternatives) {
  std::vector<AccountRow> accounts(3);
  accounts[0].number = AccountNumber("4000"), accounts[0].accountClass = kProfitAndLoss;
  accounts[1].number = AccountNumber("4010"), accounts[1].accountClass = kProfitAndLoss;
  accounts[2].number = AccountNumber("1200"), accounts[2].accountClass = kAsset;
  auto build = [&](const char* text, TreeId tree, Diagnostics& d) {
    std::vector<TreeLine> lines;
    ParseTree(text, "t", lines, d);
    return BuildTreeNodes(tree, lines, accounts, "t", d);
  };

  Diagnostics overlap;
  build("1 A\nkonten 4000-4010\n1 B\nkonten 4005-4099\n", kProfitAndLossTree, overlap);
  EXPECT_TRUE(overlap.Mentions("4010 liegt in zwei Spannen"));

  Diagnostics alternative;
  build("1 A\nkonten 4000-4099\nausweich 1200\n", kProfitAndLossTree, alternative);
  EXPECT_TRUE(alternative.Mentions("nur in der Bilanz"));

  Diagnostics fine;
  talvera::StructureTree tree = build("1 A\nkonten 4000-4099\n2 B [fett]\nkonten 4010\n1 S [fett summe]\n",
                                      kProfitAndLossTree, fine);
  ASSERT_TRUE(fine.empty()) << ::testing::PrintToString(fine.lines());
  // Header, A, leaf 4000, B, leaf 4010: 4010 went to B although A's range
  // covers it; then the computed line S with its attribute bit.
  std::vector<talvera::StructureRecord> nodes = talvera::StructureRecords(tree);
  ASSERT_EQ(nodes.size(), 6u);
  EXPECT_EQ(nodes[5].levelWord, talvera::layouts::structure::LevelWord(1, kBold | kSumAbove));
  EXPECT_EQ(nodes[2].label, AccountNumber("4000"));
  EXPECT_EQ(nodes[3].label, "B");
  EXPECT_EQ(nodes[3].levelWord, talvera::layouts::structure::LevelWord(2, kBold));
  EXPECT_EQ(nodes[4].label, AccountNumber("4010"));
}

}  // namespace
