#include "users/login_state.h"

namespace talvera {

LoginState& CurrentLogin() {
  static LoginState state;
  return state;
}

}  // namespace talvera
