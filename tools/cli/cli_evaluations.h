// The evaluations of "talvi-cli auswertung": one table entry per report,
// each built by the same builder the screen uses into the report buffer,
// then handed to a sink that writes it as text or prints it.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace talvera::cli {

// What the options of the command line chose.
struct EvaluationRequest {
  std::string year;        // --jahr
  std::string period;      // --periode: 1..12 (calendar month), Q1..Q4, jahr
  std::string from, to;    // --von, --bis: dates as typed
  std::string account;     // --konto (account sheets)
  std::string kinds = "S"; // --arten: S Sachkonten, K Kreditoren, D Debitoren
  bool byShortCode = false;        // --kuerzel
  bool withUnposted = false;       // --unbebucht
  bool byDocumentDate = false;     // --belegdatum
  bool resolveCollective = false;  // --aufloesen
  // P&L and balance sheet.
  std::string depth;               // --tiefe 1..3
  std::string accountLines;        // --konten keine|bebucht|alle
  std::string evaluation;          // --darstellung ohne|entwicklung|struktur
  bool yearValues = false;         // --jahreswerte (P&L)
  bool previousYear = false;       // --vorjahr (balance sheet with "struktur")
  bool opening = false;            // --eroeffnung (balance sheet)
  // BWA: the two compared sides, "guv", "aktiva" or "passiva", each with
  // ":" and a group's name or an account number (without: the whole tree).
  std::string firstSide, secondSide;  // --erste, --zweite
  std::string cumulative;             // --kumuliert erste|zweite|beide
  std::string xmlPath;             // --xml (UStVA)
  std::string formPath;            // --formular (UStVA): the Kennzahlen sheet as PDF
  // Prints the form buffer into a PDF file (the printing lives with Qt).
  std::function<bool(const std::string& path)> writeFormPdf;
  bool printed = false;            // --pdf: the printer's form of the report
};

// Where the built reports go.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // Readies the output for a report of `kind` (`ownWidth`: a report that sets
  // its own width); false when it cannot take it (shown). linesPerPage()
  // is then what the builder lays its pages out for (0: the screen's form).
  virtual bool Prepare(int kind, int ownWidth) = 0;
  virtual int linesPerPage() const = 0;
  // Takes the report buffer's `lines` lines of a report of `kind`.
  virtual bool Emit(int kind, int lines, const std::string& journalPeriod) = 0;
  // Many reports in a row follow (every account sheet of a range): the sink
  // may take each while the next is built. EndMany is false when one of
  // them could not be taken after all (shown).
  virtual void BeginMany() {}
  virtual bool EndMany() { return true; }
};

// A sink for text: the screen's form of each report, written to `out` as
// soon as it is built (every account sheet of a large year need not fit in
// memory at once); a null `out` discards the reports.
class TextSink : public ReportSink {
 public:
  explicit TextSink(std::FILE* out) : out_(out) {}
  bool Prepare(int, int) override { return true; }
  int linesPerPage() const override { return 0; }
  bool Emit(int kind, int lines, const std::string& journalPeriod) override;

 private:
  std::FILE* out_;
};

using EvaluationBuilder = int (*)(const EvaluationRequest& request, ReportSink& sink, std::string& error);

struct EvaluationEntry {
  const char* name;     // as typed after "auswertung"
  const char* title;    // German, for the help
  const char* options;  // the options it reads, for the help
  EvaluationBuilder build;  // nullptr: not available yet
};

// The table, in the order of the help.
const std::vector<EvaluationEntry>& Evaluations();
const EvaluationEntry* FindEvaluation(const std::string& name);

// Runs an entry: an exit status (cli_session.h), `error` says why it failed.
int RunEvaluation(const EvaluationEntry& entry, const EvaluationRequest& request, ReportSink& sink,
                  std::string& error);

}  // namespace talvera::cli
