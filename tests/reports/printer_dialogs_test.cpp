#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPageLayout>
#include <QPrinter>

#include "print_fixture.h"
#include "reports/printer.h"
#include "reports/printer_dialogs.h"
#include "reports/report_kinds.h"

using namespace talvera;
using talvera::testing::PrintTest;

namespace {

TEST_F(PrintTest, SchriftChecksFaceAndWidthThenStoresTheKindsFont) {
  SchriftDialog dialog(nullptr, kReportJournal);
  dialog.Combo(schrift::kFace)->setCurrentText("Keine Schrift");
  dialog.accept();
  dialog.Combo(schrift::kFace)->setCurrentText(DefaultPrintFace());
  dialog.Combo(schrift::kSize)->setCurrentText("");
  dialog.accept();
  dialog.Combo(schrift::kSize)->setCurrentText("11");
  dialog.accept();
  dialog.Combo(schrift::kSize)->setCurrentText("30");  // 137 columns at 30 pt: no
  dialog.accept();
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{37, 5, 38, 49}));
  EXPECT_EQ(dialog.result(), QDialog::Rejected);

  dialog.Combo(schrift::kSize)->setCurrentText("6");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ReportFont stored = ReadReportFont("Buchungsjournal");
  EXPECT_EQ(stored.face, DefaultPrintFace().toStdString());
  EXPECT_EQ(stored.size, 6);
}

TEST_F(PrintTest, FormularEinstRefusesShiftsBeyondTenMillimetres) {
  FormularEinstDialog dialog(nullptr);
  dialog.Combo(formulareinst::kFace)->setCurrentText(DefaultPrintFace());
  dialog.Edit(formulareinst::kShiftRight)->setText("-5,5");
  dialog.Edit(formulareinst::kShiftDown)->setText("10,5");
  dialog.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{757});
  EXPECT_EQ(messages_.focused, std::vector<int>{formulareinst::kShiftDown});
  dialog.Edit(formulareinst::kShiftDown)->setText("2");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ReadSetting("FormOffX"), "-55");
  EXPECT_EQ(ReadSetting("FormOffY"), "20");
  EXPECT_EQ(ReadReportFont("Formularausdruck").size, 12);
}

TEST_F(PrintTest, DrueinChoosesThePdfFileAndRefusesUnknownQueues) {
  DrueinDialog dialog(nullptr, [](QPrinter*) {});
  QListWidget* printers = dialog.List(druein::kPrinters);
  ASSERT_GE(printers->count(), 1);  // the PDF file is always offered
  dialog.Edit(druein::kChosen)->setText("kein-solcher-drucker");
  dialog.accept();
  dialog.Edit(druein::kChosen)->setText("");
  dialog.accept();
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{1, 5}));

  std::string other = dir_ / "anders.pdf";
  dialog.Edit(druein::kChosen)->setText(QString::fromStdString(PrinterSettingForPdf(other)));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ReadSetting("Drucker"), PrinterSettingForPdf(other));
  ASSERT_NE(CurrentPrinter(), nullptr);
  EXPECT_EQ(CurrentPrinter()->outputFileName().toStdString(), other);
}

// The PDF printer was shown as the raw setting "PDF-Datei,/long/path/...", cut off.
TEST_F(PrintTest, DrueinShowsThePdfPrinterByItsFileName) {
  std::string file = dir_ / "ausdruck.pdf";
  CurrentSettings().drucker = PrinterSettingForPdf(file);
  DrueinDialog dialog(nullptr, [](QPrinter*) {});
  EXPECT_EQ(dialog.Edit(druein::kChosen)->text(), "PDF-Datei: ausdruck.pdf");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ReadSetting("Drucker"), PrinterSettingForPdf(file));
}

}  // namespace
