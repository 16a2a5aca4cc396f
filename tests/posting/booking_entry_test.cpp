// The entry side of a booking without a dialog: typed accounts, the tax
// proposal, the confirm checks in their order, currency, the posting lock
// and the posting month, document numbers.
#include <cstring>
#include <functional>

#include "core/layouts/personal.h"
#include "posting/booking_checks.h"
#include "posting/booking_currency.h"
#include "posting/document_number.h"
#include "posting_fixture.h"

namespace talvera::testing {
namespace {

using namespace buclau;
namespace personal = layouts::personal;

class BookingEntryTest : public PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    booking_.assign(bat::kLayout.recordLength, 0);
  }
  void TearDown() override {
    SetHomeAmountConverter(nullptr);
    PostingTest::TearDown();
  }

  // A customer invoice as the dialog would hold it.
  static BookingDraft Invoice() {
    BookingDraft d;
    d.documentDate = "15.03.26";
    d.documentNumber = "RE0099";
    d.debit = "10000";
    d.credit = "8400";
    d.gross = "119,00";
    d.text = "Verkauf";
    return d;
  }
  CheckResult Check(BookingDraft& d, const EntryContext& context = {}) {
    AccountRef debit, credit;
    EXPECT_TRUE(ProposeDraftTax(d, debit, credit));
    return CheckBooking(d, context, booking_.data());
  }
  std::string Line(const layouts::Field& f) { return layouts::FieldBytes(booking_.data(), bat::kLine.In(0, f)); }
  long LineNumber(const layouts::Field& f) { return layouts::GetNumber(booking_.data(), bat::kLine.In(0, f)); }
  std::string Header(const layouts::Field& f) { return layouts::FieldBytes(booking_.data(), f); }

  // Makes Kreditor 70000 a vendor abroad with an identification number.
  void MakeVendorForeign() {
    std::vector<char> r(personal::kLayout.recordLength);
    bool found = false;
    ASSERT_TRUE(GetEqual(r.data(), KeyValue("  70000", 8), found, kSlotKred) && found);
    layouts::SetText(r.data(), personal::kCountry, "F");
    layouts::SetText(r.data(), personal::kVatId, "FR12345678901");
    ASSERT_TRUE(Update(r.data(), kSlotKred));
  }

  std::vector<char> booking_;
};

TEST_F(BookingEntryTest, AccountsByNumberShortCodeOrPlaceholder) {
  struct Row {
    const char* typed;
    const char* number;
    AccountKind kind, placeholder;
  } rows[] = {
      {"8400", "   8400", kSachkonto, kNoAccount},   {"Erl.vo", "   8400", kSachkonto, kNoAccount},
      {"10000", "  10000", kDebitor, kNoAccount},   {"Meier", "  10000", kDebitor, kNoAccount},
      {" Lief ", "  70000", kKreditor, kNoAccount}, {"<Debi>", "", kNoAccount, kDebitor},
      {"<Kred>", "", kNoAccount, kKreditor},        {"4711", "", kNoAccount, kNoAccount},
      {"Unbekannt", "", kNoAccount, kNoAccount},    {"", "", kNoAccount, kNoAccount},
  };
  for (const Row& row : rows) {
    AccountRef a;
    ASSERT_TRUE(ResolveAccountText(row.typed, a)) << row.typed;
    EXPECT_STREQ(a.number, row.number) << row.typed;
    EXPECT_EQ(a.kind, row.kind) << row.typed;
    EXPECT_EQ(a.placeholder, row.placeholder) << row.typed;
  }
}

TEST_F(BookingEntryTest, TaxProposalForSkr03Accounts) {
  MakeVendorForeign();
  // 70000 is foreign now; 10000 stays domestic.
  struct Row {
    const char *debit, *credit;
    int side, rateClass;
    const char* rate;
    bool enabled, ec;
  } rows[] = {
      {"10000", "8400", 1, 2, "19,00", true, false},    // customer invoice
      {"1200", "8400", 1, 2, "19,00", true, false},     // cash sale: the taxed credit account
      {"3400", "1000", 2, 2, "19,00", true, false},     // cash purchase: the taxed debit account
      {"3400", "70000", 2, 2, "00,00", true, true},     // foreign vendor: EG, no tax on the invoice
      {"3425", "70000", 2, 128, "00,00", true, true},   // EG purchase: reverse charge in the engine
      {"3125", "70000", 2, 1, "19,00", true, true},     // § 13b: the account's rate, owed by the recipient
      {"3125", "1200", 2, 1, "19,00", true, false},     // § 13b paid at once
      {"4900", "1200", 2, 2, "19,00", true, false},     // expense with an input-tax proposal
      {"4128", "1200", 0, 0, "00,00", false, false},    // no tax key on either account
      {"4128", "Meier", 2, 0, "00,00", true, false},    // Sachkonto against a Debitor: rate may be typed
      {"1576", "1200", 0, 0, "00,00", false, false},    // a tax account
      {"8400", "3400", 0, 0, "00,00", false, false},    // both accounts taxed
      {"10000", "70000", 0, 0, "00,00", false, false},  // two personal accounts
  };
  for (const Row& row : rows) {
    AccountRef debit, credit;
    ASSERT_TRUE(ResolveAccountText(row.debit, debit));
    ASSERT_TRUE(ResolveAccountText(row.credit, credit));
    TaxProposal p;
    ASSERT_TRUE(ProposeTax(debit, credit, "150346", p));
    std::string name = std::string(row.debit) + " an " + row.credit;
    EXPECT_EQ(p.taxSide, row.side) << name;
    EXPECT_EQ(p.taxClass, row.rateClass) << name;
    EXPECT_STREQ(p.rate, row.rate) << name;
    EXPECT_EQ(p.rateEnabled, row.enabled) << name;
    EXPECT_EQ(p.ecCase, row.ec) << name;
  }
  EXPECT_EQ(RateForDisplay("07,00"), "7,00");
  EXPECT_EQ(RateForDisplay("19,00"), "19,00");
}

TEST_F(BookingEntryTest, CheckedInvoiceIsTheRecordTheEngineTakes) {
  BookingDraft d = Invoice();
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(Header(bat::kVoucherDate), "150346");
  EXPECT_EQ(Header(bat::kPostingDate), "150346");
  EXPECT_EQ(Header(bat::kVoucherNo), "RE0099");
  EXPECT_EQ(Line(bl::kDebitAccount), "  10000");
  EXPECT_EQ(LineNumber(bl::kDebitKind), 8);
  EXPECT_EQ(Line(bl::kCreditAccount), "   8400");
  EXPECT_EQ(Line(bl::kGross), "000000119,00");
  EXPECT_EQ(Line(bl::kNet), "000000100,00");
  EXPECT_EQ(Line(bl::kRate), "19,00");
  EXPECT_EQ(LineNumber(bl::kTaxSide), 1);
  EXPECT_EQ(LineNumber(bl::kTaxClass), 2);
  EXPECT_EQ(Line(bl::kListTaxAccount), "   1776");
  ASSERT_TRUE(PostBooking(booking_.data(), true));
  EXPECT_EQ(Total(2, "1776", 3, 1), "000000019,00");
  EXPECT_EQ(Total(2, "8400", 3, 1), "000000100,00");
}

TEST_F(BookingEntryTest, RefusalsInOrderWithMessageAndFocus) {
  struct Row {
    const char* name;
    std::function<void(BookingDraft&)> change;
    int message, control;
    const char* argument = "";
  } rows[] = {
      {"bad day", [](BookingDraft& d) { d.documentDate = "32.03.26"; }, 6, kDate},
      {"outside the open years", [](BookingDraft& d) { d.documentDate = "15.03.24"; }, 84, kDate},
      {"no document number", [](BookingDraft& d) { d.documentNumber = " "; }, 22, kDocumentNumber},
      {"no debit account", [](BookingDraft& d) { d.debit = ""; }, 22, kDebit},
      {"unknown debit account", [](BookingDraft& d) { d.debit = "4711"; }, 33, kDebit},
      {"placeholder left", [](BookingDraft& d) { d.debit = "<Debi>"; }, 33, kDebit},
      {"no credit account", [](BookingDraft& d) { d.credit = ""; }, 22, kCredit},
      {"unknown credit account", [](BookingDraft& d) { d.credit = "Nix"; }, 35, kCredit},
      {"both accounts the same", [](BookingDraft& d) { d.credit = "Meier"; }, 30, kDebit},
      {"collective account", [](BookingDraft& d) { d.debit = "1400"; }, 770, kDebit},
      {"malformed amount", [](BookingDraft& d) { d.gross = "12a"; }, 23, kGross},
      {"zero amount", [](BookingDraft& d) { d.gross = "0,00"; }, 518, kGross},
      {"currency not chosen", [](BookingDraft& d) { d.currencyEnabled = true; }, 423, kCurrency},
      {"rate too large", [](BookingDraft& d) { d.rate = "100"; }, 15, kRate},
      {"tax against the sign", [](BookingDraft& d) { d.tax = "-19,00"; }, 197, kTax},
      {"tax larger than gross", [](BookingDraft& d) { d.tax = "120,00"; }, 196, kTax},
      {"negative tax larger than negative gross",
       [](BookingDraft& d) { d.gross = "-119,00"; d.tax = "-120,00"; }, 196, kTax},
      {"no rate record side", [](BookingDraft& d) { d.proposal.taxSide = 2; }, 92, kRate},
      {"unknown cost centre", [](BookingDraft& d) { d.costCentre1 = "999"; }, 736, kCostCentre1, "999"},
      {"two equal cost centres",
       [](BookingDraft& d) { d.costCentre1 = "100"; d.costCentre2 = " 100"; }, 526, kCostCentre2},
      {"P&L account without cost centre", [](BookingDraft&) {}, 750, kCostCentre1},
  };
  EntryContext context;
  context.costAccounting = true;
  for (const Row& row : rows) {
    BookingDraft d = Invoice();
    AccountRef debit, credit;
    row.change(d);
    ASSERT_TRUE(ProposeDraftTax(d, debit, credit));
    row.change(d);  // again: a changed proposal is part of the row
    context.costCentreRequired = std::string(row.name) == "P&L account without cost centre";
    CheckResult r = CheckBooking(d, context, booking_.data());
    EXPECT_FALSE(r.passed) << row.name;
    EXPECT_EQ(r.message, row.message) << row.name;
    EXPECT_EQ(r.control, row.control) << row.name;
    EXPECT_EQ(r.argument, row.argument) << row.name;
  }
  EXPECT_TRUE(messages_.shown.empty()) << "checks show nothing themselves";
  BookingDraft full = Invoice();
  context.listEntries = 5001;
  EXPECT_EQ(Check(full, context).message, 411);
  // A date of the previous year selects that year's accounts.
  BookingDraft late = Invoice();
  late.documentDate = "15.03.25";
  ASSERT_TRUE(Check(late));
  EXPECT_EQ(WorkingYear(), "2025");
  // The same tax, negative on both sides, passes.
  BookingDraft d = Invoice();
  d.gross = "-119,00";
  d.tax = "-19,00";
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(Line(bl::kNet), "000000100-00");
}

TEST_F(BookingEntryTest, ExplicitRateOnAnAccountWithoutTaxKey) {
  BookingDraft d = Invoice();
  d.debit = "4128";
  d.credit = "Lief";
  d.gross = "238,00";
  d.rate = "19";
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(LineNumber(bl::kTaxSide), 2);
  EXPECT_EQ(LineNumber(bl::kTaxClass), 2);
  EXPECT_EQ(Line(bl::kNet), "000000200,00");
  // 4128 has no input-tax key: the engine takes the output-tax account.
  EXPECT_EQ(Line(bl::kListTaxAccount), "   1776");
  ASSERT_TRUE(PostBooking(booking_.data(), true));
  EXPECT_EQ(Total(2, "4128", 3, 0), "000000200,00");
}

TEST_F(BookingEntryTest, ForeignVendorOnEgAccountPostsReverseCharge) {
  MakeVendorForeign();
  BookingDraft d = Invoice();
  d.debit = "3425";
  d.credit = "70000";
  d.gross = "1000,00";
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(Line(bl::kNet), "000001000,00");
  EXPECT_EQ(LineNumber(bl::kTaxClass), 128);
  EXPECT_EQ(Line(bl::kListTaxAccount), "") << "the invoice itself carries no tax";
  ASSERT_TRUE(PostBooking(booking_.data(), true));
  EXPECT_EQ(Total(2, "1574", 3, 0), "000000190,00");  // the accounts of acquisitions at 19 %
  EXPECT_EQ(Total(2, "1774", 3, 1), "000000190,00");
  EXPECT_EQ(Total(2, "3425", 3, 0), "000001000,00");
}

// The rate of a § 13b account is the rate of the tax its recipient owes:
// the invoice's gross amount is its net amount, the engine writes the tax.
TEST_F(BookingEntryTest, Section13bServiceKeepsItsRateWithoutTaxOnTheInvoice) {
  BookingDraft d = Invoice();
  d.debit = "3125";
  d.credit = "70000";
  d.gross = "1000,00";
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(Line(bl::kNet), "000001000,00");
  EXPECT_EQ(Line(bl::kRate), "19,00");
  EXPECT_EQ(LineNumber(bl::kTaxClass), 1);
  EXPECT_EQ(Line(bl::kListTaxAccount), "");
  ASSERT_TRUE(PostBooking(booking_.data(), true));
  EXPECT_EQ(Total(2, "1577", 3, 0), "000000190,00");
  EXPECT_EQ(Total(2, "1787", 3, 1), "000000190,00");
  EXPECT_EQ(Total(4, "70000", 3, 1), "000001000,00");
}

TEST_F(BookingEntryTest, CashBasisShowsTheCashBasisAccount) {
  CurrentMandant().cashBasis = true;
  std::strcpy(CurrentMandant().cashBasisAccount, "   1766");
  BookingDraft d = Invoice();
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(Line(bl::kListTaxAccount), "   1766");
  d = Invoice();
  d.debit = "1200";  // no customer: the output-tax account
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(Line(bl::kListTaxAccount), "   1776");
}

TEST_F(BookingEntryTest, CurrencyConvertedAtTheDocumentDate) {
  // 1 unit is worth 2,00 until 09.03., 3,00 from 10.03.
  SetHomeAmountConverter([](const std::string& currency, const char* date, const char* amount, char* home) {
    EXPECT_EQ(currency, "USD");
    long long cents = 0;
    AmountToCents(amount, &cents);
    bool later = std::strncmp(date + 2, "03", 2) > 0 || (std::strncmp(date + 2, "03", 2) == 0 && std::strncmp(date, "10", 2) >= 0);
    return AmountFromCents(home, cents * (later ? 3 : 2));
  });
  BookingDraft d = Invoice();
  d.currencyEnabled = true;
  d.currency = "USD";
  d.foreignAmount = "100,00";
  d.gross = "";
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(Header(bat::kHomeAmount), "000000300,00");
  EXPECT_EQ(Header(bat::kCurrency), "USD");
  EXPECT_EQ(Line(bl::kGross), "000000100,00");
  EXPECT_EQ(d.homeAmount, "300,00");
  AmountText total = "000000010,00";
  ASSERT_TRUE(AddToControlTotal(total, booking_.data()));
  EXPECT_STREQ(total, "000000310,00");  // home amounts, not foreign ones

  d.documentDate = "05.03.26";
  ASSERT_TRUE(Check(d));
  EXPECT_EQ(Header(bat::kHomeAmount), "000000200,00");

  // Without a rate the conversion refuses and points at the foreign amount.
  SetHomeAmountConverter(nullptr);
  CheckResult r = Check(d);
  EXPECT_FALSE(r.passed);
  EXPECT_EQ(r.control, kForeignAmount);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{428});
}

TEST_F(BookingEntryTest, PostingMonthMarksTheTextOnce) {
  EntryContext context;
  context.month = MonthOf(2, 2026);
  BookingDraft d = Invoice();  // dated 15.03.26
  for (int attempt = 0; attempt < 2; ++attempt) {
    CheckResult r = Check(d, context);
    EXPECT_EQ(r.message, 158);
    EXPECT_EQ(r.control, kDate);
    EXPECT_EQ(d.text, "Verkauf v.15.03.26");
  }
  d.text = "Eine sehr lange Buchung mit viel Text";
  Check(d, context);
  EXPECT_EQ(d.text, "Eine sehr lange Buchung mit viel Te");  // cut to 35
  d.documentDate = "28.02.26";
  EXPECT_TRUE(Check(d, context));
}

TEST_F(BookingEntryTest, ClosingAndReclassificationModes) {
  EntryContext closing;
  closing.mode = PostingMode::kClosing;
  BookingDraft d = Invoice();
  ASSERT_TRUE(Check(d, closing));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{112});
  EXPECT_EQ(Header(bat::kVoucherDate), "311246");
  EXPECT_EQ(d.documentDate, "31.12.26");

  EntryContext reclassification;
  reclassification.mode = PostingMode::kReclassification;
  d = Invoice();
  d.debit = "1776";
  d.credit = "1576";
  d.text = "Umbuchung der Vorsteuer auf die Umsatzsteuer";
  ASSERT_TRUE(Check(d, reclassification));
  EXPECT_EQ(Header(bat::kText), "UB Umbuchung der Vorsteuer auf die ");
  EXPECT_EQ(Line(bl::kRate), "00,00");
  EXPECT_EQ(LineNumber(bl::kTaxSide), 0);
  EXPECT_EQ(Line(bl::kNet), "000000119,00");
}

TEST_F(BookingEntryTest, PostingLockForEveryPath) {
  CurrentMandantSettings().buchungssperre = "010346";  // 01.03.2026
  struct Row {
    const char* path;
    LockAnswer answer;
    const char* date;
    int userAnswer;  // 0: not asked
    bool passes;
    int message;
  } rows[] = {
      {"dialog, user goes on", LockAnswer::kAskUser, "280246", kIdYes, true, 0},
      {"dialog, user refuses", LockAnswer::kAskUser, "280246", kIdNo, false, 0},
      {"storno, user refuses", LockAnswer::kAskUser, "150146", kIdNo, false, 0},
      {"batch run", LockAnswer::kRefuse, "280246", 0, false, 785},
      {"import", LockAnswer::kRefuse, "150146", 0, false, 785},
      {"on the lock date", LockAnswer::kRefuse, "010346", 0, true, 0},
      {"after it", LockAnswer::kAskUser, "020346", 0, true, 0},
  };
  for (const Row& row : rows) {
    messages_.Clear();
    if (row.userAnswer) messages_.answers.push_back(row.userAnswer);
    CheckResult r = CheckPostingLock(row.date, row.answer, "RE0099", kDate);
    EXPECT_EQ(r.passed, row.passes) << row.path;
    EXPECT_EQ(r.message, row.message) << row.path;
    EXPECT_EQ(messages_.Numbers(), row.userAnswer ? std::vector<int>{920} : std::vector<int>{}) << row.path;
    if (row.message) {
      ShowRefusal(r);
      ASSERT_FALSE(messages_.shown.empty());
      EXPECT_NE(messages_.shown.back().text.find("RE0099"), std::string::npos) << row.path;
    }
  }
  // The confirm step asks only with "KeinePeri".
  BookingDraft d = Invoice();
  d.documentDate = "20.02.26";
  messages_.Clear();
  messages_.answers.push_back(kIdNo);
  EntryContext context;
  EXPECT_TRUE(Check(d, context));
  context.checkLock = true;
  EXPECT_FALSE(Check(d, context));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{920});
}

TEST_F(BookingEntryTest, PostingMonthChoiceAgainstLockAndToday) {
  CurrentMandantSettings().buchungssperre = "150346";  // 15.03.2026; today is 09.12.2026
  struct Row {
    int month, year;
    bool passes;
    std::vector<int> shown;
  } rows[] = {
      {2, 2026, false, {}},      // ends before the lock date
      {3, 2026, true, {544}},    // the lock date lies within: its later days are open
      {11, 2026, true, {544}},   // before today's month: a warning only
      {12, 2026, true, {}},
      {1, 2027, true, {}},
  };
  for (const Row& row : rows) {
    messages_.Clear();
    PostingMonth m;
    CheckResult r = ChoosePostingMonth(row.month, row.year, m);
    EXPECT_EQ(r.passed, row.passes) << row.month;
    if (!row.passes) {
      EXPECT_EQ(r.message, 780);
    }
    EXPECT_EQ(messages_.Numbers(), row.shown) << row.month;
    if (row.passes) {
      EXPECT_EQ(m.period, row.month) << row.month;
    }
  }
  // A fiscal year from July: March 2027 is period 9 of the year 2026.
  CurrentMandant().fiscalStartMonth = 7;
  PostingMonth march = MonthOf(3, 2027);
  EXPECT_EQ(march.period, 9);
  EXPECT_EQ(march.yearIndex, 46);
}

TEST_F(BookingEntryTest, LeavingAnAccountFieldProposesWhatTheAccountsKeep) {
  // Meier is kept in US dollars and books against 8400; 4210 carries cost
  // centre 100, variable.
  std::vector<char> r(personal::kLayout.recordLength);
  bool found = false;
  ASSERT_TRUE(GetEqual(r.data(), KeyValue("  10000", 8), found, kSlotDebi) && found);
  layouts::SetRawText(r.data(), personal::kCounterAccount, "   8400");
  layouts::SetText(r.data(), personal::kCurrency, "USD");
  ASSERT_TRUE(Update(r.data(), kSlotDebi));
  std::vector<char> s(layouts::sako::kLayout.recordLength);
  ASSERT_TRUE(GetEqual(s.data(), KeyValue("   4210", 8), found, kSlotSako) && found);
  layouts::SetRawText(s.data(), layouts::sako::kCostCentre1, "    100");
  layouts::SetNumber(s.data(), layouts::sako::kCostBehaviour, 2);
  ASSERT_TRUE(Update(s.data(), kSlotSako));
  CloseAll();
  ASSERT_TRUE(OpenMainFiles());

  BookingDraft d;
  d.documentDate = "15.03.26";
  d.debit = "Meier";
  AccountDisplay debit, credit;
  ASSERT_TRUE(EvaluateDraftAccounts(d, {.textFromName = true}, debit, credit));
  EXPECT_EQ(d.credit, "8400");
  EXPECT_EQ(credit.account.kind, kSachkonto);
  EXPECT_EQ(debit.account.name, "Meier GmbH");
  EXPECT_EQ(debit.balance, "0,00 S");
  EXPECT_TRUE(d.currencyEnabled);
  EXPECT_EQ(d.currency, "USD");
  EXPECT_EQ(d.text, "Meier GmbH");
  EXPECT_EQ(d.proposal.taxSide, 1);

  d.debit = "1000";  // another account: the currency fields close again
  ASSERT_TRUE(EvaluateDraftAccounts(d, {}, debit, credit));
  EXPECT_FALSE(d.currencyEnabled);

  BookingDraft rent;
  rent.debit = "Miete";
  rent.credit = "1200";
  ASSERT_TRUE(EvaluateDraftAccounts(rent, {.costAccounting = true}, debit, credit));
  EXPECT_EQ(rent.costCentre1, "100");
  EXPECT_EQ(rent.costCentreKind, 2);
}

TEST_F(BookingEntryTest, TakenBackBookingChecksToTheSameRecord) {
  SetHomeAmountConverter([](const std::string&, const char*, const char* amount, char* home) {
    long long cents = 0;
    AmountToCents(amount, &cents);
    return AmountFromCents(home, cents * 2);
  });
  BookingDraft invoice = Invoice();
  BookingDraft taxTyped = Invoice();
  taxTyped.tax = "18,99";
  BookingDraft currency = Invoice();
  currency.currencyEnabled = true;
  currency.currency = "USD";
  currency.foreignAmount = "59,50";
  BookingDraft withCostCentres = Invoice();
  withCostCentres.debit = "4210";
  withCostCentres.credit = "1200";
  withCostCentres.costCentre1 = "100";
  withCostCentres.costCentre2 = "200";
  withCostCentres.costCentreKind = 2;
  EntryContext context;
  context.costAccounting = true;
  for (BookingDraft* d : {&invoice, &taxTyped, &currency, &withCostCentres}) {
    ASSERT_TRUE(Check(*d, context)) << d->debit;
    std::vector<char> first = booking_;
    BookingDraft back = DraftFromBooking(first.data());
    ASSERT_TRUE(CheckBooking(back, context, booking_.data())) << d->debit;
    EXPECT_EQ(booking_, first) << d->debit << " " << d->tax << " " << d->currency;
  }
}

TEST(DocumentNumberTest, Increment) {
  struct Row {
    const char *before, *after;
  } rows[] = {
      {"RE0099", "RE0100"}, {"9999999", "10000000"}, {"99999999", "1"}, {"RE", "RE1"},
      {"", "1"},            {"A9", "A10"},           {"ABCDEFGH", "1"},   {"R-17", "R-18"},
  };
  for (const Row& row : rows) EXPECT_EQ(IncrementDocumentNumber(row.before), row.after) << row.before;
}

TEST_F(BookingEntryTest, LastDocumentNumberKeepsWhatTheFieldTakes) {
  StoreLastDocumentNumber("RE123456789");
  EXPECT_EQ(LastDocumentNumber(), "RE123456");
  EXPECT_EQ(ReadSetting("Belnr"), "RE123456");
  StoreLastDocumentNumber("Büro12345");
  EXPECT_EQ(LastDocumentNumber(), "Büro1234");
}

}  // namespace
}  // namespace talvera::testing
