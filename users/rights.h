// The rights of a user: one bit each, named by message-table entry
// 4000 + bit. The rights a logged-in user works with are the stored ones
// with "Buchungen erfassen" added whenever "Verbuchen" is set.
#pragma once

#include <string>

namespace talvera {

enum Right : unsigned {
  kRightAdministration = 0x001,
  kRightPost = 0x002,          // Verbuchen
  kRightEnterPostings = 0x004, // Buchungen erfassen
  kRightYearChange = 0x008,
  kRightAccounts = 0x010,
  kRightEvaluate = 0x020,      // Auswerten: also unlocks the evaluations
  kRightDunning = 0x040,
  kRightTaxRates = 0x080,
  kRightCostEvaluations = 0x100,
  kRightExport = 0x200,
  kRightBackup = 0x400,
  kRightRestore = 0x800,
};
inline constexpr int kRightCount = 12;
// What the first user gets: every bit, also those no right uses yet.
inline constexpr unsigned kEveryRight = 0x1FFF;

std::string RightName(int bit);
unsigned ActiveRights(unsigned stored);

}  // namespace talvera
