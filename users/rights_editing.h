// The rules of the user administration that keep a Mandant administrable:
// "Administration" is never taken from its only holder, and while nobody
// has it, nobody loses it either.
#pragma once

#include <vector>

#include "users/user_file.h"

namespace talvera {

// Whether the user with `id` may lose "Administration" (withdrawn or deleted).
bool MayLoseAdministration(const std::vector<UserRecord>& users, long id);
// The rights "<<" leaves of those shown for the user.
unsigned RightsAfterWithdrawAll(const std::vector<UserRecord>& users, long id, unsigned shown);
// "Kopieren": the chosen users get the source's rights, except that
// "Administration" stays with a user who would otherwise take it from the
// Mandant (as "<<" keeps it). Changes the records in `users`.
void CopyRights(std::vector<UserRecord>& users, long sourceId, const std::vector<long>& targetIds);

}  // namespace talvera
