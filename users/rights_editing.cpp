#include "users/rights_editing.h"

#include <algorithm>

#include "users/rights.h"

namespace talvera {

bool MayLoseAdministration(const std::vector<UserRecord>& users, long id) {
  auto isAdmin = [](const UserRecord& u) { return (u.rights & kRightAdministration) != 0; };
  bool anyAdmin = std::any_of(users.begin(), users.end(), isAdmin);
  bool otherAdmin = std::any_of(users.begin(), users.end(),
                                [&](const UserRecord& u) { return u.id != id && isAdmin(u); });
  return anyAdmin && otherAdmin;
}

unsigned RightsAfterWithdrawAll(const std::vector<UserRecord>& users, long id, unsigned shown) {
  return MayLoseAdministration(users, id) ? 0u : shown & kRightAdministration;
}

}  // namespace talvera
