// talvi-cli: postings and evaluations from the command line, over the same
// code as the screen. German texts; exit status 0 done, 1 refused by the
// books, 2 the call is wrong or cannot run.
//
//   talvi-cli mandanten
//   talvi-cli buchen --mandant N --csv DATEI [--dry-run]
//   talvi-cli auswertung ART --mandant N [...] [--pdf DATEI | --text]
//   talvi-cli stornieren --mandant N --beleg NR [--datum DATUM]
//   talvi-cli pruefen --mandant N
#include <QApplication>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant_values.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "reports/print_form.h"
#include "reports/print_report.h"
#include "reports/printer.h"
#include "reports/printer_setting.h"
#include "reports/report_state.h"
#include "tools/cli/cli_evaluations.h"
#include "tools/cli/cli_session.h"
#include "tools/cli/cli_storno.h"
#include "tools/cli/consistency.h"
#include "tools/cli/csv_posting.h"

namespace {

using namespace talvera;
using namespace talvera::cli;

CliPresenter* g_presenter = nullptr;

// ---- options ----------------------------------------------------------------

struct Arguments {
  std::vector<std::string> words;             // arguments that are no options
  std::map<std::string, std::string> values;  // --name WERT
  std::set<std::string> flags;                // --name
  bool help = false;
};

struct CommandEntry {
  const char* name;
  const char* usage;
  const char* description;
  std::vector<const char*> valueOptions;
  std::vector<const char*> flagOptions;
  int (*run)(const Arguments&);
};

bool Contains(const std::vector<const char*>& list, const std::string& name) {
  for (const char* n : list)
    if (name == n) return true;
  return false;
}

bool Parse(const CommandEntry& command, int argc, char** argv, int first, Arguments& out, std::string& error) {
  for (int i = first; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "--hilfe" || a == "-h") {
      out.help = true;
    } else if (a.rfind("--", 0) == 0) {
      std::string name = a.substr(2), value;
      std::size_t eq = name.find('=');
      bool inlineValue = eq != std::string::npos;
      if (inlineValue) {
        value = name.substr(eq + 1);
        name.resize(eq);
      }
      if (Contains(command.flagOptions, name) && !inlineValue) {
        out.flags.insert(name);
      } else if (Contains(command.valueOptions, name)) {
        if (!inlineValue) {
          if (i + 1 >= argc) {
            error = "Die Option --" + name + " braucht einen Wert.";
            return false;
          }
          value = argv[++i];
        }
        out.values[name] = value;
      } else {
        error = "Unbekannte Option " + a + " für \"" + command.name + "\".";
        return false;
      }
    } else {
      out.words.push_back(a);
    }
  }
  return true;
}

std::string Value(const Arguments& a, const char* name) {
  auto it = a.values.find(name);
  return it == a.values.end() ? std::string() : it->second;
}

int Usage(const std::string& error) {
  Say(error);
  Say("\"talvi-cli --help\" nennt die Befehle.");
  return kExitUsage;
}

// The Mandant of --mandant, opened; kExitOk or the status to end with.
int OpenMandantOption(const Arguments& a) {
  std::string text = Value(a, "mandant");
  char* end = nullptr;
  long number = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || !end || *end != '\0' || number < 1 || number > 999)
    return Usage(text.empty() ? "Geben Sie den Mandanten mit --mandant NR an." : "Ungültige Mandantennummer \"" + text + "\".");
  std::string error;
  if (!OpenDataRoot(error) || !OpenCliMandant(static_cast<int>(number), error)) {
    Say(error);
    return kExitUsage;
  }
  return kExitOk;
}

// ---- PDF --------------------------------------------------------------------

// Printing needs an application object (fonts, the print engine); without
// a display it runs on the offscreen platform.
std::unique_ptr<QApplication> MakeApplication() {
  static int argc = 1;
  static char name[] = "talvi-cli";
  static char* argv[] = {name, nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return std::make_unique<QApplication>(argc, argv);
}

// Reports printed into one PDF file through the program's printing, in the
// print font the settings give each kind. The setting "Drucker" is changed
// for this run only.
class PdfSink : public ReportSink {
 public:
  explicit PdfSink(std::string path) : path_(std::move(path)) {}

  bool Prepare(int kind, int ownWidth) override {
    if (!QCoreApplication::instance()) app_ = MakeApplication();
    CurrentSettings().drucker = PrinterSettingForPdf(path_);
    if (!OpenPrinter() || !PreparePrintFont(kind, ownWidth)) {
      Say("Die PDF-Datei " + path_ + " kann nicht vorbereitet werden.");
      return false;
    }
    linesPerPage_ = CurrentPrinterMetrics().linesPerPage;
    if (!run_) run_.emplace();
    return true;
  }
  int linesPerPage() const override { return linesPerPage_; }
  bool Emit(int kind, int lines, const std::string&) override {
    SetReportKind(kind);
    RequestPrint(lines);
    return PrintReport(nullptr);
  }
  // Into the PDF file, a sheet's pages are painted while the next is built.
  void BeginMany() override { behind_.emplace(); }
  bool EndMany() override {
    bool ok = !behind_ || behind_->Finish();
    behind_.reset();
    return ok;
  }
  // Ends the document.
  void Finish() {
    behind_.reset();
    run_.reset();
  }

 private:
  std::string path_;
  int linesPerPage_ = 0;
  std::unique_ptr<QApplication> app_;
  std::optional<PrintRun> run_;
  std::optional<PrintBehind> behind_;
};

// ---- commands ---------------------------------------------------------------

int RunMandanten(const Arguments&) {
  std::string error;
  if (!OpenDataRoot(error)) {
    Say(error);
    return kExitUsage;
  }
  std::vector<MandantEntry> mandants;
  if (!ListMandants(mandants)) {
    Say("Die Mandanten des Datenpfads " + DataRoot() + " können nicht gelesen werden.");
    return kExitRefused;
  }
  if (mandants.empty()) std::printf("Im Datenpfad %s gibt es keinen Mandanten.\n", DataRoot().c_str());
  for (const MandantEntry& e : mandants) {
    std::string years;
    if (LoadMandant(e.number)) {
      const MandantValues& m = CurrentMandant();
      years = FiscalYearLabel(m.currentYear);
      if (m.previousYear[0]) years = FiscalYearLabel(m.previousYear) + ", " + years;
    }
    std::printf("%3d  %-40s  Geschäftsjahre: %s\n", e.number, e.name.c_str(), years.c_str());
  }
  CloseCliMandant();
  return kExitOk;
}

// Progress on standard error for long files: every tenth of the way.
class Progress {
 public:
  void operator()(long done, int pass) {
    if (pass != pass_) {
      pass_ = pass;
      step_ = 0;
    }
    if (pass == 1) {
      // The length is known after the first pass only.
      total_ = done;
      if (done % kCheckStep == 0) Say(std::to_string(done) + " Buchungen geprüft ...");
      return;
    }
    if (total_ < kLongRun || done * 10 / total_ <= step_) return;
    step_ = done * 10 / total_;
    Say(std::to_string(done) + " von " + std::to_string(total_) + " Buchungen gebucht ...");
  }

 private:
  static constexpr long kLongRun = 10000;
  static constexpr long kCheckStep = 100000;
  long total_ = 0, step_ = 0;
  int pass_ = 0;
};

int RunBuchen(const Arguments& a) {
  std::string path = Value(a, "csv");
  if (path.empty()) return Usage("Geben Sie die Buchungsdatei mit --csv DATEI an.");
  if (int status = OpenMandantOption(a)) return status;
  bool dryRun = a.flags.count("dry-run") > 0;
  Progress progress;
  PostingRun run = PostBookingFile(path, dryRun, *g_presenter, [&](long done, int pass) { progress(done, pass); });
  CloseCliMandant();
  for (const Refusal& r : run.refusals) Say(r.lineNumber > 0 ? RefusalText(r) : r.text);
  if (!run.refusals.empty()) {
    Say("Nichts gebucht: die Datei " + path + " wird als Ganzes abgewiesen.");
    return kExitRefused;
  }
  if (dryRun) {
    std::printf("%ld Buchungen (%ld Zeilen) geprüft, keine abgewiesen; nichts gebucht (--dry-run).\n", run.bookings,
                run.lines);
  } else {
    std::printf("%ld Buchungen (%ld Zeilen) gebucht.\n", run.bookings, run.lines);
  }
  return kExitOk;
}

int RunAuswertung(const Arguments& a) {
  if (a.words.empty()) return Usage("Welche Auswertung? \"talvi-cli auswertung --help\" nennt sie.");
  const EvaluationEntry* entry = FindEvaluation(a.words.front());
  if (!entry) return Usage("Unbekannte Auswertung \"" + a.words.front() + "\".");
  if (a.words.size() > 1) return Usage("Zu viele Angaben: " + a.words[1]);
  std::string pdf = Value(a, "pdf");
  bool text = a.flags.count("text") > 0;
  if (!pdf.empty() && text) return Usage("--pdf und --text schließen einander aus.");
  EvaluationRequest r;
  r.year = Value(a, "jahr");
  r.period = Value(a, "periode");
  r.from = Value(a, "von");
  r.to = Value(a, "bis");
  r.account = Value(a, "konto");
  if (a.values.count("arten")) r.kinds = Value(a, "arten");
  r.byShortCode = a.flags.count("kuerzel") > 0;
  r.withUnposted = a.flags.count("unbebucht") > 0;
  r.byDocumentDate = a.flags.count("belegdatum") > 0;
  r.resolveCollective = a.flags.count("aufloesen") > 0;
  r.depth = Value(a, "tiefe");
  r.accountLines = Value(a, "konten");
  r.evaluation = Value(a, "darstellung");
  r.yearValues = a.flags.count("jahreswerte") > 0;
  r.previousYear = a.flags.count("vorjahr") > 0;
  r.opening = a.flags.count("eroeffnung") > 0;
  r.firstSide = Value(a, "erste");
  r.secondSide = Value(a, "zweite");
  r.cumulative = Value(a, "kumuliert");
  r.xmlPath = Value(a, "xml");
  r.formPath = Value(a, "formular");
  r.printed = !pdf.empty();
  if ((!r.xmlPath.empty() || !r.formPath.empty()) && std::string(entry->name) != "ustva")
    return Usage("--xml und --formular gibt es nur für die UStVA.");
  std::unique_ptr<QApplication> app;
  r.writeFormPdf = [&app](const std::string& path) {
    if (!QCoreApplication::instance()) app = MakeApplication();
    return PrintFormToPdf(path, nullptr);
  };
  if (!entry->build) {
    std::string error;
    TextSink none(nullptr);
    RunEvaluation(*entry, r, none, error);
    Say(error);
    return kExitUsage;
  }
  if (int status = OpenMandantOption(a)) return status;
  std::string error;
  int status = kExitOk;
  const int printedBefore = g_presenter->printed();
  if (!pdf.empty()) {
    PdfSink sink(pdf);
    status = RunEvaluation(*entry, r, sink, error);
    sink.Finish();
  } else {
    // With only --xml or --formular the files are the output.
    TextSink sink(text || (r.xmlPath.empty() && r.formPath.empty()) ? stdout : nullptr);
    status = RunEvaluation(*entry, r, sink, error);
  }
  CloseCliMandant();
  // A check that refused has said why already.
  if (status != kExitOk && !error.empty()) Say(error);
  else if (status != kExitOk && g_presenter->printed() == printedBefore) Say("Die Auswertung kann nicht erstellt werden.");
  return status;
}

int RunStornieren(const Arguments& a) {
  std::string number = Value(a, "beleg");
  if (number.empty()) return Usage("Geben Sie den Beleg der Buchung mit --beleg NR an.");
  if (int status = OpenMandantOption(a)) return status;
  std::string error;
  int status = CancelByDocumentNumber(number, Value(a, "datum"), error);
  CloseCliMandant();
  if (!error.empty()) Say(error);
  if (status == kExitOk) std::printf("Die Buchung %s ist storniert.\n", number.c_str());
  return status;
}

int RunPruefen(const Arguments& a) {
  if (int status = OpenMandantOption(a)) return status;
  std::vector<std::string> findings;
  bool ran = CheckBooks(findings);
  CloseCliMandant();
  for (const std::string& f : findings) std::printf("%s\n", f.c_str());
  if (!ran) {
    Say("Die Prüfung konnte nicht vollständig durchgeführt werden.");
    return kExitRefused;
  }
  if (findings.empty()) {
    std::printf("Keine Abweichungen gefunden.\n");
    return kExitOk;
  }
  std::printf("%zu Abweichungen gefunden.\n", findings.size());
  return kExitRefused;
}

const std::vector<CommandEntry>& Commands() {
  static const std::vector<CommandEntry> table = {
      {"mandanten", "talvi-cli mandanten",
       "Listet die Mandanten des Datenpfads mit Nummer, Name und offenen Geschäftsjahren.", {}, {}, RunMandanten},
      {"buchen", "talvi-cli buchen --mandant NR --csv DATEI [--dry-run]",
       "Bucht die Buchungen einer CSV-Datei (Spalten Datum;Beleg;Soll;Haben;Betrag;Satz;Steuer;Text;\n"
       "KoSt1;KoSt2;KoArt;Währung;Fremdbetrag;Buchung, die Kopfzeile nennt sie). Jede Zeile wird\n"
       "geprüft wie im Buchungsdialog; wird eine abgewiesen, nennt talvi-cli Zeile, Feld und\n"
       "Meldung und bucht nichts. Sonst wird die ganze Datei in einer Transaktion gebucht.\n"
       "Zeilen mit demselben Wert in \"Buchung\" bilden eine Splitbuchung.\n"
       "Legt die Datei offene Posten an, müssen deren Abzugskonten (Ab0 bis Ab5 in TALVI.INI,\n"
       "Dialog \"Offene Posten\" › \"Abzugskonten\") angegeben sein; sonst bucht talvi-cli nichts.\n"
       "--dry-run prüft nur.",
       {"mandant", "csv"}, {"dry-run"}, RunBuchen},
      {"auswertung", "talvi-cli auswertung ART --mandant NR [OPTIONEN] [--pdf DATEI | --text]",
       "Erstellt eine Auswertung wie auf dem Bildschirm: als Text auf die Standardausgabe\n"
       "(--text, die Vorgabe) oder gedruckt in eine PDF-Datei (--pdf).",
       {"mandant", "jahr", "periode", "von", "bis", "konto", "arten", "pdf", "xml", "formular", "tiefe", "konten",
        "darstellung", "erste", "zweite", "kumuliert"},
       {"text", "kuerzel", "unbebucht", "belegdatum", "aufloesen", "jahreswerte", "vorjahr", "eroeffnung"},
       RunAuswertung},
      {"stornieren", "talvi-cli stornieren --mandant NR --beleg NR [--datum DATUM]",
       "Storniert die Buchung mit diesem Beleg wie Buchen › Stornieren: eine Buchung derselben\n"
       "Konten mit umgekehrtem Vorzeichen, am Datum der Buchung oder an --datum. Ihre offenen\n"
       "Posten werden entfernt; eine Buchung mit Zahlungen auf ihren Posten bleibt stehen.",
       {"mandant", "beleg", "datum"}, {}, RunStornieren},
      {"pruefen", "talvi-cli pruefen --mandant NR",
       "Prüft die Bücher: Kontensummen gegen das Journal in beiden offenen Jahren, die\n"
       "Vorjahreswerte, die Datenbank jedes Jahres und die offenen Posten. Jede Abweichung\n"
       "steht in einer Zeile.",
       {"mandant"}, {}, RunPruefen},
  };
  return table;
}

void CommandHelp(const CommandEntry& c) {
  std::printf("Aufruf: %s\n\n%s\n", c.usage, c.description);
  if (std::string(c.name) == "auswertung") {
    std::printf("\nAuswertungen:\n");
    for (const EvaluationEntry& e : Evaluations())
      std::printf("  %-12s %s%s\n               %s\n", e.name, e.title, e.build ? "" : " (noch nicht verfügbar)",
                  e.options);
    std::printf("\nZeiträume: --periode 1..12 (Monat), Q1..Q4, jahr; Datumsangaben als TT.MM.JJJJ.\n");
  }
  std::printf("\nDer Datenpfad steht als \"Pfad\" in TALVI.INI im Einstellungsverzeichnis\n"
              "($TALVERA_WINDIR, sonst $XDG_CONFIG_HOME/talvera).\n");
}

void MainHelp() {
  std::printf("Aufruf: talvi-cli BEFEHL [OPTIONEN]\n\nBefehle:\n");
  for (const CommandEntry& c : Commands()) std::printf("  %s\n", c.usage);
  std::printf("\n\"talvi-cli BEFEHL --help\" beschreibt einen Befehl.\n"
              "Exit-Status: 0 erledigt, 1 von den Büchern abgewiesen, 2 falscher Aufruf.\n");
}

}  // namespace

int main(int argc, char** argv) {
  CliPresenter presenter;
  g_presenter = &presenter;
  ResetDayToday();
  if (argc < 2) {
    MainHelp();
    return kExitUsage;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "--hilfe" || name == "-h" || name == "hilfe") {
    MainHelp();
    return kExitOk;
  }
  for (const CommandEntry& c : Commands()) {
    if (name != c.name) continue;
    Arguments args;
    std::string error;
    if (!Parse(c, argc, argv, 2, args, error)) return Usage(error);
    if (args.help) {
      CommandHelp(c);
      return kExitOk;
    }
    if (std::string(c.name) != "auswertung" && !args.words.empty()) return Usage("Unerwartete Angabe \"" + args.words.front() + "\".");
    return c.run(args);
  }
  return Usage("Unbekannter Befehl \"" + name + "\".");
}
