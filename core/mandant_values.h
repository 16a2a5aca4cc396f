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

  char companyName[124] = "";        // UTF-8: up to three bytes for each of the 40 characters
  char taxOffice[76] = "";
  char taxNumber[16] = "";           // from offset 69, else 134
  bool passwordOn = false;           // the Fibu password is asked when the Mandant opens
  char accessPassword[16] = "";      // plain Fibu password, empty for none
  char evaluationPassword[16] = "";  // plain evaluations password, empty for none
  char masterRecord[998] = {};       // the whole company master record as read
  // Month names in fiscal order: monthNames[0] is the start month.
  char monthNames[12][10] = {};
  char firstDay[7] = "";             // first day of the current fiscal year, DDPPYY
  char dayBefore[7] = "";            // the day before it (last day of the previous year)
};

MandantValues& CurrentMandant();

}  // namespace talvera
