// The structure reorganisation: brings the three trees of a year in line
// with the Sachkonten after accounts were deleted or changed their class.
#pragma once

#include <string>

namespace talvera {

// In bilaktau, bilpasau and guvauf (in this order) every leaf whose account
// no longer exists or has a class that does not fit is taken out: a normal
// leaf needs the tree's class, an alternative leaf the other balance-sheet
// side's (so alternative leaves of that side stay). An account of class 2,
// 4 or 8 without a leaf in its tree gets a loose one. All three files are
// written in one transaction; false when a file cannot be read or written.
bool ReconcileStructure(const std::string& directory);

// The whole reorganisation of the open Mandant: closes the files,
// reconciles the shown year and the other open year (the current year when
// an older one is shown, else the previous year when there is one), opens
// the files again. Returns the message to show: 407 done, 433 a year could
// not be reconciled, 199 the files could not be opened again.
int ReorganiseStructures();

inline constexpr int kMessageReorganised = 407;
inline constexpr int kMessageStructureInconsistent = 433;
inline constexpr int kMessageReorganisationFailed = 199;

}  // namespace talvera
