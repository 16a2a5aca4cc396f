// What opening, creating, deleting and converting a Mandant needs from the
// screen side of the program: the password query, the user login, the
// restore command, the evaluation windows and modeless progress notices.
// The program installs them at start-up; unset seams are skipped (a missing
// password query or login lets the Mandant open).
#pragma once

#include <string>

namespace talvera {

// Flags of the user login.
enum LoginFlag : int {
  kLoginAdministratorOnly = 1,  // only a user with "Administration" passes
  kLoginMakeCurrent = 2,        // the user becomes the current user
  kLoginAlwaysAsk = 4,          // ask even when a current user is known
  kLoginPassWhenNoUsers = 8,    // with 1: pass silently while the user file is empty
};

struct MandantSeams {
  // The password query of the open Mandant's Fibu and evaluations passwords
  // (when its password protection is on); false: the Mandant is not opened.
  bool (*askPasswords)() = nullptr;
  // Asks for the given Fibu password before a Mandant is deleted.
  bool (*confirmPassword)(const std::string& accessPassword) = nullptr;
  // The user login for a Mandant (flags: LoginFlag).
  bool (*login)(int mandant, int flags) = nullptr;
  // Keep the login of the open Mandant (user, rights, unlocked evaluations)
  // while another one is being opened, and put it back when that is refused.
  void (*keepLogin)() = nullptr;
  void (*restoreLogin)() = nullptr;
  void (*startRestore)() = nullptr;        // after message 69 was answered with yes
  void (*refreshEvaluations)() = nullptr;  // open evaluation windows show the new Mandant
  void (*endArchiveView)() = nullptr;      // an archived year was being viewed
  // A modeless notice while long work runs ("MANDNEU", "TQCOPY", ...).
  void (*showNotice)(const char* name, const std::string& text) = nullptr;
  void (*hideNotice)() = nullptr;
};

void SetMandantSeams(const MandantSeams& seams);
const MandantSeams& CurrentMandantSeams();

// Shows a notice for the length of a scope.
class NoticeScope {
 public:
  NoticeScope(const char* name, const std::string& text);
  ~NoticeScope();
  NoticeScope(const NoticeScope&) = delete;
  NoticeScope& operator=(const NoticeScope&) = delete;
};

}  // namespace talvera
