// The BWA and the analysis on the fixed Mandant with its statement
// additions: refusals, the text report on the screen and on paper, and the
// chart window rendered offscreen to PNG and PDF.
#include <gtest/gtest.h>

#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QListWidget>

#include <cstdlib>
#include <memory>

#include "fixed_mandant_print_fixture.h"
#include "reports/bwa_dialogs.h"
#include "reports/report_window.h"

using namespace talvera;
using talvera::testing::HavePoppler;
using talvera::testing::RunCommand;

namespace {

class BwaDialogsTest : public talvera::testing::FixedMandantPrintTest {
 protected:
  void SetUp() override {
    FixedMandantPrintTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(PrepareStatements());
  }
  // GuV / GuV: the whole P&L cumulated against "Aufwendungen".
  static std::unique_ptr<BwaDialog> WholeAgainstCosts() {
    auto d = std::make_unique<BwaDialog>(nullptr, 2091);
    d->SetChecked(bwa::kWhole, true);
    d->SetChecked(bwa::kCumulative, true);
    EXPECT_TRUE(d->SelectEntry(1, "Aufwendungen"));
    return d;
  }
};

TEST_F(BwaDialogsTest, Refusals) {
  BwaDialog d(nullptr, 2089);
  EXPECT_EQ(d.windowTitle(), "BWA  Aktiva / Passiva");
  d.accept();  // nothing chosen on the first side
  d.Combo(bwa::kClass + bwa::kSecondSide)->setCurrentIndex(1);  // Aktiva on both sides
  EXPECT_EQ(d.windowTitle(), "BWA  Aktiva / Aktiva");
  ASSERT_TRUE(d.SelectEntry(0, "Forderungen"));
  ASSERT_TRUE(d.SelectEntry(1, "Forderungen"));
  d.accept();
  d.SetChecked(bwa::kWhole, true);
  d.SetChecked(bwa::kWhole + bwa::kSecondSide, true);
  d.accept();
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{5, 709, 709}));
  EXPECT_FALSE(d.List(bwa::kEntries)->isEnabled());  // "gesamt" takes the whole tree
  EXPECT_EQ(d.result(), 0);
}

TEST_F(BwaDialogsTest, TextReportShowsAndPrints) {
  auto screen = WholeAgainstCosts();
  screen->accept();
  ASSERT_GT(screen->Lines(), 0);
  EXPECT_FALSE(screen->Chart());
  std::string text = BufferText();
  EXPECT_NE(text.find("gesamt (kum.) / Aufwendungen"), std::string::npos) << text;
  EXPECT_NE(text.find("-46,88 %"), std::string::npos);
  ReportWindow window;
  window.resize(800, 400);
  window.ShowReport(kReportAnalyse, screen->Lines());
  EXPECT_EQ(window.ShownLines(), screen->Lines() + 2);

  AnalyseDialog analyse(nullptr, 2093);
  analyse.accept();
  EXPECT_NE(BufferText().find("Umlaufverm"), std::string::npos);

  if (!HavePoppler()) return;
  auto printer = WholeAgainstCosts();
  printer->SetChecked(evalids::kPrinter, true);
  printer->accept();
  ASSERT_GT(printer->Lines(), 0);
  window.ShowReport(kReportAnalyse, printer->Lines());
  EXPECT_NE(PdfText().find("Muster GmbH"), std::string::npos) << PdfText();
  EXPECT_NE(PdfText().find("-46,88 %"), std::string::npos) << PdfText();
  EXPECT_TRUE(messages_.shown.empty());
}

// "Grafik": bars for the months of one side, a line for the cumulated
// side; the window renders offscreen into a PNG and onto a PDF page.
TEST_F(BwaDialogsTest, ChartRendersToPngAndPdf) {
  auto d = WholeAgainstCosts();
  d->SetChecked(bwa::kChart, true);
  d->accept();
  ASSERT_TRUE(d->Chart());
  const ChartData& data = *d->Chart();
  ASSERT_EQ(data.series.size(), 2u);
  EXPECT_TRUE(data.series[0].line);
  EXPECT_FALSE(data.series[1].line);
  EXPECT_DOUBLE_EQ(data.series[0].values[11], 220.0);
  EXPECT_DOUBLE_EQ(data.series[1].values[2], 320.0);

  ChartWindow window(nullptr, data);
  window.resize(900, 560);
  window.show();
  QChart* chart = window.View()->chart();
  ASSERT_EQ(chart->series().size(), 2);
  EXPECT_TRUE(qobject_cast<QBarSeries*>(chart->series()[0]));
  EXPECT_TRUE(qobject_cast<QLineSeries*>(chart->series()[1]));  // drawn over the bars

  std::string png = settings_ / "bwa.png";
  ASSERT_TRUE(window.SavePng(QString::fromStdString(png)));
  QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  EXPECT_GE(image.width(), 620);
  int coloured = 0;  // bars and the line are drawn in colour, the rest is grey
  for (int y = 0; y < image.height(); y += 4)
    for (int x = 0; x < image.width(); x += 4) {
      QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - c.blue()) > 40 || std::abs(c.green() - c.blue()) > 40) ++coloured;
    }
  EXPECT_GT(coloured, 50);
  if (const char* keep = std::getenv("TALVERA_KEEP_CHART")) QFile::copy(QString::fromStdString(png), keep);

  std::string pdf = settings_ / "bwa.pdf";
  ASSERT_TRUE(window.SavePdf(QString::fromStdString(pdf)));
  if (HavePoppler()) {
    EXPECT_NE(RunCommand("pdftotext '" + pdf + "' -").find("Aufwendungen"), std::string::npos);
  }

  // Printed on the PDF file printer.
  ASSERT_TRUE(window.Print());
  if (HavePoppler()) {
    EXPECT_NE(PdfText().find("gesamt (kum.)"), std::string::npos) << PdfText();
  }
}

}  // namespace
