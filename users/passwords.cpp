#include "users/passwords.h"

#include <cstring>

#include "core/layouts/fista.h"
#include "core/layouts/scramble.h"
#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "users/login.h"
#include "users/login_state.h"
#include "users/user_file.h"

namespace talvera {
namespace {

namespace F = layouts::fista;

enum : int {
  kMessageWrongPassword = 127,
  kMessageNotStored = 128,
  kMessageWrongFibuPassword = 706,
  kMessageRepeatDiffers = 707,
  kMessageWrongEvaluationPassword = 708,
  kMessageWrongUserPassword = 797,
  kMessageAskEvaluationAgain = 902,
};

bool CheckChange(const std::string& stored, const PasswordChange& c, int wrongOld, int oldField,
                 int newField, bool checkOld = true) {
  if (checkOld && !SamePassword(stored, c.oldPassword)) {
    ShowMessage(wrongOld, oldField);
    return false;
  }
  if (c.newPassword != c.repeated) {
    ShowMessage(kMessageRepeatDiffers, newField);
    return false;
  }
  return true;
}

}  // namespace

bool ChangeUserPassword(const std::string& userName, const PasswordChange& change, bool checkOld) {
  using namespace benutzerpassaen;
  UserRecord user;
  bool found = false;
  if (!FindUser(userName, user, found)) return false;
  if (!found) {
    ShowMessage(3180);
    return false;
  }
  if (!CheckChange(user.password, change, kMessageWrongUserPassword, kOld, kNew, checkOld)) return false;
  user.password = change.newPassword;
  if (!UpdateUser(user)) {
    ShowMessage(kMessageNotStored);
    return false;
  }
  if (CurrentLogin().userName == userName) CurrentLogin().password = change.newPassword;
  return true;
}

bool ChangeProgramPasswords(const PasswordChange& fibu, const PasswordChange& evaluations,
                            bool evaluationsEnabled) {
  using namespace passaen;
  const MandantValues& m = CurrentMandant();
  if (!CheckChange(m.accessPassword, fibu, kMessageWrongFibuPassword, kFibuOld, kFibuNew))
    return false;
  if (evaluationsEnabled && !CheckChange(m.evaluationPassword, evaluations,
                                         kMessageWrongEvaluationPassword, kEvaluationOld,
                                         kEvaluationNew))
    return false;
  char written[F::kLayout.recordLength];
  bool ok = ChangeMandantRecord(m.number, [&](void* record) {
    bool stored = layouts::SetPassword(record, F::kAccessPassword, fibu.newPassword) &&
                  (!evaluationsEnabled ||
                   layouts::SetPassword(record, F::kEvaluationPassword, evaluations.newPassword));
    layouts::SetNumber(record, F::kPasswordOn, fibu.newPassword.empty() ? 0 : 1);
    std::memcpy(written, record, sizeof written);
    return stored;
  });
  if (!ok) {
    ShowMessage(kMessageNotStored);
    return false;
  }
  TakeMandantValues(m.number, written);
  return true;
}

PasswordQuery CheckPasswordQuery(const std::string& fibu, const std::string& evaluations) {
  const MandantValues& m = CurrentMandant();
  if (!SamePassword(m.accessPassword, fibu)) {
    ShowMessage(kMessageWrongPassword, passtest::kFibu);
    return PasswordQuery::kRefused;
  }
  if (m.evaluationPassword[0] == '\0' || SamePassword(m.evaluationPassword, evaluations)) {
    CurrentLogin().evaluationsUnlocked = true;
    return PasswordQuery::kOpen;
  }
  return ShowMessage(kMessageAskEvaluationAgain) ? PasswordQuery::kAskAgain : PasswordQuery::kOpen;
}

}  // namespace talvera
