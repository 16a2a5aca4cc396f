// Deleting a Mandant: its master record and every one of its year directories.
#pragma once

namespace talvera {

// Asks message 95, lets the user in as an administrator (and asks the Fibu
// password when the Mandant has password protection), deletes the master
// record and then the year directories. True when the record is gone, also
// when a directory could not be removed (message 97 then).
bool DeleteMandant(int number);

}  // namespace talvera
