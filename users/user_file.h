// The user file of a Mandant (user.btr in its current-year directory): one
// record per user with name, rights and scrambled password.
#pragma once

#include <string>
#include <vector>

namespace talvera {

struct UserRecord {
  long id = 0;            // filled by the record manager
  std::string name;       // up to 30 characters
  unsigned rights = 0;    // stored rights
  std::string password;   // plain; empty for none
};

// Opens the user file of a Mandant in the user slot (also of a Mandant that
// is not the open one); CloseUserFile lets the slot find the open
// Mandant's file again.
bool OpenUserFile(int mandant);
void CloseUserFile();

// The functions below work on the user file opened last.
bool ListUsers(std::vector<UserRecord>& out);  // in name order
bool FindUser(const std::string& name, UserRecord& out, bool& found);
bool UserFileEmpty(bool& empty);
// False for a name already used (the store reports the duplicate) or a
// password that cannot be stored.
bool InsertUser(UserRecord& user);
// Re-reads the record by its id first: one that is gone or was changed
// elsewhere gives message 3180. Name, rights and password are written.
bool UpdateUser(const UserRecord& user);
bool DeleteUser(long id);

}  // namespace talvera
