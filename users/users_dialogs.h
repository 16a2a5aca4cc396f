// The dialogs of users and passwords: the login, the user administration
// with the copying of rights, the user password, the program passwords and
// the password query.
#pragma once

#include <vector>

#include "widgets/dialog_kit.h"
#include "users/user_file.h"

namespace talvera {

namespace benutzerlogin {
enum : int { kName = 101, kPassword };
}

class LoginDialog : public TalviDialog {
  Q_OBJECT
 public:
  LoginDialog(QWidget* parent, int flags);
  bool failed() const { return failed_; }

 protected:
  bool Confirm() override;

 private:
  int flags_;
  bool failed_ = false;
};

// The user login: true when the user may go on. Shows the
// dialog only when needed.
bool Login(QWidget* window, int mandant, int flags);

namespace benutzerverw {
enum : int {
  kUsers = 101, kNewName, kWithout, kWith,
  kGrant = 111, kWithdraw, kGrantAll, kWithdrawAll,
  kNew = 121, kChange, kCopy, kDelete, kPassword,
};
}

class UserAdminDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit UserAdminDialog(QWidget* parent);
  // The buttons, for the program and its tests alike.
  void SelectUser(int row);
  void Grant();
  void Withdraw();
  void GrantAll();
  void WithdrawAll();
  bool New();
  bool Change();
  void Copy();
  bool DeleteSelected();
  void SetPassword();
  unsigned shownRights() const { return shown_; }
  const std::vector<UserRecord>& users() const { return users_; }

  void reject() override;

 protected:
  bool Confirm() override;

 private:
  bool Reload();
  void ShowRights();
  const UserRecord* Selected() const;
  bool SaveIfWanted();
  void MoveSelected(int fromList, bool grant);

  std::vector<UserRecord> users_;
  int selected_ = -1;
  unsigned shown_ = 0;
  bool dirty_ = false;
};

namespace benutzerkopieren {
enum : int { kSource = 101, kTargets };
}

class CopyRightsDialog : public TalviDialog {
  Q_OBJECT
 public:
  CopyRightsDialog(QWidget* parent, const UserRecord& source, const std::vector<UserRecord>& users);

 protected:
  bool Confirm() override;

 private:
  UserRecord source_;
  std::vector<UserRecord> users_;    // all of them, for the administration rule
  std::vector<UserRecord> targets_;  // the list's rows
};

// BENUTZERPASSAEN for one user of the user file opened last. The user
// administration sets a password without the old one (the field is off).
class UserPasswordDialog : public TalviDialog {
  Q_OBJECT
 public:
  UserPasswordDialog(QWidget* parent, const std::string& userName, bool askOld = true);

 protected:
  bool Confirm() override;

 private:
  std::string userName_;
  bool askOld_;
};

class ProgramPasswordDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit ProgramPasswordDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

// PASSTEST; with `fibuOnly` the evaluations field is disabled and only the
// given Fibu password is checked (before a Mandant is deleted).
class PasswordQueryDialog : public TalviDialog {
  Q_OBJECT
 public:
  PasswordQueryDialog(QWidget* parent, const std::string* fibuOnly = nullptr);

 protected:
  bool Confirm() override;

 private:
  const std::string* fibuOnly_;
};

// The command "Benutzerverwaltung": the dialog, then the check that the
// current user still exists (a new login, flags 2 and 4, when not). False
// when nobody is logged in afterwards: the Mandant administration follows.
bool RunUserAdministration(QWidget* window);
// The command "Benutzerpaßwort ändern" for the current user.
void RunOwnPassword(QWidget* window);

// Installs the login, the password query and the password confirmation as
// the Mandant seams (keeping the others).
void InstallUserSeams();

}  // namespace talvera
