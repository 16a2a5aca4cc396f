// Turns a structure tree's source lines into its records.
//
// Node 1 is the header that anchors the tree. Groups and leaves follow in
// file order with ids 2, 3, ... Within a group, the nodes below it form a
// chain: `next` names the following node (0 after the last); `above` names
// the group for the first node and the previous node for every later one.
// A group's level word holds its level (1..3) in the high byte and its
// display attributes in the low byte. Leaves of the tree's own class are
// kind 1; alternative leaves, which place an account of the other
// balance-sheet side for when its balance changes sides, are kind 5 (the
// leaf bit 1 plus the alternative bit 4).
#pragma once

#include <string>
#include <vector>

#include "tools/chart_builder/chart_source.h"

namespace talvera::charts {

enum NodeKind : int { kLeafNode = 1, kGroupNode = 2, kAlternativeBit = 4 };

struct StructureNode {
  int id = 0;
  int kind = 0;
  int next = 0;
  int above = 0;
  int levelWord = 0;
  std::string label;      // group: UTF-8 text; leaf: account number
  std::string shortCode;  // leaf: short code of the account
};

constexpr int LevelWord(int level, int attributes) { return level << 8 | attributes; }
constexpr int LevelOf(int levelWord) { return levelWord >> 8; }
constexpr int AttributesOf(int levelWord) { return levelWord & 0xFF; }

// The records of one tree. Reports accounts that are missing, of the wrong
// class, placed twice or placed nowhere; the result is only meaningful
// when nothing was reported.
std::vector<StructureNode> BuildTreeNodes(TreeId tree, const std::vector<TreeLine>& lines,
                                          const std::vector<AccountRow>& accounts,
                                          const std::string& file, Diagnostics& diagnostics);

}  // namespace talvera::charts
