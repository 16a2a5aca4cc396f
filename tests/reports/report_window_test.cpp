#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPainter>
#include <QKeyEvent>
#include <QScrollBar>

#include <filesystem>

#include "print_fixture.h"
#include "reports/line_renderer.h"
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

// A renderer keeps fonts and pen from line to line; every line must still
// look exactly as it does drawn on its own with a fresh painter, whatever
// attributes, rules or characters the lines before it had.
TEST(LineRenderer, DrawsEveryLineAsItWouldBeDrawnAlone) {
  const std::vector<int> tabs = {1, 12, 30, 44};
  const std::vector<std::string> lines = {
      "\x02" "Konto\x03" "1.234,56\x02\x03" "Soll",
      std::string(1, static_cast<char>(16 | 3)) + "\x03Summe:\x03   99,00",
      "\x06",
      std::string(1, static_cast<char>(32 | 64 | 1)) + "Kontenblatt \x80 \xDC" "bertrag",
      "\x02" "Gr\xF6\xDF" "e\x02\x03" "7,00",
      "\x05",
      std::string(1, static_cast<char>(16 | 32 | 4)),
      "\x03   12,50\x02" "danach normal"};
  LineGeometry g;
  g.font = QFont("Monospace");
  g.font.setPointSize(9);
  QFontMetricsF metrics(g.font);
  g.charWidth = metrics.averageCharWidth();
  g.lineHeight = metrics.lineSpacing();
  g.width = 60;
  g.leftChars = 1;
  g.tabs = &tabs;
  QSize size(static_cast<int>(g.charWidth * 64), static_cast<int>(g.lineHeight * (lines.size() + 2)));
  QImage together(size, QImage::Format_RGB32), alone(size, QImage::Format_RGB32);
  together.fill(Qt::white);
  alone.fill(Qt::white);
  {
    QPainter painter(&together);
    LineRenderer renderer(painter, g);
    for (std::size_t i = 0; i < lines.size(); ++i) renderer.Draw(i * g.lineHeight * 1.5, lines[i]);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    QPainter painter(&alone);
    QFont before = painter.font();
    RenderLine(painter, g, i * g.lineHeight * 1.5, lines[i]);
    EXPECT_EQ(painter.font(), before) << "line " << i;
  }
  EXPECT_TRUE(together == alone);
}

}  // namespace
