#include "posting/split_booking.h"

#include <cstdlib>
#include <cstring>

#include "core/layouts/bat.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;

constexpr int kMessageTooManyLines = 143;
constexpr int kMessageSumsDiffer = 144;
constexpr int kMessageNoLines = 145;
constexpr int kMessageSameAccounts = 147;
constexpr int kMessageTaxWithoutRate = 193;
constexpr int kMessageTaxTooLarge = 196;
constexpr int kMessageNoDebit = 33;
constexpr int kMessageNoCredit = 35;
constexpr int kMessageBadRate = 15;
constexpr int kMessageBadAmount = 23;
constexpr int kMessageZeroAmount = 518;
constexpr int kMessagePersonalMix = 776;
constexpr int kLineBytes = 94;

bool IsPersonal(int kind) { return kind == kDebitor || kind == kKreditor; }

long long Cents(const char* amount) {
  long long c = 0;
  AmountToCents(amount, &c);
  return c;
}

}  // namespace

SplitBooking::SplitBooking(SplitKind kind, std::string fixedAccount, std::string fixedGross,
                           std::string documentDate, EntryContext context)
    : kind_(kind),
      fixedAccount_(std::move(fixedAccount)),
      fixedGross_(std::move(fixedGross)),
      documentDate_(std::move(documentDate)),
      context_(context),
      record_(bat::kLayout.recordLength) {
  layouts::InitRecord(bat::kLayout, record_.data());
}

CheckResult SplitBooking::CheckFixedAccount(AccountRef& fixed) const {
  bool fixedIsDebit = kind_ == SplitKind::kOneDebitManyCredit;
  int control = split_dialog::kFixedAccount;
  if (!ResolveAccountText(fixedAccount_, fixed)) return CheckResult::Refuse(0, control);
  if (!fixed.found()) return CheckResult::Refuse(fixedIsDebit ? kMessageNoDebit : kMessageNoCredit, control);
  return CheckResult::Pass();
}

CheckResult SplitBooking::AddLine(const SplitLineInput& in) {
  using namespace split_dialog;
  if (lines_ >= kMaxLines) return CheckResult::Refuse(kMessageTooManyLines, kAccount);
  AccountRef fixed, other;
  if (CheckResult r = CheckFixedAccount(fixed); !r) return r;
  bool fixedIsDebit = kind_ == SplitKind::kOneDebitManyCredit;
  if (!ResolveAccountText(in.account, other)) return CheckResult::Refuse(0, kAccount);
  if (!other.found()) return CheckResult::Refuse(fixedIsDebit ? kMessageNoCredit : kMessageNoDebit, kAccount);
  if (std::strcmp(fixed.number, other.number) == 0) return CheckResult::Refuse(kMessageSameAccounts, kAccount);
  const AccountRef& debit = fixedIsDebit ? fixed : other;
  const AccountRef& credit = fixedIsDebit ? other : fixed;

  // Amount, rate and tax: the missing one of gross and net is computed.
  AmountText amount, gross, net, tax;
  RateText rate;
  if (!ParseAmountText(in.amount, kAmountWidth, true, amount)) return CheckResult::Refuse(kMessageBadAmount, kAmount);
  if (AmountIsZero(amount)) return CheckResult::Refuse(kMessageZeroAmount, kAmount);
  TaxProposal proposal;
  if (!ProposeTax(debit, credit, documentDate_.c_str(), proposal)) return CheckResult::Refuse(0, kAccount);
  if (!ParseAmountText(in.rate.empty() ? std::string(proposal.rate) : in.rate, kRateWidth, false, rate))
    return CheckResult::Refuse(kMessageBadRate, kRate);
  bool taxTyped = in.tax.find_first_not_of(' ') != std::string::npos;
  std::strcpy(tax, kZeroAmount);
  if (taxTyped && !ParseAmountText(in.tax, kAmountWidth, true, tax)) return CheckResult::Refuse(kMessageBadAmount, kTax);
  // The invoice's own tax: none under a § 13b rate.
  const char* invoiceRate = RateSplitsGross(proposal.taxClass) ? rate : kZeroRate;
  if (AmountIsZero(invoiceRate) && !AmountIsZero(tax)) return CheckResult::Refuse(kMessageTaxWithoutRate, kTax);
  if (in.amountIsNet) {
    std::strcpy(net, amount);
    if (!taxTyped && !AmountPercentOf(tax, net, invoiceRate)) return CheckResult::Refuse(kMessageBadAmount, kAmount);
    if (!AmountAdd(gross, net, tax)) return CheckResult::Refuse(kMessageBadAmount, kAmount);
  } else {
    std::strcpy(gross, amount);
    if (!taxTyped && !SplitGross(gross, invoiceRate, net, tax)) return CheckResult::Refuse(kMessageBadAmount, kAmount);
    AmountSubtract(net, gross, tax);
  }
  if (std::llabs(Cents(tax)) > std::llabs(Cents(gross))) return CheckResult::Refuse(kMessageTaxTooLarge, kTax);

  // The line, checked like the single line of the entry dialog.
  std::vector<char> candidate = record_;
  void* b = candidate.data();
  int i = lines_;
  auto F = [i](const layouts::Field& f) { return bat::kLine.In(i, f); };
  layouts::SetRawText(b, F(line_::kDebitAccount), debit.number);
  layouts::SetRawText(b, F(line_::kCreditAccount), credit.number);
  layouts::SetNumber(b, F(line_::kDebitKind), debit.kind);
  layouts::SetNumber(b, F(line_::kCreditKind), credit.kind);
  layouts::SetRawText(b, F(line_::kGross), gross);
  layouts::SetRawText(b, F(line_::kNet), net);
  layouts::SetRawText(b, F(line_::kRate), rate);
  CheckResult r = CheckLineTax(b, i, proposal, documentDate_.c_str(), debit, credit, rate);
  if (r) r = CheckLineCostCentres(b, i, in.costCentre1, in.costCentre2, in.costCentreKind, context_, debit, credit);
  if (!r) {
    // The split dialog's own controls.
    if (r.control == buclau::kRate) r.control = kRate;
    if (r.control == buclau::kCostCentre1) r.control = kCostCentre1;
    if (r.control == buclau::kCostCentre2) r.control = kCostCentre2;
    return r;
  }
  record_ = std::move(candidate);
  ++lines_;
  Recount();
  return CheckResult::Pass();
}

bool SplitBooking::RemoveLine(int i) {
  if (i < 0 || i >= lines_) return false;
  char* first = layouts::FieldBytes(record_.data(), bat::kLine.At(0));
  std::memmove(first + i * kLineBytes, first + (i + 1) * kLineBytes,
               static_cast<std::size_t>(lines_ - i - 1) * kLineBytes);
  std::memset(first + (lines_ - 1) * kLineBytes, 0, kLineBytes);
  --lines_;
  Recount();
  return true;
}

void SplitBooking::Recount() {
  long long total = 0;
  for (int i = 0; i < lines_; ++i) total += Cents(layouts::FieldBytes(record_.data(), bat::kLine.In(i, line_::kGross)));
  AmountFromCents(sum_, total);
}

void SplitBooking::Remaining(char* out) const {
  AmountText fixed = "000000000,00";
  ParseAmountText(fixedGross_, kAmountWidth, true, fixed);
  AmountSubtract(out, fixed, sum_);
}

CheckResult SplitBooking::Finish(void* booking) {
  using namespace split_dialog;
  AccountRef fixed;
  if (CheckResult r = CheckFixedAccount(fixed); !r) return r;
  if (lines_ == 0) return CheckResult::Refuse(kMessageNoLines, kAccount);
  AmountText total;
  if (!ParseAmountText(fixedGross_, kAmountWidth, true, total)) return CheckResult::Refuse(kMessageBadAmount, kFixedGross);

  // The sums: a cent of rounding goes to a taxed line, whose tax grows by it.
  std::vector<char> lines = record_;
  long long difference = Cents(total) - Cents(sum_);
  if (difference != 0) {
    int chosen = -1;
    long long largest = 0;
    bool negativeTotal = AmountIsNegative(total);
    for (int i = 0; i < lines_; ++i) {
      const char* gross = layouts::FieldBytes(lines.data(), bat::kLine.In(i, line_::kGross));
      const char* net = layouts::FieldBytes(lines.data(), bat::kLine.In(i, line_::kNet));
      long long g = Cents(gross);
      if (g == Cents(net) || (g < 0) != negativeTotal) continue;
      if (chosen < 0 || std::llabs(g) > largest) {
        chosen = i;
        largest = std::llabs(g);
      }
    }
    if (std::llabs(difference) != 1 || chosen < 0) return CheckResult::Refuse(kMessageSumsDiffer, kAmount);
    char* gross = layouts::FieldBytes(lines.data(), bat::kLine.In(chosen, line_::kGross));
    AmountFromCents(gross, Cents(gross) + difference);
  }

  // Customers and vendors never together.
  bool debitor = fixed.kind == kDebitor, kreditor = fixed.kind == kKreditor;
  for (int i = 0; i < lines_; ++i) {
    int d = static_cast<int>(layouts::GetNumber(lines.data(), bat::kLine.In(i, line_::kDebitKind)));
    int c = static_cast<int>(layouts::GetNumber(lines.data(), bat::kLine.In(i, line_::kCreditKind)));
    debitor = debitor || d == kDebitor || c == kDebitor;
    kreditor = kreditor || d == kKreditor || c == kKreditor;
    if (IsPersonal(d) && d == c) return CheckResult::Refuse(kMessagePersonalMix, kAccount);
  }
  if (debitor && kreditor) return CheckResult::Refuse(kMessagePersonalMix, kAccount);

  std::memcpy(layouts::FieldBytes(booking, bat::kLine), layouts::FieldBytes(lines.data(), bat::kLine),
              static_cast<std::size_t>(bat::kLine.Span()));
  layouts::SetNumber(booking, bat::kSplitKind, static_cast<int>(kind_));
  return CheckResult::Pass();
}

}  // namespace talvera
