// The values of the open Mandant that the whole program reads: fiscal years
// and the first month of the fiscal year. Loaded from the company master
// record when a Mandant is opened and kept until another one is opened.
#pragma once

namespace talvera {

struct MandantValues {
  int fiscalStartMonth = 1;    // 1..12
  char currentYear[5] = "";    // "1996"
  char previousYear[5] = "";   // empty while no previous year is open
};

MandantValues& CurrentMandant();

}  // namespace talvera
