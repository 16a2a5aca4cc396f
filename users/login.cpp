#include "users/login.h"

#include "core/mandant/mandant_seams.h"
#include "core/message.h"
#include "users/login_state.h"
#include "users/rights.h"
#include "users/user_file.h"

namespace talvera {
namespace {

enum : int {
  kMessageWrongPassword = 127,
  kMessageNameMissing = 533,
  kMessageUnknownName = 534,
  kMessageNotAllowed = 535,
};
constexpr std::size_t kStoredPasswordLength = 15;

void MakeCurrent(const UserRecord& user) {
  LoginState& login = CurrentLogin();
  login.userName = user.name;
  login.password = user.password;
  login.rights = ActiveRights(user.rights);
  login.evaluationsUnlocked = (login.rights & kRightEvaluate) != 0;
}

bool Has(int flags, int flag) { return (flags & flag) != 0; }

}  // namespace

bool SamePassword(const std::string& a, const std::string& b) {
  return a.substr(0, kStoredPasswordLength) == b.substr(0, kStoredPasswordLength);
}

LoginStart BeginLogin(int mandant, int flags) {
  if (!OpenUserFile(mandant)) return LoginStart::kFailed;
  const LoginState& login = CurrentLogin();
  if (!Has(flags, kLoginAlwaysAsk) && !login.userName.empty()) {
    UserRecord known;
    bool found = false;
    if (!FindUser(login.userName, known, found)) return LoginStart::kFailed;
    bool mayPass = !Has(flags, kLoginAdministratorOnly) || (known.rights & kRightAdministration);
    if (found && mayPass && SamePassword(known.password, login.password)) {
      if (Has(flags, kLoginMakeCurrent)) MakeCurrent(known);
      return LoginStart::kPassed;
    }
  }
  if (Has(flags, kLoginAdministratorOnly) && Has(flags, kLoginPassWhenNoUsers)) {
    bool empty = false;
    if (!UserFileEmpty(empty)) return LoginStart::kFailed;
    if (empty) return LoginStart::kPassed;
  }
  return LoginStart::kAsk;
}

LoginEntry CheckLoginEntry(int flags, const std::string& name, const std::string& password) {
  if (name.find_first_not_of(' ') == std::string::npos) {
    ShowMessage(kMessageNameMissing, 101);
    return LoginEntry::kRetry;
  }
  UserRecord user;
  bool found = false;
  if (!FindUser(name, user, found)) return LoginEntry::kRetry;
  if (!found) {
    bool empty = false;
    if (!UserFileEmpty(empty)) return LoginEntry::kRetry;
    if (!empty || Has(flags, kLoginAdministratorOnly)) {
      ShowMessage(kMessageUnknownName, 101);
      return LoginEntry::kRetry;
    }
    // The very first login of a Mandant makes its administrator.
    user.name = name;
    user.rights = kEveryRight;
    user.password.clear();
    if (!InsertUser(user)) return LoginEntry::kRetry;
  }
  if (!SamePassword(user.password, password)) {
    ShowMessage(kMessageWrongPassword, 102);
    return LoginEntry::kRetry;
  }
  if (Has(flags, kLoginAdministratorOnly) && !(user.rights & kRightAdministration)) {
    ShowMessage(kMessageNotAllowed);
    return LoginEntry::kFailed;
  }
  if (Has(flags, kLoginMakeCurrent)) MakeCurrent(user);
  return LoginEntry::kPassed;
}

void EndLogin() { CloseUserFile(); }

namespace {
LoginState& KeptLogin() {
  static LoginState kept;
  return kept;
}
}  // namespace

void KeepLogin() { KeptLogin() = CurrentLogin(); }
void RestoreKeptLogin() { CurrentLogin() = KeptLogin(); }

bool RefreshCurrentUser(int mandant) {
  LoginState& login = CurrentLogin();
  UserRecord user;
  bool stillThere = false;
  if (!login.userName.empty() && OpenUserFile(mandant)) FindUser(login.userName, user, stillThere);
  CloseUserFile();
  if (!stillThere) {
    login = LoginState{};
    return false;
  }
  login.rights = ActiveRights(user.rights);
  return true;
}

}  // namespace talvera
