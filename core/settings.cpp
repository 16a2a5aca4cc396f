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

std::string WinIni(std::string_view section, std::string_view key, std::string_view def) {
  return ProfileGetString(WinIniPath(), section, key, def);
}

// "Export": a number, or a value beginning with "J" for both kinds.
int ReadExportKind() {
  std::string v = ReadSetting("Export");
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
  Settings& s = CurrentSettings();
  s = Settings{};
  s.pfad = ReadSetting("Pfad");
  s.mandant = ReadNumberSetting("Mandant", 1);
  s.land = ReadSetting("Land");
  s.waehrung = ReadSetting("Waehrung", WinIni("intl", "sCurrency", "DM"));
  s.sFrage = ReadFlagSetting("SFrage");
  s.austria = ReadFlagSetting("Austria");
  s.datevObe = ReadFlagSetting("Datev-OBE");
  s.sortKnr = ReadFlagSetting("SortKnr");
  s.ohneKomma = ReadFlagSetting("OhneKomma");
  s.textverarbeitung = ReadSetting("Textverarbeitung", "WRITE");
  s.setzeJahr = ReadFlagSetting("SetzeJahr");
  s.toggle = ReadFlagSetting("Toggle");
  s.leerListe = ReadFlagSetting("LeerListe");
  for (int i = 0; i < 4; ++i) s.reise[i] = ReadSetting("Reise" + std::to_string(i + 1), "0,00");

  s.incBelnr = ReadFlagSetting("IncBelnr");
  s.kg = ReadFlagSetting("KG");
  s.lassen = ReadFlagSetting("Lassen");
  s.ntb = ReadFlagSetting("NTB");
  s.keinePeri = ReadFlagSetting("KeinePeri");
  s.kr = ReadFlagSetting("KR");
  s.kostPflicht = ReadFlagSetting("KostPflicht");
  s.opKartei = ReadNumberSetting("OP_Kartei", 0);
  s.mahn2 = ReadNumberSetting("Mahn2", 14);
  s.mahn3 = ReadNumberSetting("Mahn3", 14);
  s.opAufloesen = ReadFlagSetting("OPAufloesen");
  s.exportKind = ReadExportKind();
  s.verwButxt = ReadFlagSetting("VerwButxt");
  s.sakoUeberw = ReadFlagSetting("SakoÜberw");

  s.font = ReadSetting("Font");
  s.fontgr = s.font.empty() ? 1 : ReadNumberSetting("Fontgr", 1);
  s.drucker = ReadSetting("Drucker");
  s.formOffX = ReadNumberSetting("FormOffX", 0);
  s.formOffY = ReadNumberSetting("FormOffY", 0);
  s.grafikart = ReadNumberSetting("Grafikart", 0);
  s.grafikfarben = ReadNumberSetting("Grafikfarben", 2314);
  s.true3D = ReadSetting("True3D", "0,0,0,0");
  s.aufbau = ReadFlagSetting("Aufbau");
  s.hotline = ReadFlagSetting("Hotline");

  // A diskette drive is a directory here; the home directory stands in for it.
  s.sicherungspfad = ReadSetting("Sicherungspfad", Home());
  s.impExpPfad = ReadSetting("ImpExpPfad");
  s.datevExpPfad = ReadSetting("DATEVExpPfad", Home());
  s.datevKsalPfad = ReadSetting("DATEVKsalPfad");
  s.abrNr = ReadNumberSetting("AbrNr", 1);
  s.uebExpPfad = ReadSetting("UebExpPfad", Home());
  s.kostExport = ReadSetting("KostExport");
  s.qifPfad = ReadSetting("QIFPfad");
  s.qifDatei = ReadSetting("QIFDatei");

  s.sDecimal = WinIni("intl", "sDecimal", ",");
  s.defaultPrinter = WinIni("windows", "device", "");
  s.transAus = WinIni("WINISAM", "TRANSAUS", "") == "JA";
}

void ReadMandantSettings(int mandantNumber) {
  MandantSettings& m = CurrentMandantSettings();
  m = MandantSettings{};
  auto read = [&](std::string_view key) { return ReadSetting(MandantKey(key, mandantNumber)); };
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
