// Split arithmetic, booking texts and templates.
#include <cstring>
#include <functional>

#include "core/layouts/create_file.h"
#include "posting/booking_texts.h"
#include "posting/split_booking.h"
#include "posting_fixture.h"

namespace talvera::testing {
namespace {

using namespace split_dialog;

class SplitTest : public PostingTest {
 protected:
  static SplitLineInput Line(const char* account, const char* amount, const char* rate = "") {
    SplitLineInput in;
    in.account = account;
    in.amount = amount;
    in.rate = rate;
    return in;
  }
  static std::string Gross(const void* b, int i) { return layouts::FieldBytes(b, bat::kLine.In(i, bl::kGross)); }
  static std::string Net(const void* b, int i) { return layouts::FieldBytes(b, bat::kLine.In(i, bl::kNet)); }
};

TEST_F(SplitTest, MissingCentGoesToTheFirstTaxedLineWithTheLargestGross) {
  SplitBooking split(SplitKind::kOneDebitManyCredit, "10000", "100,00", "150346");
  ASSERT_TRUE(split.AddLine(Line("1200", "33,33")));  // untaxed: not chosen
  ASSERT_TRUE(split.AddLine(Line("8400", "33,33")));
  ASSERT_TRUE(split.AddLine(Line("8300", "33,33")));
  EXPECT_STREQ(split.sum(), "000000099,99");
  AmountText remaining;
  split.Remaining(remaining);
  EXPECT_STREQ(remaining, "000000000,01");

  std::vector<char> booking(bat::kLayout.recordLength);
  layouts::InitRecord(bat::kLayout, booking.data());
  ASSERT_TRUE(split.Finish(booking.data()));
  EXPECT_EQ(Gross(booking.data(), 0), "000000033,33");
  EXPECT_EQ(Gross(booking.data(), 1), "000000033,34");
  EXPECT_EQ(Net(booking.data(), 1), "000000028,01");  // the tax grows by the cent
  EXPECT_EQ(Gross(booking.data(), 2), "000000033,33");
  EXPECT_EQ(layouts::GetNumber(booking.data(), bat::kSplitKind), 0x80);

  // Through the confirm checks into the engine: the customer owes 100,00.
  BookingDraft d;
  d.documentDate = "15.03.26";
  d.documentNumber = "SP-1";
  d.text = "Splitbuchung";
  d.split = booking;
  d.splitChecked = true;
  std::vector<char> record(bat::kLayout.recordLength);
  d.splitChecked = false;  // the box cleared: the split is dropped, the single line is checked
  EXPECT_EQ(CheckBooking(d, {}, record.data()).message, 22);
  d.splitChecked = true;
  ASSERT_TRUE(CheckBooking(d, {}, record.data()));
  ASSERT_TRUE(PostBooking(record.data(), true));
  EXPECT_EQ(Total(8, "10000", 3, 0), "000000100,00");
  EXPECT_EQ(Total(2, "1776", 3, 1), "000000005,33");
}

TEST_F(SplitTest, Refusals) {
  struct Row {
    const char* name;
    SplitKind kind;
    const char *fixed, *total;
    std::vector<SplitLineInput> lines;  // all but the last must pass
    bool atFinish;
    int message, control;
  } rows[] = {
      {"unknown fixed debit account", SplitKind::kOneDebitManyCredit, "4711", "10,00", {Line("8400", "10,00")}, false, 33, kFixedAccount},
      {"unknown credit line", SplitKind::kOneDebitManyCredit, "1200", "10,00", {Line("4711", "10,00")}, false, 35, kAccount},
      {"unknown debit line", SplitKind::kManyDebitsOneCredit, "1200", "10,00", {Line("Nix", "10,00")}, false, 33, kAccount},
      {"same accounts", SplitKind::kOneDebitManyCredit, "1200", "10,00", {Line("Bank", "10,00")}, false, 147, kAccount},
      {"tax without rate", SplitKind::kOneDebitManyCredit, "1200", "10,00",
       {[] { SplitLineInput in = Line("1000", "10,00", "0"); in.tax = "1,00"; return in; }()}, false, 193, kTax},
      {"bad amount", SplitKind::kOneDebitManyCredit, "1200", "10,00", {Line("1000", "1x")}, false, 23, kAmount},
      {"no lines", SplitKind::kOneDebitManyCredit, "1200", "10,00", {}, true, 145, kAccount},
      {"two cents off", SplitKind::kOneDebitManyCredit, "10000", "100,00",
       {Line("8400", "33,33"), Line("8300", "33,33"), Line("8400", "33,32")}, true, 144, kAmount},
      {"a cent off, no taxed line", SplitKind::kOneDebitManyCredit, "1200", "100,00",
       {Line("1000", "50,00"), Line("1800", "49,99")}, true, 144, kAmount},
      {"customer and vendor", SplitKind::kOneDebitManyCredit, "10000", "20,00",
       {Line("8400", "10,00"), Line("70000", "10,00")}, true, 776, kAccount},
  };
  for (const Row& row : rows) {
    SplitBooking split(row.kind, row.fixed, row.total, "150346");
    CheckResult r;
    for (std::size_t i = 0; i < row.lines.size(); ++i) {
      r = split.AddLine(row.lines[i]);
      if (!row.atFinish && i + 1 == row.lines.size()) break;
      ASSERT_TRUE(r) << row.name << " line " << i << " message " << r.message;
    }
    if (row.atFinish) {
      std::vector<char> booking(bat::kLayout.recordLength);
      r = split.Finish(booking.data());
    }
    EXPECT_FALSE(r.passed) << row.name;
    EXPECT_EQ(r.message, row.message) << row.name;
    EXPECT_EQ(r.control, row.control) << row.name;
  }
}

TEST_F(SplitTest, TenLinesAtMostAndLinesCanBeRemoved) {
  SplitBooking split(SplitKind::kManyDebitsOneCredit, "1200", "55,00", "150346");
  const char* accounts[] = {"1000", "1800", "4900", "3400", "3300", "4210", "8400", "8300", "8120", "8100"};
  for (const char* a : accounts) ASSERT_TRUE(split.AddLine(Line(a, "5,50", "0"))) << a;
  CheckResult r = split.AddLine(Line("1400", "1,00"));
  EXPECT_EQ(r.message, 143);
  ASSERT_TRUE(split.RemoveLine(0));
  EXPECT_EQ(split.lineCount(), 9);
  EXPECT_STREQ(split.sum(), "000000049,50");
  EXPECT_EQ(layouts::FieldBytes(split.record(), bat::kLine.In(0, bl::kDebitAccount)), std::string("   1800"));
  // A net amount gets its tax added.
  SplitLineInput net = Line("3400", "10,00");
  net.amountIsNet = true;
  SplitBooking second(SplitKind::kManyDebitsOneCredit, "1200", "11,90", "150346");
  ASSERT_TRUE(second.AddLine(net));
  EXPECT_STREQ(second.sum(), "000000011,90");
}

// A § 13b line of a split keeps its amount net: its rate is the tax the
// recipient owes, which the engine writes.
TEST_F(SplitTest, Section13bLineIsNotSplitIntoTax) {
  SplitBooking split(SplitKind::kManyDebitsOneCredit, "70000", "1119,00", "150346");
  ASSERT_TRUE(split.AddLine(Line("3125", "1000,00")));
  ASSERT_TRUE(split.AddLine(Line("3400", "119,00")));
  std::vector<char> booking(bat::kLayout.recordLength);
  layouts::InitRecord(bat::kLayout, booking.data());
  ASSERT_TRUE(split.Finish(booking.data()));
  EXPECT_EQ(Net(booking.data(), 0), "000001000,00");
  EXPECT_EQ(layouts::GetNumber(booking.data(), bat::kLine.In(0, bl::kTaxClass)), 1);
  EXPECT_EQ(Net(booking.data(), 1), "000000100,00");
  layouts::SetRawText(booking.data(), bat::kPostingDate, "150346");
  layouts::SetRawText(booking.data(), bat::kVoucherDate, "150346");
  ASSERT_TRUE(PostBooking(booking.data(), true));
  EXPECT_EQ(Total(4, "70000", 3, 1), "000001119,00");
  EXPECT_EQ(Total(2, "1577", 3, 0), "000000190,00");
  EXPECT_EQ(Total(2, "1787", 3, 1), "000000190,00");
  EXPECT_EQ(Total(2, "1576", 3, 0), "000000019,00");
}

class TemplatesTest : public PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    for (const char* file : {"butext", "buscha"}) ASSERT_TRUE(layouts::CreateFile(YearDirectory("2026"), file));
  }
};

TEST_F(TemplatesTest, DefaultTemplatesAppliedToADraft) {
  struct Row {
    const char* name;
    const char *debit, *credit;
    int taxSide;
  } rows[] = {
      {"Barverkauf", "1000", "8400", 1},
      {"Bareinkauf", "3400", "1000", 2},
      {"Ausgangsrechnung", "10000", "8400", 1},
      {"Eingangsrechnung", "3400", "70000", 2},
      {"Zahlungseingang", "1200", "10000", 2},
  };
  PersonalAccountChooser choose = [](AccountKind kind, std::string& out) {
    out = kind == kDebitor ? "10000" : "70000";
    return true;
  };
  for (const Row& row : rows) {
    BookingTemplate t;
    bool found = false;
    ASSERT_TRUE(FindTemplate(row.name, t, found));
    ASSERT_TRUE(found) << row.name;
    BookingDraft d;
    d.documentNumber = "RE0007";
    AccountRef debit, credit;
    ASSERT_TRUE(ApplyTemplate(t, d, choose, debit, credit)) << row.name;
    EXPECT_EQ(d.debit, row.debit) << row.name;
    EXPECT_EQ(d.credit, row.credit) << row.name;
    EXPECT_EQ(d.text, row.name);
    EXPECT_EQ(d.documentNumber, "RE0007") << "a template without number keeps the draft's";
    EXPECT_EQ(d.proposal.taxSide, row.taxSide) << row.name;
  }
  // A placeholder the user names nothing for stays empty: the checks ask for it.
  BookingTemplate t;
  bool found = false;
  ASSERT_TRUE(FindTemplate("Ausgangsrechnung", t, found));
  BookingDraft d;
  AccountRef debit, credit;
  ASSERT_TRUE(ApplyTemplate(t, d, nullptr, debit, credit));
  EXPECT_EQ(d.debit, "");
  // A template with a number and "festhalten".
  t.documentNumber = "AR-1";
  t.keepDocumentNumber = true;
  d.documentNumber = "RE0007";
  ASSERT_TRUE(ApplyTemplate(t, d, choose, debit, credit));
  EXPECT_EQ(d.documentNumber, "AR-1");
  EXPECT_TRUE(d.keepDocumentNumber);
}

TEST_F(TemplatesTest, TemplatesStoredChangedAndDeleted) {
  BookingTemplate t;
  t.name = "Miete";
  t.debit = "4210";
  t.credit = "Bank";
  t.costCentre1 = "100";
  t.text = "Miete Büro";
  ASSERT_TRUE(InsertTemplate(t));
  EXPECT_GT(t.id, 0);
  std::vector<BookingTemplate> all;
  ASSERT_TRUE(ListTemplates(all));
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all[5].name, "Miete");  // by name
  t.text = "Miete Lager";
  ASSERT_TRUE(UpdateTemplate(t));
  BookingTemplate read;
  bool found = false;
  ASSERT_TRUE(FindTemplate("Miete", read, found) && found);
  EXPECT_EQ(read.text, "Miete Lager");
  EXPECT_EQ(read.costCentre1, "100");
  ASSERT_TRUE(DeleteTemplate(t.id));
  ASSERT_TRUE(FindTemplate("Miete", read, found));
  EXPECT_FALSE(found);
}

TEST_F(TemplatesTest, BookingTextsAreNotDoubled) {
  std::vector<std::string> before, after;
  ASSERT_TRUE(ListBookingTexts(before));
  bool added = true;
  ASSERT_TRUE(AddBookingText("Telefon", added));
  EXPECT_FALSE(added);
  ASSERT_TRUE(AddBookingText("Porto", added));
  EXPECT_TRUE(added);
  ASSERT_TRUE(ListBookingTexts(after));
  EXPECT_EQ(after.size(), before.size() + 1);
  EXPECT_TRUE(std::is_sorted(after.begin(), after.end()));
  EXPECT_EQ(AddBookingText("  ", added).message, 2);
  bool found = false;
  ASSERT_TRUE(DeleteBookingText("Porto", found));
  EXPECT_TRUE(found);
  ASSERT_TRUE(ListBookingTexts(after));
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace talvera::testing
