// The user's preferences: the keys of section [TALVI] of TALVI.INI, the few
// WIN.INI values the program reads, and the per-Mandant keys, which carry the
// Mandant suffix ("Belnr" for Mandant 1, "Belnr2" for Mandant 3).
//
// Global keys are read once at start-up (ReadSettings), per-Mandant keys
// whenever a Mandant is opened (ReadMandantSettings). A dialog that changes
// a key writes it and updates the value here, so nothing is read twice.
// Flags are "J" when on and empty when off; any non-empty value reads as on.
#pragma once

#include <string>
#include <string_view>

namespace talvera {

struct Settings {
  std::string pfad;              // data root
  int mandant = 1;               // Mandant preselected in the Mandant dialog
  std::string land;              // country code of the firm
  std::string waehrung = "DM";   // home currency sign
  bool sFrage = false;           // ask for a backup at exit
  bool austria = false;          // Austrian rules
  bool datevObe = false;         // DATEV export with OBE
  bool sortKnr = false;          // lists sorted by account number, else by short code
  bool ohneKomma = false;        // amounts typed without comma, last two digits are cents
  std::string textverarbeitung = "WRITE";
  bool setzeJahr = false;        // period dialogs set their year from the period
  bool toggle = false;           // numeric-pad "+" and Enter swapped in the posting dialog
  bool leerListe = false;        // list dialogs open with empty lists
  std::string reise[4] = {"0,00", "0,00", "0,00", "0,00"};  // travel-expense rates

  bool incBelnr = false;         // document number increased after each posting
  bool kg = false;               // account / contra-account posting layout
  bool lassen = false;           // keep the last posting's values
  bool ntb = false;              // personal account name as posting text
  bool keinePeri = false;        // no posting-period dialog
  bool kr = false;               // cost accounting active
  bool kostPflicht = false;      // P&L postings need a cost centre
  int opKartei = 0;              // 8 Debitoren, 4 Kreditoren, 12 both
  int mahn2 = 14, mahn3 = 14;    // days until the 2nd and 3rd dunning level
  bool opAufloesen = false;      // resolve settlement postings
  int exportKind = 0;            // 1 credit transfers, 2 direct debits, 3 both
  bool verwButxt = false;        // transfers carry the posting text
  bool sakoUeberw = false;       // transfers also for Sachkonto postings

  std::string font;              // report window font; empty: the screen's default
  int fontgr = 1;                // its size, read only when font is set
  std::string drucker;           // "device,driver,port"
  int formOffX = 0, formOffY = 0;  // shift of printed forms, tenths of a millimetre
  int grafikart = 0;
  int grafikfarben = 2314;
  std::string true3D = "0,0,0,0";
  bool aufbau = false;           // offer the structure editor after account changes
  bool hotline = false;          // support mode

  std::string sicherungspfad;    // backup target
  std::string impExpPfad;
  std::string datevExpPfad;
  std::string datevKsalPfad;
  int abrNr = 1;
  std::string uebExpPfad;
  std::string kostExport;
  std::string qifPfad, qifDatei;

  // From WIN.INI.
  std::string sDecimal = ",";
  std::string defaultPrinter;    // [windows] device
  bool transAus = false;         // [WINISAM] TRANSAUS=JA: the engine skips its transactions
};

struct MandantSettings {
  std::string eust;              // import-VAT account
  std::string wGewinn, wVerlust; // currency gain and loss accounts
  std::string buchungssperre;    // no postings dated before this date (DDPPYY)
  std::string belnr;             // last document number
  std::string ab[6];             // deduction accounts for automatic settlement
};

Settings& CurrentSettings();
MandantSettings& CurrentMandantSettings();

// Key names as they stand in TALVI.INI.
namespace keys {
inline constexpr char kPfad[] = "Pfad";
inline constexpr char kMandant[] = "Mandant";
inline constexpr char kDbFehler[] = "DBFehler";
inline constexpr char kEust[] = "EUST";
inline constexpr char kWGewinn[] = "WGewinn";
inline constexpr char kWVerlust[] = "WVerlust";
inline constexpr char kBuchungssperre[] = "Buchungssperre";
inline constexpr char kBelnr[] = "Belnr";
inline constexpr char kAb[] = "Ab";
}  // namespace keys

// All global keys and WIN.INI values into CurrentSettings().
void ReadSettings();
// The per-Mandant keys of Mandant `mandantNumber` into CurrentMandantSettings().
void ReadMandantSettings(int mandantNumber);

// Raw access to [TALVI] of TALVI.INI.
std::string ReadSetting(std::string_view key, std::string_view defaultValue = "");
bool ReadFlagSetting(std::string_view key);
int ReadNumberSetting(std::string_view key, int defaultValue);
void WriteSetting(std::string_view key, std::string_view value);
void WriteFlagSetting(std::string_view key, bool on);
void WriteNumberSetting(std::string_view key, long long number);

// "Belnr" + the suffix of the Mandant: nothing for 1, "n-1" otherwise.
std::string MandantKey(std::string_view key, int mandantNumber);
// Copies a per-Mandant key from one Mandant to another (when data are taken over).
void CopyMandantSetting(std::string_view key, int oldMandant, int newMandant);

// Print font of a report kind: the kind's title is the key of the face,
// title + "gr" the key of the size (0: automatic).
struct ReportFont {
  std::string face;
  int size = 0;
};
ReportFont ReadReportFont(std::string_view kindTitle);
void WriteReportFont(std::string_view kindTitle, std::string_view face, int size);

}  // namespace talvera
