// PostBooking, step by step. Each numbered step of the posting is one
// function below; open items live in open_items.cpp, the carry-forward of a
// previous-year booking in carry_forward.cpp. All of them run in the one
// transaction of the booking.
#include "posting/posting_engine.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/account_lookup.h"
#include "core/layouts/bat.h"
#include "core/layouts/bube.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/booking_lines.h"
#include "posting/open_item_files.h"
#include "posting/carry_forward.h"
#include "posting/posting_state.h"
#include "posting/tax_resolution.h"
#include "tax/tax_rates.h"

namespace talvera {

using namespace posting;

namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;
namespace bube = layouts::bube;
using Journal = char[bube::kLayout.recordLength];

const char* Field(const void* booking, const layouts::Field& f) { return layouts::FieldBytes(booking, f); }
const char* LineField(const void* booking, int i, const layouts::Field& f) {
  return layouts::FieldBytes(booking, bat::kLine.In(i, f));
}
long LineNumber(const void* booking, int i, const layouts::Field& f) {
  return layouts::GetNumber(booking, bat::kLine.In(i, f));
}
bool IsPersonal(int kind) { return kind == kKreditor || kind == kDebitor; }
bool SameAccount(const char* a, const char* b) { return std::strncmp(a, b, 7) == 0; }

unsigned ModeBase() {
  switch (Options().mode) {
    case PostingMode::kClosing: return kClosingPosting;
    case PostingMode::kReclassification: return kReclassification;
    default: return 0;
  }
}

int CountLines(const void* booking) {
  int n = 0;
  while (n < kMaxLines && LineField(booking, n, line_::kDebitAccount)[0] != '\0') ++n;
  return n;
}

// A line writes a collective-account record when one side is personal and
// the other side is not of the same kind.
bool WritesCollectiveRecord(int debitKind, int creditKind) {
  if (Options().suppressCollectiveRecords) return false;
  if (!IsPersonal(debitKind) && !IsPersonal(creditKind)) return false;
  return debitKind != creditKind;
}

const char* CollectiveAccountOf(int kind) {
  const MandantValues& m = CurrentMandant();
  if (kind == kDebitor) return m.receivablesAccount;
  if (kind == kKreditor) return m.payablesAccount;
  return "";
}

// Everything of one call that the steps share.
struct Posting {
  void* booking = nullptr;
  bool startsBooking = false;
  long* postingNumber = nullptr;
  int lineCount = 0;
  int records = 0;  // journal records the booking writes (the lines and their collective records)
  PeriodDate postingDate = "";
  RateText standardBefore = "";
  PostedBooking posted;
  // Reverse charge: the untaxed EG and § 13b purchases summed per class and rate.
  struct EcSum {
    int rateClass = kEcRate;
    RateText rate = "";
    AmountText sum = "000000000,00";
    int line = -1;  // the last line of the rate: its class and index name the rate record
  };
  EcSum ecSums[kMaxLines];
  int ecRates = 0;
};

bool CountPosting(const Posting& p, const char* account, const char* key) {
  if (p.startsBooking) return true;
  bool counted = false;
  if (!AlreadyCounted(account, key, counted)) return true;
  return !counted;
}

bool InsertJournal(Journal j) { return Insert(j, kSlotBube); }

void NewJournal(Journal j, const Posting& p) {
  layouts::InitRecord(bube::kLayout, j);
  layouts::SetRawText(j, bube::kPostingDate, p.postingDate);
  layouts::SetRawText(j, bube::kVoucherNo, Field(p.booking, bat::kVoucherNo));
  layouts::SetRawText(j, bube::kVoucherDate, Field(p.booking, bat::kVoucherDate));
  layouts::SetRawText(j, bube::kText, Field(p.booking, bat::kText));
}

// Step 9.2 for all lines at once: the header's home amount is the booking's
// value in home currency, so every line turns at the booking's rate (home
// amount / sum of the lines' foreign amounts), and the lines' home amounts
// add up exactly to the header's; the cents rounding leaves over go to the
// line with the largest amount. A line's net amount turns at the rate of
// its gross amount, so that gross minus net stays the tax in home currency.
bool ConvertLinesToHome(void* b, int lineCount) {
  long long homeTotal = 0, foreignTotal = 0;
  long long foreignGross[kMaxLines] = {}, foreignNet[kMaxLines] = {}, homeGross[kMaxLines] = {};
  if (!AmountToCents(Field(b, bat::kHomeAmount), &homeTotal)) return false;
  int largest = 0;
  for (int i = 0; i < lineCount; ++i) {
    if (!AmountToCents(LineField(b, i, line_::kGross), &foreignGross[i]) ||
        !AmountToCents(LineField(b, i, line_::kNet), &foreignNet[i]))
      return false;
    foreignTotal += foreignGross[i];
    if (std::llabs(foreignGross[i]) > std::llabs(foreignGross[largest])) largest = i;
  }
  long long converted = 0;
  for (int i = 0; i < lineCount; ++i) {
    homeGross[i] = i == largest ? homeTotal : 0;
    if (foreignTotal != 0 && !ScaleCents(foreignGross[i], homeTotal, foreignTotal, &homeGross[i]))
      return false;
    converted += homeGross[i];
  }
  homeGross[largest] += homeTotal - converted;
  for (int i = 0; i < lineCount; ++i) {
    long long homeNet = homeGross[i];
    if (foreignNet[i] != foreignGross[i] && foreignGross[i] != 0 &&
        !ScaleCents(foreignNet[i], homeGross[i], foreignGross[i], &homeNet))
      return false;
    if (!AmountFromCents(layouts::FieldBytes(b, bat::kLine.In(i, line_::kGross)), homeGross[i]) ||
        !AmountFromCents(layouts::FieldBytes(b, bat::kLine.In(i, line_::kNet)), homeNet))
      return false;
  }
  return true;
}

// A line may leave the kind of an account open (0): it is looked up and
// written back, before anything counts on it. A number that is no account
// refuses the booking with message 799.
bool ResolveAccountKinds(void* b, int lineCount) {
  for (int i = 0; i < lineCount; ++i) {
    for (auto [account, kind] : {std::pair{line_::kDebitAccount, line_::kDebitKind},
                                 std::pair{line_::kCreditAccount, line_::kCreditKind}}) {
      const char* number = LineField(b, i, account);
      if (number[0] == '\0' || LineNumber(b, i, kind) != 0) continue;
      AccountKind found = kNoAccount;
      if (!LookUpAccount(number, found)) return false;
      if (found == kNoAccount) {
        ReportMissingAccount(number);
        return false;
      }
      layouts::SetNumber(b, bat::kLine.In(i, kind), found);
    }
  }
  return true;
}

// Step 9.4: journal flags of a line.
unsigned LineFlags(const Posting& p, int i) {
  unsigned flags = ModeBase();
  if (AmountIsNegative(LineField(p.booking, i, line_::kGross))) flags |= kNegativeGross;
  if (p.startsBooking && i == 0) flags |= kFirstOfBooking;
  if (p.lineCount > 1) {
    unsigned split = static_cast<unsigned>(layouts::GetNumber(p.booking, bat::kSplitKind));
    if (split == 0)
      split = SameAccount(LineField(p.booking, 0, line_::kDebitAccount),
                          LineField(p.booking, 1, line_::kDebitAccount))
                  ? kSplitOneToMany
                  : kSplitManyToOne;
    flags |= split;
    if (i == 0) flags += static_cast<unsigned>(p.records - 1) * kFurtherRecordsUnit;
  }
  return flags;
}

// Step 9.12: cost centres of a line.
bool PostLineCostCentres(const Posting& p, int i, Journal j) {
  int kind = static_cast<int>(LineNumber(p.booking, i, line_::kCostCentreKind));
  const char* cc1 = LineField(p.booking, i, line_::kCostCentre1);
  const char* cc2 = LineField(p.booking, i, line_::kCostCentre2);
  if (kind == 0 || (cc1[0] == '\0' && cc2[0] == '\0')) return true;
  layouts::SetRawText(j, bube::kCostCentre1, cc1);
  layouts::SetRawText(j, bube::kCostCentre2, cc2);
  int creditType = 0, debitType = 0;
  if (!SachkontoType(LineField(p.booking, i, line_::kCreditAccount), creditType)) return false;
  bool revenue = creditType == 8;
  if (revenue) {
    if (!SachkontoType(LineField(p.booking, i, line_::kDebitAccount), debitType)) return false;
    if (debitType == 8) {
      ShowMessage(kMessageCostCentresTwoPl);
      return false;
    }
  }
  layouts::SetNumber(j, bube::kCostCentreKind, kind + (revenue ? 32 : 0));
  const char* net = LineField(p.booking, i, line_::kNet);
  const char* date = Field(p.booking, bat::kVoucherDate);
  return PostCostCentre(cc1, date, net, revenue) && PostCostCentre(cc2, date, net, revenue);
}

// Step 9.14: the record on the receivables or payables collective account.
bool PostCollectiveRecord(Posting& p, unsigned lineFlags, const PostedLine& line,
                          const char* debitShort, const char* creditShort) {
  Journal j;
  NewJournal(j, p);
  char key[11];
  if (!NextJournalKey(p.postingDate, key)) return false;
  layouts::SetRawText(j, bube::kPostingKey, key);
  layouts::SetNumber(j, bube::kFlags, (lineFlags | kCollectiveRecord) & ~kFirstOfBooking);
  const char* debit = CollectiveAccountOf(line.debitKind);
  const char* credit = CollectiveAccountOf(line.creditKind);
  layouts::SetRawText(j, bube::kDebitAccount, debit);
  layouts::SetRawText(j, bube::kCreditAccount, credit);
  std::string text = std::string("SB ") + (line.creditKind == kSachkonto ? debitShort : creditShort);
  layouts::SetRawText(j, bube::kText, text);
  if (IsPersonal(line.debitKind)) layouts::SetRawText(j, bube::kDebitAmount, line.gross);
  if (IsPersonal(line.creditKind)) layouts::SetRawText(j, bube::kCreditAmount, line.gross);
  char shortCode[11] = "";
  if (debit[0]) {
    if (!UpdateAccountTotals(debit, kSachkonto, 0, line.gross, p.postingDate, shortCode, nullptr,
                             CountPosting(p, debit, key)))
      return false;
    layouts::SetRawText(j, bube::kDebitShortCode, shortCode);
  }
  if (credit[0]) {
    if (!UpdateAccountTotals(credit, kSachkonto, 1, line.gross, p.postingDate, shortCode, nullptr,
                             CountPosting(p, credit, key)))
      return false;
    layouts::SetRawText(j, bube::kCreditShortCode, shortCode);
  }
  return InsertJournal(j);
}

bool AddToReverseCharge(Posting& p, int i, int rateClass);

// A § 13b line whose invoice carries no tax: the Sachkonto that carries the
// net amount owes the tax, against a Kreditor or a Sachkonto (paid at once);
// never a sale to a Debitor.
bool OwesReverseCharge(const void* b, int i, const PostedLine& line) {
  if (RateClassOf(static_cast<int>(LineNumber(b, i, line_::kTaxClass))) != kReverseChargeRate) return false;
  bool netOnCredit = LineNumber(b, i, line_::kTaxSide) == 1;
  int netKind = netOnCredit ? line.creditKind : line.debitKind;
  int otherKind = netOnCredit ? line.debitKind : line.creditKind;
  return netKind == kSachkonto && otherKind != kDebitor;
}

// Step 9: one line.
bool PostLine(Posting& p, int i) {
  PostedLine& line = p.posted.lines[i];
  void* b = p.booking;
  CopyLimited(line.debit, LineField(b, i, line_::kDebitAccount), sizeof line.debit);
  CopyLimited(line.credit, LineField(b, i, line_::kCreditAccount), sizeof line.credit);
  line.debitKind = static_cast<int>(LineNumber(b, i, line_::kDebitKind));
  line.creditKind = static_cast<int>(LineNumber(b, i, line_::kCreditKind));

  // 9.1 Collective accounts are posted only through personal accounts.
  const MandantValues& m = CurrentMandant();
  for (const char* account : {line.debit, line.credit}) {
    if ((m.receivablesAccount[0] && SameAccount(account, m.receivablesAccount)) ||
        (m.payablesAccount[0] && SameAccount(account, m.payablesAccount))) {
      ShowMessage(kMessageCollectiveDirect);
      return false;
    }
  }
  Journal j;
  NewJournal(j, p);
  layouts::SetRawText(j, bube::kDebitAccount, line.debit);
  layouts::SetRawText(j, bube::kCreditAccount, line.credit);

  // 9.2 Foreign currency: the line posts the home-currency amount (turned
  // before the first line, see ConvertLinesToHome).
  const char* gross = LineField(b, i, line_::kGross);
  CopyLimited(line.gross, gross, sizeof line.gross);

  // 9.3 Amounts.
  const char* net = LineField(b, i, line_::kNet);
  int taxSide = static_cast<int>(LineNumber(b, i, line_::kTaxSide));
  CopyLimited(line.debitAmount, taxSide == 2 ? net : gross, sizeof line.debitAmount);
  CopyLimited(line.creditAmount, taxSide == 1 ? net : gross, sizeof line.creditAmount);
  AmountSubtract(line.taxAmount, gross, net);
  layouts::SetRawText(j, bube::kDebitAmount, line.debitAmount);
  layouts::SetRawText(j, bube::kCreditAmount, line.creditAmount);
  layouts::SetRawText(j, bube::kTaxAmount, line.taxAmount);

  // 9.4 Flags; 9.5 tax; 9.6 tax-side flags.
  unsigned flags = LineFlags(p, i);
  TaxResult tax;
  if (!ResolveTax(b, i, tax)) return false;
  unsigned taxFlags = 0;
  if (tax.taxed) {
    int rateClass = tax.classByte & 31;
    if (rateClass == kZeroRateClass) taxFlags = 1;
    else if (taxSide == 2) taxFlags = 2;
    else if (taxSide == 1) taxFlags = 4;
  }
  if (taxSide == 1) taxFlags |= 0x10;
  if (taxSide == 2) taxFlags |= 0x20;
  line.taxSideFlags = taxFlags;
  line.classByte = tax.taxed ? tax.classByte : 0;
  CopyLimited(line.taxAccount, tax.taxAccount, sizeof line.taxAccount);
  layouts::SetNumber(j, bube::kTaxSideFlags, taxFlags);
  layouts::SetNumber(j, bube::kTaxClass, line.classByte);
  layouts::SetRawText(j, bube::kTaxAccount, line.taxAccount);

  // 9.7 A tax amount needs a tax account.
  if (!AmountIsZero(line.taxAmount) && line.taxAccount[0] == '\0') {
    ShowMessage(Options().fromBatch ? kMessageBatchTaxMissing : kMessageTaxMissing);
    return false;
  }
  // Reverse charge (step 10) collects untaxed EG purchases from Kreditoren
  // and the untaxed § 13b purchases.
  if (!tax.taxed && LineNumber(b, i, line_::kTaxClass) == kEcRate &&
      line.debitKind == kSachkonto && line.creditKind == kKreditor && m.vatId[0] != '\0' &&
      !AddToReverseCharge(p, i, kEcRate))
    return false;
  if (!tax.taxed && OwesReverseCharge(b, i, line) && !AddToReverseCharge(p, i, kReverseChargeRate))
    return false;

  // 9.8 Key; 9.9 account totals; 9.10 tax account.
  if (!NextJournalKey(p.postingDate, line.journalKey)) return false;
  layouts::SetRawText(j, bube::kPostingKey, line.journalKey);
  char debitShort[11] = "", creditShort[11] = "", taxShort[11] = "";
  if (!UpdateAccountTotals(line.debit, line.debitKind, 0, line.debitAmount, p.postingDate, debitShort,
                           &line.debitType, true) ||
      !UpdateAccountTotals(line.credit, line.creditKind, 1, line.creditAmount, p.postingDate,
                           creditShort, &line.creditType, true))
    return false;
  layouts::SetRawText(j, bube::kDebitShortCode, debitShort);
  layouts::SetRawText(j, bube::kCreditShortCode, creditShort);
  if (line.taxAccount[0]) {
    int side = (taxFlags & 0x20) ? 0 : 1;
    if (!UpdateAccountTotals(line.taxAccount, kSachkonto, side, line.taxAmount, p.postingDate,
                             taxShort, nullptr, CountPosting(p, line.taxAccount, line.journalKey)))
      return false;
    layouts::SetRawText(j, bube::kTaxShortCode, taxShort);
  }

  // 9.11 Settlement of an open item.
  if (Field(b, bat::kSettlementReference)[0] != '\0') {
    layouts::SetRawText(j, bube::kSettlementReference, Field(b, bat::kSettlementReference));
    layouts::SetNumber(j, bube::kRequestByte, layouts::GetNumber(b, bat::kJournalByte));
    flags |= kSettlementPosting;
  }
  layouts::SetNumber(j, bube::kFlags, flags);
  layouts::SetNumber(j, bube::kLineByte, LineNumber(b, i, line_::kJournalByte));

  // 9.12 Cost centres; 9.13 the journal record.
  if (!PostLineCostCentres(p, i, j)) return false;
  if (!InsertJournal(j)) return false;
  if (i == 0 && p.postingNumber) *p.postingNumber = layouts::GetNumber(j, bube::kPostingNo);

  // 9.14 The collective-account record.
  if (WritesCollectiveRecord(line.debitKind, line.creditKind))
    return PostCollectiveRecord(p, flags, line, debitShort, creditShort);
  return true;
}

// The rate of an EG purchase: the EG rate of the account that carries the
// net amount when it is an EG account with a rate, else the standard rate
// in force before the document date's rates were set. A § 13b line takes
// the rate it carries (proposed from its account), else its account's own
// rate, else that standard rate.
bool EcRateOfLine(const Posting& p, int i, int rateClass, RateText rate) {
  int taxSide = static_cast<int>(LineNumber(p.booking, i, line_::kTaxSide));
  const char* lineRate = LineField(p.booking, i, line_::kRate);
  if (rateClass == kReverseChargeRate && lineRate[0] != '\0' && !AmountIsZero(lineRate)) {
    CopyLimited(rate, lineRate, sizeof(RateText));
    return true;
  }
  const char* netAccount =
      LineField(p.booking, i, taxSide == 1 ? line_::kCreditAccount : line_::kDebitAccount);
  CopyLimited(rate, p.standardBefore, sizeof(RateText));
  char account[layouts::sako::kLayout.recordLength];
  bool found = false;
  if (!ReadAccount(kSachkonto, netAccount, account, found)) return false;
  int taxKey = found ? static_cast<int>(layouts::GetNumber(account, layouts::sako::kTaxKey)) : 0;
  if (taxKey != 0 && RateClassOf(taxKey) == rateClass &&
      !AmountIsZero(layouts::FieldBytes(account, layouts::sako::kRate)))
    CopyLimited(rate, layouts::FieldBytes(account, layouts::sako::kRate), sizeof(RateText));
  return true;
}

// Adds an EG or § 13b line's gross amount to the sum of its class and rate.
// A § 13b line whose Sachkonto stands on the credit side (a discount or a
// credit note of the contractor) lowers the tax owed.
bool AddToReverseCharge(Posting& p, int i, int rateClass) {
  RateText rate;
  if (!EcRateOfLine(p, i, rateClass, rate)) return false;
  int k = 0;
  while (k < p.ecRates && (p.ecSums[k].rateClass != rateClass || std::strcmp(p.ecSums[k].rate, rate) != 0)) ++k;
  if (k == p.ecRates) {
    p.ecSums[k].rateClass = rateClass;
    CopyLimited(p.ecSums[p.ecRates++].rate, rate, sizeof(RateText));
  }
  AmountText gross;
  CopyLimited(gross, LineField(p.booking, i, line_::kGross), sizeof gross);
  if (rateClass == kReverseChargeRate && LineNumber(p.booking, i, line_::kTaxSide) == 1) AmountNegate(gross);
  if (!AmountAddInPlace(p.ecSums[k].sum, gross)) {
    ShowMessage(kMessageSumOverflow);
    return false;
  }
  p.ecSums[k].line = i;
  return true;
}

// Step 10: one reverse-charge record per class and rate: the tax of the
// rate's sum, from the input-tax to the output-tax account of the class's
// rate record (EG or § 13b).
bool PostReverseChargeOfRate(Posting& p, const Posting::EcSum& ec) {
  if (AmountIsZero(ec.sum)) return true;
  void* b = p.booking;
  AmountText tax;
  if (!AmountPercentOf(tax, ec.sum, ec.rate)) {
    long long cents = 0;
    ShowMessage(AmountToCents(ec.rate, &cents) ? kMessageSumOverflow : kMessageBadRate);
    return false;
  }

  // The record the line names, else the one valid at the document date.
  int index = static_cast<int>(LineNumber(b, ec.line, line_::kRateIndex)) & 0xFFFF;
  RateRecord record;
  bool named = false;
  if (!RateRecordByIndex(ec.rateClass, index, record, named)) return false;
  if (!named && !RateRecordAt(ec.rateClass, Field(b, bat::kVoucherDate), record, named)) return false;
  if (!named) {
    if (ec.rateClass == kReverseChargeRate) ReportMissingReverseChargeRate(Field(b, bat::kVoucherDate));
    return false;
  }

  Journal j;
  NewJournal(j, p);
  char key[11];
  if (!NextJournalKey(p.postingDate, key)) return false;
  layouts::SetRawText(j, bube::kPostingKey, key);
  layouts::SetNumber(j, bube::kFlags, kReclassification);
  layouts::SetRawText(j, bube::kDebitAccount, record.inputTaxAccount);
  layouts::SetRawText(j, bube::kCreditAccount, record.outputTaxAccount);
  layouts::SetRawText(j, bube::kDebitAmount, tax);
  layouts::SetRawText(j, bube::kCreditAmount, tax);
  PostedLine& posted = p.posted.reverseCharges[p.posted.reverseChargeCount++];
  posted = PostedLine{};
  CopyLimited(posted.debit, record.inputTaxAccount, sizeof posted.debit);
  CopyLimited(posted.credit, record.outputTaxAccount, sizeof posted.credit);
  posted.debitKind = posted.creditKind = kSachkonto;
  CopyLimited(posted.gross, tax, sizeof posted.gross);
  CopyLimited(posted.debitAmount, tax, sizeof posted.debitAmount);
  CopyLimited(posted.creditAmount, tax, sizeof posted.creditAmount);
  CopyLimited(posted.taxAmount, kZeroAmount, sizeof posted.taxAmount);
  CopyLimited(posted.journalKey, key, sizeof posted.journalKey);
  char debitShort[11] = "", creditShort[11] = "";
  if (!UpdateAccountTotals(posted.debit, kSachkonto, 0, tax, p.postingDate, debitShort,
                           &posted.debitType, true) ||
      !UpdateAccountTotals(posted.credit, kSachkonto, 1, tax, p.postingDate, creditShort,
                           &posted.creditType, true))
    return false;
  layouts::SetRawText(j, bube::kDebitShortCode, debitShort);
  layouts::SetRawText(j, bube::kCreditShortCode, creditShort);
  return InsertJournal(j);
}

bool PostReverseCharge(Posting& p) {
  for (int k = 0; k < p.ecRates; ++k)
    if (!PostReverseChargeOfRate(p, p.ecSums[k])) return false;
  return true;
}

bool TransferWanted(const void* booking) {
  return Field(booking, bat::kTransfer)[178] != '\0';
}

bool WantsOpenItems(const void* booking) { return layouts::GetNumber(booking, bat::kNoOpenItem) == 0; }

// Step 8: the journal records the booking writes.
int CountRecords(const Posting& p) {
  int records = p.lineCount;
  for (int i = 0; i < p.lineCount; ++i)
    if (WritesCollectiveRecord(static_cast<int>(LineNumber(p.booking, i, line_::kDebitKind)),
                               static_cast<int>(LineNumber(p.booking, i, line_::kCreditKind))))
      ++records;
  return records;
}

// Steps 6 to 13: everything that one transaction holds. A booking is always
// atomic: the transaction costs one commit, and a booking half in the books
// cannot be repaired by anyone (TRANSAUS in WIN.INI is read but not obeyed).
bool PostInTransaction(Posting& p, bool previousYear) {
  StoreTransaction transaction;
  if (!transaction.began()) return false;
  // 7. The chart of accounts must be there.
  char first[layouts::sako::kLayout.recordLength];
  if (!GetFirst(first, kSlotSako)) return false;
  // 8. Lines and records (kinds looked up and amounts in home currency first).
  if (!ResolveAccountKinds(p.booking, p.lineCount)) return false;
  for (int i = 0; i < p.lineCount; ++i)
    CopyLimited(p.posted.lines[i].foreignAmount, LineField(p.booking, i, line_::kGross),
                sizeof p.posted.lines[i].foreignAmount);
  if (Field(p.booking, bat::kCurrency)[0] != '\0' && !ConvertLinesToHome(p.booking, p.lineCount))
    return false;
  p.records = CountRecords(p);
  // 9. The lines; 10. reverse charge; 11. transfer.
  for (int i = 0; i < p.lineCount; ++i)
    if (!PostLine(p, i)) return false;
  if (!PostReverseCharge(p)) return false;
  if (TransferWanted(p.booking)) {
    char transfer[256];
    std::memcpy(transfer, Field(p.booking, bat::kTransfer), sizeof transfer);
    if (!Insert(transfer, kSlotUeberw)) return false;
  }
  // 12. Open items commit with the records, so that no crash leaves an
  // invoice without its open item (and the booking costs one durable commit,
  // not one more per open item). Their failure is shown (message 150) and
  // the booking stands all the same.
  p.posted.lineCount = p.lineCount;
  if (WantsOpenItems(p.booking)) CreateOpenItems(p.booking, p.posted);
  // 13. A previous-year booking moves the current year's opening figures in
  // the same transaction: no crash, lock timeout or missing account can
  // leave the booking in the old year without its carry-forward.
  if (previousYear &&
      (!SwitchWorkingYear(CurrentMandant().currentYear) || !CarryBookingForward(p.posted)))
    return false;
  return transaction.Commit();
}

}  // namespace

bool PostBooking(void* booking, bool startsBooking, long* postingNumber) {
  // 1. Posted already.
  if (layouts::GetNumber(booking, bat::kSkip) != 0) return true;
  Posting p;
  p.booking = booking;
  p.startsBooking = startsBooking;
  p.postingNumber = postingNumber;
  CopyLimited(p.postingDate, Field(booking, bat::kPostingDate), sizeof p.postingDate);
  p.lineCount = CountLines(booking);

  // 2. The posting date must lie in an open year; 3. select that year.
  const MandantValues& m = CurrentMandant();
  std::string year = p.postingDate[0] ? std::to_string(1980 + std::atoi(p.postingDate + 4)) : "";
  bool previousYear = m.previousYear[0] && year == m.previousYear;
  if (year.empty() || (year != m.currentYear && !previousYear)) {
    ShowMessage(kMessageOutsideYears);
    return false;
  }
  if (!SwitchWorkingYear(year)) return false;

  // 4. The transfer file; 5. the rates valid at the document date.
  bool transfer = TransferWanted(booking);
  if (transfer && !OpenSlot(kSlotUeberw)) return false;
  bool posted;
  {
    OpenItemFiles openItemFiles(previousYear);
    RatesInForceGuard keepRates;
    CopyLimited(p.standardBefore, CurrentRatesInForce().standard, sizeof p.standardBefore);
    RatesInForce(Field(booking, bat::kVoucherDate));
    posted = PostInTransaction(p, previousYear);
  }
  if (transfer) CloseSlot(kSlotUeberw);
  if (!posted) return false;

  // 14. Tell the dependent applications.
  if (Field(booking, bat::kSettlementReference)[0] == '\0' && Options().bookingListener)
    Options().bookingListener(booking);
  return true;
}

unsigned MissingDeductionAccounts(const void* booking) {
  if (layouts::GetNumber(booking, bat::kSkip) != 0 || !WantsOpenItems(booking)) return 0;
  bool allSet = true;
  for (const std::string& account : CurrentMandantSettings().ab)
    allSet = allSet && account.find_first_not_of(' ') != std::string::npos;
  if (allSet) return 0;
  // A copy: resolving kinds and tax writes into the record.
  char b[bat::kLayout.recordLength];
  std::memcpy(b, booking, sizeof b);
  PostedBooking posted;
  posted.lineCount = CountLines(b);
  // Lines the posting would refuse leave nothing to ask for.
  if (!ResolveAccountKinds(b, posted.lineCount)) return 0;
  RatesInForceGuard keepRates;
  RatesInForce(Field(b, bat::kVoucherDate));
  for (int i = 0; i < posted.lineCount; ++i) {
    PostedLine& line = posted.lines[i];
    CopyLimited(line.debit, LineField(b, i, line_::kDebitAccount), sizeof line.debit);
    CopyLimited(line.credit, LineField(b, i, line_::kCreditAccount), sizeof line.credit);
    line.debitKind = static_cast<int>(LineNumber(b, i, line_::kDebitKind));
    line.creditKind = static_cast<int>(LineNumber(b, i, line_::kCreditKind));
    CopyLimited(line.gross, LineField(b, i, line_::kGross), sizeof line.gross);
    TaxResult tax;
    if (!ResolveTax(b, i, tax)) return 0;
    line.classByte = tax.taxed ? tax.classByte : 0;
  }
  return posting::MissingDeductionAccounts(posted);
}

}  // namespace talvera
