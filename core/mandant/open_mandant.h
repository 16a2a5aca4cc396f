// Opening a Mandant: load it, let the user in, open its files of the
// current year and check that its collective accounts exist.
#pragma once

namespace talvera {

// True when the Mandant's files are open. When the password query, the
// login or the data-version check refuses, the Mandant that was open stays
// open with its values; when its files cannot be opened (message 69), the
// new Mandant stays chosen with its files closed.
bool OpenMandant(int number);

}  // namespace talvera
