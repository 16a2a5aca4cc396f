// The account-sheet dialogs on the fixed Mandant: the browser on the
// screen, the printed sheets in one PDF, and the refusals.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <fstream>

#include "core/profile.h"
#include "print_fixture.h"
#include "reports/account_sheet_dialogs.h"
#include "reports/printer.h"
#include "reports/printer_setting.h"
#include "reports/report_kinds.h"
#include "reports/report_buffer.h"
#include "reports/report_state.h"
#include "reports/report_window.h"
#include "fixed_mandant_print_fixture.h"

using namespace talvera;
using talvera::testing::HavePoppler;
using talvera::testing::RunCommand;

namespace {

class AccountSheetDialogsTest : public talvera::testing::FixedMandantPrintTest {
 protected:
  void SetUp() override {
    FixedMandantPrintTest::SetUp();
    if (HasFatalFailure()) return;
    ForgetPeriodChoice();
  }
  static void March(KtoBlaDialog& d) {
    d.SetChecked(periodids::kFirstMonth + 2, true);
    d.SetFieldText(periodids::kYear, "1996");
  }
};

// On the screen the browser starts with the first account of the range that
// has a sheet and moves by month and by account; the button at an end of
// the range or of the year is greyed.
TEST_F(AccountSheetDialogsTest, BrowserMovesByMonthAndAccount) {
  KtoBlaDialog d(nullptr);
  d.SetFieldText(ktobla::kFrom, "1100");  // 1200 is the first with a sheet in March
  d.SetFieldText(ktobla::kTo, "1599");
  March(d);
  bool ran = false;
  d.runBrowser = [&](SheetBrowserDialog& b) {
    ran = true;
    EXPECT_EQ(b.Account().number, "   1200");
    EXPECT_EQ(b.Window()->ShownLines(), TheReportBuffer().LineCount());
    EXPECT_NE(BufferText().find("Zahlung Lieferant"), std::string::npos);
    EXPECT_NE(b.AccountText().toStdString().find("01.03.1996 - 31.03.1996"), std::string::npos);
    ASSERT_TRUE(b.MoveMonth(1));  // April: no postings, the sheet still shows
    EXPECT_STREQ(b.Options().first, "010416");
    EXPECT_NE(BufferText().find("Saldovortrag"), std::string::npos);
    ASSERT_TRUE(b.MoveMonth(-1));
    ASSERT_TRUE(b.MoveMonth(-1));
    ASSERT_TRUE(b.MoveMonth(-1));  // January
    EXPECT_FALSE(b.findChild<QPushButton*>(ControlName(kblist::kPreviousMonth))->isEnabled());
    EXPECT_FALSE(b.MoveMonth(-1));
    ASSERT_TRUE(b.MoveMonth(1));
    ASSERT_TRUE(b.MoveMonth(1));  // back in March
    ASSERT_TRUE(b.MoveAccount(1));
    EXPECT_EQ(b.Account().number, "   1400");
    ASSERT_TRUE(b.MoveAccount(1));
    EXPECT_EQ(b.Account().number, "   1575");
    EXPECT_FALSE(b.MoveAccount(1));  // 1590 has nothing in March
    EXPECT_EQ(b.Account().number, "   1575");
    ASSERT_TRUE(b.MoveAccount(-1));
    EXPECT_EQ(b.Account().number, "   1400");
  };
  d.accept();
  EXPECT_TRUE(ran);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.Lines(), 0);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(AccountSheetDialogsTest, Refusals) {
  KtoBlaDialog d(nullptr);
  d.runBrowser = [](SheetBrowserDialog&) { ADD_FAILURE() << "no sheet should show"; };
  d.SetFieldText(ktobla::kFrom, "12a");
  d.accept();
  d.SetFieldText(ktobla::kFrom, "4900");
  d.SetFieldText(ktobla::kTo, "4900");
  d.SetChecked(periodids::kFirstMonth + 3, true);  // April: 4900 has nothing
  d.SetFieldText(periodids::kYear, "1996");
  d.accept();
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{3, 43}));
  EXPECT_EQ(d.result(), 0);
}

// Printed, every sheet of the range goes into the one PDF, with the
// progress window counting; all sheets empty gives message 43.
TEST_F(AccountSheetDialogsTest, SheetsOfARangePrintIntoOnePdf) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  ASSERT_TRUE(PostCostCentreBookings());
  KtoBlaDialog d(nullptr);
  d.SetFieldText(ktobla::kFrom, "1200");
  d.SetFieldText(ktobla::kTo, "4900");
  d.SetChecked(ktobla::kCostCentres, true);
  March(d);
  d.SetChecked(evalids::kPrinter, true);
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_TRUE(messages_.shown.empty()) << messages_.Numbers().size();
  std::string text = PdfText();
  for (const char* expected : {"Konto: 1200", "Konto: 1400", "Konto: 4210", "Konto: 4900", "Sammelbuchung",
                               "KoSt1", "Summe Umsätze", "erstellt am 20.12.1996"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  EXPECT_EQ(text.find("Konto: 1590"), std::string::npos);
  EXPECT_FALSE(CurrentReport().printRequested);

  KtoBlaDialog empty(nullptr);
  empty.SetFieldText(ktobla::kFrom, "4900");
  empty.SetFieldText(ktobla::kTo, "4900");
  empty.SetChecked(periodids::kFirstMonth, true);
  empty.SetFieldText(periodids::kYear, "1996");
  empty.SetChecked(evalids::kPrinter, true);
  empty.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{43});
}

}  // namespace
