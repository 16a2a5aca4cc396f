#include "tools/cli/cli_evaluations.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

#include "core/field_readers.h"
#include "core/mandant/company_master.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "core/today.h"
#include "reports/account_sheet.h"
#include "reports/clipboard_text.h"
#include "reports/evaluation_period.h"
#include "reports/journal_report.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_text.h"
#include "reports/bwa_report.h"
#include "core/structure_file.h"
#include "reports/statement_report.h"
#include "reports/trial_balance.h"
#include "reports/form_buffer.h"
#include "tax/ustva_computation.h"
#include "tax/ustva_form_sheet.h"
#include "tax/ustva_list.h"
#include "tax/ustva_lock.h"
#include "tax/ustva_upload_file.h"
#include "tools/cli/cli_session.h"

namespace talvera::cli {
namespace {

constexpr int kMessageTrialBalanceFailed = 55;
constexpr int kMessageNoPostings = 27;
constexpr int kMessageJournalFailed = 58;
constexpr int kMessageOnlyEmptySheets = 43;
constexpr int kMessageSheetFailed = 57;
constexpr int kMessageUstvaFailed = 56;
constexpr int kManySheets = 200;
// The statement dialogs' failure messages.
constexpr int kMessageBalanceSheetFailed = 25;
constexpr int kMessageOpeningSheetFailed = 26;
constexpr int kMessagePeriodProfitAndLossFailed = 51;
constexpr int kMessageProfitAndLossFailed = 61;
constexpr int kMessagePeriodBalanceSheetFailed = 149;

// The command line's options as the fields of an evaluation dialog, so
// that the dialog's readers and checks (and their messages) apply.
class OptionFields : public DialogFields {
 public:
  std::string FieldText(int id) const override {
    auto it = fields_.find(id);
    return it == fields_.end() ? std::string() : it->second;
  }
  void SetFieldText(int id, std::string_view text) override { fields_[id] = std::string(text); }
  void EnableField(int, bool) override {}

 private:
  std::map<int, std::string> fields_;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The period radio the options name: --von/--bis for "Tagesgenau", else
// --periode (a calendar month, a quarter Q1..Q4 or "jahr"); 0 when wrong.
int PeriodRadio(const EvaluationRequest& r, bool allowRange, std::string& error) {
  if (allowRange && (!r.from.empty() || !r.to.empty())) {
    if (r.from.empty() || r.to.empty()) {
      error = "Ein Zeitraum braucht --von und --bis.";
      return 0;
    }
    return periodids::kTagesgenau;
  }
  std::string p = Lower(r.period);
  if (p.empty()) {
    error = "Geben Sie den Zeitraum mit --periode an (1 bis 12, Q1 bis Q4 oder jahr)";
    error += allowRange ? " oder mit --von und --bis." : ".";
    return 0;
  }
  if (p == "jahr" || p == "gesamtjahr") return periodids::kGesamtjahr;
  if (p.size() == 2 && p[0] == 'q' && p[1] >= '1' && p[1] <= '4') return periodids::kFirstQuarter + (p[1] - '1');
  char* end = nullptr;
  long month = std::strtol(p.c_str(), &end, 10);
  if (end && *end == '\0' && month >= 1 && month <= 12) return periodids::kFirstMonth + static_cast<int>(month) - 1;
  error = "Unbekannter Zeitraum \"" + r.period + "\": erlaubt sind 1 bis 12, Q1 bis Q4 und jahr.";
  return 0;
}

// The first and last day of the chosen period through the dialogs' reader:
// kExitOk, kExitUsage for a period the options do not name, kExitRefused
// when the dialogs' checks refuse it (their message is shown).
int ChosenPeriod(const EvaluationRequest& r, bool allowRange, char* first, char* last, int& radio,
                 std::string& error) {
  radio = PeriodRadio(r, allowRange, error);
  if (radio == 0) return kExitUsage;
  OptionFields fields;
  fields.SetFieldText(periodids::kYear, r.year.empty() ? std::to_string(DayToday().y) : r.year);
  fields.SetFieldText(periodids::kFirstDate, r.from);
  fields.SetFieldText(periodids::kLastDate, r.to);
  return ReadPeriod(fields, radio, first, last) ? kExitOk : kExitRefused;
}

unsigned Kinds(const std::string& letters, std::string& error) {
  unsigned kinds = 0;
  for (char c : letters) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
      case 'S': kinds |= 2; break;
      case 'K': kinds |= 4; break;
      case 'D': kinds |= 8; break;
      case ',': break;
      default:
        error = "Unbekannte Kontenart \"" + std::string(1, c) + "\": S Sachkonten, K Kreditoren, D Debitoren.";
        return 0;
    }
  }
  if (kinds == 0 && error.empty()) error = MessageText(5).value_or("Keine Kontenart gewählt.");
  return kinds;
}

int Fail(int message, std::string& error) {
  error = MessageText(message).value_or("Die Auswertung kann nicht erstellt werden.");
  return kExitRefused;
}

// The reference date ("per :"): --bis, else the end of --periode, else
// today, as the dialogs preset it; `first` gets the first day of the
// period (empty without one). The year must be open.
int ReferenceDate(const EvaluationRequest& r, char* first, char* date, std::string& error) {
  first[0] = '\0';
  if (r.to.empty() && !r.period.empty()) {
    int radio = 0;
    if (int status = ChosenPeriod(r, false, first, date, radio, error)) return status;
  } else {
    OptionFields fields;
    fields.SetFieldText(1, r.to.empty() ? std::string(DayToday().text) : r.to);
    if (!ReadDateField(fields, 1, date)) return kExitRefused;
  }
  return CheckPostableYear(date, 0) ? kExitOk : kExitRefused;
}

// ---- the builders ---------------------------------------------------------

int BuildSaldenliste(const EvaluationRequest& r, ReportSink& sink, std::string& error) {
  TrialBalanceOptions o;
  o.kinds = Kinds(r.kinds, error);
  if (o.kinds == 0) return kExitUsage;
  o.byNumber = !r.byShortCode;
  o.withUnposted = r.withUnposted;
  char first[11], date[11];
  if (int status = ReferenceDate(r, first, date, error)) return status;
  std::memcpy(o.date, date, sizeof o.date);
  if (!sink.Prepare(kReportSaldenliste, 0)) return kExitRefused;
  o.linesPerPage = sink.linesPerPage();
  int lines = BuildTrialBalance(o);
  if (lines <= 0) return Fail(kMessageTrialBalanceFailed, error);
  return sink.Emit(kReportSaldenliste, lines, "") ? kExitOk : kExitRefused;
}

int BuildJournal(const EvaluationRequest& r, ReportSink& sink, std::string& error) {
  JournalReportOptions o;
  char first[11], last[11];
  int radio = 0;
  if (int status = ChosenPeriod(r, true, first, last, radio, error)) return status;
  std::memcpy(o.first, first, sizeof o.first);
  std::memcpy(o.last, last, sizeof o.last);
  o.byDocumentDate = r.byDocumentDate;
  if (!sink.Prepare(kReportJournal, 0)) return kExitRefused;
  o.linesPerPage = sink.linesPerPage();
  int lines = BuildJournalReport(o);
  if (lines == 0) return Fail(kMessageNoPostings, error);
  if (lines < 0) return Fail(kMessageJournalFailed, error);
  return sink.Emit(kReportJournal, lines, JournalPeriodText(first, last)) ? kExitOk : kExitRefused;
}

int BuildKontenblatt(const EvaluationRequest& r, ReportSink& sink, std::string& error) {
  AccountSheetOptions o;
  char first[11], last[11];
  int radio = 0;
  if (int status = ChosenPeriod(r, true, first, last, radio, error)) return status;
  std::memcpy(o.first, first, sizeof o.first);
  std::memcpy(o.last, last, sizeof o.last);
  o.selector = SelectorOfRadio(radio);
  o.resolveCollective = r.resolveCollective;
  std::vector<SheetAccount> accounts;
  unsigned kinds = Kinds(r.kinds, error);
  if (kinds == 0) return kExitUsage;
  std::string from = r.account, to = r.account;
  if (!from.empty()) {
    kinds = 2 | 4 | 8;  // an account number is unique across the kinds
    while (from.size() < 7) from.insert(0, 1, ' ');
    to = from;
  }
  if (!ListSheetAccounts(kinds, from, to, accounts)) return Fail(kMessageSheetFailed, error);
  if (accounts.empty()) {
    error = r.account.empty() ? MessageText(kMessageOnlyEmptySheets).value_or("")
                              : "Das Konto " + r.account + " existiert nicht.";
    return kExitRefused;
  }
  if (!sink.Prepare(kReportKontenblatt, AccountSheetWidth(o))) return kExitRefused;
  o.linesPerPage = sink.linesPerPage();
  // Printed sheets go to the printer one by one, each as soon as it is built.
  // Many sheets take a while: a line on standard error every tenth of the way.
  int shownStep = 0;
  auto progress = [&shownStep](int sheet, int total) {
    if (total >= kManySheets && sheet * 10 / total > shownStep) {
      shownStep = sheet * 10 / total;
      Say(std::to_string(sheet) + " von " + std::to_string(total) + " Kontenblättern ...");
    }
    return true;
  };
  sink.BeginMany();
  SheetRunResult run = PrintAccountSheets(
      accounts, o, [&sink](int lines) { return sink.Emit(kReportKontenblatt, lines, ""); }, progress);
  if (!sink.EndMany()) run.stopped = true;
  if (run.failed) return Fail(kMessageSheetFailed, error);
  if (run.stopped) {
    error = "Die Kontenblätter konnten nicht vollständig ausgegeben werden.";
    return kExitRefused;
  }
  if (run.printed == 0) return Fail(kMessageOnlyEmptySheets, error);
  return kExitOk;
}

// The choices the P&L and the balance sheet share; false (error set) for a
// word the options do not know.
bool StatementChoices(const EvaluationRequest& r, StatementOptions& o, std::string& error) {
  if (!r.depth.empty()) {
    if (r.depth.size() != 1 || r.depth[0] < '1' || r.depth[0] > '3') {
      error = "--tiefe nimmt 1, 2 oder 3.";
      return false;
    }
    o.depth = r.depth[0] - '0';
  }
  std::string lines = Lower(r.accountLines), evaluation = Lower(r.evaluation);
  if (lines.empty() || lines == "keine") o.accounts = StatementAccountLines::kNone;
  else if (lines == "bebucht") o.accounts = StatementAccountLines::kPosted;
  else if (lines == "alle") o.accounts = StatementAccountLines::kAll;
  else {
    error = "--konten nimmt keine, bebucht oder alle.";
    return false;
  }
  if (evaluation.empty() || evaluation == "ohne") o.evaluation = StatementEvaluation::kNone;
  else if (evaluation == "entwicklung") o.evaluation = StatementEvaluation::kDevelopment;
  else if (evaluation == "struktur") o.evaluation = StatementEvaluation::kStructure;
  else {
    error = "--darstellung nimmt ohne, entwicklung oder struktur.";
    return false;
  }
  return true;
}

int Two(const char* s) { return (s[0] - '0') * 10 + (s[1] - '0'); }

int EmitStatement(bool balanceSheet, int kind, StatementOptions& o, int failure, ReportSink& sink,
                  std::string& error) {
  if (!sink.Prepare(kind, StatementWidth(o))) return kExitRefused;
  o.linesPerPage = sink.linesPerPage();
  int lines = balanceSheet ? BuildBalanceSheet(o) : BuildProfitAndLoss(o);
  if (lines <= 0) return Fail(failure, error);
  return sink.Emit(kind, lines, "") ? kExitOk : kExitRefused;
}

// The P&L: with --periode the values of that month, quarter or year (as
// "Perioden-GuV"), else per the date's month (as "Aktuelle GuV").
int BuildGuv(const EvaluationRequest& r, ReportSink& sink, std::string& error) {
  StatementOptions o;
  if (!StatementChoices(r, o, error)) return kExitUsage;
  char first[11], date[11];
  if (int status = ReferenceDate(r, first, date, error)) return status;
  std::memcpy(o.date, date, sizeof o.date);
  if (first[0]) o.firstPeriod = Two(first + 2);
  o.monthValues = true;
  o.yearValues = r.yearValues;
  return EmitStatement(false, kReportGuv, o, first[0] ? kMessagePeriodProfitAndLossFailed : kMessageProfitAndLossFailed,
                       sink, error);
}

// The balance sheet per the date (--eroeffnung: the opening balance sheet
// of its year). A balance on the unexpected side keeps its place with a
// minus sign: there is no one to ask where it belongs.
int BuildBilanz(const EvaluationRequest& r, ReportSink& sink, std::string& error) {
  StatementOptions o;
  if (!StatementChoices(r, o, error)) return kExitUsage;
  char first[11], date[11];
  if (int status = ReferenceDate(r, first, date, error)) return status;
  std::memcpy(o.date, date, sizeof o.date);
  o.previousYearComparison = r.previousYear;
  o.opening = r.opening;
  int failure = r.opening  ? kMessageOpeningSheetFailed
                : first[0] ? kMessagePeriodBalanceSheetFailed
                           : kMessageBalanceSheetFailed;
  return EmitStatement(true, kReportBilanz, o, failure, sink, error);
}

// One side of the BWA as the options name it: "guv", "aktiva" or "passiva",
// then ":" and a group's name (or the start of it) or an account number.
int BwaSideOf(const std::string& text, bool cumulative, BwaSide& out, std::string& error) {
  std::string tree = Lower(text.substr(0, text.find(':')));
  if (tree == "guv") out.kind = StructureKind::kProfitAndLoss;
  else if (tree == "aktiva") out.kind = StructureKind::kAssets;
  else if (tree == "passiva") out.kind = StructureKind::kLiabilities;
  else {
    error = "Die Seite \"" + text + "\" beginnt nicht mit guv, aktiva oder passiva.";
    return kExitUsage;
  }
  out.cumulative = cumulative;
  std::size_t colon = text.find(':');
  out.whole = colon == std::string::npos || colon + 1 == text.size();
  if (out.whole) return kExitOk;
  std::string wanted = text.substr(colon + 1);
  StructureTree t;
  if (!LoadStructure(StructurePath(YearDirectory(WorkingYear()), out.kind), t)) return Fail(115, error);
  std::string number = wanted;
  while (number.size() < 7) number.insert(0, 1, ' ');
  for (int handle : t.DepthFirst()) {
    const StructureEntry& e = t.at(handle);
    if (e.IsGroup() ? e.text.rfind(wanted, 0) == 0 : e.text == number) {
      out.entry = handle;
      return kExitOk;
    }
  }
  error = "Im Aufbau \"" + tree + "\" gibt es weder eine Gruppe noch ein Konto \"" + wanted + "\".";
  return kExitRefused;
}

// The BWA: two entries of the structure trees compared month by month over
// the fiscal year of --jahr.
int BuildBwa(const EvaluationRequest& r, ReportSink& sink, std::string& error) {
  if (r.firstSide.empty() || r.secondSide.empty()) {
    error = "Die BWA vergleicht zwei Seiten: geben Sie --erste und --zweite an.";
    return kExitUsage;
  }
  std::string cumulative = Lower(r.cumulative);
  if (!cumulative.empty() && cumulative != "erste" && cumulative != "zweite" && cumulative != "beide") {
    error = "--kumuliert nimmt erste, zweite oder beide.";
    return kExitUsage;
  }
  OptionFields fields;
  fields.SetFieldText(1, r.year.empty() ? std::to_string(DayToday().y) : r.year);
  char yearStart[11];
  if (!ReadYearField(fields, 1, yearStart, 0) || !CheckPostableYear(yearStart, 0)) return kExitRefused;
  BwaSide sides[2];
  if (int status = BwaSideOf(r.firstSide, cumulative == "erste" || cumulative == "beide", sides[0], error))
    return status;
  if (int status = BwaSideOf(r.secondSide, cumulative == "zweite" || cumulative == "beide", sides[1], error))
    return status;
  if (sides[0].kind == sides[1].kind && sides[0].whole == sides[1].whole &&
      (sides[0].whole || sides[0].entry == sides[1].entry))
    return Fail(709, error);
  BwaSeries series[2];
  for (int s = 0; s < 2; ++s)
    if (!ComputeBwaSeries(sides[s], series[s])) return Fail(115, error);
  if (!sink.Prepare(kReportAnalyse, kBwaWidth)) return kExitRefused;
  int lines = BuildBwaReport(series[0], series[1], sink.linesPerPage());
  if (lines <= 0) return Fail(115, error);
  return sink.Emit(kReportAnalyse, lines, "") ? kExitOk : kExitRefused;
}

// The period of a return: a calendar month, a quarter or the year.
int UstvaChoice(const EvaluationRequest& r, std::string& error) {
  int radio = PeriodRadio(r, false, error);
  if (radio == 0) return 0;
  if (radio == periodids::kGesamtjahr) return kUstvaYear;
  if (radio >= periodids::kFirstQuarter) return kUstvaFirstQuarter + radio - periodids::kFirstQuarter;
  return radio - periodids::kFirstMonth + 1;
}

bool WriteUstvaXml(const UstvaReturn& ret, const std::string& path, std::string& error) {
  const Today& today = DayToday();
  char created[16];
  std::snprintf(created, sizeof created, "%04d%02d%02d", today.y, today.m, today.d);
  UstvaUpload upload;
  return MakeUstvaUpload(ret, CurrentCompanyMaster(), created, upload, error) &&
         SaveUstvaUploadFile(path, upload, error);
}

int BuildUstva(const EvaluationRequest& r, ReportSink& sink, std::string& error) {
  int choice = UstvaChoice(r, error);
  if (choice == 0) return kExitUsage;
  int year = r.year.empty() ? DayToday().y : std::atoi(r.year.c_str());
  UstvaPeriod period;
  UstvaPeriodRefusal refusal = ResolveUstvaPeriod(choice, year, CurrentMandant().fiscalStartMonth, period);
  if (refusal != UstvaPeriodRefusal::kNone) {
    error = UstvaRefusalText(refusal);
    return kExitRefused;
  }
  bool postable = CheckPostableYear(period.yearStart, 0);
  SwitchWorkingYear(CurrentMandant().currentYear);
  if (!postable) return kExitRefused;
  UstvaReturn ret;
  if (!ComputeMandantUstva(period, UstvaChoices{}, ret)) return Fail(kMessageUstvaFailed, error);
  if (!r.xmlPath.empty() && !WriteUstvaXml(ret, r.xmlPath, error)) return kExitRefused;
  if (!r.formPath.empty()) {
    const CompanyMaster master = CurrentCompanyMaster();
    if (!UstvaMasterDataComplete(master)) {
      error = "Für das Kennzahlenblatt fehlen Anschriften oder das Bundesland in den Firmenstammdaten.";
      return kExitRefused;
    }
    LayOutUstvaFormSheet(ret, master, TheFormBuffer());
    if (!r.writeFormPdf || !r.writeFormPdf(r.formPath)) {
      error = "Die Datei " + r.formPath + " kann nicht geschrieben werden.";
      return kExitRefused;
    }
  }
  // Printing and saving the return lock its period against postings, as
  // on the screen; a text on the terminal does not.
  char lock[7];
  UstvaLockDate(period, lock);
  if ((r.printed || !r.xmlPath.empty() || !r.formPath.empty()) && PostingLockWouldMove(lock)) {
    AdvancePostingLock(lock);
    char shown[11];
    FormatDate(lock, shown, true);
    Say(std::string("Buchungssperre bis ") + shown + " gesetzt: frühere Buchungen werden abgewiesen.");
  }
  if (!sink.Prepare(kReportUstva, 0)) return kExitRefused;
  int lines = 0;
  if (!BuildUstvaList(ret, CurrentUstvaHeading(), lines)) return Fail(kMessageUstvaFailed, error);
  return sink.Emit(kReportUstva, lines, "") ? kExitOk : kExitRefused;
}

}  // namespace

bool TextSink::Emit(int kind, int, const std::string& journalPeriod) {
  bool ok = true;
  if (out_) {
    ok = WriteReportFixedText(TheReportBuffer(), kind, journalPeriod, [this](std::string_view text) {
      return std::fwrite(text.data(), 1, text.size(), out_) == text.size();
    });
  }
  TheReportBuffer().Clear();
  return ok;
}

const std::vector<EvaluationEntry>& Evaluations() {
  static const std::vector<EvaluationEntry> table = {
      {"saldenliste", "Summen- und Saldenliste",
       "--bis DATUM (Stichtag) oder --jahr J --periode P; --arten SKD, --kuerzel, --unbebucht", BuildSaldenliste},
      {"journal", "Buchungsjournal", "--jahr J --periode P oder --von DATUM --bis DATUM; --belegdatum",
       BuildJournal},
      {"kontenblatt", "Kontenblätter",
       "--konto NR oder --arten SKD; --jahr J --periode P oder --von/--bis; --aufloesen", BuildKontenblatt},
      {"ustva", "Umsatzsteuer-Voranmeldung",
       "--jahr J --periode 1..12|Q1..Q4|jahr; --xml DATEI (für das Portal), --formular DATEI (Kennzahlenblatt, PDF)",
       BuildUstva},
      {"guv", "Gewinn- und Verlustrechnung",
       "--bis DATUM (Monat des Datums) oder --jahr J --periode P; --jahreswerte, --tiefe 1..3,\n"
       "    --konten keine|bebucht|alle, --darstellung ohne|entwicklung|struktur",
       BuildGuv},
      {"bilanz", "Bilanz",
       "--bis DATUM oder --jahr J --periode P; --eroeffnung, --vorjahr (mit struktur), --tiefe 1..3,\n"
       "    --konten keine|bebucht|alle, --darstellung ohne|entwicklung|struktur",
       BuildBilanz},
      {"bwa", "Betriebswirtschaftliche Auswertung",
       "--jahr J --erste SEITE --zweite SEITE [--kumuliert erste|zweite|beide]; eine SEITE ist guv, aktiva\n"
       "    oder passiva, wahlweise mit \":\" und dem Anfang eines Gruppennamens oder einer Kontonummer",
       BuildBwa},
  };
  return table;
}

const EvaluationEntry* FindEvaluation(const std::string& name) {
  for (const EvaluationEntry& e : Evaluations())
    if (Lower(name) == e.name) return &e;
  return nullptr;
}

int RunEvaluation(const EvaluationEntry& entry, const EvaluationRequest& request, ReportSink& sink,
                  std::string& error) {
  if (!entry.build) {
    error = std::string("Die Auswertung \"") + entry.title + "\" gibt es in dieser Fassung noch nicht.";
    return kExitUsage;
  }
  int status = entry.build(request, sink, error);
  SwitchWorkingYear(CurrentMandant().currentYear);
  return status;
}

}  // namespace talvera::cli
