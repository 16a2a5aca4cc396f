// Conversion of data written by older versions of the program.
//
// The Mandant master file: records shorter than today's 998 bytes are
// copied into a new file of the full length (at start-up, before anything
// else is opened). The year data: the data version in a Mandant's master
// record tells which files and keys its year directories still lack; they
// are added before the Mandant's files are opened.
#pragma once

namespace talvera {

// Converts the master file of the data root when its records are short,
// and creates it empty in a data root that has none yet. True when nothing
// had to be done or the conversion succeeded.
bool ConvertMasterFile();

// The data-version check of the current Mandant: asks message 901 when its
// data are older, converts every year directory and writes the new
// version. False when the Mandant must not be opened (refused, too old, or
// the conversion failed, which leaves the version as it was).
bool CheckDataVersion();

// Makes opening the main files run CheckDataVersion first (the record
// store's seam; its other seams are kept).
void InstallDataVersionCheck();

}  // namespace talvera
