// The dialogs of the account lists on the fixed Mandant: their refusals,
// and every report on the screen and printed to PDF.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <fstream>
#include <functional>
#include <memory>

#include "core/profile.h"
#include "print_fixture.h"
#include "reports/account_list_dialogs.h"
#include "reports/print_report.h"
#include "reports/printer.h"
#include "reports/printer_setting.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "reports/report_window.h"
#include "fixed_mandant_print_fixture.h"

using namespace talvera;
using talvera::testing::HavePoppler;
using talvera::testing::RunCommand;

namespace {

class AccountListDialogsTest : public talvera::testing::FixedMandantPrintTest {
 protected:
  void SetUp() override {
    FixedMandantPrintTest::SetUp();
    if (HasFatalFailure()) return;
    ForgetPeriodChoice();
  }
  static std::string ReportText() { return BufferText(); }
};

struct ReportCase {
  const char* name;
  int kind;
  std::function<EvaluationDialog*()> make;  // a dialog filled in for the fixed Mandant
  const char* screenText;                   // in the buffer (Windows-1252)
  const char* printedText;                  // in the PDF
};

// Each list is built on OK, shows in the report window, and prints to PDF.
TEST_F(AccountListDialogsTest, EveryListShowsAndPrints) {
  const ReportCase cases[] = {
      {"trial balance", kReportSaldenliste,
       [] {
         auto* d = new KtoSalDialog(nullptr);
         d->SetFieldText(ktosal::kDate, "15.03.1996");
         return d;
       },
       "760,00", "Summen- und Saldenliste per 15.03.96"},
      {"closing overview", kReportHauptabschluss,
       [] {
         auto* d = new AbschlussDialog(nullptr);
         d->SetFieldText(abschluss::kYear, "1996");
         d->SetChecked(abschluss::kProfitAndLoss, true);
         return d;
       },
       "Summenwerte:", "Gewinn- und Verlustrechnung"},
      {"chart of accounts", kReportKontenplan,
       [] {
         auto* d = new KtoPlanDialog(nullptr);
         d->SetChecked(evalids::kByGroup, true);
         return d;
       },
       "Konten ohne Zuordnung", "Bilanz-Passivakonten"},
      {"journal", kReportJournal,
       [] {
         auto* d = new BucJouDialog(nullptr);
         d->SetChecked(periodids::kFirstMonth + 2, true);
         d->SetFieldText(periodids::kYear, "1996");
         return d;
       },
       "Zahlung Lieferant", "Buchungsjournal vom 01.03.1996 bis 31.03.1996"},
  };
  for (const ReportCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<EvaluationDialog> screen(c.make());
    screen->accept();
    ASSERT_GT(screen->Lines(), 0);
    EXPECT_NE(ReportText().find(c.screenText), std::string::npos);
    ReportWindow window;
    window.resize(800, 400);
    window.ShowReport(c.kind, screen->Lines());
    EXPECT_EQ(window.ShownLines(), screen->Lines() + 2);

    if (!HavePoppler()) continue;
    std::unique_ptr<EvaluationDialog> printer(c.make());
    printer->SetChecked(evalids::kPrinter, true);
    printer->accept();
    ASSERT_GT(printer->Lines(), 0);
    EXPECT_TRUE(CurrentReport().printRequested);
    window.ShowReport(c.kind, printer->Lines());  // a print request prints
    EXPECT_NE(PdfText().find(c.printedText), std::string::npos) << PdfText();
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(AccountListDialogsTest, RefusalsKeepTheDialogOpen) {
  KtoSalDialog ktosal(nullptr);
  ktosal.SetChecked(evalids::kSachkonten, false);
  ktosal.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{5});
  messages_.shown.clear();
  // No second report while one is printing.
  ktosal.SetChecked(evalids::kSachkonten, true);
  CurrentReport().printing = true;
  ktosal.accept();
  CurrentReport().printing = false;
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{54});
  ktosal.SetChecked(evalids::kSachkonten, false);
  messages_.shown.clear();

  // Kreditoren alone, and none there: message 55.
  char r[1024];
  bool found = false;
  ASSERT_TRUE(GetFirstFound(r, found, MakeFileId(kSlotKred, 0)) && found);
  ASSERT_TRUE(Delete(kSlotKred));
  ktosal.SetChecked(evalids::kKreditoren, true);
  ktosal.SetFieldText(ktosal::kDate, "15.03.1996");
  ktosal.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{55});
  EXPECT_EQ(ktosal.result(), 0);
  messages_.shown.clear();

  AbschlussDialog abschluss(nullptr);
  abschluss.SetChecked(abschluss::kAssets, false);
  abschluss.accept();
  abschluss.SetChecked(abschluss::kAssets, true);
  abschluss.SetFieldText(abschluss::kYear, "1995");
  abschluss.accept();
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{5, 85}));
  messages_.shown.clear();

  BucJouDialog journal(nullptr);
  journal.SetChecked(periodids::kTagesgenau, true);
  journal.SetFieldText(periodids::kFirstDate, "01.12.1996");
  journal.SetFieldText(periodids::kLastDate, "05.01.1997");
  journal.accept();
  journal.SetChecked(periodids::kFirstMonth + 3, true);  // April: nothing posted
  journal.SetFieldText(periodids::kYear, "1996");
  journal.accept();
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{87, 27}));
  EXPECT_EQ(journal.result(), 0);
  // A successful start is remembered for the next evaluation dialog.
  journal.SetChecked(periodids::kFirstMonth + 2, true);
  journal.accept();
  EXPECT_EQ(InitialPeriodChoice().radio, periodids::kFirstMonth + 2);
  BucJouDialog next(nullptr);
  EXPECT_TRUE(next.Radio(periodids::kFirstMonth + 2)->isChecked());

  // Without a printer "Drucker" cannot be chosen.
  std::ofstream(TalviIniPath()) << "[TALVI]\nDrucker=" << PrinterSettingForQueue("keine-solche-queue") << "\n";
  ReadSettings();
  ASSERT_EQ(OpenPrinter(), nullptr);
  KtoPlanDialog withoutPrinter(nullptr);
  EXPECT_FALSE(withoutPrinter.Radio(evalids::kPrinter)->isEnabled());
}

struct ListCase {
  const char* name;
  const char* from;
  const char* to;
  const char* voucher;
  const char* debit;
  const char* gross;
  int message;   // 0: listed
  int entries;
};

TEST_F(AccountListDialogsTest, PostingListFiltersAndPrints) {
  using namespace bucliste;
  const ListCase cases[] = {
      {"all", "", "", "", "", "", 0, 11},
      {"March", "01.03.96", "31.03.96", "", "", "", 0, 6},
      {"by debit account", "", "", "", "4210", "", 0, 2},
      {"by document number", "", "", "R-", "", "", 0, 2},
      {"by gross amount", "", "", "", "", "115,00", 0, 2},
      {"dates backwards", "31.03.96", "01.03.96", "", "", "", 711, 0},
      {"dates in two years", "01.12.95", "05.01.96", "", "", "", 746, 0},
      {"date outside the years", "01.03.94", "", "", "", "", 84, 0},
      {"unknown account", "", "", "", "4711", "", 36, 0},
      {"bad amount", "", "", "", "", "1x2", 23, 0},
  };
  // With the previous year open, both dates can be posted to, but not together.
  std::strcpy(CurrentMandant().previousYear, "1995");
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    BucListeDialog d(nullptr);
    d.SetFieldText(kFrom, c.from);
    d.SetFieldText(kTo, c.to);
    d.SetFieldText(kVoucher, c.voucher);
    d.SetFieldText(kDebit, c.debit);
    d.SetFieldText(kGross, c.gross);
    messages_.shown.clear();
    EXPECT_EQ(d.FillBookingList(), c.message == 0);
    if (c.message) EXPECT_EQ(messages_.Numbers(), std::vector<int>{c.message});
    EXPECT_EQ(d.List(kList)->count(), c.entries);
  }
  CurrentMandant().previousYear[0] = '\0';

  BucListeDialog d(nullptr);
  messages_.shown.clear();
  EXPECT_FALSE(d.PrintBookings());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{715});
  messages_.shown.clear();
  d.SetFieldText(kFrom, "01.03.96");
  d.SetFieldText(kTo, "31.03.96");
  d.SetFieldText(kVoucher, "K-");
  ASSERT_TRUE(d.FillBookingList());
  EXPECT_EQ(d.List(kList)->currentRow(), 0);
  EXPECT_EQ(d.List(kList)->item(0)->text().toStdString(),
            "10.03.96\tK-1\t4210\t70000\t230,00\tMiete Lieferant");
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  ASSERT_TRUE(d.PrintBookings());
  std::string text = PdfText();
  EXPECT_NE(text.find("Buchungsliste"), std::string::npos);
  EXPECT_NE(text.find("von: 01.03.1996"), std::string::npos) << text;
  EXPECT_NE(text.find("Beleg-Nr.: K-"), std::string::npos) << text;
  EXPECT_NE(text.find("Zahlung Lieferant"), std::string::npos);
  EXPECT_EQ(text.find("Rechnung Meier"), std::string::npos);
  EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
