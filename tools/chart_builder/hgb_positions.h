// Balance-sheet and P&L positions: the position a group of a structure
// tree stands for, the position table of a chart (lage.txt) and the check
// that every account hangs in the group of its position.
//
// Positions are written as in the statutory outline: "A.II.1" (assets),
// "P.C.8" (liabilities), "GuV.5a" (P&L items), "GuV.8.3" (a subgroup of
// item 8 without a number of its own), "GuV.EV" (appropriation of the
// result after the last item). A group's position follows from its label:
// "B." under the assets header is B, "II." below it B.II, "4." below that
// B.II.4; "a)" below P&L item 5 is GuV.5a. A group whose label carries no
// outline number stands for its parent's position; a P&L group of level 1
// without a number is the appropriation of the result.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/layouts/structure.h"
#include "core/structure_file.h"
#include "tools/chart_builder/chart_rules.h"

namespace talvera::charts {

// One node of a built tree as the structure file stores it.
using StructureNode = StructureRecord;
inline constexpr int kLeafNode = layouts::structure::kLeaf;
inline constexpr int kGroupNode = layouts::structure::kGroup;
using layouts::structure::LevelOf;

// The position of a group with this label at this level below a group of
// `parent` (empty for the header). Empty when the group stands for none.
std::string GroupPosition(TreeId tree, const std::string& parent, int level,
                          const std::string& label);

// The position of every group of a built tree, by node id.
std::map<int, std::string> GroupPositions(TreeId tree, const std::vector<StructureNode>& nodes);

// An account of `account` belongs into a group of `group`: the same
// position, or one the group's position contains.
bool PositionFits(const std::string& group, const std::string& account);

// The tree whose groups carry a position ("P." liabilities, "GuV." P&L,
// else assets).
TreeId TreeOfPosition(const std::string& position);

// Reads the position table <sourceRoot>/<folder>/lage.txt into `out`
// (right-aligned account number -> position). Without the file nothing is
// read and `present` is false.
void ReadPositions(const std::string& sourceRoot, const std::string& folder,
                   std::map<std::string, std::string>& out, bool& present,
                   Diagnostics& diagnostics);

// When the chart has a position table: every balance-sheet and P&L account
// has a position of its side, some group of its tree takes that position,
// and the account hangs in the most precise group that takes it.
void CheckPositions(const std::string& sourceRoot, const std::string& folder,
                    const ChartTemplate& chart, Diagnostics& diagnostics);

}  // namespace talvera::charts
