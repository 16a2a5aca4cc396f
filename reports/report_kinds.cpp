#include "reports/report_kinds.h"

namespace talvera {
namespace {

struct KindRow {
  std::string_view title;
  int width;
  int printerWidth;
};

constexpr KindRow kKinds[kReportKindCount] = {
    {"", 0, 0},
    {"Kontenplan", 80, 80},
    {"Saldenliste", 80, 80},
    {"Umsatzsteuer - Voranmeldung", 92, 92},
    {"Kontenblatt", 108, 104},
    {"Buchungsjournal", 137, 137},
    {"Gewinn- und Verlustrechnung", 108, 108},
    {"Hauptabschlußübersicht", 80, 80},
    {"Bilanz", 108, 108},
    {"Begleitzettel", 88, 88},
    {"OP-Liste", 119, 119},
    {"Zusammenfassende Meldung", 50, 50},
    {"Analyse", 66, 66},
    {"Überweisungsliste", 88, 88},
    {"Buchungsliste", 137, 137},
    {"Stapelbuchungen", 132, 132},
    {"Umsatzstatistik", 75, 75},
    {"LISTBOXAUSDRUCK", 0, 0},
    {"Kostenjournal", 114, 114},
    {"Kostensalden", 52, 52},
    {"Kostenstellen", 52, 52},
    {"Kostenaufteilung", 128, 128},
    {"Formularausdruck", 0, 0},
    {"Umsatzsteuerverprobung", 36, 36},
};

const KindRow& Row(int kind) {
  return kind >= 0 && kind < kReportKindCount ? kKinds[kind] : kKinds[0];
}

}  // namespace

std::string_view ReportTitle(int kind) { return Row(kind).title; }
int ReportWidth(int kind) { return Row(kind).width; }
int ReportPrinterWidth(int kind) { return Row(kind).printerWidth; }

int ReportWidth(int kind, int ownWidth) { return ownWidth > 0 ? ownWidth : ReportWidth(kind); }

int ReportPrinterWidth(int kind, int ownWidth) {
  if (ownWidth <= 0) return ReportPrinterWidth(kind);
  return ownWidth - (Row(kind).width - Row(kind).printerWidth);
}

}  // namespace talvera
