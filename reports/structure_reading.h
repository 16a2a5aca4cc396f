// The structure trees of the P&L and the two balance-sheet sides as the
// account lists need them: every node of one tree, read through the
// structure-file layout. The chart of accounts reaches the trees only here.
#pragma once

#include <string>
#include <vector>

namespace talvera {

struct StructureNode {
  long id = 0;
  int kind = 0;          // 1 account leaf, 2 group, 5 group variant
  long next = 0;         // next node of the same level
  long above = 0;        // the node above (for a first child) or before
  std::string label;     // group text, or the account number of a leaf (Windows-1252)
  bool IsGroup() const { return kind == 2 || kind == 5; }
};

// The tree of an account class (2 assets, 4 liabilities, 8 P&L) in node-id
// order; false when the file cannot be read (reported).
bool ReadStructureTree(int accountClass, std::vector<StructureNode>& out);

}  // namespace talvera
