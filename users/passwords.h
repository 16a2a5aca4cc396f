// Passwords: a user's own password, the two program passwords of the open
// Mandant (Fibu access and evaluations) and the query of them when the
// Mandant is opened.
#pragma once

#include <string>

namespace talvera {

namespace benutzerpassaen {
enum : int { kOld = 101, kNew, kRepeat };
}
namespace passaen {
enum : int { kFibuOld = 101, kFibuNew, kFibuRepeat, kEvaluationOld = 111, kEvaluationNew,
             kEvaluationRepeat };
}
namespace passtest {
enum : int { kFibu = 101, kEvaluation };
}

struct PasswordChange {
  std::string oldPassword, newPassword, repeated;
};

// A user's password in the user file opened last (messages 797, 707, 128).
// When it is the current user, the login state follows. checkOld false:
// set by an administrator, the old password is not asked.
bool ChangeUserPassword(const std::string& userName, const PasswordChange& change,
                        bool checkOld = true);

// The program passwords of the open Mandant (706, 708, 707, 128). The
// evaluations password is changed only while that group is enabled. The
// password protection is on exactly while a Fibu password is set.
bool ChangeProgramPasswords(const PasswordChange& fibu, const PasswordChange& evaluations,
                            bool evaluationsEnabled);

enum class PasswordQuery {
  kOpen,           // the Mandant may open
  kAskAgain,       // wrong evaluations password and the user wants to retry
  kRefused,        // wrong Fibu password (message 127)
};
// The entries of the password query; unlocks the evaluations when no
// evaluations password is set or the entry matches (902 asks otherwise).
PasswordQuery CheckPasswordQuery(const std::string& fibu, const std::string& evaluations);

}  // namespace talvera
