// The values of the open Mandant that the whole program reads: fiscal years
// and the first month of the fiscal year. Loaded from the company master
// record when a Mandant is opened and kept until another one is opened.
#pragma once

namespace talvera {

struct MandantValues {
  int number = 1;              // Mandant number (1, 2, ...)
  int fiscalStartMonth = 1;    // 1..12
  char currentYear[5] = "";    // "1996"
  char previousYear[5] = "";   // empty while no previous year is open
  char receivablesAccount[8] = "";   // collective account of the Debitoren (Forderungen)
  char payablesAccount[8] = "";      // collective account of the Kreditoren (Verbindlichkeiten)
  char carryForwardAccount[8] = "";  // profit/loss carry-forward account (Gewinn-/Verlustvortrag)
  char vatId[16] = "";               // USt-ID-Nummer
  bool cashBasis = false;            // Istversteuerung
  char cashBasisAccount[8] = "";     // account for VAT not yet due under cash basis
};

MandantValues& CurrentMandant();

}  // namespace talvera
