// Loading a Mandant: its per-Mandant settings and its company master record
// into the values the whole program reads (CurrentMandant()).
#pragma once

namespace talvera {

// Reads the settings and the master record of the Mandant and takes them
// into memory; the record store then points at its year directories.
// Message 80 when the record is missing.
bool LoadMandant(int number);
// Takes a master record into memory (also after the record was changed).
void TakeMandantValues(int number, const void* record);

}  // namespace talvera
