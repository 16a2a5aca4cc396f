// The P&L statement and the balance sheet on the fixed Mandant with its
// statement additions (support/fixed_mandant.md, "Additions for the
// statements", holds the hand figures the golden files were checked against).
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "recman/recman.h"
#include "reports/bwa_report.h"
#include "reports/report_buffer.h"
#include "reports/statement_report.h"
#include "reports/statement_values.h"
#include "support/fixed_mandant.h"
#include "support/golden_report.h"

using namespace talvera;
using talvera::testing::FixedMandantTest;

namespace {

class StatementTest : public FixedMandantTest {
 protected:
  void SetUp() override {
    FixedMandantTest::SetUp();
    ASSERT_TRUE(PrepareStatements());
  }

  std::string Golden(const std::string& name, int lines, int width) {
    EXPECT_GT(lines, 0) << name;
    EXPECT_EQ(lines, TheReportBuffer().LineCount());
    std::string text = talvera::testing::GoldenText(TheReportBuffer(), width);
    talvera::testing::ExpectGolden(TALVERA_GOLDEN_DIR, name, text);
    return text;
  }

  // The amount that ends the line starting with `label` (after the margin).
  static std::string ValueAfter(const std::string& text, const std::string& label) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      std::size_t at = line.find_first_not_of(' ', 4);
      if (line.size() < 4 || at == std::string::npos || line.compare(at, label.size(), label) != 0) continue;
      std::istringstream words(line.substr(at + label.size()));
      std::string first;
      words >> first;
      return first;
    }
    return "missing";
  }

  static void ExpectBalanced(const std::string& text) {
    EXPECT_NE(ValueAfter(text, "Summe Aktiva"), "missing");
    EXPECT_EQ(ValueAfter(text, "Summe Aktiva"), ValueAfter(text, "Summe Passiva")) << text;
  }

  static StatementOptions Options(const char* date) {
    StatementOptions o;
    std::strcpy(o.date, date);
    return o;
  }
};

TEST(StatementTexts, DevelopmentColumn) {
  struct Case {
    const char* name;
    long long current, previous;
    const char* text;
  } cases[] = {
      {"shrunk on the expected side", 1234500, 10000000, "-   87,66"},
      {"growth of 12.345 per cent", 11234500, 10000000, "+   12,35"},
      {"shrunk on the unexpected side", -5000, -13000, "+   61,54"},
      {"grown on the unexpected side", -27000, -7000, "-  285,71"},
      {"crossed to the expected side", 5000, -5000, "+  200,00"},
      {"crossed to the unexpected side", -5000, 5000, "-  200,00"},
      {"current zero, previous expected", 0, 5000, "-  100,00"},
      {"current zero, previous unexpected", 0, -5000, "+  100,00"},
      {"no previous value", 5000, 0, "    -    "},
      {"no change", 5000, 5000, "     0,00"},
      {"tiny change rounds to zero", 100000001, 100000000, "+    0,00"},
      {"beyond a thousandfold", 100000000, 100, " >100 000"},
      {"largest that is written", 100000, 100, "+99900,00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = DevelopmentText(c.current, c.previous);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(text.size(), 9u);
  }
  EXPECT_EQ(ShareText(1, 3), "33,33 %");
  EXPECT_EQ(ShareText(-20000, 53250), "-37,56 %");
  EXPECT_EQ(ShareText(5, 0), "  -   ");
}

// March of 1996 against March of 1995, with the development column; month
// and year values each with their heading and result line.
TEST_F(StatementTest, ProfitAndLossWithMonthsAndPreviousYear) {
  StatementOptions o = Options("310316");
  o.evaluation = StatementEvaluation::kDevelopment;
  o.accounts = StatementAccountLines::kAll;
  o.monthValues = o.yearValues = true;
  std::string text = Golden("guv_31_03_entwicklung", BuildProfitAndLoss(o), StatementWidth(o));
  EXPECT_EQ(StatementWidth(o), 92);
  EXPECT_NE(text.find("270,00 S"), std::string::npos);  // the computed line and the result of March
  EXPECT_NE(text.find("170,00 S"), std::string::npos);  // the result of January to March
  // Attribute 1 puts an empty line before a group, 16 + 32 print it bold and underlined.
  EXPECT_NE(text.find("   |\nBU | Aufwendungen"), std::string::npos);

  // Printed: each pass on its own pages, each ended by its result line.
  o.linesPerPage = 30;
  o.accounts = StatementAccountLines::kNone;
  Golden("guv_31_03_druck", BuildProfitAndLoss(o), StatementWidth(o));
  EXPECT_EQ(TheReportBuffer().PageCount(), 2);
}

// The P&L of a quarter with its shares; without the year before's file a
// span shorter than the year has no previous-year value, never a whole
// year's turnover set against a month.
TEST_F(StatementTest, ProfitAndLossOfAQuarterWithoutThePreviousYear) {
  ASSERT_EQ(recman::DeleteFile(YearDirectory("1995") + "/sako.btr"), 0);
  StatementOptions o = Options("310316");
  o.firstPeriod = 1;
  o.evaluation = StatementEvaluation::kDevelopment;
  o.depth = 1;
  Golden("guv_quartal_ohne_vorjahr", BuildProfitAndLoss(o), StatementWidth(o));
  o.evaluation = StatementEvaluation::kStructure;
  o.depth = 2;
  Golden("guv_quartal_struktur", BuildProfitAndLoss(o), StatementWidth(o));
}

// 1210 in credit moves to its alternative place among the liabilities;
// 1000 in credit has none and stays with a minus sign; the result closes
// the liabilities side.
TEST_F(StatementTest, BalanceSheetsBalance) {
  struct Case {
    const char* golden;
    const char* date;
    StatementEvaluation evaluation;
    bool comparison;
    bool opening;
    int linesPerPage;
  } cases[] = {
      {"bilanz_31_12_struktur_vorjahr", "311216", StatementEvaluation::kStructure, true, false, 0},
      {"bilanz_31_12_entwicklung", "311216", StatementEvaluation::kDevelopment, false, false, 0},
      {"bilanz_15_03_druck", "150316", StatementEvaluation::kNone, false, false, 22},
      {"eroeffnungsbilanz_1996", "010116", StatementEvaluation::kNone, false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    StatementOptions o = Options(c.date);
    o.evaluation = c.evaluation;
    o.previousYearComparison = c.comparison;
    o.opening = c.opening;
    o.accounts = StatementAccountLines::kPosted;
    o.linesPerPage = c.linesPerPage;
    ExpectBalanced(Golden(c.golden, BuildBalanceSheet(o), StatementWidth(o)));
  }
}

TEST_F(StatementTest, YearResultInAGroupOfTheLiabilities) {
  StructureTree liabilities = StatementLiabilitiesTree();
  liabilities.AppendGroup(liabilities.at(StructureTree::kHeader).children[0], "Jahresfehlbetrag", 2,
                          kGroupYearResult);
  ASSERT_TRUE(SaveStructure(YearDirectory("1996") + "/bilpasau.btr", liabilities));
  StatementOptions o = Options("311216");
  o.depth = 2;
  std::string text = Golden("bilanz_ergebnis_in_gruppe", BuildBalanceSheet(o), StatementWidth(o));
  ExpectBalanced(text);
  EXPECT_EQ(text.find("Bilanzverlust"), std::string::npos);
  EXPECT_EQ(ValueAfter(text, "Jahresfehlbetrag"), "-120,00");
  EXPECT_EQ(ValueAfter(text, "Eigenkapital"), "430,00");
}

// The question 204 needs the accounts on the unexpected side that have no
// place on the other side: 1000, not 1210.
TEST_F(StatementTest, MisplacedAccounts) {
  std::vector<MisplacedAccount> misplaced;
  ASSERT_TRUE(FindMisplacedAccounts(Options("311216"), misplaced));
  ASSERT_EQ(misplaced.size(), 1u);
  EXPECT_EQ(misplaced[0].number, "   1000");
  EXPECT_EQ(misplaced[0].accountClass, 2);
  ASSERT_TRUE(FindMisplacedAccounts(Options("310116"), misplaced));
  EXPECT_TRUE(misplaced.empty());  // in January the cash is still in debit
}

}  // namespace

namespace {

// The whole P&L cumulated against "Aufwendungen" month by month: the
// cumulated side starts with nothing opened and ends with the closing
// posting of 8400 (fixed_mandant.md, "BWA").
TEST_F(StatementTest, BwaCumulatedAgainstMonths) {
  BwaSeries whole, costs;
  ASSERT_TRUE(ComputeBwaSeries({StructureKind::kProfitAndLoss, -1, true, true}, whole));
  StructureTree tree;
  ASSERT_TRUE(ReadStatementTree(StructureKind::kProfitAndLoss, tree));
  int aufwendungen = tree.at(StructureTree::kHeader).children[1];
  ASSERT_TRUE(ComputeBwaSeries({StructureKind::kProfitAndLoss, aufwendungen, false, false}, costs));
  EXPECT_EQ(whole.label, "gesamt");
  EXPECT_EQ(whole.values[0], -10000);
  EXPECT_EQ(whole.values[2], 17000);
  EXPECT_EQ(whole.values[11], 22000);  // the loss of the year, with the closing posting
  EXPECT_EQ(costs.values[2], 32000);
  std::string text = Golden("bwa_guv_kumuliert", BuildBwaReport(whole, costs, 0), kBwaWidth);
  EXPECT_NE(text.find("gesamt (kum.) / Aufwendungen"), std::string::npos);
  EXPECT_NE(text.find("-46,88 %"), std::string::npos);
  // Both cumulated: no "Gesamt:" line.
  costs.cumulative = true;
  BuildBwaReport(whole, costs, 0);
  EXPECT_EQ(talvera::testing::GoldenText(TheReportBuffer(), kBwaWidth).find("Gesamt:"), std::string::npos);
}

TEST_F(StatementTest, AnalysisOfTheAssets) {
  SideAnalysis analysis;
  ASSERT_TRUE(ComputeSideAnalysis(StructureKind::kAssets, 2, analysis));
  ASSERT_EQ(analysis.rows.size(), 3u);
  EXPECT_EQ(analysis.rows[0].current, 53250);
  EXPECT_EQ(analysis.rows[0].previous, 52000);
  EXPECT_EQ(analysis.rows[2].current, 44500);
  EXPECT_EQ(analysis.previousYear, "1995");
  Golden("analyse_aktiva", BuildSideAnalysisReport(analysis, 0), kSideAnalysisWidth);
}

}  // namespace
