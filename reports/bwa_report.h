// The BWA (betriebswirtschaftliche Auswertung): two entries of the
// structure trees compared month by month, and the analysis of a side's
// groups, this year against the year before. Both give their figures to
// a text report of kind 12 or to a chart; neither needs a dialog.
#pragma once

#include <string>
#include <vector>

#include "core/structure_tree.h"

namespace talvera {

// One side of the comparison: an entry of a tree (a group or an account
// leaf), or the whole tree.
struct BwaSide {
  StructureKind kind = StructureKind::kProfitAndLoss;
  int entry = -1;  // handle in the tree; unused with `whole`
  bool whole = false;      // "gesamt"
  bool cumulative = false; // "kumuliert"
};

// The twelve period values of a side and its label.
struct BwaSeries {
  std::string label;  // Windows-1252: group name, "1200 Bank" or "gesamt"
  bool cumulative = false;
  long long values[12] = {};
};

// "GuV", "Aktiva", "Passiva".
const char* StructureClassName(StructureKind kind);

// The label of an entry as the BWA names it.
std::string BwaEntryLabel(const StructureTree& tree, int entry, const std::string& accountName);

// Reads the working year's tree and accounts and fills the series: for each
// period the movement (debit minus credit, with the tree's sign: credit
// counts positive in the liabilities tree) summed over the accounts that hang
// in the entry's subtree; cumulative values start with the opening values
// and carry the running total, the last period with the closing postings.
// False when a tree or the accounts cannot be read, or the entry is none.
// With `shownTree` the entry is one of that tree (the one a dialog listed)
// and only the accounts are read.
bool ComputeBwaSeries(const BwaSide& side, BwaSeries& out, const StructureTree* shownTree = nullptr);

// The text report: heading with both labels, a line a period with the
// deviation in per cent, and "Gesamt:" unless both sides are cumulative.
// The number of lines, 0 when the buffer failed.
int BuildBwaReport(const BwaSeries& first, const BwaSeries& second, int linesPerPage);
constexpr int kBwaWidth = 66;

// The analysis of a side: its groups down to `depth`, this year and the
// year before, as the statements compute them at the end of the year.
struct AnalysisRow {
  std::string label;  // Windows-1252
  int depth = 1;
  long long current = 0, previous = 0;
  bool previousKnown = true;
};
struct SideAnalysis {
  StructureKind kind = StructureKind::kProfitAndLoss;
  std::string year, previousYear;
  std::vector<AnalysisRow> rows;
};
bool ComputeSideAnalysis(StructureKind kind, int depth, SideAnalysis& out);
int BuildSideAnalysisReport(const SideAnalysis& analysis, int linesPerPage);
constexpr int kSideAnalysisWidth = 92;

}  // namespace talvera
