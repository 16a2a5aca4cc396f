#include "shell/command_table.h"

#include <algorithm>

namespace talvera {
namespace {

constexpr CommandInfo kCommands[] = {
    {3071, "Datei", "", "Kopieren in &Zwischenablage", "Ins", kNeedsReport, 0, 0, false, -1},
    {3081, "Datei", "", "Bericht lösche&n", "Ctrl+Esc", kNeedsReport, 0, 0, false, -1},
    {3099, "Datei", "", "&Kontendialoge sichtbar", "F4", 0, 0, 0, false, -1},
    {3052, "Datei", "", "&Mandantenverwaltung...", "Ctrl+M", kNoPostingDialog, 0, 0, false, -1},
    {10022, "Datei", "", "Benu&tzerverwaltung...", "", kNoPostingDialog, kRightAdministration, 0, false, -1},
    {10021, "Datei", "", "Benutzer&paßwort ändern...", "", 0, 0, 0, false, -1},
    {3066, "Datei", "", "&Firmenstammdaten...", "Ctrl+F", kNoPostingDialog, kRightAdministration, 0, false, -1},
    {2099, "Datei", "", "Daten&übernahme...", "", kNoPostingDialog | kNoArchive, 0, 0, false, -1},
    {3030, "Datei", "", "&Sicherungskopie...", "Ctrl+S", kNoPostingDialog, kRightSichern, 0, false, -1},
    {3031, "Datei", "", "&Holen einer Sicherung...", "Ctrl+H", kNoPostingDialog, kRightHolen, 0, false, -1},
    {3077, "Datei", "Reorganisieren", "&Aufbau...", "", kNoPostingDialog, 0, 0, false, -1},
    {3100, "Datei", "Reorganisieren", "&Kontensalden...", "", 0, 0, 0, false, -1},
    {3095, "Datei", "Einstellungen", "B&edienung...", "", kNoPostingDialog, 0, 0, false, -1},
    {3096, "Datei", "Einstellungen", "&Buchen...", "", kNoPostingDialog, 0, 0, false, -1},
    {3054, "Datei", "Einstellungen", "Ban&kenverwaltung...", "", kNoArchive, kRightKontenVerwalten, 0, true, -1},
    {3097, "Datei", "Einstellungen", "Bild&schirmschriftart...", "", 0, 0, 0, false, -1},
    {3300, "Datei", "Einstellungen", "&Listenschriftart...", "", 0, 0, 0, false, -1},
    {3098, "Datei", "Einstellungen", "&Grafik...", "", 0, 0, 0, false, -1},
    {10030, "Datei", "Einstellungen", "&Paßwort...", "", kNoPostingDialog, kRightAdministration, 0, false, -1},
    {3048, "Datei", "", "&Drucker einrichten...", "", kNoPostingDialog, 0, 0, false, -1},
    {10016, "Datei", "", "&QIF-Import...", "Ctrl+Q", kNoPostingDialog | kNoArchive, 0, kRightVerbuchen | kRightBuchungenErfassen, false, -1},
    {10026, "Datei", "", "Import aus &Version 2.0...", "", kNoPostingDialog | kNoArchive, 0, 0, false, -1},
    {3080, "Datei", "", "ASCII-&Import...", "Ctrl+I", kNoPostingDialog | kNoArchive, 0, kRightVerbuchen | kRightBuchungenErfassen | kRightKontenVerwalten, false, -1},
    {3070, "Datei", "", "ASCII-E&xport...", "Ctrl+X", kNoPostingDialog, kRightDatenExportieren, 0, false, -1},
    {3046, "Datei", "", "&Jahreswechsel...", "", kNoPostingDialog | kNoArchive, kRightJahreswechsel, 0, false, -1},
    {3041, "Datei", "", "Archiv &öffnen...", "", kNoPostingDialog | kNoArchive, 0, 0, false, -1},
    {3047, "Datei", "", "Archiv s&chließen", "", kNeedsArchive, 0, 0, false, -1},
    {3032, "Datei", "", "&Beenden", "Alt+F4", kNoPostingDialog, 0, 0, false, -1},
    {3091, "Konto", "", "&Sachkonten...", "F5", 0, 0, 0, false, -1},
    {3092, "Konto", "", "&Kreditoren...", "F6", 0, 0, 0, false, -1},
    {3093, "Konto", "", "&Debitoren...", "F7", 0, 0, 0, false, -1},
    {10002, "Konto", "", "K&ostenstellen...", "F8", 0, 0, 0, false, -1},
    {3006, "Konto", "", "&Löschen...", "Ctrl+L", kNoPostingDialog | kNoArchive, kRightKontenVerwalten, 0, true, -1},
    {3007, "Konto", "", "Konten&plan...", "", kNoPostingDialog, 0, 0, false, 1},
    {3008, "Konto", "", "Su&mmen- und Saldenlisten...", "", kEvaluations, 0, 0, false, 2},
    {3009, "Konto", "", "Kontenblä&tter...", "Ctrl+T", kEvaluations, 0, 0, false, 0},
    {3042, "Konto", "", "&Hauptabschlußübersicht...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 7},
    {3094, "Konto", "", "&Umsatzstatistik...", "", kEvaluations, 0, 0, false, 16},
    {3058, "Umsatzsteuer", "", "&Umbuchungen...", "Ctrl+U", kNoPostingDialog | kNoArchive, kRightVerbuchen, 0, true, -1},
    {3010, "Umsatzsteuer", "", "&Steuersatzverwaltung...", "", kNoPostingDialog | kNoArchive, kRightSteuersaetze, 0, true, -1},
    {3057, "Umsatzsteuer", "", "&EUSt - Konto...", "", kNoPostingDialog | kNoArchive, 0, 0, false, -1},
    {3012, "Umsatzsteuer", "", "Umsatzsteuer-&Voranmeldung...", "Ctrl+V", kNoPostingDialog | kEvaluations, 0, 0, false, 3},
    {10023, "Umsatzsteuer", "", "Umsatzsteuer-Verpro&bung...", "", kNoPostingDialog, kRightAuswerten, 0, false, -1},
    {3083, "Umsatzsteuer", "", "&Zusammenfassende Meldung...", "Ctrl+Z", kNoPostingDialog | kEvaluations, 0, 0, false, 11},
    {3082, "Buchen", "", "&Währungsverwaltung...", "Ctrl+W", kNoArchive, 0, 0, false, -1},
    {2096, "Buchen", "", "Buchungs&texte...", "", kNoPostingDialog | kNoArchive, 0, 0, false, -1},
    {2095, "Buchen", "", "Buchungsschabl&onen...", "", kNoPostingDialog | kNoArchive, 0, 0, false, -1},
    {3013, "Buchen", "", "&Laufende Geschäftsvorfälle...", "Ctrl+B", kNoArchive, kRightVerbuchen | kRightBuchungenErfassen, 0, true, -1},
    {2098, "Buchen", "", "&Stornieren...", "", kNoPostingDialog | kNoArchive, kRightVerbuchen | kRightBuchungenErfassen, 0, true, -1},
    {3051, "Buchen", "", "Stapelbu&chungen...", "Ctrl+C", kNoArchive, kRightBuchungenErfassen, 0, true, -1},
    {3076, "Buchen", "", "OP-Ausgleich &Kreditoren...", "", kNoPostingDialog | kNoArchive, kRightBuchungenErfassen, 0, true, -1},
    {2097, "Buchen", "", "OP-Ausgleich &Debitoren...", "", kNoPostingDialog | kNoArchive, kRightBuchungenErfassen, 0, true, -1},
    {3043, "Buchen", "", "&Abschlußbuchungen...", "", kNoPostingDialog | kNoArchive, kRightVerbuchen | kRightBuchungenErfassen, 0, true, -1},
    {3014, "Buchen", "", "&Eröffnungsbuchungen...", "", kNoPostingDialog | kNoArchive, kRightVerbuchen | kRightBuchungenErfassen, 0, true, -1},
    {3090, "Buchen", "Überweisungen", "&ändern...", "", kNoPostingDialog | kNoArchive, kRightVerbuchen, 0, false, -1},
    {3055, "Buchen", "Überweisungen", "e&xportieren...", "", kNoPostingDialog | kNoArchive, kRightDatenExportieren, 0, true, -1},
    {10017, "Buchen", "Überweisungen", "&drucken...", "", kNoPostingDialog | kNoArchive, 0, 0, false, -1},
    {3062, "Buchen", "DATEV - Export", "&Erfassungsdaten...", "", kNoPostingDialog, kRightDatenExportieren, 0, false, -1},
    {10014, "Buchen", "DATEV - Export", "&Kontensalden...", "", kNoPostingDialog, kRightDatenExportieren, 0, false, -1},
    {3015, "Buchen", "", "Buchungs&journal...", "Ctrl+J", 0, 0, 0, false, 5},
    {3001, "Buchen", "", "Buchungsl&iste...", "", kNoPostingDialog, 0, 0, false, -1},
    {3000, "GuV", "", "&Aktuell...", "Ctrl+G", kNoPostingDialog | kEvaluations, 0, 0, false, 6},
    {3016, "GuV", "", "&Perioden...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 6},
    {2094, "GuV", "", "A&nalyse...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 12},
    {3059, "GuV", "", "Auf&bau...", "", kNoPostingDialog | kNoArchive, kRightKontenVerwalten, 0, true, -1},
    {3044, "Bilanz", "", "&Aktuell...", "Ctrl+N", kNoPostingDialog | kEvaluations, 0, 0, false, 8},
    {3045, "Bilanz", "", "&Perioden...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 8},
    {2093, "Bilanz", "Analyse", "&Aktiva...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 12},
    {2092, "Bilanz", "Analyse", "&Passiva...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 12},
    {3050, "Bilanz", "", "&Eröffnungsbilanz...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 8},
    {3060, "Bilanz", "Aufbau", "&Aktiva...", "", kNoPostingDialog | kNoArchive, kRightKontenVerwalten, 0, true, -1},
    {3061, "Bilanz", "Aufbau", "&Passiva...", "", kNoPostingDialog | kNoArchive, kRightKontenVerwalten, 0, true, -1},
    {3064, "Bilanz", "Ausweichaufbau", "&Aktiva...", "", kNoPostingDialog | kNoArchive, kRightKontenVerwalten, 0, true, -1},
    {3065, "Bilanz", "Ausweichaufbau", "&Passiva...", "", kNoPostingDialog | kNoArchive, kRightKontenVerwalten, 0, true, -1},
    {2091, "BWA", "", "&GuV / GuV...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 12},
    {2090, "BWA", "", "&Aktiva / Aktiva...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 12},
    {2089, "BWA", "", "A&ktiva / Passiva...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 12},
    {2088, "BWA", "", "&Passiva / Passiva...", "", kNoPostingDialog | kEvaluations, 0, 0, false, 12},
    {10003, "KR", "", "Kostenstellen&liste...", "", kNoPostingDialog | kEvaluations, kRightKrAuswerten, 0, false, 20},
    {10004, "KR", "", "Kosten&salden...", "", kNoPostingDialog | kEvaluations, kRightKrAuswerten, 0, false, 19},
    {10005, "KR", "", "Kosten&journal...", "", kNoPostingDialog | kEvaluations, kRightKrAuswerten, 0, false, 18},
    {10011, "KR", "", "Kosten&aufteilung...", "", kNoPostingDialog | kEvaluations, kRightKrAuswerten, 0, false, 21},
    {10006, "KR", "", "&Export...", "", kNoPostingDialog, kRightDatenExportieren, 0, false, -1},
    {3074, "Offene Posten", "", "OP-Kartei &Debitoren...", "Ctrl+D", kNoPostingDialog | kNoArchive, kRightBuchungenErfassen, 0, true, -1},
    {3075, "Offene Posten", "", "OP-Kartei &Kreditoren...", "Ctrl+K", kNoPostingDialog | kNoArchive, kRightBuchungenErfassen, 0, true, -1},
    {3073, "Offene Posten", "", "Ab&zugskonten...", "", kNoPostingDialog, 0, 0, false, -1},
    {10024, "Offene Posten", "", "OP-&Abgleich...", "", kNoPostingDialog, kRightVerbuchen, 0, false, -1},
    {3072, "Offene Posten", "", "OP-&Liste...", "Ctrl+O", kNoPostingDialog | kEvaluations, 0, 0, false, 10},
    {57666, "Hilfe", "", "&Index...", "F1", 0, 0, 0, false, -1},
    {57667, "Hilfe", "", "zum &Hilfesystem...", "", 0, 0, 0, false, -1},
    {2084, "Hilfe", "", "&Taschenrechner...", "", 0, 0, 0, false, -1},
    {2082, "Hilfe", "", "Text&verarbeitung...", "", 0, 0, 0, false, -1},
    {3033, "Hilfe", "", "Info &über TALVERA...", "", kNoPostingDialog, 0, 0, false, -1},
};

constexpr const char* kTopMenus[] = {"&Datei", "&Konto", "&Umsatzsteuer", "&Buchen",        "&GuV",
                                     "Bi&lanz", "B&WA",   "K&R",           "&Offene Posten", "&Hilfe"};

constexpr int kToolbar[] = {3031, 3030, 0,    3071, 3048, 0,    3013, 3051, 2098, 0,     3015,
                            3009, 3012, 0,    3044, 3000, 0,    3074, 3075, 0,    57666};

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

const CommandInfo* FindCommand(int id) {
  auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                         [id](const CommandInfo& c) { return c.id == id; });
  return it == std::end(kCommands) ? nullptr : &*it;
}

std::span<const char* const> TopMenus() { return kTopMenus; }
std::span<const int> ToolbarCommands() { return kToolbar; }

std::span<const int> MenuGroupStarts() {
  static const int kGroupStarts[] = {
      3052, 3066, 3030, 3077, 3048, 10016, 3046, 3032,  // Datei
      3006, 3007,                                       // Konto
      3012,                                             // Umsatzsteuer
      2096, 3013, 3090, 3015,                           // Buchen
      3059,                                             // GuV
      3050, 3060,                                       // Bilanz
      10006,                                            // KR
      3073, 3072,                                       // Offene Posten
      2084, 3033,                                       // Hilfe
  };
  return kGroupStarts;
}

bool CommandAllowed(const CommandInfo& c, const CommandContext& x) {
  if ((c.rules & kNoPostingDialog) && x.postingDialogOpen) return false;
  if ((c.rules & kNoArchive) && x.archiveOpen) return false;
  if ((c.rules & kEvaluations) && !x.evaluationsUnlocked) return false;
  if ((c.rules & kNeedsReport) && !x.reportShown) return false;
  if ((c.rules & kNeedsArchive) && !x.archiveOpen) return false;
  if ((x.rights & c.rights) != c.rights) return false;
  if (c.anyRight && !(x.rights & c.anyRight)) return false;
  return true;
}

}  // namespace talvera
