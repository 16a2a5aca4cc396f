// The analysis dialog on the fixed Mandant: table and chart agree with the
// computation, "&Drucken" prints kind 12 to PDF, and it opens only once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QTableWidget>
#include <QTimer>

#include <fstream>

#include "core/profile.h"
#include "print_fixture.h"
#include "reports/account_analysis_dialog.h"
#include "reports/printer.h"
#include "reports/printer_setting.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "fixed_mandant_print_fixture.h"

using namespace talvera;
using talvera::testing::HavePoppler;
using talvera::testing::RunCommand;

namespace {

class AccountAnalysisDialogTest : public talvera::testing::FixedMandantPrintTest {
 protected:
};

TEST_F(AccountAnalysisDialogTest, TableChartAndPrint) {
  AccountAnalysis a;
  ASSERT_TRUE(ComputeAccountAnalysis(kSachkonto, "   1200", a));
  AnaKontoDialog d(nullptr, a);
  QTableWidget* t = d.Table();
  ASSERT_EQ(t->rowCount(), 13);
  EXPECT_EQ(t->item(2, 0)->text(), "März");
  EXPECT_EQ(t->item(2, 1)->text(), "-155,00");
  EXPECT_EQ(t->item(2, 4)->text(), "--- %");  // no year before on disk
  EXPECT_EQ(t->item(12, 1)->text(), "145,00");
  auto* view = qobject_cast<QChartView*>(d.Chart());
  ASSERT_NE(view, nullptr);
  auto* series = qobject_cast<QBarSeries*>(view->chart()->series().value(0));
  ASSERT_NE(series, nullptr);
  ASSERT_EQ(series->count(), 2);
  EXPECT_DOUBLE_EQ(series->barSets()[0]->at(1), 300.0);
  EXPECT_DOUBLE_EQ(series->barSets()[0]->at(2), -155.0);

  if (!HavePoppler()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  ASSERT_TRUE(d.Print());
  std::string text = RunCommand("pdftotext -layout '" + pdf() + "' -");
  EXPECT_NE(text.find("Analyse Konto 1200 Bank"), std::string::npos) << text;
  EXPECT_NE(text.find("Gesamt:"), std::string::npos);
  EXPECT_TRUE(messages_.shown.empty());
}

// A second analysis while one is open is refused with message 719; a
// missing account opens none.
TEST_F(AccountAnalysisDialogTest, OpensOnce) {
  bool second = true;
  QTimer::singleShot(0, [&] {
    second = OpenAccountAnalysis(nullptr, kSachkonto, "   1000");
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<AnaKontoDialog*>(w)) d->reject();
  });
  EXPECT_TRUE(OpenAccountAnalysis(nullptr, kSachkonto, "   1200"));
  EXPECT_FALSE(second);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{719});
  EXPECT_FALSE(OpenAccountAnalysis(nullptr, kSachkonto, "   4711"));
}

}  // namespace
