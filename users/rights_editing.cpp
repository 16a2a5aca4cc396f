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

void CopyRights(std::vector<UserRecord>& users, long sourceId, const std::vector<long>& targetIds) {
  auto source = std::find_if(users.begin(), users.end(), [&](const UserRecord& u) { return u.id == sourceId; });
  if (source == users.end()) return;
  unsigned rights = source->rights;
  for (long id : targetIds) {
    auto target = std::find_if(users.begin(), users.end(), [&](const UserRecord& u) { return u.id == id; });
    if (target == users.end() || target == source) continue;
    bool keepsAdministration = (target->rights & kRightAdministration) &&
                               !(rights & kRightAdministration) && !MayLoseAdministration(users, id);
    target->rights = rights | (keepsAdministration ? kRightAdministration : 0u);
  }
}

}  // namespace talvera
