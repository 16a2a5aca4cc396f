// The Sachkonten of the working year as list entries, for choice lists.
#pragma once

#include <string>
#include <vector>

namespace talvera {

struct AccountEntry {
  std::string number;     // "   1400"
  std::string shortCode;  // UTF-8
  std::string name;       // UTF-8
};

// Sorted by account number, or by short code (then number).
bool ListSachkonten(bool byNumber, std::vector<AccountEntry>& out);

}  // namespace talvera
