// The P&L and balance-sheet dialogs on the fixed Mandant with its statement
// additions: each report on the screen and printed to PDF, question 204,
// and the refusals.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QRadioButton>

#include <functional>
#include <memory>

#include "fixed_mandant_print_fixture.h"
#include "recman/recman.h"
#include "reports/report_window.h"
#include "reports/statement_dialogs.h"

using namespace talvera;
using talvera::testing::HavePoppler;

namespace {

class StatementDialogsTest : public talvera::testing::FixedMandantPrintTest {
 protected:
  void SetUp() override {
    FixedMandantPrintTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(PrepareStatements());
    ForgetPeriodChoice();
    BalanceSheetDialog::SetAlternativePlacer([this](QWidget*, int accountClass, const std::string& account) {
      placed_.push_back(account);
      StructureTree liabilities = StatementLiabilitiesTree();
      int debts = liabilities.at(StructureTree::kHeader).children[1];
      liabilities.AddLeaf(liabilities.at(debts).children[2], account, "", true);
      EXPECT_EQ(accountClass, 2);
      ASSERT_TRUE(SaveStructure(YearDirectory("1996") + "/bilpasau.btr", liabilities));
    });
  }
  void TearDown() override {
    BalanceSheetDialog::SetAlternativePlacer(nullptr);
    FixedMandantPrintTest::TearDown();
  }
  std::vector<std::string> placed_;
};

struct DialogCase {
  const char* name;
  int kind;
  std::function<EvaluationDialog*()> make;
  const char* screenText;   // in the buffer (Windows-1252)
  const char* printedText;  // in the PDF
};

TEST_F(StatementDialogsTest, EveryStatementShowsAndPrints) {
  using namespace statementids;
  const DialogCase cases[] = {
      {"current P&L", kReportGuv,
       [] {
         auto* d = new GuvAktDialog(nullptr);
         d->SetFieldText(kDate, "31.03.1996");
         d->SetChecked(kYearValues, true);
         d->SetChecked(kDevelopment, true);
         return d;
       },
       "270,00 S", "Gewinn- und Verlustrechnung per 31.03.96"},
      {"P&L of the first quarter", kReportGuv,
       [] {
         auto* d = new GuvPerDialog(nullptr);
         d->SetChecked(periodids::kFirstQuarter, true);
         d->SetFieldText(periodids::kYear, "1996");
         d->SetChecked(kStructure, true);
         return d;
       },
       "170,00 S", "Werte Januar bis"},
      {"current balance sheet", kReportBilanz,
       [] {
         auto* d = new BilAktDialog(nullptr);
         d->SetFieldText(kDate, "31.12.1996");
         d->SetChecked(kStructure, true);
         d->SetChecked(kComparison, true);
         return d;
       },
       "Summe Passiva", "Bilanz per 31.12.96"},
      {"balance sheet of March", kReportBilanz,
       [] {
         auto* d = new BilPerDialog(nullptr);
         d->SetChecked(periodids::kFirstMonth + 2, true);
         d->SetFieldText(periodids::kYear, "1996");
         return d;
       },
       "Bilanz per 31.03.96", "Bilanzverlust"},
      {"opening balance sheet", kReportBilanz,
       [] {
         auto* d = new BilEroDialog(nullptr);
         d->SetFieldText(kYear, "1996");
         return d;
       },
       "Bilanzgewinn", "zum 01.01.96"},
  };
  for (const DialogCase& c : cases) {
    SCOPED_TRACE(c.name);
    messages_.answers.assign(2, kIdNo);  // 1000 in credit stays where it is
    std::unique_ptr<EvaluationDialog> screen(c.make());
    screen->accept();
    ASSERT_GT(screen->Lines(), 0);
    EXPECT_NE(BufferText().find(c.screenText), std::string::npos) << BufferText();
    ReportWindow window;
    window.resize(800, 400);
    window.ShowReport(c.kind, screen->Lines());
    EXPECT_EQ(window.ShownLines(), screen->Lines() + 2);

    if (!HavePoppler()) continue;
    messages_.answers.assign(2, kIdNo);
    std::unique_ptr<EvaluationDialog> printer(c.make());
    printer->SetChecked(evalids::kPrinter, true);
    printer->accept();
    ASSERT_GT(printer->Lines(), 0);
    window.ShowReport(c.kind, printer->Lines());
    EXPECT_NE(PdfText().find(c.printedText), std::string::npos) << PdfText();
  }
  EXPECT_TRUE(placed_.empty());
}

// Per 31.12. the cash account is in credit and has no alternative place:
// No keeps it among the assets with a minus sign, Yes places it and the
// balance sheet is built with it among the liabilities.
TEST_F(StatementDialogsTest, AccountOnTheUnexpectedSideAsksQuestion204) {
  using namespace statementids;
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    messages_.shown.clear();
    messages_.answers.assign(1, yes ? kIdYes : kIdNo);
    BilAktDialog d(nullptr);
    d.SetFieldText(kDate, "31.12.1996");
    d.SetChecked(kAllAccounts, true);
    d.accept();
    ASSERT_EQ(messages_.Numbers(), std::vector<int>{204});
    EXPECT_NE(messages_.shown[0].text.find("1000"), std::string::npos);
    ASSERT_GT(d.Lines(), 0);
    std::string text = BufferText();
    std::size_t passiva = text.find("Passiva");
    std::size_t cash = text.find("1000 Kasse");
    ASSERT_NE(cash, std::string::npos);
    EXPECT_EQ(cash > passiva, yes);
    EXPECT_EQ(text.find("-200,00") != std::string::npos, !yes);
  }
  EXPECT_EQ(placed_, std::vector<std::string>{"   1000"});
}

TEST_F(StatementDialogsTest, Refusals) {
  using namespace statementids;
  GuvAktDialog guv(nullptr);
  guv.SetFieldText(kDate, "31.03.1996");
  guv.SetChecked(kMonthValues, false);
  guv.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{5});
  messages_.shown.clear();
  // Accounts are offered at depth 3 only.
  guv.SetChecked(kAllAccounts, true);
  guv.SetChecked(kDepth1, true);
  EXPECT_FALSE(guv.Radio(kAllAccounts)->isEnabled());
  EXPECT_TRUE(guv.Radio(kNoAccounts)->isChecked());
  // The previous-year comparison belongs to "Kontenstruktur".
  BilAktDialog bil(nullptr);
  EXPECT_FALSE(bil.Check(kComparison)->isEnabled());
  bil.SetChecked(kStructure, true);
  EXPECT_TRUE(bil.Check(kComparison)->isEnabled());

  // A tree that cannot be read: each statement's own message.
  ASSERT_EQ(recman::DeleteFile(YearDirectory("1996") + "/guvauf.btr"), 0);
  ASSERT_EQ(recman::DeleteFile(YearDirectory("1996") + "/bilaktau.btr"), 0);
  guv.SetChecked(kMonthValues, true);
  guv.accept();
  GuvPerDialog period(nullptr);
  period.SetFieldText(periodids::kYear, "1996");
  period.accept();
  BilEroDialog opening(nullptr);
  opening.SetFieldText(kYear, "1996");
  opening.accept();
  // The store reports the missing file (3112) before the statement says it failed.
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{3112, 61, 3112, 51, 3112, 26}));
  EXPECT_EQ(guv.result(), 0);
}

}  // namespace
