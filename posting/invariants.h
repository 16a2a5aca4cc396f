// The engine's second invariant as a check: the stored period totals of
// every account of the working year equal the sums of its journal records.
#pragma once

#include <string>
#include <vector>

namespace talvera {

// One line per account total that disagrees. False when the store failed.
bool CheckTotalsAgainstJournal(std::vector<std::string>& problems);

}  // namespace talvera
