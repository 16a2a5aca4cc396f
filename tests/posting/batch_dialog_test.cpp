// The batch dialog on the small Mandant: bookings confirmed into the batch
// touch no account, a correction replaces its original only when it is
// confirmed, and "&Übernehmen" posts the batch.
#include <QApplication>
#include <QPushButton>

#include <tuple>

#include "batch_fixture.h"
#include "posting/batch_dialog.h"
#include "posting/booking_list_dialog_view.h"
#include "shell/command_table.h"
#include "shell/frame_commands.h"
#include "shell/main_frame.h"
#include "shell/shell_state.h"
#include "users/login_state.h"

namespace talvera::testing {
namespace {

using namespace buclau;

class BatchDialogTest : public BatchTest {
 protected:
  void SetUp() override {
    BatchTest::SetUp();
    // The entry lists: booking texts and templates of the current year.
    for (const char* file : {"butext", "buscha"}) ASSERT_TRUE(layouts::CreateFile(YearDirectory("2026"), file));
  }
  std::unique_ptr<BatchPostingDialog> Open(int batch, bool mayPost = true) {
    BatchPostingDialog* d = MakeBatchDialog(nullptr, batch, MonthOf(12, 2026), mayPost);
    EXPECT_NE(d, nullptr);
    std::unique_ptr<BatchPostingDialog> dialog(d);
    if (d) {
      d->show();
      EXPECT_TRUE(d->Start());
    }
    return dialog;
  }
  // Types a one-line booking without tax (cash to the bank) and confirms it.
  static bool Confirm(BatchPostingDialog& d, const char* date, const char* number, const char* gross) {
    d.SetFieldText(kDate, date);
    d.SetFieldText(kDocumentNumber, number);
    d.SetFieldText(kDebit, "1200");
    d.SetFieldText(kCredit, "1000");
    d.EvaluateAccounts();
    d.SetFieldText(kGross, gross);
    d.SetFieldText(kText, "Einzahlung");
    return d.ConfirmBooking();
  }
  static void Select(BatchPostingDialog& d, int entry) { d.list()->SelectEntry(entry); }
};

TEST_F(BatchDialogTest, ConfirmCorrectAndTakeOver) {
  {
    auto d = Open(kStandard);
    EXPECT_EQ(d->windowTitle(), "Stapelbuchen - Standardstapel Dezember 2026");
    EXPECT_FALSE(d->Control(bucbat::kTakeOver)->isEnabled()) << "nothing to take over yet";
    ASSERT_TRUE(Confirm(*d, "05.12.26", "M1", "500,00"));
    ASSERT_TRUE(Confirm(*d, "06.12.26", "M2", "300,00"));
    ASSERT_EQ(messages_.Numbers(), std::vector<int>{}) << messages_.shown[0].text;
    EXPECT_TRUE(d->Control(bucbat::kTakeOver)->isEnabled());
    EXPECT_EQ(InBatch(kStandard), (Strings{"M1", "M2"}));
    EXPECT_TRUE(Posted().empty()) << "a batch touches no account";
    EXPECT_EQ(d->FieldText(kControlTotal), "800,00");

    // M1 taken back, and the dialog ends: M1 stays as it was.
    Select(*d, 0);
    ASSERT_TRUE(d->TakeBack());
    EXPECT_EQ(d->FieldText(kDocumentNumber), "M1");
    EXPECT_EQ(d->list()->model()->entries().size(), 1u);
    EXPECT_EQ(d->FieldText(kControlTotal), "300,00");
    d->SetFieldText(kDocumentNumber, "M9");
    ASSERT_TRUE(d->End());
    ASSERT_EQ(messages_.Numbers(), std::vector<int>{}) << messages_.shown[0].text;
  }
  EXPECT_EQ(InBatch(kStandard), (Strings{"M1", "M2"}));
  BatchHeader header;
  bool found = false;
  ASSERT_TRUE(ReadBatchHeader(kStandard, header, found));
  EXPECT_EQ(header.lastDocumentNumber, "M9");
  EXPECT_EQ(header.controlTotal, "000000300,00");

  {
    auto d = Open(kStandard);
    EXPECT_EQ(d->FieldText(kDocumentNumber), "M9") << "from the header";
    EXPECT_EQ(d->list()->model()->entries().size(), 2u);
    // Taken back and confirmed again: the correction replaces M1 at the end.
    Select(*d, 0);
    ASSERT_TRUE(d->TakeBack());
    d->SetFieldText(kGross, "550,00");
    ASSERT_TRUE(d->ConfirmBooking());
    EXPECT_EQ(InBatch(kStandard), (Strings{"M2", "M1"}));
    EXPECT_EQ(d->list()->model()->entries().back().recordId,
              d->list()->model()->index(d->list()->model()->rowCount() - 1, 0)
                  .data(BookingListModel::kPostingNumberRole)
                  .toLongLong());

    // "&Übernehmen" posts them all.
    qobject_cast<QPushButton*>(d->Control(bucbat::kTakeOver))->click();
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{89});
    EXPECT_TRUE(InBatch(kStandard).empty());
    EXPECT_TRUE(d->list()->model()->entries().empty());
    EXPECT_EQ(Posted(), (Strings{"M1", "M2"})) << "in journal order";
    EXPECT_EQ(Total(2, "1200", 12, 0), "000000850,00");
    messages_.Clear();
    EXPECT_FALSE(d->TakeOver());
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{91});
    ASSERT_TRUE(d->End());
  }
}

TEST_F(BatchDialogTest, RightsRecurringBatchesAndMissingHeaders) {
  int recurring = AddBatch("Miete", true);
  Fill(recurring, {Rent("W1", "011246")});
  {
    auto d = Open(recurring, false);
    EXPECT_EQ(d->windowTitle(), "Stapelbuchen - Miete [W] Dezember 2026");
    EXPECT_TRUE(d->Control(bucbat::kTakeOver)->isHidden()) << "without the right to post";
    EXPECT_TRUE(d->Control(bucbat::kPostSelected)->isHidden());
    d->End();
  }
  {
    auto d = Open(recurring);
    EXPECT_TRUE(d->Control(bucbat::kTakeOver)->isEnabled());
    EXPECT_FALSE(d->Control(bucbat::kPostSelected)->isEnabled()) << "a recurring batch moves on as a whole";
    d->End();
  }
  {
    // "&Verbuchen" posts the selected booking only.
    Fill(kStandard, {Rent("A", "051246"), Rent("B", "061246")});
    auto d = Open(kStandard);
    messages_.Clear();
    EXPECT_FALSE(d->PostSelected());
    Select(*d, 1);
    EXPECT_TRUE(d->PostSelected());
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{1});
    EXPECT_EQ(InBatch(kStandard), Strings{"A"});
    EXPECT_EQ(JournalRecords("B"), 1);
    d->End();
  }
  messages_.Clear();
  EXPECT_EQ(MakeBatchDialog(nullptr, 99, {}, true), nullptr);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{436});
}

TEST_F(BatchDialogTest, SettlementCommandsOpenTheirBatchDirectly) {
  // The Debitoren's settlement batch is made when first needed.
  ShellState& shell = CurrentShell();
  shell = ShellState{};
  shell.currentMandant = 1;
  shell.databaseOpen = true;
  shell.rights = kRightBuchungenErfassen;
  CurrentLogin().rights = kRightBuchungenErfassen;
  MainFrame frame;
  RegisterPostingCommands(frame);
  frame.show();
  for (auto [command, batch, title] : {std::tuple{2097, 14, "Stapelbuchen - OP-Ausgleich Debitoren"},
                                       std::tuple{3076, 15, "Stapelbuchen - OP-Ausgleich Kreditoren"}}) {
    SCOPED_TRACE(command);
    frame.RunCommand(command);
    auto* open = dynamic_cast<BatchPostingDialog*>(OpenPostingDialog());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->header().number, batch);
    EXPECT_EQ(open->windowTitle(), title);
    EXPECT_TRUE(shell.postingDialogOpen);
    EXPECT_TRUE(open->Control(bucbat::kTakeOver)->isHidden()) << "without the right to post";
    ASSERT_TRUE(open->End());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(shell.postingDialogOpen);
  }
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{});
  shell = ShellState{};
  CurrentLogin() = LoginState{};
}

}  // namespace
}  // namespace talvera::testing
