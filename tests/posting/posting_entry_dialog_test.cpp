// The entry dialog driven by keys alone on the small SKR 03 Mandant: the
// journal, the account totals and the open items it leaves are the figures
// worked out by hand; and a booking confirmed before the program was killed
// is offered when the dialog opens again.
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <csignal>
#include <cstdlib>

#include "core/layouts/open_item.h"
#include "posting/booking_list_dialog_view.h"
#include "posting/invariants.h"
#include "posting/posting_dialog.h"
#include "posting/split_dialog.h"
#include "shell/frame_commands.h"
#include "shell/main_frame.h"
#include "shell/shell_state.h"
#include "widgets/copy_target.h"
#include "posting_fixture.h"
#include "support/mnemonic.h"

namespace talvera::testing {
namespace {

using namespace buclau;
namespace op = layouts::open_item;
constexpr int S = 2, K = 4, D = 8;

class PostingEntryDialogTest : public PostingTest {
 public:
  void SetUp() override {
    PostingTest::SetUp();
    // The entry lists: booking texts and templates of the current year.
    for (const char* file : {"butext", "buscha"}) ASSERT_TRUE(layouts::CreateFile(YearDirectory("2026"), file));
  }
  std::unique_ptr<PostingDialog> Open(PostingMode mode) {
    PostingDialogOptions o;
    o.mode = mode;
    o.user = "anna";
    if (mode == PostingMode::kOrdinary) o.month = MonthOf(12, 2026);
    auto dialog = std::make_unique<PostingDialog>(nullptr, std::move(o));
    dialog->show();
    Activate(dialog.get());
    EXPECT_TRUE(dialog->Start());
    return dialog;
  }
  static void Activate(QWidget* w) {
    QApplication::setActiveWindow(w);
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w, 2000));

  }
  static QWidget* Focus() { return QApplication::focusWidget(); }
  static void Type(const char* text) { QTest::keyClicks(Focus(), QString::fromUtf8(text)); }
  static void Key(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(Focus(), key, m); }
  // A button's mnemonic: the button shows itself pressed, then clicks.
  static void Button(Qt::Key key) { talvera::testing::PressMnemonic(key); }
  // Types the fields one after another, Tab between them.
  static void Fields(std::initializer_list<const char*> values) {
    bool first = true;
    for (const char* v : values) {
      if (!first) Key(Qt::Key_Tab);
      first = false;
      Type(v);
    }
  }
  // Alt+X goes to the booking text; Enter confirms.
  static void TextAndConfirm(const char* text) {
    Key(Qt::Key_X, Qt::AltModifier);
    Type(text);
    Key(Qt::Key_Return);
  }
  std::string T(int kind, const char* account, int side) { return Total(kind, account, 12, side); }

  std::vector<std::string> JournalVouchers() {
    std::vector<std::string> out;
    for (const auto& r : Journal())
      if (JN(r, bube::kFlags) & 0x40) out.push_back(J(r, bube::kVoucherNo));
    return out;
  }
};

TEST_F(PostingEntryDialogTest, KeysOnlyBookingsLeaveTheHandWorkedBooks) {
  {
    auto dialog = Open(PostingMode::kOrdinary);
    EXPECT_EQ(Focus(), dialog->Control(kDate));
    // A cash sale on 8400: 19 % output tax proposed.
    Fields({"05.12.26", "K1", "1000", "8400", "119,00"});
    EXPECT_EQ(dialog->FieldText(kRate), "19,00");
    EXPECT_EQ(dialog->FieldText(kTax), "19,00");
    EXPECT_EQ(dialog->FieldText(kCreditName), "Erlöse 19 % USt");
    TextAndConfirm("Barverkauf");
    ASSERT_EQ(messages_.Numbers(), std::vector<int>{}) << messages_.shown[0].text;
    EXPECT_TRUE(JournalVouchers().empty()) << "the first confirmation posts nothing";
    EXPECT_EQ(Focus(), dialog->Control(kDate));

    // A vendor invoice with 19 % input tax.
    Fields({"06.12.26", "R1", "3400", "70000", "238,00"});
    EXPECT_EQ(dialog->FieldText(kCreditName), "Lieferant AG");
    TextAndConfirm("Wareneingang");
    EXPECT_EQ(JournalVouchers(), std::vector<std::string>{"K1"});
    EXPECT_EQ(dialog->FieldText(kDebitBalance), "");

    // A credit split of 100,00 in three lines of 33,33: F12 opens it.
    Fields({"07.12.26", "S1", "10000", "", "100,00"});
    Key(Qt::Key_F12);
    auto* split = dialog->findChild<SplitDialog*>();
    ASSERT_NE(split, nullptr);
    Activate(split);
    for (const char* account : {"8400", "8300", "8400"}) {
      EXPECT_EQ(Focus(), split->Control(split_dialog::kAccount));
      Fields({account, "33,33"});
      Key(Qt::Key_Return);
    }
    EXPECT_EQ(split->FieldText(split_dialog::kSum), "99,99");
    Button(Qt::Key_O);
    ASSERT_EQ(messages_.Numbers(), std::vector<int>{});
    QApplication::processEvents();
    Activate(dialog.get());
    EXPECT_FALSE(dialog->Edit(kGross)->isEnabled()) << "a split keeps its amounts";
    EXPECT_EQ(dialog->FieldText(kGross), "100,00");
    TextAndConfirm("Verkauf");
    EXPECT_EQ(JournalVouchers(), (std::vector<std::string>{"K1", "R1"}));
    EXPECT_EQ(dialog->FieldText(kControlTotal), "457,00");
    EXPECT_EQ(dialog->list()->model()->entries().size(), 3u);
    EXPECT_EQ(dialog->list()->model()->entries()[2].rows.size(), 3u);
    Button(Qt::Key_E);  // "Buchen-&Ende" posts the last
    EXPECT_FALSE(dialog->isVisible());
  }
  {
    // A reclassification, taken back and confirmed again.
    auto dialog = Open(PostingMode::kReclassification);
    EXPECT_EQ(dialog->list()->model()->entries().size(), 0u) << "no month list without a month";
    Fields({"08.12.26", "U1", "1776", "1780", "10,65"});
    TextAndConfirm("Vorauszahlung");
    Button(Qt::Key_R);
    EXPECT_EQ(dialog->FieldText(kDebit), "1776");
    EXPECT_EQ(dialog->FieldText(kGross), "10,65");
    EXPECT_EQ(dialog->FieldText(kText), "UB Vorauszahlung");
    EXPECT_EQ(dialog->list()->model()->entries().size(), 0u);
    EXPECT_EQ(dialog->FieldText(kControlTotal), "0,00");
    // The text came back with its mark; typed again it is marked once.
    Key(Qt::Key_X, Qt::AltModifier);
    Key(Qt::Key_A, Qt::ControlModifier);
    TextAndConfirm("Vorauszahlung");
    Button(Qt::Key_C);  // "Bu&chen-Ende"
  }
  ASSERT_EQ(messages_.Numbers(), std::vector<int>{});
  EXPECT_EQ(JournalVouchers(), (std::vector<std::string>{"K1", "R1", "S1", "U1"}));

  // By hand: the sale 100,00 + 19,00; the invoice 200,00 + 38,00; the
  // split 28,01 + 5,33 (the cent) and 28,01 + 5,32 on 8400/1776, 31,15 +
  // 2,18 on 8300/1771; the reclassification 10,65 from 1776 to 1780.
  struct Row {
    int kind;
    const char* account;
    const char *debit, *credit;
  } rows[] = {
      {S, "1000", "000000119,00", "000000000,00"},  {S, "8400", "000000000,00", "000000156,02"},
      {S, "1776", "000000010,65", "000000029,65"},  {S, "3400", "000000200,00", "000000000,00"},
      {S, "1576", "000000038,00", "000000000,00"},  {K, "70000", "000000000,00", "000000238,00"},
      {S, "1600", "000000000,00", "000000238,00"},  {D, "10000", "000000100,00", "000000000,00"},
      {S, "1400", "000000100,00", "000000000,00"},  {S, "8300", "000000000,00", "000000031,15"},
      {S, "1771", "000000000,00", "000000002,18"},  {S, "1780", "000000000,00", "000000010,65"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(T(r.kind, r.account, 0), r.debit) << r.account;
    EXPECT_EQ(T(r.kind, r.account, 1), r.credit) << r.account;
  }
  std::vector<std::string> problems;
  EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
  EXPECT_TRUE(problems.empty()) << problems.front();
  for (const auto& r : Journal()) {
    if (J(r, bube::kVoucherNo) != "U1") continue;
    EXPECT_TRUE(JN(r, bube::kFlags) & 0x10) << "reclassification flag";
    EXPECT_EQ(J(r, bube::kText), "UB Vorauszahlung");
  }

  // Open items: the invoice for the vendor, the split for the customer.
  auto sum = [this](int slot) {
    long long cents = 0;
    for (const auto& item : OpenItems(slot)) {
      long long c = 0;
      AmountToCents(layouts::FieldBytes(item.data(), op::kAmount), &c);
      cents += c;
    }
    return cents;
  };
  EXPECT_EQ(sum(kSlotOpkred), 23800);
  EXPECT_EQ(sum(kSlotOpdebi), 10000);
}

// A § 13b account proposes its rate, but the invoice carries no tax: the
// amount stays net and the engine writes the tax the recipient owes.
TEST_F(PostingEntryDialogTest, Section13bServiceShowsItsRateWithoutTax) {
  {
    auto dialog = Open(PostingMode::kOrdinary);
    Fields({"05.12.26", "E1", "3125", "70000", "1000,00"});
    EXPECT_EQ(dialog->FieldText(kRate), "19,00");
    EXPECT_EQ(dialog->FieldText(kTax), "0,00");
    EXPECT_FALSE(dialog->Edit(kTax)->isEnabled());
    TextAndConfirm("Montage");
    Button(Qt::Key_E);  // "Buchen-&Ende" posts it
  }
  ASSERT_EQ(messages_.Numbers(), std::vector<int>{});
  EXPECT_EQ(T(S, "3125", 0), "000001000,00");
  EXPECT_EQ(T(K, "70000", 1), "000001000,00");
  EXPECT_EQ(T(S, "1577", 0), "000000190,00");
  EXPECT_EQ(T(S, "1787", 1), "000000190,00");
}

TEST_F(PostingEntryDialogTest, RefusalsKeepTheInputAndFocusTheField) {
  auto dialog = Open(PostingMode::kOrdinary);
  struct Row {
    const char *date, *debit, *credit, *gross;
    int message, control;
  } rows[] = {
      {"05.12.26", "1000", "1000", "10,00", 30, kDebit},
      {"05.12.26", "4711", "8400", "10,00", 33, kDebit},
      {"05.12.26", "1000", "8400", "0", 518, kGross},
      {"05.11.26", "1000", "8400", "10,00", 158, kDate},  // outside the chosen month
  };
  for (const Row& r : rows) {
    messages_.Clear();
    Key(Qt::Key_T, Qt::AltModifier);
    Fields({r.date, "X1", r.debit, r.credit, r.gross});
    TextAndConfirm("Test");
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{r.message}) << r.debit;
    EXPECT_EQ(Focus(), dialog->Control(r.control)) << r.message;
    EXPECT_EQ(dialog->FieldText(kGross), r.gross);
    for (int id : {kDate, kDocumentNumber, kDebit, kCredit, kGross}) dialog->Edit(id)->clear();
  }
  EXPECT_EQ(dialog->FieldText(kText), "Test v.05.11.26");
  EXPECT_TRUE(dialog->list()->model()->entries().empty());
  EXPECT_TRUE(JournalVouchers().empty());
}

TEST_F(PostingEntryDialogTest, KgLayoutMinusCreditsTheCounterAccount) {
  CurrentSettings().kg = true;
  auto dialog = Open(PostingMode::kOrdinary);
  EXPECT_EQ(dialog->objectName(), "BUCLAUKG");
  EXPECT_EQ(Focus(), dialog->Control(kGross));
  // Amount, counter account, number, date, account, then the sign.
  Fields({"119,00", "1000", "KG1", "05.12.26", "8400", "-"});
  EXPECT_EQ(dialog->FieldText(kDebit), "8400");
  EXPECT_EQ(dialog->FieldText(kCredit), "1000");
  EXPECT_EQ(dialog->FieldText(kDebitName), "Erlöse 19 % USt");
  TextAndConfirm("Retoure");
  ASSERT_EQ(messages_.Numbers(), std::vector<int>{});
  ASSERT_EQ(dialog->list()->model()->entries().size(), 1u);
  EXPECT_EQ(dialog->list()->model()->entries()[0].rows[0].debit, "8400");
  EXPECT_EQ(dialog->FieldText(30227), "+") << "the sign returns to +";
  EXPECT_EQ(Focus(), dialog->Control(kGross));
  ASSERT_TRUE(dialog->End());
  for (const auto& r : Journal()) EXPECT_EQ(JN(r, bube::kLineByte), '-');
  EXPECT_EQ(T(S, "8400", 0), "000000100,00");
  EXPECT_EQ(T(S, "1000", 1), "000000119,00");
}

TEST_F(PostingEntryDialogTest, KopierenFillsTheAccountFieldLastEntered) {
  {
    auto dialog = Open(PostingMode::kOrdinary);
    EXPECT_EQ(CopyTarget(), dialog->Edit(kDebit));
    Fields({"05.12.26", "K1", "1000", ""});
    EXPECT_EQ(CopyTarget(), dialog->Edit(kCredit));
    ASSERT_TRUE(CopyToTarget("  8400"));
    Key(Qt::Key_Tab);  // leaving the field evaluates the copied account
    EXPECT_EQ(dialog->FieldText(kCredit), "8400");
    EXPECT_EQ(dialog->FieldText(kCreditName), "Erlöse 19 % USt");
    EXPECT_EQ(dialog->FieldText(kRate), "19,00");
  }
  EXPECT_EQ(CopyTarget(), nullptr);
  EXPECT_FALSE(CopyToTarget("8400"));
}

TEST_F(PostingEntryDialogTest, CtrlBTwiceActivatesTheOneDialogWhileTheMenusAreGrey) {
  CurrentSettings().keinePeri = true;  // no month to choose first
  ShellState& shell = CurrentShell();
  shell = ShellState{};
  shell.currentMandant = 1;
  shell.databaseOpen = true;
  shell.rights = kRightVerbuchen | kRightBuchungenErfassen;
  MainFrame frame;
  RegisterPostingCommands(frame);
  frame.show();
  frame.RunCommand(3013);
  PostingDialog* open = OpenPostingDialog();
  ASSERT_NE(open, nullptr);
  EXPECT_TRUE(shell.postingDialogOpen);
  EXPECT_FALSE(frame.CommandEnabled(3043)) << "closing postings wait for the dialog";
  EXPECT_FALSE(frame.menuBar()->actions()[0]->menu()->isEnabled());
  frame.RunCommand(3013);
  EXPECT_EQ(OpenPostingDialog(), open);
  EXPECT_EQ(frame.findChildren<PostingDialog*>().size(), 1);
  ASSERT_TRUE(open->End());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(OpenPostingDialog(), nullptr);
  EXPECT_FALSE(shell.postingDialogOpen);
  EXPECT_TRUE(frame.menuBar()->actions()[0]->menu()->isEnabled());
  shell = ShellState{};
}

// The program of the kill test: a process of its own (this test program run
// again with the data root in TALVERA_DIALOG_CHILD) that confirms one
// booking in the dialog and is killed before anything posts it.
TEST(PostingEntryDialogChild, ConfirmsOneBookingAndIsKilled) {
  const char* root = std::getenv("TALVERA_DIALOG_CHILD");
  if (!root) GTEST_SKIP() << "run by the kill test";
  ::setenv("TALVERA_TODAY", "09.12.2026", 1);
  ResetDayToday();
  MessageRecorder messages;
  SetDataRoot(root);
  SetSmallMandantValues("2026", "2025");
  InstallRateLoading();
  if (!OpenMainFiles()) _exit(100);
  PostingDialogOptions o;
  o.user = "anna";
  o.month = MonthOf(12, 2026);
  PostingDialog dialog(nullptr, std::move(o));
  dialog.show();
  PostingEntryDialogTest::Activate(&dialog);
  dialog.Start();
  PostingEntryDialogTest::Fields({"05.12.26", "K9", "1000", "8400", "50,00"});
  PostingEntryDialogTest::TextAndConfirm("Barverkauf");
  if (dialog.list()->model()->entries().size() != 1 || !messages.shown.empty()) _exit(1);
  kill(getpid(), SIGKILL);
  _exit(2);
}

TEST_F(PostingEntryDialogTest, KilledAfterAConfirmTheNextDialogOffersTheBooking) {
  CloseAll();
  recman::Shutdown();
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    ::setenv("TALVERA_DIALOG_CHILD", data_.path().c_str(), 1);
    execl("/proc/self/exe", "posting_entry_dialog_test", "--gtest_filter=PostingEntryDialogChild.*",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << WEXITSTATUS(status);
  ASSERT_TRUE(OpenMainFiles());
  EXPECT_TRUE(JournalVouchers().empty());

  // "Nein": the booking waits in the list, pending, and can be taken back.
  messages_.answers.push_back(kIdNo);
  auto dialog = Open(PostingMode::kOrdinary);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{922});
  EXPECT_NE(messages_.shown[0].text.find("K9"), std::string::npos);
  const auto& entries = dialog->list()->model()->entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].pending);
  EXPECT_EQ(dialog->list()->model()->index(0, 0).data(BookingListModel::kPostingNumberRole).toLongLong(), kPendingId);
  // Ending the dialog posts it, once.
  ASSERT_TRUE(dialog->End());
  EXPECT_EQ(JournalVouchers(), std::vector<std::string>{"K9"});
  EXPECT_EQ(T(S, "1000", 0), "000000050,00");
}

}  // namespace
}  // namespace talvera::testing
