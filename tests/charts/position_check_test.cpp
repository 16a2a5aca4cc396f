// The trees must follow the balance-sheet and P&L outline: a group's label
// gives its position, and an account may only hang in a group of its own
// position (lage.txt). A chart that puts an account elsewhere, or has no
// group for its position, is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"
#include "tools/chart_builder/hgb_positions.h"

using namespace talvera::charts;

namespace {

struct Label {
  TreeId tree;
  const char* parent;
  int level;
  const char* label;
  const char* position;
};

const Label kLabels[] = {
    {kAssetsTree, "", 1, "A. Anlagevermögen", "A"},
    {kAssetsTree, "A", 2, "II. Sachanlagen", "A.II"},
    {kAssetsTree, "A.II", 3, "1. Grundstücke, Bauten", "A.II.1"},
    {kAssetsTree, "", 1, "Privatbereich", ""},
    {kLiabilitiesTree, "", 1, "C. Verbindlichkeiten", "P.C"},
    {kLiabilitiesTree, "P.C", 2, "8. Sonst. Verbindlichk.", "P.C.8"},
    {kLiabilitiesTree, "P.C.8", 3, "davon aus Steuern", "P.C.8"},
    {kProfitAndLossTree, "", 1, "5. Materialaufwand", "GuV.5"},
    {kProfitAndLossTree, "GuV.5", 2, "a) Roh-, Hilfsst., Waren", "GuV.5a"},
    {kProfitAndLossTree, "GuV.8", 2, "Raumkosten", "GuV.8"},
    {kProfitAndLossTree, "", 1, "Ergebnisverwendung", "GuV.EV"},
};

TEST(GroupPosition, FollowsTheOutlineNumbersOfTheLabels) {
  for (const Label& l : kLabels)
    EXPECT_EQ(GroupPosition(l.tree, l.parent, l.level, l.label), l.position) << l.label;
}

TEST(GroupPosition, AnAccountFitsItsGroupOrAGroupAbove) {
  EXPECT_TRUE(PositionFits("A.II.1", "A.II.1"));
  EXPECT_TRUE(PositionFits("GuV.8", "GuV.8.3"));      // subgroups of item 8 carry no number
  EXPECT_FALSE(PositionFits("A.II.1", "A.II"));       // less precise than its group
  EXPECT_FALSE(PositionFits("GuV.5", "GuV.5a"));      // belongs into a) below item 5
  EXPECT_FALSE(PositionFits("B.II.1", "B.II.10"));
  EXPECT_FALSE(PositionFits("", "A.II.1"));           // a group without a position takes none
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The SKR 03 sources with one line of lage.txt replaced.
struct ChangedPositions {
  const char* name;
  const char* line;         // the line as it stands
  const char* replacement;  // empty: the line is dropped
  const char* expected;     // part of the message
};

const ChangedPositions kChanges[] = {
    {"AccountInTheGroupOfAnotherPosition", "1000  | B.IV", "1000  | B.II.4",
     "Konto 1000 (Posten B.II.4) hängt in einer Gruppe des Postens B.IV"},
    {"PositionWithoutAGroup", "1000  | B.IV", "1000  | F", "Konto 1000: zu Posten F gibt es keine Gruppe"},
    {"GroupLessPreciseThanAnother", "1000  | B.IV", "1000  | B.II", "Konto 1000 (Posten B.II) hängt in einer Gruppe des Postens B.IV"},
    {"PositionOfTheOtherSide", "1000  | B.IV", "1000  | P.C.2", "Konto 1000: Posten P.C.2 liegt nicht in Aktiva"},
    {"AccountWithoutPosition", "1000  | B.IV\n", "", "Konto 1000 hat keinen Posten"},
    {"PositionOfAnUnknownAccount", "1000  | B.IV\n", "1000  | B.IV\n5555  | B.IV\n",
     "Konto 5555 steht nicht in sako.txt"},
    {"MalformedLine", "1000  | B.IV", "1000  | B..IV", "Kontonummer und Posten"},
};

class PositionCheckTest : public ::testing::TestWithParam<ChangedPositions> {};

TEST_P(PositionCheckTest, RefusesTheChart) {
  talvera::testing::TempDir root;
  std::filesystem::copy(std::string(TALVERA_CHART_SOURCES) + "/skr03", root / "skr03");
  ChartTemplate prepared;
  Diagnostics before;
  ASSERT_TRUE(PrepareChart(root.path(), *ChartByLetter('3'), prepared, before))
      << ::testing::PrintToString(before.lines());

  std::string text = ReadAll(root / "skr03/lage.txt");
  size_t at = text.find(GetParam().line);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, std::string(GetParam().line).size(), GetParam().replacement);
  std::ofstream(root / "skr03/lage.txt", std::ios::binary | std::ios::trunc) << text;

  ChartTemplate broken;
  Diagnostics found;
  EXPECT_FALSE(PrepareChart(root.path(), *ChartByLetter('3'), broken, found));
  EXPECT_TRUE(found.Mentions(GetParam().expected)) << ::testing::PrintToString(found.lines());
}

INSTANTIATE_TEST_SUITE_P(Positions, PositionCheckTest, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

// A tree that hangs an account into the group of another position is
// refused although the position table is right.
TEST(PositionCheck, TreeThatContradictsThePositionIsRefused) {
  talvera::testing::TempDir root;
  std::filesystem::copy(std::string(TALVERA_CHART_SOURCES) + "/skr03", root / "skr03");
  std::string tree = ReadAll(root / "skr03/bilaktau.txt");
  // 0983 (deferred tax assets, D) moves into C.
  auto replace = [&](const std::string& from, const std::string& to) {
    size_t at = tree.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    tree.replace(at, from.size(), to);
  };
  replace("      konten 0983\n", "");
  replace("konten 0980 ", "konten 0980 0983 ");
  std::ofstream(root / "skr03/bilaktau.txt", std::ios::binary | std::ios::trunc) << tree;

  ChartTemplate prepared;
  Diagnostics found;
  EXPECT_FALSE(PrepareChart(root.path(), *ChartByLetter('3'), prepared, found));
  EXPECT_TRUE(found.Mentions("Konto 0983 (Posten D) hängt in einer Gruppe des Postens C"))
      << ::testing::PrintToString(found.lines());
}

}  // namespace
