#include "reports/bwa_report.h"

#include <cstdlib>
#include <cstring>

#include "core/mandant_values.h"
#include "core/record_store.h"
#include "reports/account_analysis.h"
#include "reports/account_values.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"
#include "reports/report_templates.h"
#include "reports/statement_report.h"
#include "reports/statement_values.h"

namespace talvera {
namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

std::string WorkingYearText() {
  return WorkingYear().empty() ? std::string(CurrentMandant().currentYear) : WorkingYear();
}

unsigned ClassMask(StructureKind kind) { return static_cast<unsigned>(LeafClass(kind)); }

void CollectAccounts(const StructureTree& tree, int handle, std::vector<std::string>& out) {
  const StructureEntry& e = tree.at(handle);
  if (e.kind == StructureEntry::kLeaf) {
    out.push_back(e.text);
    return;
  }
  for (int child : e.children) CollectAccounts(tree, child, out);
}

// The analysis template (label and three amounts) with a wider label and,
// where asked, a fourth column at `extraTab`.
bool BeginAnalysisLayout(int labelWidth, std::vector<int> tabs, int width, bool extraColumn) {
  std::vector<TemplateObject> objects = FindObjectTemplate("TQANAOBJ").value_or(std::vector<TemplateObject>{});
  if (objects.size() != 4) return false;
  objects[0].width = labelWidth;
  if (extraColumn) objects.push_back(TemplateObject{12, 4, kAlignRight});
  ReportBuffer& buffer = TheReportBuffer();
  if (!buffer.Begin(std::move(objects), std::move(tabs))) return false;
  buffer.SetWidth(width);
  return true;
}

bool Row(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
         const std::string& e = {}) {
  SetFieldSlot(0, a);
  SetFieldSlot(1, b);
  SetFieldSlot(2, c);
  SetFieldSlot(3, d);
  SetFieldSlot(4, e);
  return AddTemplateLine();
}

std::string Heading(const BwaSeries& s) { return s.label + (s.cumulative ? " (kum.)" : ""); }

}  // namespace

const char* StructureClassName(StructureKind kind) {
  static const char* const names[] = {"GuV", "Aktiva", "Passiva"};
  return names[static_cast<int>(kind)];
}

std::string BwaEntryLabel(const StructureTree& tree, int entry, const std::string& accountName) {
  if (!tree.Contains(entry) || entry == StructureTree::kHeader) return "gesamt";
  const StructureEntry& e = tree.at(entry);
  if (e.IsGroup()) return ReportText(e.text);
  return Trim(e.text) + (accountName.empty() ? "" : " " + accountName);
}

bool ComputeBwaSeries(const BwaSide& side, BwaSeries& out, const StructureTree* shownTree) {
  out = BwaSeries{};
  out.cumulative = side.cumulative;
  StructureTree read;
  if (!shownTree && !ReadStatementTree(side.kind, read)) return false;
  const StructureTree& tree = shownTree ? *shownTree : read;
  int entry = side.whole ? StructureTree::kHeader : side.entry;
  if (!tree.Contains(entry)) return false;
  ValueRequest r;
  r.span = ValueSpan::kOpening;  // the period figures alone; no date cuts them
  StatementAccounts accounts;
  if (!ReadStatementAccounts(ClassMask(side.kind), r, accounts)) return false;
  std::vector<std::string> numbers;
  CollectAccounts(tree, entry, numbers);
  std::string name;
  if (tree.at(entry).IsLeaf()) {
    auto it = accounts.find(tree.at(entry).text);
    if (it != accounts.end()) name = it->second.name;
  }
  out.label = BwaEntryLabel(tree, entry, name);
  long long sign = side.kind == StructureKind::kLiabilities ? -1 : 1;
  long long opening = 0, closing = 0;
  for (const std::string& number : numbers) {
    auto it = accounts.find(number);
    if (it == accounts.end()) continue;
    for (int p = 0; p < 12; ++p) out.values[p] += sign * it->second.period[p];
    opening += sign * it->second.openingValue;
    closing += sign * it->second.closingValue;
  }
  if (side.cumulative) {
    out.values[0] += opening;
    for (int p = 1; p < 12; ++p) out.values[p] += out.values[p - 1];
    out.values[11] += closing;
  }
  return true;
}

int BuildBwaReport(const BwaSeries& first, const BwaSeries& second, int linesPerPage) {
  // Month names up to "September" need ten characters; the template's tabs stay.
  if (!BeginAnalysisLayout(10, {1, 26, 50, 66}, kBwaWidth, false)) return 0;
  bool printing = linesPerPage > 0;
  AddEmptyLine();
  if (printing) AddTextLine("\2" + ReportText(CurrentMandant().companyName));
  AddTextLine("\x11" + Heading(first) + " / " + Heading(second));
  AddTextLine("\1" + ReportText("Geschäftsjahr ") + WorkingYearText());
  AddEmptyLine();
  bool ok = Row("Monat", first.label.substr(0, 16), second.label.substr(0, 16), "Abweichung");
  AddCodeLine(kLineRule);
  long long sumFirst = 0, sumSecond = 0;
  for (int p = 0; ok && p < 12; ++p) {
    sumFirst += first.values[p];
    sumSecond += second.values[p];
    ok = Row(ReportText(FiscalMonthName(p + 1)), SignedAmountText(first.values[p]),
             SignedAmountText(second.values[p]), ChangeText(first.values[p], second.values[p]));
  }
  // A cumulative side's December already is its total: only the other
  // side's sum is written, and a deviation only between two sums.
  if (ok && !(first.cumulative && second.cumulative)) {
    AddCodeLine(kLineDoubleRule);
    ok = Row("Gesamt:", first.cumulative ? "" : SignedAmountText(sumFirst),
             second.cumulative ? "" : SignedAmountText(sumSecond),
             first.cumulative || second.cumulative ? "" : ChangeText(sumFirst, sumSecond));
  }
  AddEmptyLine();
  if (printing) AddPageBreak();
  EndReport();
  return ok ? TheReportBuffer().LineCount() : 0;
}

bool ComputeSideAnalysis(StructureKind kind, int depth, SideAnalysis& out) {
  out = SideAnalysis{};
  out.kind = kind;
  out.year = WorkingYearText();
  out.previousYear = std::to_string(std::atoi(out.year.c_str()) - 1);
  // The whole year: the last day of its last period, closing postings included.
  StatementOptions o;
  int index = std::atoi(out.year.c_str()) - 1980;
  std::snprintf(o.date, sizeof o.date, "%02d12%02d", DaysInPeriod(12, index), index % 100);
  o.depth = depth;
  std::vector<StatementLine> lines;
  if (!StatementLines(kind, o, lines)) return false;
  for (const StatementLine& l : lines)
    out.rows.push_back({l.label, l.depth, l.value, l.previous, l.previousKnown});
  return true;
}

int BuildSideAnalysisReport(const SideAnalysis& a, int linesPerPage) {
  if (!BeginAnalysisLayout(34, {1, 50, 66, 80, 92}, kSideAnalysisWidth, true)) return 0;
  bool printing = linesPerPage > 0;
  AddEmptyLine();
  if (printing) AddTextLine("\2" + ReportText(CurrentMandant().companyName));
  AddTextLine("\x11" + std::string("Analyse ") + StructureClassName(a.kind));
  AddEmptyLine();
  bool ok = Row("Gruppe", ReportText("akt. Jahr ") + a.year, "Vorjahr " + a.previousYear, "Differenz",
                ReportText("Veränderung"));
  AddCodeLine(kLineRule);
  for (const AnalysisRow& r : a.rows) {
    if (!ok) break;
    std::string indent(static_cast<std::size_t>(2 * (r.depth - 1)), ' ');
    ok = Row(indent + r.label, SignedAmountText(r.current), r.previousKnown ? SignedAmountText(r.previous) : "-",
             r.previousKnown ? SignedAmountText(r.current - r.previous) : "",
             r.previousKnown ? ChangeText(r.current, r.previous) : "");
  }
  AddEmptyLine();
  if (printing) AddPageBreak();
  EndReport();
  return ok ? TheReportBuffer().LineCount() : 0;
}

}  // namespace talvera
