#include "posting/booking_draft.h"

#include <cstring>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/layouts/account_balance.h"
#include "core/layouts/bat.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/period_date.h"
#include "core/today.h"

namespace talvera {

bool ParseAmountText(const std::string& typed, int width, bool allowSign, char* out) {
  char buffer[48];
  if (typed.size() >= sizeof buffer - 1) return false;
  std::strcpy(buffer, typed.c_str());
  if (!AmountParse(buffer, width, allowSign)) return false;
  // A negative zero is stored as zero.
  if (AmountIsZero(buffer)) buffer[width - 3] = ',';
  CopyLimited(out, buffer, static_cast<std::size_t>(width) + 1);
  return true;
}

bool ProposeDraftTax(BookingDraft& draft, AccountRef& debit, AccountRef& credit) {
  if (!ResolveAccountText(draft.debit, debit) || !ResolveAccountText(draft.credit, credit))
    return false;
  char date[16];
  CopyLimited(date, draft.documentDate.empty() ? DayToday().text : draft.documentDate.c_str(),
              sizeof date);
  if (ParseDate(date) != kDateOk) {
    CopyLimited(date, DayToday().text, sizeof date);
    ParseDate(date);
  }
  return ProposeTax(debit, credit, date, draft.proposal);
}

namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;
namespace sako = layouts::sako;
namespace personal = layouts::personal;

bool IsPersonal(int kind) { return kind == kDebitor || kind == kKreditor; }

std::string Trimmed(const char* text) {
  std::string s(text);
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

std::string Shown(const char* amount) {
  AmountDisplayText shown;
  CopyLimited(shown, amount, sizeof shown);
  AmountFormatQuiet(shown);
  return shown;
}

// Reads a found account's record and its balance for display.
bool Display(const AccountRef& a, std::vector<char>& record, AccountDisplay& out) {
  out = AccountDisplay{};
  out.account = a;
  record.clear();
  if (!a.found()) return true;
  bool found = false;
  if (!ReadAccountRecord(a.number, a.kind, record, found)) return false;
  if (!found) return true;
  AmountText balance;
  char side = 0;
  if (layouts::AccountBalance(record.data(), a.kind, balance, &side))
    out.balance = Shown(balance) + " " + side;
  return true;
}

}  // namespace

bool EvaluateDraftAccounts(BookingDraft& draft, const EvaluationOptions& options,
                           AccountDisplay& debit, AccountDisplay& credit) {
  AccountRef d, c;
  if (!ResolveAccountText(draft.debit, d) || !ResolveAccountText(draft.credit, c)) return false;
  std::vector<char> debitRecord, creditRecord;
  if (!Display(d, debitRecord, debit) || !Display(c, creditRecord, credit)) return false;

  // A customer or vendor: counter account, currency, text.
  draft.currencyEnabled = false;
  for (int side = 0; side < 2; ++side) {
    const AccountDisplay& person = side == 0 ? debit : credit;
    const std::vector<char>& r = side == 0 ? debitRecord : creditRecord;
    if (!IsPersonal(person.account.kind) || r.empty()) continue;
    std::string& other = side == 0 ? draft.credit : draft.debit;
    std::string counter = Trimmed(layouts::FieldBytes(r.data(), personal::kCounterAccount));
    if (other.find_first_not_of(' ') == std::string::npos && !counter.empty()) {
      other = counter;
      AccountRef found;
      std::vector<char> otherRecord;
      if (!ResolveAccountText(other, found) || !Display(found, otherRecord, side == 0 ? credit : debit))
        return false;
    }
    std::string currency = layouts::GetText(r.data(), personal::kCurrency);
    if (!currency.empty()) {
      draft.currencyEnabled = true;
      if (draft.currency.empty()) draft.currency = currency;
    }
    if (options.textFromName) draft.text = person.account.name;
  }

  // A Sachkonto's cost centres, when none are typed.
  bool noCostCentres = draft.costCentre1.find_first_not_of(' ') == std::string::npos &&
                       draft.costCentre2.find_first_not_of(' ') == std::string::npos;
  for (int side = 0; side < 2 && options.costAccounting && noCostCentres; ++side) {
    const AccountDisplay& ledger = side == 0 ? debit : credit;
    const std::vector<char>& r = side == 0 ? debitRecord : creditRecord;
    if (ledger.account.kind != kSachkonto || r.empty()) continue;
    std::string cc1 = Trimmed(layouts::FieldBytes(r.data(), sako::kCostCentre1));
    std::string cc2 = Trimmed(layouts::FieldBytes(r.data(), sako::kCostCentre2));
    if (cc1.empty() && cc2.empty()) continue;
    draft.costCentre1 = cc1;
    draft.costCentre2 = cc2;
    draft.costCentreKind = layouts::GetNumber(r.data(), sako::kCostBehaviour) == 2 ? 2 : 1;
    noCostCentres = false;
  }
  AccountRef taxDebit, taxCredit;
  return ProposeDraftTax(draft, taxDebit, taxCredit);
}

BookingDraft DraftFromBooking(const void* b) {
  BookingDraft d;
  char date[11];
  FormatDate(layouts::FieldBytes(b, bat::kVoucherDate), date, false);
  d.documentDate = date;
  d.documentNumber = layouts::GetText(b, bat::kVoucherNo);
  d.text = layouts::GetText(b, bat::kText);
  auto F = [](int i, const layouts::Field& f) { return bat::kLine.In(i, f); };
  d.debit = Trimmed(layouts::FieldBytes(b, F(0, line_::kDebitAccount)));
  d.credit = Trimmed(layouts::FieldBytes(b, F(0, line_::kCreditAccount)));
  int lines = 0;
  long long gross = 0;
  while (lines < bat::kLineCount && layouts::FieldBytes(b, F(lines, line_::kDebitAccount))[0] != '\0') {
    long long cents = 0;
    AmountToCents(layouts::FieldBytes(b, F(lines, line_::kGross)), &cents);
    gross += cents;
    ++lines;
  }
  AmountText sum;
  AmountFromCents(sum, gross);
  std::string code = layouts::GetText(b, bat::kCurrency);
  if (!code.empty()) {
    d.currencyEnabled = true;
    d.currency = code;
    d.foreignAmount = Shown(sum);
    d.gross = Shown(layouts::FieldBytes(b, bat::kHomeAmount));
  } else {
    d.gross = Shown(sum);
  }
  d.proposal.taxSide = static_cast<int>(layouts::GetNumber(b, F(0, line_::kTaxSide)));
  d.proposal.taxClass = static_cast<int>(layouts::GetNumber(b, F(0, line_::kTaxClass))) & 0xBF;
  d.proposal.rateIndex = static_cast<int>(layouts::GetNumber(b, F(0, line_::kRateIndex)));
  CopyLimited(d.proposal.rate, layouts::FieldBytes(b, F(0, line_::kRate)), sizeof d.proposal.rate);
  d.proposal.rateEnabled = d.proposal.taxSide != 0;
  if (lines == 1) {
    d.rate = RateForDisplay(layouts::FieldBytes(b, F(0, line_::kRate)));
    AmountText tax;
    AmountSubtract(tax, layouts::FieldBytes(b, F(0, line_::kGross)), layouts::FieldBytes(b, F(0, line_::kNet)));
    d.tax = AmountIsZero(tax) ? std::string() : Shown(tax);
  }
  d.costCentre1 = Trimmed(layouts::FieldBytes(b, F(0, line_::kCostCentre1)));
  d.costCentre2 = Trimmed(layouts::FieldBytes(b, F(0, line_::kCostCentre2)));
  d.costCentreKind = layouts::GetNumber(b, F(0, line_::kCostCentreKind)) == 2 ? 2 : 1;
  d.journalByte = static_cast<int>(layouts::GetNumber(b, F(0, line_::kJournalByte)));
  if (lines > 1) {
    const char* bytes = static_cast<const char*>(b);
    d.split.assign(bytes, bytes + bat::kLayout.recordLength);
    d.splitChecked = true;
  }
  return d;
}

}  // namespace talvera
