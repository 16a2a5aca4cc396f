// The report kinds. The report window and the printer know a report by its
// kind number; the kind gives the title (print job name, abort-dialog caption
// and settings key of the kind's print font) and the width in characters the
// report needs.
#pragma once

#include <string_view>

namespace talvera {

enum ReportKind : int {
  kReportNone = 0,
  kReportKontenplan = 1,
  kReportSaldenliste = 2,
  kReportUstva = 3,
  kReportKontenblatt = 4,
  kReportJournal = 5,
  kReportGuv = 6,
  kReportHauptabschluss = 7,
  kReportBilanz = 8,
  kReportBegleitzettel = 9,
  kReportOpListe = 10,
  kReportZm = 11,
  kReportAnalyse = 12,
  kReportUeberweisungsliste = 13,
  kReportBuchungsliste = 14,
  kReportStapel = 15,
  kReportUmsatzstatistik = 16,
  kReportListBox = 17,
  kReportKostenjournal = 18,
  kReportKostensalden = 19,
  kReportKostenstellen = 20,
  kReportKostenaufteilung = 21,
  kReportForm = 22,
  kReportVerprobung = 23,
};
constexpr int kReportKindCount = 24;

// UTF-8 title; empty for kind 0 and for numbers outside the table.
std::string_view ReportTitle(int kind);
// Width in characters: the initial display width.
int ReportWidth(int kind);
// The narrowest printer line the kind can be printed on. The account sheet
// fits on 104 columns although it is laid out for 108.
int ReportPrinterWidth(int kind);

// The same for a report that sets its own width (0: the kind's): a variant
// keeps the margin its kind allows the printer (the account sheet's four
// columns).
int ReportWidth(int kind, int ownWidth);
int ReportPrinterWidth(int kind, int ownWidth);

}  // namespace talvera
