// The structure trees of the P&L statement and the two sides of the balance
// sheet, in memory: groups of up to three levels with their account leaves
// and alternative leaves, in the order the statements print them.
//
// Entries are addressed by handles that stay valid across every edit, so a
// list on the screen can keep them as item data. Handle 0 is the header;
// its children are the level-1 groups. The records of a tree file are made
// from the tree as a whole (structure_records.h), so the link fields cannot
// drift from what the tree says.
//
// Rules the edits keep:
//   1. A group of level n hangs below the header (n = 1) or a group of
//      level n - 1; no level is deeper than 3.
//   2. Leaves hang only in groups; within a group the leaves come before
//      the subgroups, in account order, unless the file said otherwise.
//   3. An account has at most one normal leaf in a tree, hung or not.
#pragma once

#include <string>
#include <vector>

namespace talvera {

// The three trees of a year.
enum class StructureKind : int { kProfitAndLoss = 0, kAssets = 1, kLiabilities = 2 };
inline constexpr StructureKind kAllStructures[] = {
    StructureKind::kProfitAndLoss, StructureKind::kAssets, StructureKind::kLiabilities};

const char* StructureFileName(StructureKind kind);  // "guvauf", "bilaktau", "bilpasau"
int StructureSlot(StructureKind kind);              // record-store slot of the working year
int LeafClass(StructureKind kind);                  // account class of a normal leaf: 8, 2, 4
int AlternativeLeafClass(StructureKind kind);       // 0 (none), 4, 2
// The tree of an account class (2, 4, 8); false for other classes.
bool StructureOfClass(int accountClass, StructureKind& kind);

// Display attributes of a group; 16, 32 and 64 are the report line's bits.
// A group marked 2 holds no accounts: it shows the sum of the groups above
// it under the same parent ("Ergebnis nach Steuern"); a group marked 4
// shows the year's result in the balance sheet ("Jahresüberschuss").
enum GroupAttribute : int {
  kGroupEmptyLineBefore = 1,
  kGroupSumAbove = 2,
  kGroupYearResult = 4,
  kGroupBold = 16,
  kGroupUnderlined = 32,
  kGroupLargerFont = 64,
};
inline constexpr int kMaxGroupLevel = 3;

struct StructureEntry {
  enum Kind { kGroup, kLeaf, kAlternativeLeaf };
  Kind kind = kGroup;
  std::string text;       // group: its name (UTF-8); leaf: account number ("   1200")
  std::string shortCode;  // leaf: short code of the account (UTF-8)
  int level = 0;          // group: 1..3; 0 for the header and leaves
  int attributes = 0;     // group: GroupAttribute bits
  int parent = -1;        // -1 for the header and for entries no longer in the tree
  std::vector<int> children;

  bool IsGroup() const { return kind == kGroup; }
  bool IsLeaf() const { return kind != kGroup; }
};

// An account leaf that hangs in no group (its record has no links).
struct LooseLeaf {
  std::string account;
  std::string shortCode;
};

class StructureTree {
 public:
  static constexpr int kHeader = 0;

  StructureTree();

  // Text of the header record ("GuV", "Aktiva", "Passiva").
  std::string title;
  // Leaves outside the tree, kept as the file had them.
  std::vector<LooseLeaf> loose;

  const StructureEntry& at(int handle) const { return entries_[handle]; }
  // True for a handle of an entry that is in the tree (the header included).
  bool Contains(int handle) const;
  bool IsGroup(int handle) const { return Contains(handle) && at(handle).IsGroup(); }
  bool IsLeaf(int handle) const { return Contains(handle) && at(handle).IsLeaf(); }
  // A group that shows a computed figure (kGroupSumAbove, kGroupYearResult)
  // and takes neither accounts nor subgroups.
  bool IsComputed(int handle) const;
  // No group below the header.
  bool empty() const { return entries_[kHeader].children.empty(); }

  // Every entry below the header in print order: a group, then its
  // children, then its next sibling.
  std::vector<int> DepthFirst() const;
  // The depth at which an entry is shown: a group's level, a leaf one
  // deeper than its group.
  int DepthOf(int handle) const;
  // The leaf of an account in the tree, -1 when it hangs nowhere.
  int FindLeaf(const std::string& account, bool alternative) const;
  // The group an account hangs in, -1 when none.
  int GroupOf(const std::string& account, bool alternative) const;
  // True when the account has a normal leaf, in the tree or loose.
  bool HasLeaf(const std::string& account) const;

  // ---- Building (the file reader and the chart builder) ----------------
  // Appends without any check of the rules above; -1 for a bad parent.
  int AppendGroup(int parent, const std::string& name, int level, int attributes);
  int AppendLeaf(int group, const std::string& account, const std::string& shortCode,
                 bool alternative);

  // ---- Edits; false (or -1) leaves the tree unchanged ------------------
  // Hangs an account into a group, among its leaves in account order. A
  // loose leaf of the account is taken into the tree.
  int AddLeaf(int group, const std::string& account, const std::string& shortCode,
              bool alternative);
  bool MoveLeaf(int leaf, int group);
  // Takes a leaf out: a normal leaf stays as a loose leaf, an alternative
  // leaf is gone.
  bool RemoveLeaf(int leaf);

  // Levels a new group may have next to the selected entry (-1 or the
  // header for none): 1 up to one deeper than the selection's group.
  std::vector<int> OfferedLevels(int selection) const;
  // A new group of one of the offered levels: one level deeper than the
  // selection's group it becomes that group's first child; otherwise it
  // follows the subtree of the selection's ancestor of its level, as its
  // next sibling. Without a selection it comes last among the level-1
  // groups.
  int InsertGroup(int selection, const std::string& name, int level, int attributes);
  bool ChangeGroup(int group, const std::string& name, int attributes);
  // Hangs a group with its subtree onto another group: onto a group of the
  // same level it follows that group; onto a higher one it becomes its last
  // child, its subtree rising with it. Callers check RefusedGroupMove first.
  bool MoveGroup(int group, int target);
  // Deletes a group with its subgroups; the normal leaves in it become
  // loose. Returns the accounts of the normal leaves that were in it.
  bool DeleteGroup(int group, std::vector<std::string>* released = nullptr);

  // Gives every leaf of the account (in the tree or loose) a new short
  // code; the number of leaves changed.
  int SetShortCode(const std::string& account, const std::string& shortCode);

  // Takes every leaf (in the tree or loose) out for which `drop` is true.
  template <typename Predicate>
  int DropLeaves(Predicate drop);

  // ---- Drop rules of the editor: the message refusing it, or 0 --------
  int RefusedAccountDrop(int target) const;         // 120: must land on a group, not a computed one
  int RefusedTakeOut(int entry) const;              // 122: only leaves come out
  int RefusedGroupMove(int group, int target) const;  // 139 not onto a group, 125 deeper

 private:
  int NewEntry(StructureEntry entry);
  void Attach(int handle, int parent, int position);
  void Detach(int handle);
  int LeafPosition(int group, const std::string& account) const;
  void ShiftLevels(int handle, int delta);
  void Walk(int handle, std::vector<int>& out) const;
  void CollectLeaves(int handle, std::vector<int>& out) const;

  std::vector<StructureEntry> entries_;
};

// Messages of the drop rules.
inline constexpr int kMessageDropOnGroup = 120;
inline constexpr int kMessageOnlyAccountsOut = 122;
inline constexpr int kMessageGroupNotDeeper = 125;
inline constexpr int kMessageGroupOntoGroup = 139;

template <typename Predicate>
int StructureTree::DropLeaves(Predicate drop) {
  int dropped = 0;
  std::vector<int> leaves;
  CollectLeaves(kHeader, leaves);
  for (int leaf : leaves) {
    const StructureEntry& e = entries_[leaf];
    if (!drop(e.text, e.kind == StructureEntry::kAlternativeLeaf)) continue;
    Detach(leaf);
    ++dropped;
  }
  std::vector<LooseLeaf> kept;
  for (LooseLeaf& l : loose) {
    if (drop(l.account, false))
      ++dropped;
    else
      kept.push_back(std::move(l));
  }
  loose = std::move(kept);
  return dropped;
}

}  // namespace talvera
