// The user login for a Mandant, apart from its dialog: whether a dialog is
// needed at all, and what an entry in the dialog leads to. Flags are the
// LoginFlag values (core/mandant/mandant_seams.h).
#pragma once

#include <string>

namespace talvera {

enum class LoginStart {
  kPassed,  // no dialog: the known user is valid here, or nobody needs to log in
  kAsk,     // show the dialog
  kFailed,  // the user file cannot be read
};

enum class LoginEntry {
  kPassed,  // the dialog closes, the login succeeded
  kRetry,   // a message was shown, the dialog stays
  kFailed,  // the dialog closes, the login failed
};

// Opens the Mandant's user file (OpenUserFile) and decides about the
// dialog. The file stays open for CheckLoginEntry; EndLogin closes it.
LoginStart BeginLogin(int mandant, int flags);
// The entry of the dialog: messages 533, 534, 127 (retry) and 535 (failed);
// an unknown name in an empty user file becomes the first user with every
// right unless flag 1 is set.
LoginEntry CheckLoginEntry(int flags, const std::string& name, const std::string& password);
void EndLogin();

// The login kept while another Mandant is being opened (the Mandant seams
// keepLogin and restoreLogin).
void KeepLogin();
void RestoreKeptLogin();
// After the user administration: the current user's rights as now stored.
// False, with nobody logged in (no rights, evaluations locked), when the
// current user has been deleted or the user file cannot be read.
bool RefreshCurrentUser(int mandant);

// Passwords compare in their first 15 characters, as they are stored.
bool SamePassword(const std::string& a, const std::string& b);

}  // namespace talvera
