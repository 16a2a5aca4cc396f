#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/layouts/create_file.h"
#include "core/layouts/sako.h"
#include "core/layouts/structure.h"
#include "core/record_store.h"
#include "core/structure_file.h"
#include "core/structure_reconcile.h"
#include "core/structure_tree.h"
#include "recman/recman.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

namespace N = layouts::structure;

std::string No(const char* digits) { return std::string(7 - std::string(digits).size(), ' ') + digits; }

// The tree as one line: a group as "name/level" (and "*attributes" when
// set), a leaf as its number, an alternative leaf with "~", children in
// brackets; then the loose leaves after "|".
std::string Outline(const StructureTree& tree, int handle = StructureTree::kHeader) {
  std::string out;
  for (int child : tree.at(handle).children) {
    const StructureEntry& e = tree.at(child);
    if (!out.empty()) out += " ";
    if (e.IsGroup()) {
      out += e.text + "/" + std::to_string(e.level);
      if (e.attributes) out += "*" + std::to_string(e.attributes);
      if (!e.children.empty()) out += "[" + Outline(tree, child) + "]";
    } else {
      std::string n = e.text.substr(e.text.find_first_not_of(' '));
      out += (e.kind == StructureEntry::kAlternativeLeaf ? "~" : "") + n;
    }
  }
  if (handle == StructureTree::kHeader && !tree.loose.empty()) {
    out += " |";
    for (const LooseLeaf& l : tree.loose) out += " " + l.account.substr(l.account.find_first_not_of(' '));
  }
  return out;
}

// A: 1000, A1 (1200, ~1600), A2; B: 1400; loose 1500.
StructureTree SmallTree() {
  StructureTree t;
  t.title = "Aktiva";
  int a = t.AppendGroup(StructureTree::kHeader, "A", 1, 0);
  t.AppendLeaf(a, No("1000"), "Kasse", false);
  int a1 = t.AppendGroup(a, "A1", 2, kGroupBold);
  t.AppendLeaf(a1, No("1200"), "Bank", false);
  t.AppendLeaf(a1, No("1600"), "Verb", true);
  t.AppendGroup(a, "A2", 2, 0);
  int b = t.AppendGroup(StructureTree::kHeader, "B", 1, 0);
  t.AppendLeaf(b, No("1400"), "Ford", false);
  t.loose.push_back({No("1500"), "Sonst"});
  return t;
}

// The entry with a group name or an account number ("1200", "~1600").
int Find(const StructureTree& t, const std::string& what) {
  for (int h : t.DepthFirst()) {
    const StructureEntry& e = t.at(h);
    if (e.IsGroup() && e.text == what) return h;
    bool alternative = what[0] == '~';
    if (e.IsLeaf() && e.text == No(what.c_str() + (alternative ? 1 : 0)) &&
        (e.kind == StructureEntry::kAlternativeLeaf) == alternative)
      return h;
  }
  return -1;
}

// The link rules of the records: node 1 is the header; a node that some
// node names as `next` has that node as `above`, every other linked node
// names its group; ids are 1..n; loose leaves have no links.
std::vector<std::string> LinkProblems(const std::vector<StructureRecord>& records) {
  std::vector<std::string> problems;
  std::map<int, const StructureRecord*> byId;
  std::map<int, int> previousOf;  // id -> the node whose next it is
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].id != static_cast<int>(i) + 1) problems.push_back("ids not 1..n");
    byId[records[i].id] = &records[i];
    if (records[i].next) previousOf[records[i].next] = records[i].id;
  }
  if (records.empty() || records[0].kind != N::kGroup) problems.push_back("no header");
  for (const StructureRecord& r : records) {
    if (r.id == 1) continue;
    if (r.above == 0 && r.next == 0 && !previousOf.count(r.id)) {
      if (r.kind != N::kLeaf) problems.push_back(r.label + ": unlinked, not a leaf");
      continue;
    }
    if (previousOf.count(r.id)) {
      if (r.above != previousOf[r.id]) problems.push_back(r.label + ": above is not the previous");
    } else if (!byId.count(r.above) || byId[r.above]->kind != N::kGroup) {
      problems.push_back(r.label + ": first child does not name its group");
    }
  }
  return problems;
}

class StructureFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDataRoot(data_.path());
    for (const char* f : {"sako", "guvauf", "bilaktau", "bilpasau"})
      ASSERT_TRUE(layouts::CreateFile(data_.path(), f));
  }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
  }
  std::string Path(StructureKind kind) const { return StructurePath(data_.path(), kind); }

  // Writes the tree, checks the links and returns what reads back.
  StructureTree WriteAndRead(const StructureTree& tree) {
    std::string path = Path(StructureKind::kAssets);
    EXPECT_TRUE(SaveStructure(path, tree));
    std::vector<StructureRecord> records;
    EXPECT_TRUE(ReadStructureRecords(path, records));
    EXPECT_EQ(LinkProblems(records), std::vector<std::string>{}) << Outline(tree);
    StructureTree back;
    EXPECT_TRUE(TreeFromRecords(records, back));
    return back;
  }

  void AddAccount(const char* number, int accountClass) {
    namespace S = layouts::sako;
    char r[S::kLayout.recordLength];
    layouts::InitRecord(S::kLayout, r);
    layouts::SetRawText(r, S::kAccountNo, No(number));
    layouts::SetText(r, S::kShortCode, std::string("K") + number);
    layouts::SetNumber(r, S::kAccountClass, accountClass);
    ASSERT_TRUE(OpenPath(data_.path() + "/sako.btr", kSlotScratch));
    ASSERT_TRUE(Insert(r, MakeFileId(kSlotScratch, 0)));
    CloseSlot(kSlotScratch);
  }

  talvera::testing::TempSettingsDir settings_;
  talvera::testing::TempDir data_;
};

struct EditCase {
  const char* name;
  std::function<bool(StructureTree&)> edit;
  const char* outline;
};

const EditCase kEdits[] = {
    {"Unchanged", [](StructureTree&) { return true; },
     "A/1[1000 A1/2*16[1200 ~1600] A2/2] B/1[1400] | 1500"},
    {"AddLeafInAccountOrder",
     [](StructureTree& t) { return t.AddLeaf(Find(t, "A1"), No("1300"), "X", false) > 0; },
     "A/1[1000 A1/2*16[1200 1300 ~1600] A2/2] B/1[1400] | 1500"},
    {"AddLeafBeforeSubgroups",
     [](StructureTree& t) { return t.AddLeaf(Find(t, "A"), No("1900"), "X", false) > 0; },
     "A/1[1000 1900 A1/2*16[1200 ~1600] A2/2] B/1[1400] | 1500"},
    {"AddLooseLeafTakesItIn",
     [](StructureTree& t) { return t.AddLeaf(Find(t, "A2"), No("1500"), "", false) > 0; },
     "A/1[1000 A1/2*16[1200 ~1600] A2/2[1500]] B/1[1400]"},
    {"AddAlternativeLeaf",
     [](StructureTree& t) { return t.AddLeaf(Find(t, "B"), No("1700"), "V", true) > 0; },
     "A/1[1000 A1/2*16[1200 ~1600] A2/2] B/1[1400 ~1700] | 1500"},
    {"MoveLeaf", [](StructureTree& t) { return t.MoveLeaf(Find(t, "1400"), Find(t, "A2")); },
     "A/1[1000 A1/2*16[1200 ~1600] A2/2[1400]] B/1 | 1500"},
    {"RemoveLeafBecomesLoose", [](StructureTree& t) { return t.RemoveLeaf(Find(t, "1000")); },
     "A/1[A1/2*16[1200 ~1600] A2/2] B/1[1400] | 1500 1000"},
    {"RemoveAlternativeLeafIsGone", [](StructureTree& t) { return t.RemoveLeaf(Find(t, "~1600")); },
     "A/1[1000 A1/2*16[1200] A2/2] B/1[1400] | 1500"},
    {"NewGroupAfterSelectionSubtree",
     [](StructureTree& t) { return t.InsertGroup(Find(t, "A1"), "N", 2, 0) > 0; },
     "A/1[1000 A1/2*16[1200 ~1600] N/2 A2/2] B/1[1400] | 1500"},
    {"NewGroupOneDeeperIsFirstChild",
     [](StructureTree& t) { return t.InsertGroup(Find(t, "A1"), "N", 3, 0) > 0; },
     "A/1[1000 A1/2*16[N/3 1200 ~1600] A2/2] B/1[1400] | 1500"},
    {"NewLevelOneGroupFromALeafFollowsItsTopGroup",
     [](StructureTree& t) { return t.InsertGroup(Find(t, "1200"), "N", 1, 1) > 0; },
     "A/1[1000 A1/2*16[1200 ~1600] A2/2] N/1*1 B/1[1400] | 1500"},
    {"NewGroupWithoutSelectionComesLast",
     [](StructureTree& t) { return t.InsertGroup(-1, "N", 1, 0) > 0; },
     "A/1[1000 A1/2*16[1200 ~1600] A2/2] B/1[1400] N/1 | 1500"},
    {"NewGroupTooDeepIsRefused",
     [](StructureTree& t) { return t.InsertGroup(Find(t, "B"), "N", 3, 0) > 0; },
     "A/1[1000 A1/2*16[1200 ~1600] A2/2] B/1[1400] | 1500"},
    {"ChangeGroup", [](StructureTree& t) { return t.ChangeGroup(Find(t, "A2"), "Neu", 48); },
     "A/1[1000 A1/2*16[1200 ~1600] Neu/2*48] B/1[1400] | 1500"},
    {"GroupOntoSameLevelFollowsIt", [](StructureTree& t) { return t.MoveGroup(Find(t, "A"), Find(t, "B")); },
     "B/1[1400] A/1[1000 A1/2*16[1200 ~1600] A2/2] | 1500"},
    {"GroupOntoHigherLevelBecomesLastChild",
     [](StructureTree& t) { return t.MoveGroup(Find(t, "A1"), Find(t, "B")); },
     "A/1[1000 A2/2] B/1[1400 A1/2*16[1200 ~1600]] | 1500"},
    {"LevelOneGroupOntoLevelTwoIsRefused",
     [](StructureTree& t) { return t.MoveGroup(Find(t, "B"), Find(t, "A1")); },
     "A/1[1000 A1/2*16[1200 ~1600] A2/2] B/1[1400] | 1500"},
    {"DeleteGroupWithSubgroups",
     [](StructureTree& t) {
       std::vector<std::string> released;
       return t.DeleteGroup(Find(t, "A"), &released) &&
              released == std::vector<std::string>{No("1000"), No("1200")};
     },
     "B/1[1400] | 1500 1000 1200"},
};

class StructureEditTest : public StructureFileTest, public ::testing::WithParamInterface<EditCase> {};

// Every edit on the small tree, then written and read back: the same tree,
// and records whose links keep the rules.
TEST_P(StructureEditTest, EditsWriteAndReadBack) {
  const EditCase& c = GetParam();
  StructureTree tree = SmallTree();
  bool refused = std::string(c.name).find("Refused") != std::string::npos;
  EXPECT_EQ(c.edit(tree), !refused);
  EXPECT_EQ(Outline(tree), c.outline);
  StructureTree back = WriteAndRead(tree);
  EXPECT_EQ(Outline(back), c.outline);
  EXPECT_EQ(back.title, "Aktiva");
}

INSTANTIATE_TEST_SUITE_P(Tree, StructureEditTest, ::testing::ValuesIn(kEdits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StructureTreeTest, DropRulesAndOfferedLevels) {
  StructureTree t = SmallTree();
  struct Row {
    const char* what;
    int message;
  };
  auto h = [&](const char* w) { return std::string(w) == "header" ? StructureTree::kHeader : Find(t, w); };
  for (Row r : std::initializer_list<Row>{{"A1", 0}, {"1200", 120}, {"header", 120}})
    EXPECT_EQ(t.RefusedAccountDrop(h(r.what)), r.message) << r.what;
  for (Row r : std::initializer_list<Row>{{"1200", 0}, {"~1600", 0}, {"A", 122}, {"header", 122}})
    EXPECT_EQ(t.RefusedTakeOut(h(r.what)), r.message) << r.what;
  struct Move {
    const char *group, *target;
    int message;
  };
  for (Move m : std::initializer_list<Move>{{"B", "A1", 125},    // level 1 onto level 2
                                            {"A", "A2", 125},    // into its own subtree
                                            {"A1", "1200", 139},  // onto an account
                                            {"A1", "header", 139},
                                            {"1200", "A", 139},
                                            {"A2", "A1", 0},
                                            {"A2", "B", 0}})
    EXPECT_EQ(t.RefusedGroupMove(h(m.group), h(m.target)), m.message) << m.group << "->" << m.target;

  EXPECT_EQ(t.OfferedLevels(-1), (std::vector<int>{1}));
  EXPECT_EQ(t.OfferedLevels(Find(t, "B")), (std::vector<int>{1, 2}));
  EXPECT_EQ(t.OfferedLevels(Find(t, "1400")), (std::vector<int>{1, 2}));
  int deep = t.InsertGroup(Find(t, "A1"), "C", 3, 0);
  EXPECT_EQ(t.OfferedLevels(deep), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(t.GroupOf(No("1600"), true), Find(t, "A1"));
  EXPECT_EQ(t.GroupOf(No("1600"), false), -1);

  // A computed line takes neither accounts nor subgroups.
  int sum = t.InsertGroup(-1, "Summe", 1, kGroupSumAbove);
  EXPECT_EQ(t.RefusedAccountDrop(sum), 120);
  EXPECT_EQ(t.RefusedGroupMove(Find(t, "A1"), sum), 139);
  EXPECT_EQ(t.RefusedGroupMove(Find(t, "B"), sum), 0);  // follows it
  EXPECT_EQ(t.OfferedLevels(sum), (std::vector<int>{1}));
}

TEST_F(StructureFileTest, NewGroupInAnEmptyTreeIsItsFirstGroup) {
  StructureTree empty;
  ASSERT_TRUE(LoadStructure(Path(StructureKind::kAssets), empty));  // no records at all
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(empty.OfferedLevels(-1), std::vector<int>{1});
  ASSERT_GT(empty.InsertGroup(-1, "Anlagen", 1, 0), 0);
  EXPECT_EQ(Outline(WriteAndRead(empty)), "Anlagen/1");
}

// A damaged file: a link loop, a group no link reaches and a loose leaf.
// Reading ends, keeps the loose leaf and drops the unreachable group.
TEST(StructureRecordsTest, ReadingSurvivesLoopsAndKeepsLooseLeaves) {
  std::vector<StructureRecord> records = {
      {1, N::kGroup, 0, 0, 0, "Aktiva", ""},
      {2, N::kGroup, 3, 1, N::LevelWord(1, 0), "A", ""},
      {3, N::kGroup, 2, 2, N::LevelWord(1, 0), "B", ""},
      {4, N::kGroup, 0, 0, N::LevelWord(1, 0), "Waise", ""},
      {5, N::kLeaf, 0, 0, 0, No("1500"), "S"},
  };
  StructureTree tree;
  ASSERT_TRUE(TreeFromRecords(records, tree));
  EXPECT_EQ(Outline(tree), "A/1 B/1 | 1500");
  records.erase(records.begin());
  EXPECT_FALSE(TreeFromRecords(records, tree));  // no header
}

// Leaves of deleted accounts and of accounts of the wrong class go; an
// alternative leaf of the other side stays; an account without a leaf gets
// a loose one.
TEST_F(StructureFileTest, ReconcileRemovesDanglingAndWrongLeavesKeepsAlternatives) {
  AddAccount("1000", 2);
  AddAccount("1100", 2);  // no leaf anywhere
  AddAccount("1200", 2);
  AddAccount("1600", 4);
  AddAccount("4000", 8);  // wrong class for the assets tree
  StructureTree assets;
  assets.title = "Aktiva";
  int a = assets.AppendGroup(StructureTree::kHeader, "A", 1, 0);
  for (const char* n : {"1000", "1200", "1700", "4000"}) assets.AppendLeaf(a, No(n), "", false);
  assets.AppendLeaf(a, No("1600"), "", true);  // liabilities account: stays
  assets.AppendLeaf(a, No("1000"), "", true);  // assets account as alternative: goes
  ASSERT_TRUE(SaveStructure(Path(StructureKind::kAssets), assets));
  StructureTree liabilities;
  int p = liabilities.AppendGroup(StructureTree::kHeader, "P", 1, 0);
  liabilities.AppendLeaf(p, No("1600"), "", false);
  ASSERT_TRUE(SaveStructure(Path(StructureKind::kLiabilities), liabilities));

  ASSERT_TRUE(ReconcileStructure(data_.path()));

  std::map<StructureKind, std::string> expected = {
      {StructureKind::kAssets, "A/1[1000 1200 ~1600] | 1100"},
      {StructureKind::kLiabilities, "P/1[1600]"},
      {StructureKind::kProfitAndLoss, " | 4000"},
  };
  for (auto [kind, outline] : expected) {
    StructureTree back;
    ASSERT_TRUE(LoadStructure(Path(kind), back));
    EXPECT_EQ(Outline(back), outline) << StructureFileName(kind);
  }
}

}  // namespace
