#include "core/settings.h"

#include <cstdlib>

#include "core/profile.h"
#include "core/record_store.h"
#include "core/text_helpers.h"

namespace talvera {
namespace {

std::string Home() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : ".";
}

// "Export": a number, or a value beginning with "J" for both kinds.
int ExportKindOf(const std::string& v) {
  if (!v.empty() && (v[0] == 'J' || v[0] == 'j')) return 3;
  return std::atoi(v.c_str());
}

}  // namespace

Settings& CurrentSettings() {
  static Settings settings;
  return settings;
}

MandantSettings& CurrentMandantSettings() {
  static MandantSettings settings;
  return settings;
}

std::string ReadSetting(std::string_view key, std::string_view defaultValue) {
  return ProfileGetString(TalviIniPath(), kTalviSection, key, defaultValue);
}

bool ReadFlagSetting(std::string_view key) { return !ReadSetting(key).empty(); }

int ReadNumberSetting(std::string_view key, int defaultValue) {
  return ProfileGetInt(TalviIniPath(), kTalviSection, key, defaultValue);
}

void WriteSetting(std::string_view key, std::string_view value) {
  ProfileWriteString(TalviIniPath(), kTalviSection, key, value);
}

void WriteFlagSetting(std::string_view key, bool on) { WriteSetting(key, on ? "J" : ""); }

void WriteNumberSetting(std::string_view key, long long number) {
  WriteSetting(key, std::to_string(number));
}

std::string MandantKey(std::string_view key, int mandantNumber) {
  return std::string(key) + MandantSuffixOf(mandantNumber);
}

void CopyMandantSetting(std::string_view key, int oldMandant, int newMandant) {
  std::string value = ReadSetting(MandantKey(key, oldMandant));
  WriteSetting(MandantKey(key, newMandant), value);
}

void ReadSettings() {
  // Both files are read once; every key is then looked up in memory.
  ProfileSnapshot talvi(TalviIniPath());
  ProfileSnapshot win(WinIniPath());
  auto str = [&](std::string_view key, std::string_view def = "") { return talvi.Get(kTalviSection, key, def); };
  auto flag = [&](std::string_view key) { return !str(key).empty(); };
  auto num = [&](std::string_view key, int def) { return talvi.GetInt(kTalviSection, key, def); };
  Settings& s = CurrentSettings();
  s = Settings{};
  s.pfad = str("Pfad");
  s.mandant = num("Mandant", 1);
  s.land = str("Land");
  s.waehrung = str("Waehrung", win.Get("intl", "sCurrency", "EUR"));
  s.sFrage = flag("SFrage");
  s.austria = flag("Austria");
  s.datevObe = flag("Datev-OBE");
  s.sortKnr = flag("SortKnr");
  s.ohneKomma = flag("OhneKomma");
  s.textverarbeitung = str("Textverarbeitung", "WRITE");
  s.setzeJahr = flag("SetzeJahr");
  s.toggle = flag("Toggle");
  s.leerListe = flag("LeerListe");
  for (int i = 0; i < 4; ++i) s.reise[i] = str("Reise" + std::to_string(i + 1), "0,00");

  s.incBelnr = flag("IncBelnr");
  s.kg = flag("KG");
  s.lassen = flag("Lassen");
  s.ntb = flag("NTB");
  s.keinePeri = flag("KeinePeri");
  s.kr = flag("KR");
  s.kostPflicht = flag("KostPflicht");
  s.opKartei = num("OP_Kartei", 0);
  s.mahn2 = num("Mahn2", 14);
  s.mahn3 = num("Mahn3", 14);
  s.opAufloesen = flag("OPAufloesen");
  s.exportKind = ExportKindOf(str("Export"));
  s.verwButxt = flag("VerwButxt");
  s.sakoUeberw = flag("SakoÜberw");

  s.font = str("Font");
  s.fontgr = s.font.empty() ? 1 : num("Fontgr", 1);
  s.drucker = str("Drucker");
  s.formOffX = num("FormOffX", 0);
  s.formOffY = num("FormOffY", 0);
  s.grafikart = num("Grafikart", 0);
  s.grafikfarben = num("Grafikfarben", 2314);
  s.true3D = str("True3D", "0,0,0,0");
  s.aufbau = flag("Aufbau");
  s.hotline = flag("Hotline");

  // A diskette drive is a directory here; the home directory stands in for it.
  s.sicherungspfad = str("Sicherungspfad", Home());
  s.impExpPfad = str("ImpExpPfad");
  s.datevExpPfad = str("DATEVExpPfad", Home());
  s.datevKsalPfad = str("DATEVKsalPfad");
  s.abrNr = num("AbrNr", 1);
  s.uebExpPfad = str("UebExpPfad", Home());
  s.kostExport = str("KostExport");
  s.qifPfad = str("QIFPfad");
  s.qifDatei = str("QIFDatei");

  s.sDecimal = win.Get("intl", "sDecimal", ",");
  s.defaultPrinter = win.Get("windows", "device", "");
  s.transAus = win.Get("WINISAM", "TRANSAUS", "") == "JA";
}

void ReadMandantSettings(int mandantNumber) {
  MandantSettings& m = CurrentMandantSettings();
  m = MandantSettings{};
  ProfileSnapshot talvi(TalviIniPath());
  auto read = [&](std::string_view key) { return talvi.Get(kTalviSection, MandantKey(key, mandantNumber), ""); };
  // The profile drops the blanks account numbers are aligned with.
  auto account = [&](std::string_view key) {
    std::string v = read(key);
    if (!v.empty() && v.size() < kAccountNoWidth) v.insert(0, kAccountNoWidth - v.size(), ' ');
    return v;
  };
  m.eust = account(keys::kEust);
  m.wGewinn = account(keys::kWGewinn);
  m.wVerlust = account(keys::kWVerlust);
  m.buchungssperre = read(keys::kBuchungssperre);
  m.belnr = read(keys::kBelnr);
  for (int i = 0; i < 6; ++i) m.ab[i] = account(std::string(keys::kAb) + std::to_string(i));
}

ReportFont ReadReportFont(std::string_view kindTitle) {
  ReportFont f;
  f.face = ReadSetting(kindTitle);
  f.size = ReadNumberSetting(std::string(kindTitle) + "gr", 0);
  return f;
}

void WriteReportFont(std::string_view kindTitle, std::string_view face, int size) {
  WriteSetting(kindTitle, face);
  WriteSetting(std::string(kindTitle) + "gr", size > 0 ? std::to_string(size) : std::string());
}

}  // namespace talvera
