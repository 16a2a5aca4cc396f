// Dialog USTVA driven by its control ids: screen and printer lists, the
// posting lock and its question, refused periods and the form's master data.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/layouts/fista.h"
#include "core/mandant/company_master.h"
#include "reports/print_form.h"
#include "tax/ustva_upload_file.h"

#include "reports/form_buffer.h"
#include "reports/print_report.h"
#include "reports/printer_setting.h"
#include "reports/report_kinds.h"
#include "reports/print_fixture.h"
#include "reports/report_buffer.h"
#include "reports/report_state.h"
#include "tax/evaluation_period_dialog_panel.h"
#include "tax/ustva_dialog.h"
#include "tax/ustva_fixture.h"

namespace talvera::testing {
namespace {

using namespace period_panel;

class UstvaDialogTest : public UstvaTest {
 protected:
  void SetUp() override {
    OpenMandant("09.12.2026", "2026", "2025");
    CurrentMandantSettings() = MandantSettings{};
    ClearPrintRequest();
    BookMarch2026();
    hooks_.isAdministrator = [this] { return administrator_; };
    hooks_.editCompanyMaster = [this] { ++masterEdits_; };
    hooks_.printForm = [this] {
      ++formsPrinted_;
      return true;
    };
    hooks_.printerInstalled = [] { return true; };
    hooks_.preparePrintFont = [] { return true; };
  }
  void TearDown() override {
    ClearPrintRequest();
    UstvaTest::TearDown();
  }

  // The company master as the master dialog would store it: every field the
  // form needs, Bayern.
  static void CompleteMaster() {
    namespace F = layouts::fista;
    char* r = CurrentMandant().masterRecord;
    layouts::SetText(r, F::kCompanyName, "Muster GmbH");
    layouts::SetText(r, F::kCompanyNameExtra, "Großhandel");
    layouts::SetText(r, F::kCompanyStreet, "Hauptstraße 1");
    layouts::SetText(r, F::kCompanyTown, "80331 München");
    layouts::SetText(r, F::kTelephone, "089 123456");
    layouts::SetText(r, F::kTaxOffice, "München");
    layouts::SetText(r, F::kTaxOfficeStreet, "Deroystraße 18");
    layouts::SetText(r, F::kTaxOfficeTown, "80335 München");
    layouts::SetText(r, F::kTaxNumberShort, "");
    layouts::SetText(r, F::kTaxNumberLong, "123/456/78901");  // 13 characters and more
    layouts::SetNumber(r, F::kFederalState, 2);
  }

  // Runs the dialog for a choice (1..17) and an output radio; true when OK ended it.
  bool Run(int choice, int outputId, int& result, const char* year = "2026") {
    UstvaDialog d(nullptr, hooks_);
    d.Edit(kYear)->setText(year);
    d.Panel()->SetChoice(choice);
    d.Radio(outputId)->setChecked(true);
    d.accept();
    result = d.Result();
    return d.result() == QDialog::Accepted;
  }

  UstvaDialogHooks hooks_;
  bool administrator_ = false;
  int masterEdits_ = 0;
  int formsPrinted_ = 0;
};

TEST_F(UstvaDialogTest, ScreenListNeverLocks) {
  int result = 0;
  Run(3, kScreen, result);
  EXPECT_EQ(result, TheReportBuffer().LineCount());
  EXPECT_GT(result, 50);
  EXPECT_FALSE(CurrentReport().printRequested);
  EXPECT_EQ(CurrentMandantSettings().buchungssperre, "");
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(WorkingYear(), "2026");
  // A month of the previous year is read from its files; the current year comes back.
  Run(3, kScreen, result, "2025");
  EXPECT_GT(result, 50);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(WorkingYear(), "2026");
}

TEST_F(UstvaDialogTest, PrintingLocksOnceAndNeverBack) {
  struct Step {
    int month;
    std::vector<int> messages;  // 804 only when the lock moves
    const char* lock;
  } steps[] = {
      {3, {804}, "010446"},
      {3, {}, "010446"},  // the same month again
      {2, {}, "010446"},  // an earlier month keeps the later lock
  };
  for (const Step& s : steps) {
    messages_.Clear();
    ClearPrintRequest();
    int result = 0;
    Run(s.month, kPrinter, result);
    EXPECT_EQ(messages_.Numbers(), s.messages) << s.month;
    EXPECT_TRUE(CurrentReport().printRequested);
    EXPECT_EQ(CurrentReport().printLines, result);
    EXPECT_EQ(CurrentMandantSettings().buchungssperre, s.lock);
    EXPECT_EQ(ReadSetting("Buchungssperre"), s.lock);
  }
}

TEST_F(UstvaDialogTest, PrintedListGoesToPdf) {
  std::string pdf = (std::filesystem::path(settings_.path()) / "ustva.pdf").string();
  std::ofstream(TalviIniPath()) << "[TALVI]\nDrucker=" << PrinterSettingForPdf(pdf) << "\n";
  ReadSettings();
  CurrentSettings().waehrung = "EUR";
  ASSERT_NE(OpenPrinter(), nullptr);
  int result = 0;
  ASSERT_TRUE(Run(3, kPrinter, result));
  // What the report window does with a print request.
  SetReportKind(kReportUstva);
  ASSERT_TRUE(PrintReport(nullptr));
  ASSERT_TRUE(std::filesystem::exists(pdf));
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext is not installed";
  std::string text = RunCommand("pdftotext -layout '" + pdf + "' -");
  EXPECT_NE(text.find("Umsatzsteuervoranmeldung"), std::string::npos) << text;
  EXPECT_NE(text.find("769,63 EUR"), std::string::npos) << text;
}

TEST_F(UstvaDialogTest, CancelOnTheLockWarningChangesNothing) {
  messages_.answers = {kIdCancel};
  int result = 0;
  EXPECT_FALSE(Run(3, kPrinter, result));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{804});
  EXPECT_FALSE(CurrentReport().printRequested);
  EXPECT_EQ(CurrentMandantSettings().buchungssperre, "");
}

TEST_F(UstvaDialogTest, RefusedPeriodsKeepTheDialogOpen) {
  struct Case {
    int startMonth, choice;
    const char* year;
    std::string box;  // text of the box, or its number
  } cases[] = {
      {2, 13, "2026", "Kalendervierteljahr"},
      {7, 17, "2026", "Gesamtjahr"},
      {1, 3, "2019", "85"},  // not an open year
      {1, 3, "", "2"},
  };
  for (const Case& c : cases) {
    messages_.Clear();
    CurrentMandant().fiscalStartMonth = c.startMonth;
    UstvaDialog d(nullptr, hooks_);
    d.Edit(kYear)->setText(c.year);
    d.Panel()->SetChoice(c.choice);
    d.accept();
    EXPECT_NE(d.result(), QDialog::Accepted) << c.box;
    ASSERT_EQ(messages_.shown.size(), 1u) << c.box;
    const MessageRequest& m = messages_.shown[0];
    EXPECT_TRUE(m.text.find(c.box) != std::string::npos || std::to_string(m.number) == c.box) << m.text;
    EXPECT_EQ(WorkingYear(), "2026");
  }
  CurrentMandant().fiscalStartMonth = 1;
}

TEST_F(UstvaDialogTest, FormWithIncompleteMasterData) {
  struct Case {
    bool administrator;
    std::deque<int> answers;
    std::vector<int> messages;
    int edits, printed, result;
    const char* lock;
  } cases[] = {
      // Without the right: No closes the dialog, nothing printed or locked.
      {false, {kIdOk, kIdNo}, {804, 980}, 0, 0, -1, ""},
      // Without the right: Yes prints the incomplete form.
      {false, {kIdOk, kIdYes}, {804, 980}, 0, 1, -1, "010446"},
      // An administrator completes the data (Yes), is asked again, then prints (No).
      {true, {kIdOk, kIdYes, kIdNo}, {804, 981, 981}, 1, 1, -1, "010446"},
  };
  for (const Case& c : cases) {
    CurrentMandantSettings().buchungssperre.clear();
    messages_.Clear();
    messages_.answers = c.answers;
    administrator_ = c.administrator;
    masterEdits_ = formsPrinted_ = 0;
    int result = 0;
    Run(3, kForm, result);
    EXPECT_EQ(messages_.Numbers(), c.messages);
    EXPECT_EQ(masterEdits_, c.edits);
    EXPECT_EQ(formsPrinted_, c.printed);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(CurrentMandantSettings().buchungssperre, c.lock);
  }
  EXPECT_FALSE(TheFormBuffer().Items().empty());
}

TEST_F(UstvaDialogTest, FormOutputIsOffInAustrianModeAndWithoutPrinter) {
  CurrentSettings().austria = true;
  {
    UstvaDialog d(nullptr, hooks_);
    EXPECT_FALSE(d.Radio(kForm)->isEnabled());
    EXPECT_TRUE(d.Radio(kPrinter)->isEnabled());
  }
  CurrentSettings().austria = false;
  hooks_.printerInstalled = [] { return false; };
  UstvaDialog d(nullptr, hooks_);
  EXPECT_FALSE(d.Radio(kForm)->isEnabled());
  EXPECT_FALSE(d.Radio(kPrinter)->isEnabled());
  EXPECT_FALSE(d.Control(kFont)->isEnabled());
}

TEST_F(UstvaDialogTest, MissingImportVatAccountIsReported) {
  EXPECT_FALSE(UstvaDialog::ImportVatAccountMissing());
  CurrentMandantSettings().eust = "1588";
  EXPECT_FALSE(UstvaDialog::ImportVatAccountMissing());
  CurrentMandantSettings().eust = "4711";
  EXPECT_TRUE(UstvaDialog::ImportVatAccountMissing());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{114});
}

// The result and the lock date are shown before anything is printed; the
// special prepayment is offered in the year's last return only, proposed
// from what its accounts were paid.
TEST_F(UstvaDialogTest, ResultAndLockDateBeforePrinting) {
  using namespace ustva_dialog;
  Debit("1781", 2, "000002500,00");  // special prepayment paid in February
  UstvaDialog d(nullptr, hooks_);
  auto shown = [&] { return d.findChild<QLabel*>(ControlName(kResult))->text().toStdString(); };
  d.Edit(kYear)->setText("2026");
  d.Panel()->SetChoice(3);
  EXPECT_EQ(shown(), "Zahllast: 769,63 EUR\nBuchungssperre nach dem Ausdruck: 01.04.2026");
  EXPECT_FALSE(d.Control(kSpecialPrepayment)->isEnabled());

  CurrentMandantSettings().buchungssperre = "010546";
  d.Panel()->SetChoice(2);
  EXPECT_EQ(shown(), "Zahllast: 0,00 EUR\nBuchungssperre bleibt: 01.05.2026");

  d.Panel()->SetChoice(12);
  ASSERT_TRUE(d.Control(kSpecialPrepayment)->isEnabled());
  d.Check(kSpecialPrepayment)->setChecked(true);
  EXPECT_EQ(d.Edit(kSpecialAmount)->text().toStdString(), "2.500,00");
  EXPECT_EQ(shown(), "Erstattung: 2.500,00 EUR\nBuchungssperre nach dem Ausdruck: 01.01.2027");
  EXPECT_TRUE(messages_.shown.empty());
}

// "Datei speichern...": the upload file and beside it the Kennzahlen sheet
// as PDF, one page; the period is locked as printing does.
TEST_F(UstvaDialogTest, SavedFilesAreTheUploadAndTheKennzahlenSheet) {
  CompleteMaster();
  const std::string xml = (std::filesystem::path(settings_.path()) / "maerz.xml").string();
  const std::string pdf = (std::filesystem::path(settings_.path()) / "maerz.pdf").string();
  std::string proposed;
  hooks_.chooseUploadPath = [&](const std::string& proposal) {
    proposed = proposal;
    return xml;
  };
  hooks_.writeFormPdf = [](const std::string& path) { return PrintFormToPdf(path, nullptr); };
  UstvaDialog d(nullptr, hooks_);
  d.Edit(kYear)->setText("2026");
  d.Panel()->SetChoice(3);
  d.SetChecked(ustva_dialog::kCorrected, true);
  ASSERT_TRUE(d.SaveFiles()) << (messages_.shown.empty() ? "" : messages_.shown.back().text);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{804});
  EXPECT_EQ(proposed, "ustva_2026_03.xml");
  EXPECT_EQ(CurrentMandantSettings().buchungssperre, "010446");

  UstvaUpload upload;
  std::string error;
  ASSERT_TRUE(ReadUstvaUploadXml(ReadFile(xml), upload, error)) << error;
  EXPECT_EQ(upload.taxNumber, "9123045678901");
  EXPECT_EQ(upload.created, "20261209");
  EXPECT_EQ(upload.sender.town, "München");
  ASSERT_GE(upload.fields.size(), 2u);
  EXPECT_EQ(upload.fields.front(), (std::pair<int, std::string>{10, "1"}));
  EXPECT_EQ(upload.fields.back(), (std::pair<int, std::string>{89, "1000"}));

  ASSERT_TRUE(std::filesystem::exists(pdf));
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext is not installed";
  const std::string text = RunCommand("pdftotext -layout '" + pdf + "' -");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 1) << "one page";
  ExpectGolden(text, "ustva_2026_03_kennzahlen.txt");
}

TEST_F(UstvaDialogTest, NoUploadFileForTheWholeYear) {
  CompleteMaster();
  bool asked = false;
  hooks_.chooseUploadPath = [&](const std::string&) {
    asked = true;
    return std::string();
  };
  UstvaDialog d(nullptr, hooks_);
  d.Edit(kYear)->setText("2026");
  d.Panel()->SetChoice(17);
  EXPECT_FALSE(d.SaveFiles());
  EXPECT_FALSE(asked);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].text.find("Gesamtjahr"), std::string::npos);
  EXPECT_EQ(CurrentMandantSettings().buchungssperre, "");
}

}  // namespace
}  // namespace talvera::testing
