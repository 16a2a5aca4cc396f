#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QScrollBar>

#include <filesystem>

#include "print_fixture.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "reports/report_window.h"

using namespace talvera;
using talvera::testing::PrintTest;

namespace {

int BuildAnalysis(int rows) {
  EXPECT_TRUE(BeginReport("TQANAOBJ", "TQANATAB"));
  for (int i = 0; i < rows; ++i) {
    SetFieldSlot(0, "Zeile " + std::to_string(i));
    AddTemplateLine();
  }
  EndReport();
  return rows;
}

void Press(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

class ReportWindowTest : public PrintTest {
 protected:
  void SetUp() override {
    PrintTest::SetUp();
    window_.resize(600, 300);
  }
  ReportWindow window_;
};

TEST_F(ReportWindowTest, ShowsScrollsAndClearsOnEscape) {
  std::vector<int> shown;
  QObject::connect(&window_, &ReportWindow::reportShown, [&](int kind) { shown.push_back(kind); });
  window_.ShowReport(kReportAnalyse, BuildAnalysis(100));
  EXPECT_EQ(window_.ShownLines(), 102);
  QScrollBar* v = window_.verticalScrollBar();
  EXPECT_EQ(v->maximum(), 102 - window_.VisibleRows() + 2);
  Press(&window_, Qt::Key_End);
  EXPECT_EQ(v->value(), v->maximum());
  Press(&window_, Qt::Key_PageUp);
  EXPECT_EQ(v->value(), v->maximum() - window_.VisibleRows());
  Press(&window_, Qt::Key_Home);
  EXPECT_EQ(v->value(), 0);
  window_.grab();  // paints every visible line

  Press(&window_, Qt::Key_Escape);
  EXPECT_EQ(CurrentReport().kind, kReportNone);
  EXPECT_EQ(window_.ShownLines(), 0);
  // Copying becomes possible, then impossible again.
  EXPECT_EQ(shown, (std::vector<int>{kReportAnalyse, kReportNone}));
}

TEST_F(ReportWindowTest, EscapeKeepsAReportThatIsToBePrinted) {
  window_.ShowReport(kReportAnalyse, BuildAnalysis(3));
  RequestPrint(3);
  EXPECT_FALSE(window_.HandleEscape());
  EXPECT_EQ(CurrentReport().kind, kReportAnalyse);
  ClearPrintRequest();
}

TEST_F(ReportWindowTest, ShowingAPrintRequestPrintsInsteadOfShowing) {
  int lines = BuildAnalysis(5);
  RequestPrint(lines);
  window_.ShowReport(kReportAnalyse, lines);
  EXPECT_EQ(window_.ShownLines(), 0);
  EXPECT_TRUE(std::filesystem::exists(pdf()));
  EXPECT_FALSE(CurrentReport().printRequested);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(ReportWindowTest, CopiesTheShownReport) {
  window_.ShowReport(kReportAnalyse, BuildAnalysis(2));
  ASSERT_TRUE(CopyReportToClipboard());
  EXPECT_EQ(QApplication::clipboard()->text(), "Zeile 0\t\t\t\r\nZeile 1\t\t\t\r\n");
  window_.ClearReport();
}

}  // namespace
