#include "posting/booking_checks.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/layouts/bat.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "posting/booking_currency.h"
#include "tax/tax_rates.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;
namespace sako = layouts::sako;
using namespace buclau;

constexpr int kMessageNoSpace = 28;
constexpr int kMessageBadDay = 6, kMessageBadMonth = 7, kMessageBadYear = 8;
constexpr int kMessageOutsideYears = 84;
constexpr int kMessageOutsideMonth = 158;
constexpr int kMessageClosingDate = 112;
constexpr int kMessageRequired = 22;
constexpr int kMessageBadRate = 15;
constexpr int kMessageBadAmount = 23;
constexpr int kMessageNoDebit = 33;
constexpr int kMessageNoCredit = 35;
constexpr int kMessageSameAccounts = 30;
constexpr int kMessageCollective = 770;
constexpr int kMessageZeroAmount = 518;
constexpr int kMessageChooseCurrency = 423;
constexpr int kMessageTaxSign = 197;
constexpr int kMessageTaxTooLarge = 196;
constexpr int kMessageNoTaxAccount = 92;
constexpr int kMessageNoReverseChargeRate = 794;
constexpr int kMessageNoCostCentre = 736;
constexpr int kMessageSameCostCentres = 526;
constexpr int kMessageCostCentreRequired = 750;

constexpr long long kMinFreeKilobytes = 100;
constexpr int kMaxListEntries = 5000;
constexpr int kTextWidth = 35;

layouts::Field L(const layouts::Field& f) { return bat::kLine.In(0, f); }

bool SameAccount(const char* a, const char* b) { return std::strncmp(a, b, kAccountNoWidth) == 0; }

bool IsCollective(const char* account) {
  const MandantValues& m = CurrentMandant();
  return (m.receivablesAccount[0] && SameAccount(account, m.receivablesAccount)) ||
         (m.payablesAccount[0] && SameAccount(account, m.payablesAccount));
}

// Text in the record's code page cut to `width` characters.
std::string CutText(const std::string& utf8, std::size_t width) {
  std::string cp = Utf8ToCp1252(utf8);
  if (cp.size() > width) cp.resize(width);
  return cp;
}

// The date: parsed, in an open year, and that year selected.
CheckResult CheckDate(const BookingDraft& draft, char* date) {
  CopyLimited(date, draft.documentDate.c_str(), 16);
  switch (ParseDate(date)) {
    case kDateOk: break;
    case kBadDay: return CheckResult::Refuse(kMessageBadDay, kDate);
    case kBadMonth: return CheckResult::Refuse(kMessageBadMonth, kDate);
    default: return CheckResult::Refuse(kMessageBadYear, kDate);
  }
  int year = YearOfDate(date);
  if (year == 0) return CheckResult::Refuse(kMessageOutsideYears, kDate);
  if (!SwitchWorkingYear(std::to_string(year))) return CheckResult::Refuse(0, kDate);
  return CheckResult::Pass();
}

// A refused posting month marks the text with the date the user typed, once.
void MarkLateDocument(BookingDraft& draft) {
  std::string mark = " v." + draft.documentDate;
  if (draft.text.find(mark) != std::string::npos) return;
  std::string cp = Utf8ToCp1252(draft.text);
  if (cp.size() >= static_cast<std::size_t>(kTextWidth) && cp.find(" v.") != std::string::npos) return;
  draft.text = Cp1252ToUtf8(CutText(draft.text + mark, kTextWidth));
}

// The last day of the fiscal year a date belongs to.
void LastDayOfYear(const char* date, char* out) {
  int yearIndex = (date[4] - '0') * 10 + (date[5] - '0');
  MakePeriodDate(out, DaysInPeriod(12, yearIndex), 12, yearIndex);
}

CheckResult CheckAccount(const std::string& typed, int control, int missingMessage, AccountRef& out) {
  if (typed.find_first_not_of(' ') == std::string::npos)
    return CheckResult::Refuse(kMessageRequired, control);
  if (!ResolveAccountText(typed, out)) return CheckResult::Refuse(0, control);
  if (!out.found()) return CheckResult::Refuse(missingMessage, control);
  return CheckResult::Pass();
}

// The class a typed rate stands for at the document date, as the engine
// will resolve it.
bool ClassOfRateAt(const char* rate, const char* date, int& rateClass) {
  RatesInForceGuard keep;
  if (!RatesInForce(date)) return false;
  const RatesInForceValue& r = CurrentRatesInForce();
  if (std::strcmp(rate, r.standard) == 0) rateClass = kStandardRate;
  else if (std::strcmp(rate, r.reduced) == 0) rateClass = kReducedRate;
  else if (AmountIsZero(rate)) rateClass = kZeroRateClass;
  else rateClass = kOtherRate;
  return true;
}

}  // namespace

CheckResult CheckLineTax(void* b, int i, const TaxProposal& proposal, const char* date,
                         const AccountRef& debit, const AccountRef& credit, const char* rate) {
  auto F = [i](const layouts::Field& f) { return bat::kLine.In(i, f); };
  int taxSide = proposal.taxSide;
  int rateClass = proposal.taxClass;
  int index = proposal.rateIndex;
  if (taxSide != 0 && rateClass != kEcRate && rateClass != kReverseChargeRate && !AmountIsZero(rate) &&
      (rateClass == 0 || std::strcmp(rate, proposal.rate) != 0)) {
    if (!ClassOfRateAt(rate, date, rateClass)) return CheckResult::Refuse(kMessageNoTaxAccount, kRate);
  }
  layouts::SetNumber(b, F(line_::kTaxSide), taxSide);
  layouts::SetNumber(b, F(line_::kTaxClass), rateClass);
  layouts::SetNumber(b, F(line_::kRateIndex), index);
  if (taxSide == 0 || rateClass == 0) return CheckResult::Pass();
  // A zero rate of a taxing class posts no tax; an EG line still needs its
  // rate record for the reverse charge, and so does a § 13b line, whose
  // invoice carries no tax whatever its rate.
  bool reverseCharge = rateClass == kReverseChargeRate;
  bool untaxed = reverseCharge ? std::strcmp(layouts::FieldBytes(b, F(line_::kGross)),
                                             layouts::FieldBytes(b, F(line_::kNet))) == 0
                               : AmountIsZero(rate) && rateClass != kZeroRateClass;
  if (untaxed && rateClass != kEcRate && !reverseCharge) return CheckResult::Pass();

  RateRecord record;
  if (rateClass != kZeroRateClass) {
    bool found = false;
    if (!RateRecordAt(rateClass, date, record, found)) return CheckResult::Refuse(kMessageNoTaxAccount, kRate);
    if (!found && reverseCharge) {
      char shown[11];
      FormatDate(date, shown, true);
      return CheckResult::Refuse(kMessageNoReverseChargeRate, kRate, shown);
    }
    if (!found) return CheckResult::Refuse(kMessageNoTaxAccount, kRate);
    layouts::SetNumber(b, F(line_::kRateIndex), record.index);
  }
  const AccountRef& net = taxSide == 2 ? debit : credit;
  std::vector<char> account;
  bool found = false;
  if (net.kind != kSachkonto || !ReadAccountRecord(net.number, kSachkonto, account, found) || !found)
    return CheckResult::Refuse(kMessageNoTaxAccount, kRate);
  if (rateClass == kZeroRateClass || untaxed) return CheckResult::Pass();

  // The list shows the tax account the engine will use.
  int taxKey = static_cast<int>(layouts::GetNumber(account.data(), sako::kTaxKey));
  bool customerToLedger = debit.kind == kDebitor && credit.kind == kSachkonto;
  const MandantValues& m = CurrentMandant();
  const char* taxAccount = record.outputTaxAccount;
  if (!customerToLedger && (taxKey & kInputTaxBit)) taxAccount = record.inputTaxAccount;
  else if (m.cashBasis && (debit.kind == kDebitor || credit.kind == kDebitor)) taxAccount = m.cashBasisAccount;
  layouts::SetRawText(b, F(line_::kListTaxAccount), taxAccount);
  return CheckResult::Pass();
}

CheckResult CheckLineCostCentres(void* b, int i, const std::string& typed1, const std::string& typed2,
                                 int kind, const EntryContext& context, const AccountRef& debit,
                                 const AccountRef& credit) {
  if (!context.costAccounting || context.mode == PostingMode::kReclassification)
    return CheckResult::Pass();
  char centre[2][kAccountNoWidth + 1] = {"", ""};
  const std::string* typed[2] = {&typed1, &typed2};
  const int controls[2] = {kCostCentre1, kCostCentre2};
  for (int c = 0; c < 2; ++c) {
    if (typed[c]->find_first_not_of(' ') == std::string::npos) continue;
    bool exists = false;
    if (!CostCentreExists(*typed[c], exists)) return CheckResult::Refuse(0, controls[c]);
    if (!exists) return CheckResult::Refuse(kMessageNoCostCentre, controls[c], *typed[c]);
    CopyLimited(centre[c], typed[c]->c_str() + typed[c]->find_first_not_of(' '), sizeof centre[c]);
    PadLeft(centre[c], kAccountNoWidth);
  }
  if (centre[0][0] && centre[1][0] && std::strcmp(centre[0], centre[1]) == 0)
    return CheckResult::Refuse(kMessageSameCostCentres, kCostCentre2);
  if (!centre[0][0] && !centre[1][0]) {
    if (!context.costCentreRequired) return CheckResult::Pass();
    for (const AccountRef* a : {&debit, &credit}) {
      if (a->kind != kSachkonto) continue;
      std::vector<char> r;
      bool found = false;
      if (ReadAccountRecord(a->number, kSachkonto, r, found) && found &&
          layouts::GetNumber(r.data(), sako::kAccountClass) == 8)
        return CheckResult::Refuse(kMessageCostCentreRequired, kCostCentre1);
    }
    return CheckResult::Pass();
  }
  layouts::SetRawText(b, bat::kLine.In(i, line_::kCostCentre1), centre[0]);
  layouts::SetRawText(b, bat::kLine.In(i, line_::kCostCentre2), centre[1]);
  layouts::SetNumber(b, bat::kLine.In(i, line_::kCostCentreKind), kind == 2 ? 2 : 1);
  return CheckResult::Pass();
}

namespace {

// Step 9: the single line of a booking without split.
CheckResult CheckLine(void* b, BookingDraft& draft, const EntryContext& context, const char* date) {
  AccountRef debit, credit;
  if (CheckResult r = CheckAccount(draft.debit, kDebit, kMessageNoDebit, debit); !r) return r;
  if (CheckResult r = CheckAccount(draft.credit, kCredit, kMessageNoCredit, credit); !r) return r;
  if (SameAccount(debit.number, credit.number))
    return CheckResult::Refuse(kMessageSameAccounts, kDebit);
  if (IsCollective(debit.number)) return CheckResult::Refuse(kMessageCollective, kDebit);
  if (IsCollective(credit.number)) return CheckResult::Refuse(kMessageCollective, kCredit);

  // The amount: in home currency, or the foreign amount converted at the
  // document date.
  AmountText gross;
  bool currency = draft.currencyEnabled;
  int amountControl = currency ? kForeignAmount : kGross;
  if (currency && draft.currency.find_first_not_of(' ') == std::string::npos)
    return CheckResult::Refuse(kMessageChooseCurrency, kCurrency);
  if (!ParseAmountText(currency ? draft.foreignAmount : draft.gross, kAmountWidth, true, gross))
    return CheckResult::Refuse(kMessageBadAmount, amountControl);
  if (AmountIsZero(gross)) return CheckResult::Refuse(kMessageZeroAmount, amountControl);
  if (currency) {
    AmountText home;
    std::string code = draft.currency.substr(draft.currency.find_first_not_of(' '));
    if (!ConvertToHome(code, date, gross, home)) return CheckResult::Refuse(0, kForeignAmount);
    layouts::SetText(b, bat::kCurrency, code);
    layouts::SetRawText(b, bat::kHomeAmount, home);
    AmountDisplayText shown;
    std::strcpy(shown, home);
    AmountFormat(shown);
    draft.homeAmount = shown;
  }

  // Rate and tax (none in a reclassification).
  RateText rate;
  AmountText tax, net;
  std::strcpy(rate, kZeroRate);
  std::strcpy(tax, kZeroAmount);
  bool reclassification = context.mode == PostingMode::kReclassification;
  if (!reclassification) {
    const std::string& typedRate = draft.rate.empty() ? std::string(draft.proposal.rate) : draft.rate;
    if (!ParseAmountText(typedRate, kRateWidth, false, rate))
      return CheckResult::Refuse(kMessageBadRate, kRate);
    if (!AmountIsZero(rate) && RateSplitsGross(draft.proposal.taxClass)) {
      if (draft.tax.find_first_not_of(' ') == std::string::npos) {
        if (!SplitGross(gross, rate, net, tax)) return CheckResult::Refuse(kMessageBadAmount, kTax);
      } else if (!ParseAmountText(draft.tax, kAmountWidth, true, tax)) {
        return CheckResult::Refuse(kMessageBadAmount, kTax);
      }
    }
    if (!AmountIsZero(tax) && AmountIsNegative(tax) != AmountIsNegative(gross))
      return CheckResult::Refuse(kMessageTaxSign, kTax);
    long long taxCents = 0, grossCents = 0;
    AmountToCents(tax, &taxCents);
    AmountToCents(gross, &grossCents);
    if ((taxCents < 0 ? -taxCents : taxCents) > (grossCents < 0 ? -grossCents : grossCents))
      return CheckResult::Refuse(kMessageTaxTooLarge, kTax);
  }
  AmountSubtract(net, gross, tax);

  layouts::SetRawText(b, L(line_::kDebitAccount), debit.number);
  layouts::SetRawText(b, L(line_::kCreditAccount), credit.number);
  layouts::SetNumber(b, L(line_::kDebitKind), debit.kind);
  layouts::SetNumber(b, L(line_::kCreditKind), credit.kind);
  layouts::SetRawText(b, L(line_::kGross), gross);
  layouts::SetRawText(b, L(line_::kNet), net);
  layouts::SetRawText(b, L(line_::kRate), rate);
  layouts::SetNumber(b, L(line_::kJournalByte), draft.journalByte);
  if (!reclassification) {
    if (CheckResult r = CheckLineTax(b, 0, draft.proposal, date, debit, credit, rate); !r) return r;
  }
  return CheckLineCostCentres(b, 0, draft.costCentre1, draft.costCentre2, draft.costCentreKind,
                              context, debit, credit);
}

}  // namespace

CheckResult CheckBooking(BookingDraft& draft, const EntryContext& context, void* b) {
  // 1. Room on the data drive and in the list.
  if (FreeDiskKilobytes(DataRoot()) <= kMinFreeKilobytes) return CheckResult::Refuse(kMessageNoSpace, 0);
  if (context.listEntries > kMaxListEntries) return CheckResult::Refuse(context.listFullMessage, 0);

  // 2. A split whose box is no longer checked is dropped.
  bool withSplit = draft.splitChecked && draft.split.size() == bat::kLayout.recordLength;
  if (withSplit) std::memcpy(b, draft.split.data(), bat::kLayout.recordLength);
  else layouts::InitRecord(bat::kLayout, b);
  draft.homeAmount.clear();

  // 3. Date; 4. posting lock; 5. posting month; 6. closing date.
  char date[16];
  if (CheckResult r = CheckDate(draft, date); !r) return r;
  if (context.checkLock) {
    if (CheckResult r = CheckPostingLock(date, context.lockAnswer, draft.documentNumber, kDate); !r)
      return r;
  }
  if (context.mode == PostingMode::kOrdinary && context.month.chosen() && !context.month.Holds(date)) {
    MarkLateDocument(draft);
    return CheckResult::Refuse(kMessageOutsideMonth, kDate);
  }
  if (context.mode == PostingMode::kClosing) {
    char last[7];
    LastDayOfYear(date, last);
    if (std::strcmp(date, last) != 0) {
      ShowMessage(kMessageClosingDate, kDate);
      std::strcpy(date, last);
      char shown[11];
      FormatDate(last, shown, false);
      draft.documentDate = shown;
    }
  }

  // 7. Dates and document number; 8. text.
  layouts::SetRawText(b, bat::kPostingDate, date);
  layouts::SetRawText(b, bat::kVoucherDate, date);
  if (draft.documentNumber.find_first_not_of(' ') == std::string::npos)
    return CheckResult::Refuse(kMessageRequired, kDocumentNumber);
  layouts::SetText(b, bat::kVoucherNo, draft.documentNumber);
  if (context.mode == PostingMode::kReclassification)
    layouts::SetRawText(b, bat::kText, "UB " + CutText(draft.text, kTextWidth - 3));
  else
    layouts::SetRawText(b, bat::kText, CutText(draft.text, kTextWidth));

  // 9. The line of a booking without split.
  if (withSplit) return CheckResult::Pass();
  return CheckLine(b, draft, context, date);
}

bool AddToControlTotal(char* total, const void* booking) {
  if (layouts::FieldBytes(booking, bat::kCurrency)[0] != '\0')
    return AmountAddInPlace(total, layouts::FieldBytes(booking, bat::kHomeAmount));
  for (int i = 0; i < bat::kLineCount; ++i) {
    if (layouts::FieldBytes(booking, bat::kLine.In(i, line_::kDebitAccount))[0] == '\0') break;
    if (!AmountAddInPlace(total, layouts::FieldBytes(booking, bat::kLine.In(i, line_::kGross)))) return false;
  }
  return true;
}

void ShowRefusal(const CheckResult& result) {
  if (result.passed) return;
  if (result.message == 0) {
    if (result.control) FocusControl(result.control);
  } else if (result.argument.empty()) {
    ShowMessage(result.message, result.control);
  } else {
    ShowMessage(result.message, result.control, std::string_view(result.argument));
  }
}

}  // namespace talvera
