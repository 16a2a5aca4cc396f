// Who is logged in: the current user's name and password, the active
// rights, and whether the evaluations are unlocked. Kept until another
// login replaces it.
#pragma once

#include <string>

namespace talvera {

struct LoginState {
  std::string userName;      // empty while nobody is logged in
  std::string password;      // plain
  unsigned rights = 0;       // active rights (ActiveRights of the stored ones)
  bool evaluationsUnlocked = false;
};

LoginState& CurrentLogin();

}  // namespace talvera
