// The captions of the dialogs in normal German case, by resource name. A new
// dialog adds its line here (the resource name stays its object name).
#include <QHash>
#include <QString>

#include "widgets/dialog_kit.h"

namespace talvera {
namespace {

struct TitleEntry {
  const char* resource;
  const char* title;
};

const TitleEntry kTitles[] = {
    {"MANDANT", "Mandantenverwaltung"},
    {"MANDANLEGEN", "Mandant anlegen"},
    {"TQKR", "Kontenrahmen ändern"},
    {"STAMMDAT", "Firmenstammdaten ändern"},
    {"DATENUEBERNAHME", "Datenübernahme"},
    {"BENUTZERLOGIN", "Benutzer-Login"},
    {"BENUTZERVERW", "Benutzerverwaltung"},
    {"BENUTZERKOPIEREN", "Benutzerrechte kopieren"},
    {"BENUTZERPASSAEN", "Benutzerpaßwort ändern"},
    {"PASSAEN", "Paßwort ändern"},
    {"PASSTEST", "Paßwort angeben"},
    {"STAPELWAHL", "Stapel auswählen"},
    {"EINST", "Einstellungen: Bedienung"},
    {"EINSTBUCH", "Einstellungen: Buchen"},
    {"BSSCHRIFT", "Bildschirmschriftart"},
    {"STEANL", "Steuersatzverwaltung"},
    {"EUST", "Einfuhrumsatzsteuer-Konto festlegen"},
    {"DRUEIN", "Drucker einrichten"},
    {"SCHRIFT", "Schriftart"},
    {"FORMULAREINST", "Formulareinstellungen"},
    {"TQABOUT", "Info über TALVERA"},
    {"BUCSTORNO", "Buchungen stornieren"},
    {"BUCEROMSG", "Eröffnungsbuchungen"},
    {"BUCERO", "Eröffnungsbuchungen"},
    {"SAKTONEU", "Neues Sachkonto"},
    {"SAKTOAEN", "Sachkonto ändern"},
    {"DEBINEU", "Neuer Debitor"},
    {"DEBIAEN", "Debitor ändern"},
    {"KREDNEU", "Neuer Kreditor"},
    {"KREDAEN", "Kreditor ändern"},
    {"KOSTNEU", "Neue Kostenstelle"},
    {"KOSTAEN", "Kostenstelle ändern"},
    {"KTONEU", "Neues Konto"},
    {"KTOLOE", "Konten löschen"},
    {"SOLLWERTE", "Sollwerte"},
    {"SW_ENTWICKLUNG", "Sollwertentwicklung"},
    {"BUCBAT", "Stapelbuchen"},
    {"BUCBATKG", "Stapelbuchen"},
    {"ABORTUEBER", "Stapelbuchungen übernehmen"},
};

}  // namespace

QString DialogTitle(const QString& resourceName) {
  static const QHash<QString, QString> titles = [] {
    QHash<QString, QString> map;
    for (const TitleEntry& e : kTitles) map.insert(e.resource, QString::fromUtf8(e.title));
    return map;
  }();
  return titles.value(resourceName);
}

}  // namespace talvera
