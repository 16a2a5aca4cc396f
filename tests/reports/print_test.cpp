#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "print_fixture.h"
#include "reports/form_buffer.h"
#include "reports/print_form.h"
#include "reports/print_job.h"
#include "reports/print_list_box.h"
#include "reports/print_report.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "widgets/dialog_kit.h"

using namespace talvera;
using talvera::testing::HavePoppler;
using talvera::testing::PrintTest;

namespace {

// Points TMPDIR at `directory` while it lives.
class TemporaryFilesIn {
 public:
  explicit TemporaryFilesIn(const std::string& directory) {
    if (const char* before = std::getenv("TMPDIR")) before_ = before;
    ::setenv("TMPDIR", directory.c_str(), 1);
  }
  ~TemporaryFilesIn() {
    if (before_) ::setenv("TMPDIR", before_->c_str(), 1);
    else ::unsetenv("TMPDIR");
  }

 private:
  std::optional<std::string> before_;
};

// A trial balance of three pages: two ended by the builder, the last one
// longer than a page, which must go on to a fourth page rather than off the paper.
int BuildThreePageTrialBalance() {
  EXPECT_TRUE(BeginReport("TQKSALOBJ0", "TQKSALTAB0"));
  AddEmptyLine();  // the screen's first line, which printing passes over
  for (int page = 1; page <= 3; ++page) {
    AddTextLine("\1Summen- und Saldenliste Seite " + std::to_string(page));
    int accounts = page == 3 ? CurrentPrinterMetrics().linesPerPage + 5 : 10;
    for (int i = 0; i < accounts; ++i) {
      SetFieldSlot(0, std::to_string(1000 * page + i));
      SetFieldSlot(2, "Konto " + std::to_string(1000 * page + i));
      SetFieldSlot(3, "1.234,56");
      AddTemplateLine();
    }
    AddCodeLine(kLineDoubleRule);
    AddPageBreak();
  }
  EndReport();
  return TheReportBuffer().LineCount();
}

TEST_F(PrintTest, ReportOfSeveralPagesGoesToPdf) {
  if (!HavePoppler()) GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) are not installed";
  ASSERT_TRUE(PreparePrintFont(kReportSaldenliste));
  int lines = BuildThreePageTrialBalance();
  SetReportKind(kReportSaldenliste);
  RequestPrint(lines);
  ASSERT_TRUE(PrintReport(nullptr));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(PdfPages(), 4);
  std::string text = PdfText();
  EXPECT_NE(text.find("Summen- und Saldenliste Seite 1"), std::string::npos);
  EXPECT_NE(text.find("Summen- und Saldenliste Seite 3"), std::string::npos);
  EXPECT_NE(text.find("Konto 3000"), std::string::npos);
  // The last account of the overlong page is there too.
  int last = 3000 + CurrentPrinterMetrics().linesPerPage + 4;
  EXPECT_NE(text.find("Konto " + std::to_string(last)), std::string::npos);
  // Printing ends the report: request, kind and buffer are gone.
  EXPECT_FALSE(CurrentReport().printRequested);
  EXPECT_EQ(CurrentReport().kind, kReportNone);
  EXPECT_EQ(TheReportBuffer().LineCount(), 0);
}

TEST_F(PrintTest, AFailedJobIsReportedWithTheReportTitle) {
  UsePdf((dir_ / "missing-directory") + "/out.pdf");
  ASSERT_TRUE(BeginReport("TQANAOBJ", "TQANATAB"));
  AddTextLine("\1Analyse");
  SetReportKind(kReportAnalyse);
  RequestPrint(1);
  EXPECT_FALSE(PrintReport(nullptr));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, "Analyse konnte nicht gedruckt werden.");
  EXPECT_EQ(messages_.shown[0].title, "TALVI");
  EXPECT_FALSE(CurrentReport().printing);
}

// A page that holds 70 characters at 5 pt: too narrow for the 80 columns of
// the trial balance at any automatic size.
TEST_F(PrintTest, NoFontWideEnoughGivesMessage49) {
  QPrinter* printer = CurrentPrinter();
  QFont probe(DefaultPrintFace());
  probe.setPointSizeF(5);
  double pointsPerChar = QFontMetricsF(probe, printer).averageCharWidth() * 72 / printer->resolution();
  QPageLayout narrow(QPageSize(QSizeF(70.5 * pointsPerChar, 800), QPageSize::Point),
                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  ASSERT_TRUE(printer->setPageLayout(narrow));
  EXPECT_TRUE(PreparePrintFont(kReportVerprobung));  // 36 columns fit
  EXPECT_FALSE(PreparePrintFont(kReportSaldenliste));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{49});
  // A report of its own width is measured by that width, not by its kind's.
  EXPECT_TRUE(PreparePrintFont(kReportSaldenliste, 56));
  EXPECT_FALSE(PreparePrintFont(kReportZm, 80));
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{49, 49}));
}

// Builders count a page's lines from the second buffer line (the first is
// the screen's) and end a full page with an empty line and a page break:
// that must give exactly one page, not a blank one after it.
TEST_F(PrintTest, PagesAreCountedAsTheBuilderCountsThem) {
  if (!HavePoppler()) GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) are not installed";
  ASSERT_TRUE(PreparePrintFont(kReportSaldenliste));
  int perPage = CurrentPrinterMetrics().linesPerPage;
  ASSERT_TRUE(BeginReport("TQKSALOBJ0", "TQKSALTAB0"));
  AddTextLine("\1Nur auf dem Bildschirm");
  for (int i = 0; i < perPage; ++i) AddTextLine("\1Zeile " + std::to_string(i + 1));
  AddEmptyLine();
  AddPageBreak();
  AddEmptyLine();
  AddTextLine("\1Zweite Seite");
  AddEmptyLine();
  AddPageBreak();
  SetReportKind(kReportSaldenliste);
  RequestPrint(TheReportBuffer().LineCount());
  ASSERT_TRUE(PrintReport(nullptr));
  EXPECT_EQ(PdfPages(), 2);
  std::string text = PdfText();
  EXPECT_EQ(text.find("Nur auf dem Bildschirm"), std::string::npos);
  EXPECT_NE(text.find("Zeile " + std::to_string(perPage)), std::string::npos);
  EXPECT_NE(text.find("Zweite Seite"), std::string::npos);
}

// Each job to the PDF file writes it anew; the reports one command prints
// (a run) go into one document instead of the last one replacing the rest.
// Painted behind (while the next report is built), the reports keep their
// order and their pages.
TEST_F(PrintTest, ARunOfReportsGoesIntoOnePdf) {
  if (!HavePoppler()) GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) are not installed";
  // Blatt k has k % 3 + 1 pages.
  constexpr int kReports = 7;
  // Painted behind, a report goes to whichever page thread is free; with
  // no temporary file for a second document, all go to the first.
  enum Mode { kInTurn, kBehind, kBehindWithoutTemporaryFiles };
  for (Mode mode : {kInTurn, kBehind, kBehindWithoutTemporaryFiles}) {
    SCOPED_TRACE(mode);
    bool behind = mode != kInTurn;
    std::string temporary = dir_ / (mode == kBehindWithoutTemporaryFiles ? "fehlt" : "temp");
    if (mode != kBehindWithoutTemporaryFiles) std::filesystem::create_directory(temporary);
    TemporaryFilesIn temporaryFiles(temporary);
    std::filesystem::remove(pdf());
    int pages = 0;
    {
      PrintRun run;
      std::optional<PrintBehind> painter;
      if (behind) painter.emplace();
      for (int k = 1; k <= kReports; ++k) {
        ASSERT_TRUE(BeginReport("TQKBLAOBJ0", "TQKBLATAB0"));
        AddEmptyLine();
        for (int page = 1; page <= k % 3 + 1; ++page, ++pages) {
          AddTextLine("\1Blatt " + std::to_string(k) + " Seite " + std::to_string(page));
          AddPageBreak();
        }
        SetReportKind(kReportKontenblatt);
        RequestPrint(TheReportBuffer().LineCount());
        ASSERT_TRUE(PrintReport(nullptr));
        EXPECT_EQ(TheReportBuffer().LineCount(), 0);
      }
      if (painter) EXPECT_TRUE(painter->Finish());
      // The second thread painted the second report into a document of its own.
      if (mode == kBehind) EXPECT_FALSE(std::filesystem::is_empty(temporary));
    }
    // The second document's file is gone with the run.
    if (mode == kBehind) EXPECT_TRUE(std::filesystem::is_empty(temporary));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(PdfPages(), pages);
    std::string text = PdfText();
    std::size_t last = 0;
    for (int k = 1; k <= kReports; ++k)
      for (int page = 1; page <= k % 3 + 1; ++page) {
        std::size_t at = text.find("Blatt " + std::to_string(k) + " Seite " + std::to_string(page));
        ASSERT_NE(at, std::string::npos) << k << "/" << page;
        if (k > 1 || page > 1) EXPECT_GT(at, last) << k << "/" << page;
        last = at;
      }
  }
}

// Builds a sheet of `pages` pages and prints it; what PrintReport says.
bool PrintSheet(const std::string& name, int pages) {
  EXPECT_TRUE(BeginReport("TQKBLAOBJ0", "TQKBLATAB0"));
  AddEmptyLine();
  for (int page = 1; page <= pages; ++page) {
    AddTextLine("\1" + name + " Seite " + std::to_string(page));
    AddPageBreak();
  }
  SetReportKind(kReportKontenblatt);
  RequestPrint(TheReportBuffer().LineCount());
  return PrintReport(nullptr);
}

// A run that cannot write its file, or that the user aborts, warns once
// and prints nothing more, whether the pages are painted in turn or behind.
TEST_F(PrintTest, AFailedOrAbortedRunWarnsOnce) {
  const std::string warning = "Kontenblatt konnte nicht gedruckt werden.";
  for (bool behind : {false, true}) {
    SCOPED_TRACE(behind ? "painted behind" : "painted in turn");
    messages_.shown.clear();
    UsePdf((dir_ / "missing-directory") + "/out.pdf");
    {
      PrintRun run;
      std::optional<PrintBehind> painter;
      if (behind) painter.emplace();
      EXPECT_FALSE(PrintSheet("Erstes Blatt", 2));
      if (painter) EXPECT_TRUE(painter->Finish());
    }
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, warning);
    EXPECT_EQ(TheReportBuffer().LineCount(), 0);

    // "Abbrechen" while the first sheet prints: the next one is refused.
    messages_.shown.clear();
    UsePdf(pdf());
    {
      PrintRun run;
      std::optional<PrintBehind> painter;
      if (behind) painter.emplace();
      // In turn, the first sheet is printed before the button can be
      // pressed; behind, it may still be painting.
      EXPECT_TRUE(PrintSheet("Erstes Blatt", 40));
      QPushButton* abort = nullptr;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "ABORTPRINT" && w->isVisible())
          abort = w->findChild<QPushButton*>(ControlName(abortprint::kAbort));
      ASSERT_NE(abort, nullptr);
      abort->click();
      EXPECT_FALSE(PrintSheet("Zweites Blatt", 1));
      if (painter) EXPECT_TRUE(painter->Finish());
    }
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, warning);
  }

  // Painted side by side, the second document's file is lost before the
  // run ends: one warning, and no file with pages missing in between.
  messages_.shown.clear();
  std::filesystem::remove(pdf());
  std::string temporary = dir_ / "temp";
  std::filesystem::create_directory(temporary);
  TemporaryFilesIn temporaryFiles(temporary);
  {
    PrintRun run;
    PrintBehind painter;
    EXPECT_TRUE(PrintSheet("Erstes Blatt", 2));
    EXPECT_TRUE(PrintSheet("Zweites Blatt", 2));  // the second thread's
    EXPECT_TRUE(painter.Finish());
    ASSERT_FALSE(std::filesystem::is_empty(temporary));
    for (const auto& entry : std::filesystem::directory_iterator(temporary))
      std::filesystem::remove(entry.path());
  }
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, warning);
  EXPECT_FALSE(std::filesystem::exists(pdf()));
}

struct ListWithF2 {
  QDialog dialog;
  QListWidget* list = new QListWidget(&dialog);
  ListWithF2() {
    dialog.setWindowTitle("Sachkonten");
    list->resize(300, 200);
    InstallListBoxPrinting(list);
  }
  void PressF2() {
    QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    QApplication::sendEvent(list, &f2);
  }
};

TEST_F(PrintTest, F2PrintsAListBoxAndRefusesAnEmptyOne) {
  SetListPrintHeaderSource([] { return ListPrintHeader{"Muster GmbH", "15.03.1996"}; });
  ListWithF2 window;
  window.PressF2();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{734});
  EXPECT_FALSE(std::filesystem::exists(pdf()));

  for (int i = 0; i < 3; ++i) window.list->addItem(QString("   %1\tKonto %1").arg(1000 + i));
  window.PressF2();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{734});
  ASSERT_TRUE(std::filesystem::exists(pdf()));
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  std::string text = PdfText();
  EXPECT_NE(text.find("Firma: Muster GmbH"), std::string::npos);
  EXPECT_NE(text.find("Dialog: Sachkonten vom 15.03.1996"), std::string::npos);
  EXPECT_NE(text.find("Seite: 1"), std::string::npos);
  EXPECT_NE(text.find("Konto 1002"), std::string::npos);
  SetListPrintHeaderSource({});
}

TEST_F(PrintTest, ListsNeedAnOpenMandant) {
  SetListPrintHeaderSource({});
  ListWithF2 window;
  window.list->addItem("1000");
  window.PressF2();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{524});
}

TEST_F(PrintTest, FormsPrintOnePagePerForm) {
  if (!HavePoppler()) GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) are not installed";
  FormBuffer& forms = TheFormBuffer();
  forms.Clear();
  forms.SetPitch(42);
  forms.AddText(200, 300, "Muster GmbH");
  forms.AddText(1800, 300, "123,45", kFormRightAligned | kFormProportional);
  forms.AddPageBreak();
  forms.AddText(200, 300, "Zweite Bank");
  ASSERT_TRUE(PrintForm(nullptr));
  EXPECT_EQ(PdfPages(), 2);
  std::string text = PdfText();
  EXPECT_NE(text.find("123,45"), std::string::npos);
  forms.Clear();
}

}  // namespace
