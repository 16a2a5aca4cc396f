// Turns a structure tree's source lines into the tree the structure
// module writes. Groups and leaves follow in file order; leaves of the
// tree's own class are normal leaves, alternative leaves place an account
// of the other balance-sheet side for when its balance changes sides.
#pragma once

#include <string>
#include <vector>

#include "core/structure_tree.h"
#include "tools/chart_builder/chart_source.h"

namespace talvera::charts {

// The tree of one source. Reports accounts that are missing, of the wrong
// class, placed twice or placed nowhere; the result is only meaningful
// when nothing was reported.
StructureTree BuildTreeNodes(TreeId tree, const std::vector<TreeLine>& lines,
                             const std::vector<AccountRow>& accounts, const std::string& file,
                             Diagnostics& diagnostics);

}  // namespace talvera::charts
