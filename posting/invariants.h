// The engine's second invariant as a check: the stored period totals of
// every account of the working year equal the sums of its journal records,
// and, when the working year is the current year, every account's
// previous-year figures equal the previous year's own figures.
#pragma once

#include <string>
#include <vector>

namespace talvera {

// One line per account total that disagrees. False when the store failed.
// The cross-year rule is part of it.
bool CheckTotalsAgainstJournal(std::vector<std::string>& problems);
// The cross-year rule alone: previous-year turnovers and balance of every
// account of the current year against the previous year's accounts.
bool CheckCarryForward(std::vector<std::string>& problems);

}  // namespace talvera
