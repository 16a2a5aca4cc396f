// Where a Mandant's data lie: its record in the Mandant master file of the
// data root and one directory per fiscal year, named by the four-digit year
// followed by the Mandant suffix (1996 for Mandant 1, 19961 for Mandant 2,
// 199610 for Mandant 11).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace talvera {

struct MandantEntry {
  int number = 0;
  std::string name;  // company name, UTF-8
};

// Every record of the master file in number order. False when the file
// cannot be read (the store has reported it).
bool ListMandants(std::vector<MandantEntry>& out);
// The master record (998 bytes) of a Mandant; found tells whether it exists.
bool ReadMandantRecord(int number, void* record, bool& found);
// Re-reads the master record inside a transaction, lets `change` alter it
// (returning false to leave it alone) and writes it back. False when the
// record is missing or the store failed; the caller shows its message.
bool ChangeMandantRecord(int number, const std::function<bool(void* record)>& change);

// <data root>/<year><suffix of the Mandant>
std::string MandantYearDirectory(const std::string& year, int number);
// The year directories of a Mandant, full paths in name order: exactly four
// digits followed by its suffix, so 199611 (Mandant 12) is no directory of
// Mandant 2. With a year range, only years within it.
std::vector<std::string> MandantYearDirectories(int number, int firstYear = 0,
                                                int lastYear = 9999);

}  // namespace talvera
