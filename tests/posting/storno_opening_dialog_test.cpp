// The storno dialog and the opening-postings dialog on the small SKR 03
// Mandant: what they list, what they refuse, and what they leave in the books.
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QListWidget>

#include "posting/invariants.h"
#include "posting/opening_posting_dialog.h"
#include "posting/pending_booking.h"
#include "posting/storno_dialog.h"
#include "posting_fixture.h"
#include "widgets/column_list.h"

namespace talvera::testing {
namespace {

constexpr int S = 2, D = 8;
namespace s = layouts::sako;

class StornoDialogTest : public PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    Booking invoice("101146", "Rechnung Meier", "R-1");
    invoice.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00");
    Booking rent("121146", "Miete", "M-1");
    rent.Line("4210", S, "1200", S, "000000500,00");
    ASSERT_TRUE(invoice.Post());
    ASSERT_TRUE(rent.Post());
  }
  // Selects the listed bookings whose document numbers are given.
  static void Select(StornoDialog& d, std::initializer_list<const char*> vouchers) {
    QListWidget* list = d.List(bucstorno::kList);
    list->clearSelection();
    for (int row = 0; row < list->count(); ++row)
      for (const char* v : vouchers)
        if (d.Bookings()[static_cast<std::size_t>(row)].lines.front().voucherNo == v) list->item(row)->setSelected(true);
  }
  std::vector<std::string> StartVouchers() {
    std::vector<std::string> out;
    for (const auto& r : Journal())
      if (JN(r, bube::kFlags) & 0x40) out.push_back(J(r, bube::kVoucherNo) + " " + J(r, bube::kText));
    return out;
  }
  long long Cents(const std::string& amount) {
    long long c = 0;
    AmountToCents(amount.c_str(), &c);
    return c;
  }
};

TEST_F(StornoDialogTest, SelectedBookingsAreCancelledOnTheStornoDate) {
  using namespace bucstorno;
  StornoDialog d(nullptr);
  ASSERT_TRUE(d.FillBookingList());
  auto* list = qobject_cast<ColumnList*>(d.List(kList));
  ASSERT_NE(list, nullptr) << "the list shows its columns under headers";
  EXPECT_EQ(list->columns().front().title, "Datum");
  ASSERT_EQ(list->count(), 2);
  EXPECT_TRUE(d.SelectedBookings().empty()) << "nothing is chosen for the user";

  // Nothing selected: 715, and the books stay.
  messages_.Clear();
  EXPECT_FALSE(d.CancelSelected());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{715});

  // Both selected, cancelled on the storno date.
  Select(d, {"R-1", "M-1"});
  d.SetFieldText(kStornoDate, "20.11.26");
  messages_.Clear();
  qobject_cast<QAbstractButton*>(d.Control(kCancel))->click();
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
  EXPECT_EQ(d.lastRun().posted, 2);
  EXPECT_EQ(StartVouchers(), (std::vector<std::string>{"R-1 Rechnung Meier", "M-1 Miete",
                                                        "R-1 Storno Rechnung Meier", "M-1 Storno Miete"}));
  for (const auto& r : Journal())
    if (J(r, bube::kText).rfind("Storno", 0) == 0) {
      EXPECT_EQ(J(r, bube::kPostingDate), "201146");
    }
  for (const char* account : {"8400", "4210", "1200", "1400"})
    EXPECT_EQ(Cents(Total(S, account, 11, 0)), Cents(Total(S, account, 11, 1))) << account;
  EXPECT_TRUE(OpenItems(kSlotOpdebi).empty());
  EXPECT_EQ(list->count(), 4) << "listed again with the stornos";

  // A second storno of a cancelled booking is refused and writes nothing.
  ASSERT_EQ(d.Bookings().size(), 4u);
  list->clearSelection();
  list->item(1)->setSelected(true);  // the rent itself, by its date
  ASSERT_EQ(d.SelectedBookings().front().lines.front().text, "Miete");
  messages_.Clear();
  d.SetFieldText(kStornoDate, "");
  d.CancelSelected();
  EXPECT_EQ(d.lastRun().posted, 0);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].text.find("bereits storniert"), std::string::npos);
  EXPECT_EQ(Journal().size(), 6u);
  std::vector<std::string> problems;
  EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(StornoDialogTest, RefusalsLeaveTheBooksAsTheyWere) {
  using namespace bucstorno;
  struct Case {
    const char* name;
    const char* stornoDate;
    std::deque<int> answers;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {"malformed storno date", "32.11.26", {}, {6}},
      {"storno date outside the open years", "01.01.20", {}, {84}},
      {"before the posting lock, answered No", "", {kIdNo}, {920}},
  };
  CurrentMandantSettings().buchungssperre = "011246";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StornoDialog d(nullptr);
    ASSERT_TRUE(d.FillBookingList());
    Select(d, {"M-1"});
    d.SetFieldText(kStornoDate, c.stornoDate);
    messages_.Clear();
    messages_.answers = c.answers;
    d.CancelSelected();
    EXPECT_EQ(messages_.Numbers(), c.messages);
    EXPECT_EQ(d.lastRun().posted, 0);
    EXPECT_EQ(Journal().size(), 3u);
  }
  CurrentMandantSettings().buchungssperre.clear();
}

// An opening posting is a booking of its own, also when it is found by its
// collective-account record and follows another booking of the same day;
// its storno is the negative opening posting.
TEST_F(StornoDialogTest, OpeningPostingIsListedAndCancelledOnItsOwn) {
  using namespace bucstorno;
  OpeningEntry e{"101146", "  10000", D, 0, "000000119,00", "Kunde"};
  ASSERT_TRUE(PostOpeningEntry(e));
  StornoDialog d(nullptr);
  d.SetFieldText(kDebit, "1400");
  ASSERT_TRUE(d.FillBookingList());
  ASSERT_EQ(d.List(kList)->count(), 2);
  EXPECT_EQ(d.List(kList)->item(1)->text().toStdString(), "10.11.26\t\t10000\t9000\t119,00\tEB Kunde");
  d.List(kList)->item(1)->setSelected(true);
  messages_.Clear();
  ASSERT_TRUE(d.CancelSelected());
  EXPECT_EQ(d.lastRun().posted, 1) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  auto debitor = Account(D, "10000");
  EXPECT_EQ(std::string(layouts::FieldBytes(debitor.data(), layouts::personal::kOpeningDebit)), "000000000,00");
  std::vector<std::string> problems;
  EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

// ---- Opening postings -----------------------------------------------------------

class OpeningDialogTest : public PostingTest {
 protected:
  static void Type(OpeningPostingDialog& d, const char* date, const char* account, bool credit,
                   const char* amount, const char* text) {
    using namespace bucero;
    d.SetFieldText(kDate, date);
    d.SetFieldText(kAccount, account);
    d.SetChecked(credit ? kCredit : kDebit, true);
    d.SetFieldText(kAmount, amount);
    d.SetFieldText(kText, text);
  }
  std::string Field(int kind, const char* account, const layouts::Field& f) {
    auto r = Account(kind, account);
    return layouts::FieldBytes(r.data(), f);
  }
  size_t OpeningRecords() {
    size_t n = 0;
    for (const auto& r : Journal()) n += bube::IsOpeningPosting(r.data()) && !(JN(r, bube::kFlags) & 8);
    return n;
  }
};

TEST_F(OpeningDialogTest, EntriesArePostedOneBehindAndCanBeTakenBack) {
  using namespace bucero;
  OpeningPostingDialog d(nullptr, "anna");
  d.Start();
  Type(d, "02.01.26", "1200", false, "500,00", "Bank");
  ASSERT_TRUE(d.ConfirmEntry());
  EXPECT_EQ(OpeningRecords(), 0u) << "the first entry waits";
  EXPECT_EQ(d.List(kList)->item(0)->text().toStdString(), "02.01.26\t1200\t500,00\t\tBank");
  EXPECT_EQ(d.FieldText(kAccount), "");
  EXPECT_EQ(d.FieldText(kDate), "02.01.26");

  Type(d, "02.01.26", "10000", false, "119,00", "Kunde");
  qobject_cast<QAbstractButton*>(d.Control(kOk))->click();
  EXPECT_EQ(OpeningRecords(), 1u);
  EXPECT_EQ(Field(S, "1200", s::kOpeningDebit), "000000500,00");

  // Taken back: the Debitor's entry returns to the fields, nothing of it posted.
  ASSERT_TRUE(d.TakeBack());
  EXPECT_EQ(d.List(kList)->count(), 1);
  EXPECT_EQ(d.FieldText(kAccount), "10000");
  EXPECT_EQ(d.FieldText(kAmount), "119,00");
  EXPECT_EQ(d.FieldText(kText), "Kunde");
  EXPECT_FALSE(d.TakeBack()) << "only the pending entry";

  // Now on the credit side of the Kreditor; ending posts it.
  Type(d, "02.01.26", "70000", true, "238,00", "Lieferant");
  ASSERT_TRUE(d.ConfirmEntry());
  static_cast<QDialog&>(d).reject();  // Esc ends as "&Beenden" does
  EXPECT_FALSE(d.HasPending());
  EXPECT_EQ(OpeningRecords(), 2u);
  EXPECT_EQ(Field(S, "1600", s::kOpeningCredit), "000000238,00");
  EXPECT_EQ(Field(D, "10000", layouts::personal::kOpeningDebit), "000000000,00");
  EXPECT_EQ(Total(S, "9000", 1, 0), "000000238,00");
  EXPECT_EQ(Total(S, "9000", 1, 1), "000000500,00");
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
  std::vector<std::string> problems;
  EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(OpeningDialogTest, BadEntriesAreRefusedWithTheirMessage) {
  struct Case {
    const char* name;
    const char* date;
    const char* account;
    const char* amount;
    int message;
    int control;
  };
  using namespace bucero;
  const Case cases[] = {
      {"date outside the open years", "02.01.20", "1200", "500,00", 83, kDate},
      {"unknown account", "02.01.26", "4711", "500,00", 36, kAccount},
      {"the carry-forward account itself", "02.01.26", "9000", "500,00", 30, kAccount},
      {"the receivables collective account", "02.01.26", "1400", "500,00", 770, kAccount},
      {"zero amount", "02.01.26", "1200", "0,00", 518, kAmount},
      {"malformed amount", "02.01.26", "1200", "5x0", 23, kAmount},
  };
  OpeningPostingDialog d(nullptr, "anna");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Type(d, c.date, c.account, false, c.amount, "EB");
    messages_.Clear();
    EXPECT_FALSE(d.ConfirmEntry());
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{c.message});
    EXPECT_EQ(messages_.focused, std::vector<int>{c.control});
    EXPECT_EQ(d.FieldText(kAccount), c.account) << "the input stays";
    EXPECT_FALSE(d.HasPending());
  }
  EXPECT_TRUE(d.End());
  EXPECT_EQ(Journal().size(), 0u);
}

// An entry left pending by a program that ended is offered by the next
// opening-postings dialog, and never by the posting dialog, which would
// post it as an ordinary booking.
TEST_F(OpeningDialogTest, LeftPendingEntryIsOfferedOnlyAsAnOpeningEntry) {
  {
    PendingBooking left("anna", PostOpeningBooking, kOpeningRecoveryBatch);
    OpeningEntry e{"020146", "   1200", S, 0, "000000500,00", "Bank"};
    std::vector<char> booking(bat::kLayout.recordLength);
    OpeningEntryToBooking(e, booking.data());
    ASSERT_TRUE(left.Keep(booking.data()));
  }
  // The program that kept it has ended: its owner becomes a process that is gone.
  pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  std::vector<char> r(bat::kLayout.recordLength);
  bool found = false;
  ASSERT_TRUE(GetFirstFound(r.data(), found, kSlotBat) && found);
  layouts::SetText(r.data(), bat::kRecoveryOwner, std::to_string(gone) + " anna");
  ASSERT_TRUE(Update(r.data(), kSlotBat));
  CloseSlot(kSlotBat);

  PendingBooking ordinary("anna");
  ASSERT_TRUE(ordinary.Recover(found));
  EXPECT_FALSE(found);

  OpeningPostingDialog d(nullptr, "anna");
  d.Start();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{922});
  EXPECT_EQ(OpeningRecords(), 1u);
  EXPECT_EQ(Field(S, "1200", s::kOpeningDebit), "000000500,00");
  EXPECT_EQ(J(Journal()[0], bube::kText), "EB Bank");
}

}  // namespace
}  // namespace talvera::testing
