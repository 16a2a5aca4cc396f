// Open items of a committed booking: every invoice and every payment of a
// Debitor or Kreditor appears on the account's open-item card.
#include <cstring>

#include "core/layouts/bank.h"
#include "core/layouts/bat.h"
#include "core/layouts/open_item.h"
#include "core/layouts/personal.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "posting/booking_lines.h"
#include "posting/posting_state.h"

namespace talvera::posting {
namespace {

namespace bat = layouts::bat;
namespace op = layouts::open_item;
namespace personal = layouts::personal;

struct OpenItemLine {
  int line;
  int personalKind;
  bool personalOnDebit;
  bool credit;
  const char* amount;  // home currency
};

bool IsPersonal(int kind) { return kind == kKreditor || kind == kDebitor; }

// Several lines of one invoice to one account become one open item.
bool Mergeable(const PostedBooking& p) {
  if (p.lineCount < 2) return false;
  for (int i = 0; i < p.lineCount; ++i) {
    const PostedLine& l = p.lines[i];
    if (l.classByte != p.lines[0].classByte) return false;
    if (l.debitKind == kSachkonto && l.creditKind == kSachkonto) return false;
    if (i == 0) continue;
    const PostedLine& prev = p.lines[i - 1];
    if (IsPersonal(l.debitKind) && std::strcmp(l.debit, prev.debit) != 0) return false;
    if (IsPersonal(l.creditKind) && std::strcmp(l.credit, prev.credit) != 0) return false;
  }
  return true;
}

// Which open item a line makes, if any.
bool OpenItemOf(const PostedLine& l, int i, const char* amount, OpenItemLine& out) {
  bool negative = AmountIsNegative(amount);
  bool positive = !negative && !AmountIsZero(amount);
  if (l.debitKind == kDebitor && l.creditKind == kSachkonto) out = {i, kDebitor, true, negative, amount};
  else if (l.debitKind == kSachkonto && l.creditKind == kDebitor) out = {i, kDebitor, false, positive, amount};
  else if (l.debitKind == kSachkonto && l.creditKind == kKreditor) out = {i, kKreditor, false, negative, amount};
  else if (l.debitKind == kKreditor && l.creditKind == kSachkonto) out = {i, kKreditor, true, positive, amount};
  else return false;
  return true;
}

void SignedMagnitude(char* out, const char* amount, bool credit) {
  std::memcpy(out, amount, kAmountWidth + 1);
  out[kAmountSignPos] = credit ? '-' : ',';
}

// The deduction account of the line's class: Kreditoren use the first three
// of the six accounts, Debitoren the last three; each three are zero/other,
// reduced and standard rate.
int DeductionIndex(int personalKind, int classByte) {
  int base = personalKind == kKreditor ? 0 : 3;
  int which = (classByte & 2) ? 2 : (classByte & 4) ? 1 : 0;
  return base + which;
}
const std::string& DeductionAccount(int personalKind, int classByte) {
  return CurrentMandantSettings().ab[DeductionIndex(personalKind, classByte)];
}
bool IsEmptyAccount(const std::string& account) { return account.find_first_not_of(' ') == std::string::npos; }

// The counter account when it is one of the Mandant's bank accounts, else
// the first bank account.
bool BankAccount(const char* counter, char* out) {
  namespace bank = layouts::bank;
  char r[bank::kLayout.recordLength];
  bool found = false;
  if (!GetEqual(r, KeyValue(counter, kAccountNoWidth + 1), found, kSlotBank)) return false;
  if (!found) {
    if (!GetFirstFound(r, found, kSlotBank)) return false;
    CloseSlot(kSlotBank);
  }
  out[0] = '\0';
  if (found) CopyLimited(out, layouts::FieldBytes(r, bank::kAccountNo), kAccountNoWidth + 1);
  return true;
}

int PaymentDays(int paymentDays, int discountDays) {
  if (paymentDays != 0) return paymentDays;
  return discountDays < 15 ? 14 : discountDays;
}

bool CreateOpenItem(const void* booking, const PostedLine& line, const OpenItemLine& item) {
  const char* accountNo = item.personalOnDebit ? line.debit : line.credit;
  const char* counter = item.personalOnDebit ? line.credit : line.debit;
  char account[personal::kLayout.recordLength];
  bool found = false;
  if (!ReadAccount(item.personalKind, accountNo, account, found) || !found) return false;
  int slot = item.personalKind == kDebitor ? kSlotOpdebi : kSlotOpkred;

  // The next number after the highest one of the file.
  char r[op::kLayout.recordLength];
  if (!GetLastFound(r, found, slot)) return false;
  long number = found ? layouts::GetNumber(r, op::kId) + 1 : 1;

  const std::string& deduction = DeductionAccount(item.personalKind, line.classByte);
  if (IsEmptyAccount(deduction)) {
    CloseSlot(slot);
    ShowMessage(kMessageDeductionAccounts);
    return false;
  }
  layouts::InitRecord(op::kLayout, r);
  layouts::SetNumber(r, op::kId, number);
  layouts::SetRawText(r, op::kAccountNo, accountNo);
  layouts::SetRawText(r, op::kShortCode, layouts::FieldBytes(account, personal::kShortCode));
  layouts::SetRawText(r, op::kVoucherNo, layouts::FieldBytes(booking, bat::kVoucherNo));
  layouts::SetRawText(r, op::kAccountName, layouts::FieldBytes(account, personal::kName));
  layouts::SetRawText(r, op::kPurpose, layouts::FieldBytes(booking, bat::kText));
  layouts::SetNumber(r, op::kCreditNote, item.credit ? 1 : 0);

  // Dates: value date, due date and discount date, year-first.
  const char* documentDate = layouts::FieldBytes(booking, bat::kVoucherDate);
  int discountDays = item.credit ? 0 : static_cast<int>(layouts::GetNumber(account, personal::kDiscountDays));
  int paymentDays = item.credit ? 0
                                : PaymentDays(static_cast<int>(layouts::GetNumber(account, personal::kPaymentDays)),
                                              discountDays);
  PeriodDate value, due, discount;
  CopyLimited(value, documentDate, sizeof value);
  if (!AddDays(documentDate, paymentDays, due)) CopyLimited(due, documentDate, sizeof due);
  if (!AddDays(documentDate, discountDays, discount)) CopyLimited(discount, documentDate, sizeof discount);
  for (char* d : {value, due, discount}) ToSortDate(d);
  layouts::SetRawText(r, op::kValueDate, value);
  layouts::SetRawText(r, op::kDueDate, due);
  layouts::SetRawText(r, op::kDiscountDate, discount);

  // Amounts: the home-currency amount, the foreign one beside it.
  AmountText amount;
  SignedMagnitude(amount, item.amount, item.credit);
  const char* currency = layouts::FieldBytes(booking, bat::kCurrency);
  if (currency[0]) {
    AmountText foreign;
    SignedMagnitude(foreign, line.foreignAmount, item.credit);
    layouts::SetRawText(r, op::kCurrency, currency);
    layouts::SetRawText(r, op::kCurrencyAmount, foreign);
  }
  for (const layouts::Field& f : {op::kAmount, op::kOutstanding, op::kRemainder})
    layouts::SetRawText(r, f, amount);
  layouts::SetRawText(r, op::kTaxRate, layouts::FieldBytes(booking, bat::kLine.In(item.line, layouts::bat_line::kRate)));
  layouts::SetRawText(r, op::kDiscountAccount, deduction);
  char bank[kAccountNoWidth + 1];
  if (!BankAccount(counter, bank)) return false;
  layouts::SetRawText(r, op::kBankAccount, bank);

  const char* percent = layouts::FieldBytes(account, personal::kDiscountPercent);
  layouts::SetRawText(r, op::kDiscountPercent, percent[0] ? percent : kZeroRate);
  layouts::SetNumber(r, op::kDiscountDays, discountDays);
  layouts::SetNumber(r, op::kPaymentDays, paymentDays);
  if (percent[0] && !AmountIsZero(percent) && discountDays != paymentDays) {
    AmountText discountAmount;
    if (AmountPercentOf(discountAmount, amount, percent))
      layouts::SetRawText(r, op::kDiscountAmount, discountAmount);
  }
  bool dunnable = !item.credit && layouts::GetNumber(account, personal::kDunningKey) != -1;
  layouts::SetNumber(r, op::kDunningLevel, dunnable ? 0 : -1);
  layouts::SetNumber(r, op::kReminder2Days, CurrentSettings().mahn2);
  layouts::SetNumber(r, op::kReminder3Days, CurrentSettings().mahn3);
  // The journal key of the line, so that a storno finds its open items.
  std::memcpy(layouts::FieldBytes(r, op::kSettlementData), line.journalKey, 10);

  bool ok = Insert(r, slot);
  CloseSlot(slot);
  return ok;
}

}  // namespace

bool CreateOpenItemOfLine(const void* booking, const PostedLine& line, int lineIndex, int personalKind,
                          bool personalOnDebit, bool credit, const char* amount) {
  return CreateOpenItem(booking, line, {lineIndex, personalKind, personalOnDebit, credit, amount});
}

unsigned MissingDeductionAccounts(const PostedBooking& posted) {
  bool merged = Mergeable(posted);
  AmountText sum = "000000000,00";
  if (merged)
    for (int i = 0; i < posted.lineCount; ++i) AmountAddInPlace(sum, posted.lines[i].gross);
  unsigned missing = 0;
  int lines = merged ? 1 : posted.lineCount;
  for (int i = 0; i < lines; ++i) {
    const PostedLine& line = posted.lines[i];
    OpenItemLine item;
    if (!OpenItemOf(line, i, merged ? sum : line.gross, item)) continue;
    int index = DeductionIndex(item.personalKind, line.classByte);
    if (IsEmptyAccount(CurrentMandantSettings().ab[index])) missing |= 1u << index;
  }
  return missing;
}

bool CreateOpenItems(void* booking, const PostedBooking& posted) {
  bool merged = Mergeable(posted);
  AmountText sum = "000000000,00";
  if (merged)
    for (int i = 0; i < posted.lineCount; ++i) AmountAddInPlace(sum, posted.lines[i].gross);
  int lines = merged ? 1 : posted.lineCount;
  for (int i = 0; i < lines; ++i) {
    const PostedLine& line = posted.lines[i];
    OpenItemLine item;
    if (!OpenItemOf(line, i, merged ? sum : line.gross, item)) continue;
    if (!CreateOpenItem(booking, line, item)) {
      ShowMessage(kMessageOpenItemsFailed);
      return false;
    }
  }
  return true;
}

}  // namespace talvera::posting
