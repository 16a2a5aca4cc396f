// Creating a Mandant: its master record, its first year directory with the
// file set of the chosen chart, and its per-Mandant settings.
#pragma once

#include <string>

namespace talvera {

// Control ids of the creation dialog; validation messages focus them.
namespace mandanlegen {
enum : int {
  kMonth = 101, kYear, kName, kTaxOffice, kTaxNumber, kVatId,
  kAccrual = 111, kCash,
  kSkr03 = 121, kSkr04, kRlg, kBasic, kChangeSpecial,
};
}

struct NewMandant {
  std::string year;         // as typed: "1996", or "96" for 1996
  int startMonth = 1;       // first month of the fiscal year, 1..12
  std::string name;         // UTF-8, up to 40 characters
  std::string taxOffice;    // up to 25
  std::string taxNumber;    // up to 15
  std::string vatId;        // up to 15
  bool cashBasis = false;   // Istversteuerung
  char chart = '3';         // '3', '4', 'A' or 'G'
};

// Checks the input (messages 8, 504, 511, 505, 506 at their fields), writes
// the master record, creates the year directory and the file set and
// writes the settings; message 510 at the end. `number` gets the new
// Mandant's number. A failed file set takes the master record away again.
bool CreateMandant(const NewMandant& input, int* number);

// The year as typed: two digits mean 19xx; 1984..2074, else 0.
int ParseFoundingYear(const std::string& text);

}  // namespace talvera
