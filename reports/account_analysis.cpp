#include "reports/account_analysis.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "recman/recman.h"
#include "reports/account_values.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"
#include "reports/report_templates.h"

namespace talvera {
namespace {

std::vector<char> AccountBuffer() {
  return std::vector<char>(
      std::max(layouts::sako::kLayout.recordLength, layouts::personal::kLayout.recordLength));
}

void Movements(const AccountValues& a, long long* out) {
  for (int p = 0; p < 12; ++p) out[p] = a.periodDebit[p] - a.periodCredit[p];
}

// The same account in the year before, read by path so the working year
// stays selected.
bool ReadPreviousYear(AccountKind kind, const std::string& number, AccountAnalysis& out) {
  std::string path = YearDirectory(out.previousYear) + "/" + SlotFileName(AccountSlot(kind)) + ".btr";
  if (!recman::FileExists(path)) return true;
  if (!OpenPath(path, kSlotScratch)) return false;
  std::vector<char> record = AccountBuffer();
  bool found = false;
  bool ok = GetEqual(record.data(), KeyValue(number.c_str(), kAccountNoWidth + 1), found,
                     MakeFileId(kSlotScratch, 0));
  AccountValues values;
  if (ok && found && ReadAccountValues(kind, record.data(), values)) {
    Movements(values, out.previous);
    out.hasPrevious = true;
  }
  CloseSlot(kSlotScratch);
  return ok;
}

std::string Signed(long long cents) { return SignedAmountText(cents); }

}  // namespace

std::string SignedAmountText(long long cents) {
  return cents < 0 ? "-" + DisplayAmount(-cents) : DisplayAmount(cents);
}

bool ComputeAccountAnalysis(AccountKind kind, const std::string& number, AccountAnalysis& out) {
  out = AccountAnalysis{};
  out.kind = kind;
  out.number = number;
  int slot = AccountSlot(kind);
  if (slot < 0) return false;
  std::vector<char> record = AccountBuffer();
  bool found = false;
  if (!GetEqual(record.data(), KeyValue(number.c_str(), kAccountNoWidth + 1), found, MakeFileId(slot, 0)) ||
      !found)
    return false;
  AccountValues values;
  if (!ReadAccountValues(kind, record.data(), values)) return false;
  out.name = values.name;
  Movements(values, out.current);
  out.year = WorkingYear().empty() ? CurrentMandant().currentYear : WorkingYear();
  out.previousYear = std::to_string(std::atoi(out.year.c_str()) - 1);
  return ReadPreviousYear(kind, number, out);
}

std::string ChangeText(long long current, long long previous) {
  if (previous == 0) return "--- %";
  // hundredths of a per cent, rounded
  long long x = std::llround(10000.0 * static_cast<double>(current - previous) / static_cast<double>(previous));
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld,%02lld %%", x < 0 ? "-" : "", std::llabs(x) / 100, std::llabs(x) % 100);
  return text;
}

int BuildAccountAnalysisReport(const AccountAnalysis& a, int linesPerPage) {
  // The analysis template (label and three amounts) with the change column;
  // its label column takes the longest month name ("September").
  std::vector<TemplateObject> objects = FindObjectTemplate("TQANAOBJ").value_or(std::vector<TemplateObject>{});
  std::vector<int> tabs = FindTabTemplate("TQANATAB").value_or(std::vector<int>{});
  if (objects.size() != 4 || tabs.size() != 4) return 0;
  objects[0].width = 10;
  objects.push_back(TemplateObject{12, 4, kAlignRight});
  tabs.push_back(kAccountAnalysisWidth);
  ReportBuffer& buffer = TheReportBuffer();
  if (!buffer.Begin(std::move(objects), std::move(tabs))) return 0;
  buffer.SetWidth(kAccountAnalysisWidth);
  bool printing = linesPerPage > 0;
  AddEmptyLine();
  if (printing) AddTextLine("\2" + ReportText(CurrentMandant().companyName));
  std::string number = a.number.substr(a.number.find_first_not_of(' ') == std::string::npos
                                           ? a.number.size()
                                           : a.number.find_first_not_of(' '));
  AddTextLine("\x11" + ReportText("Analyse Konto ") + number + " " + a.name);
  AddEmptyLine();
  auto row = [](const std::string& label, const std::string& c, const std::string& p, const std::string& d,
                const std::string& change) {
    SetFieldSlot(0, label);
    SetFieldSlot(1, c);
    SetFieldSlot(2, p);
    SetFieldSlot(3, d);
    SetFieldSlot(4, change);
    return AddTemplateLine();
  };
  bool ok = row("Monat", ReportText("akt. Jahr ") + a.year, "Vorjahr " + a.previousYear, "Differenz",
                ReportText("Veränderung"));
  AddCodeLine(kLineRule);
  long long sumCurrent = 0, sumPrevious = 0;
  for (int p = 0; ok && p < 12; ++p) {
    sumCurrent += a.current[p];
    sumPrevious += a.previous[p];
    ok = row(ReportText(FiscalMonthName(p + 1)), Signed(a.current[p]), a.hasPrevious ? Signed(a.previous[p]) : "",
             Signed(a.current[p] - a.previous[p]), ChangeText(a.current[p], a.previous[p]));
  }
  AddCodeLine(kLineDoubleRule);
  if (ok)
    ok = row("Gesamt:", Signed(sumCurrent), a.hasPrevious ? Signed(sumPrevious) : "", Signed(sumCurrent - sumPrevious),
             ChangeText(sumCurrent, sumPrevious));
  AddEmptyLine();
  if (printing) AddPageBreak();
  EndReport();
  return ok ? buffer.LineCount() : 0;
}

}  // namespace talvera
