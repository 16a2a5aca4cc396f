#include "tax/ustva_computation.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "core/amount.h"
#include "core/journal_range.h"
#include "core/layouts/bube.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "tax/tax_rates.h"

namespace talvera {
namespace {

namespace sako = layouts::sako;
namespace bube = layouts::bube;

constexpr unsigned kReclassificationFlag = 0x10;
constexpr unsigned kCollectiveRecord = 0x8;
constexpr unsigned kFirstOfBooking = 0x40;
constexpr int kInputTaxBit = 32;
constexpr int kOtherTarget = 0;  // the cash-basis target for every other class

using Months = std::array<long long, 13>;  // index 1..12: fiscal periods

// A journal record kept for a later pass.
struct Record {
  char bytes[bube::kLayout.recordLength];
};

long long Cents(const char* amountText) {
  long long c = 0;
  return AmountToCents(amountText, &c) ? c : 0;
}

std::string Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return std::string(s);
}

// Opens a main file for a pass and closes it afterwards when it was closed.
class SlotUse {
 public:
  explicit SlotUse(int slot) : slot_(slot), wasOpen_(IsSlotOpen(slot)) {}
  ~SlotUse() {
    if (!wasOpen_) CloseSlot(slot_);
  }

 private:
  int slot_;
  bool wasOpen_;
};

class Computation {
  struct BaseAccount {
    const UstvaLine* line;
    int rateClass;     // of the account's tax key
    std::string rate;  // the account's own rate
  };
  struct BookingBase {
    const BaseAccount* account;
    long long amount;  // debit positive
  };

 public:
  Computation(const UstvaPeriod& period, const UstvaBooks& books, UstvaReturn& out)
      : period_(period), books_(books), out_(out), form_(*out.form) {}

  bool Run() {
    if (!AccountPass()) return false;
    if (!baseAccounts_.empty() && !ReverseChargeAccounts()) return false;
    if (books_.cashBasis) {
      if (!JournalPass()) return false;
    } else if ((!taxAccounts_.empty() || !reverseChargePairs_.empty()) && !TaxAccountPass()) {
      return false;
    }
    if (!Amounts()) return false;
    SumUpUstva(out_);
    return true;
  }

 private:
  int Year() const { return period_.endYear; }

  bool AccountPass() {
    SlotUse use(kSlotSako);
    char r[sako::kLayout.recordLength];
    bool found = false;
    bool ok = GetFirstFound(r, found, MakeFileId(kSlotSako, 0));
    for (; ok && found; ok = GetNextFound(r, found, MakeFileId(kSlotSako, 0))) {
      int key = static_cast<int>(layouts::GetNumber(r, sako::kUstvaKey));
      if (key == 0) continue;
      int taxKey = static_cast<int>(layouts::GetNumber(r, sako::kTaxKey));
      std::string account = layouts::FieldBytes(r, sako::kAccountNo);
      int todays = form_.country == "DE" ? TodaysKennzahl(key, taxKey) : key;
      const UstvaLine* line = form_.LineForAccountKey(todays, Year());
      if (!line) {
        // Named in the list only when it has amounts in the period: a chart
        // of today carries Kennzahlen an older form does not know.
        if (MovedInPeriod(r)) out_.skipped.push_back({account, key});
        continue;
      }
      if (line->kz == form_.specialPrepaymentKz) {
        // Paid in the year (usually February), credited only by choice.
        for (int p = 1; p <= period_.lastPeriod; ++p)
          out_.specialPrepaymentBooked += Cents(layouts::FieldBytes(r, sako::kPeriodDebit.At(p - 1)));
        continue;
      }
      if (line->IsTax()) taxAccounts_[Trimmed(account)] = line->kz;
      if (line->kind == UstvaKind::kTurnover || line->kind == UstvaKind::kBaseWithTax)
        baseAccounts_[Trimmed(account)] = {line, taxKey ? RateClassOf(taxKey) : 0,
                                           Trimmed(layouts::FieldBytes(r, sako::kRate))};
      if (books_.cashBasis && line->fromPostingsOnCashBasis) continue;
      Months& m = raw_[line->kz];
      for (int p = period_.firstPeriod; p <= period_.lastPeriod; ++p)
        m[p] += Cents(layouts::FieldBytes(r, sako::kPeriodCredit.At(p - 1))) -
                Cents(layouts::FieldBytes(r, sako::kPeriodDebit.At(p - 1)));
    }
    return ok;
  }

  bool MovedInPeriod(const char* r) const {
    for (int p = period_.firstPeriod; p <= period_.lastPeriod; ++p)
      if (Cents(layouts::FieldBytes(r, sako::kPeriodCredit.At(p - 1))) != 0 ||
          Cents(layouts::FieldBytes(r, sako::kPeriodDebit.At(p - 1))) != 0)
        return true;
    return false;
  }

  // Under cash-basis taxation every posting whose tax became due counts, so
  // the whole period is read in key order.
  bool JournalPass() {
    SlotUse use(kSlotBube);
    char r[bube::kLayout.recordLength];
    char first[11], last[11];
    char base[3] = {period_.yearStart[4], period_.yearStart[5], '\0'};
    bool any = PeriodKeyRange(base, period_.selector, "01", first, last, r);
    if (!any) return LastStatus() == 0 || LastStatus() == 4 || LastStatus() == 9;
    bool found = true, ok = true;
    for (; ok && found; ok = GetNextFound(r, found, MakeFileId(kSlotBube, 0))) {
      const char* key = layouts::FieldBytes(r, bube::kPostingKey);
      if (std::strncmp(key, last, 10) > 0) break;
      int p = (key[2] - '0') * 10 + (key[3] - '0');
      if (p < period_.firstPeriod || p > period_.lastPeriod) continue;
      Posting(r, p);
    }
    return ok;
  }

  // Without cash-basis taxation only records that name a tax account as
  // debit or credit count: reclassifications and reverse charges. They are
  // read through the journal's debit and credit keys, account by account,
  // so the return does not read the period's other postings; the figures
  // are those of a reading of the whole period in key order.
  bool TaxAccountPass() {
    SlotUse use(kSlotBube);
    char lo[11], hi[11];
    std::snprintf(lo, sizeof lo, "%.2s%02d000000", period_.yearStart + 4, period_.firstPeriod);
    std::snprintf(hi, sizeof hi, "%.2s%02d999999", period_.yearStart + 4, period_.lastPeriod);
    std::set<std::string> debits, credits;
    for (const auto& entry : taxAccounts_) {
      debits.insert(entry.first);
      credits.insert(entry.first);
    }
    for (const auto& entry : reverseChargePairs_) debits.insert(entry.first.first);
    // By journal key: key order, and a record between two tax accounts once.
    std::map<std::string, Record> records;
    for (const std::string& account : debits)
      if (!ReadByAccount(1, bube::kDebitAccount, account, lo, hi, records)) return false;
    for (const std::string& account : credits)
      if (!ReadByAccount(2, bube::kCreditAccount, account, lo, hi, records)) return false;
    for (const auto& [key, record] : records) {
      const char* r = record.bytes;
      int p = (key[2] - '0') * 10 + (key[3] - '0');
      unsigned flags = static_cast<unsigned>(layouts::GetNumber(r, bube::kFlags));
      if (int rateClass = ReverseChargeClass(r, flags)) {
        if (!BasesBefore(key.c_str(), lo)) return false;
        ReverseChargePosting(r, p, rateClass);
      } else {
        Reclassification(r, p, flags);
      }
    }
    return true;
  }

  // The reclassifications of the period among the records that name the
  // account on one side (key 1 debit, key 2 credit).
  bool ReadByAccount(int keyNumber, const layouts::Field& side, const std::string& account,
                     const char* lo, const char* hi, std::map<std::string, Record>& out) {
    FileId id = MakeFileId(kSlotBube, keyNumber);
    char number[kAccountNoWidth + 1];
    std::snprintf(number, sizeof number, "%*s", kAccountNoWidth, account.c_str());
    Record record;
    char* r = record.bytes;
    bool found = false;
    bool ok = GetGreaterOrEqualFound(r, KeyValue(number, kAccountNoWidth + 1), found, id);
    for (; ok && found && Trimmed(layouts::FieldBytes(r, side)) == account; ok = GetNextFound(r, found, id)) {
      if (!(layouts::GetNumber(r, bube::kFlags) & kReclassificationFlag)) continue;
      const char* key = layouts::FieldBytes(r, bube::kPostingKey);
      if (std::strncmp(key, lo, 10) < 0 || std::strncmp(key, hi, 10) > 0) continue;
      out.emplace(std::string(key, 10), record);
    }
    return ok;
  }

  // The bases a reverse charge follows, as a reading in key order collects
  // them: the base lines of the records before it, back to the record that
  // starts its booking or the first one after an earlier charge, within the
  // period. Charges right before it (other rates of the same booking) share
  // its bases.
  bool BasesBefore(const char* chargeKey, const char* lo) {
    bookingBases_.clear();
    FileId byKey = MakeFileId(kSlotBube, 0);
    char r[bube::kLayout.recordLength];
    bool found = false;
    if (!GetEqual(r, KeyValue(chargeKey, 10), found, byKey)) return false;
    bool chargesBefore = true;
    while (found) {
      if (!GetPreviousFound(r, found, byKey)) return false;
      if (!found || std::strncmp(layouts::FieldBytes(r, bube::kPostingKey), lo, 10) < 0) break;
      unsigned flags = static_cast<unsigned>(layouts::GetNumber(r, bube::kFlags));
      if (ReverseChargeClass(r, flags)) {
        if (chargesBefore) continue;
        break;
      }
      chargesBefore = false;
      std::vector<BookingBase> ofRecord;
      BasesOfRecord(r, flags, ofRecord);
      bookingBases_.insert(bookingBases_.begin(), ofRecord.begin(), ofRecord.end());
      if (flags & kFirstOfBooking) break;
    }
    return true;
  }

  // The input-tax and output-tax accounts of the EG and § 13b rate records:
  // a record the engine writes between them is a reverse charge of that class.
  bool ReverseChargeAccounts() {
    for (int rateClass : {kEcRate, kReverseChargeRate}) {
      std::vector<RateRecord> records;
      if (!ListRateRecords(rateClass, records)) return false;
      for (const RateRecord& r : records)
        reverseChargePairs_.insert({{Trimmed(r.inputTaxAccount), Trimmed(r.outputTaxAccount)}, rateClass});
    }
    return true;
  }

  // The class of a reverse-charge record; 0 for any other record.
  int ReverseChargeClass(const char* r, unsigned flags) const {
    if (flags != kReclassificationFlag || layouts::FieldBytes(r, bube::kTaxAccount)[0] != '\0') return 0;
    auto it = reverseChargePairs_.find({Trimmed(layouts::FieldBytes(r, bube::kDebitAccount)),
                                        Trimmed(layouts::FieldBytes(r, bube::kCreditAccount))});
    return it == reverseChargePairs_.end() ? 0 : it->second;
  }

  // The lines of the booking a reverse charge follows: their accounts that
  // carry a base Kennzahl, with the amount on that side.
  void NoteBase(const char* r, unsigned flags) {
    if (afterCharge_ || (flags & kFirstOfBooking)) bookingBases_.clear();
    afterCharge_ = false;
    BasesOfRecord(r, flags, bookingBases_);
  }

  // The record's sides on accounts that carry a base Kennzahl.
  void BasesOfRecord(const char* r, unsigned flags, std::vector<BookingBase>& out) const {
    if (flags & kCollectiveRecord) return;
    auto debit = baseAccounts_.find(Trimmed(layouts::FieldBytes(r, bube::kDebitAccount)));
    if (debit != baseAccounts_.end())
      out.push_back({&debit->second, Cents(layouts::FieldBytes(r, bube::kDebitAmount))});
    auto credit = baseAccounts_.find(Trimmed(layouts::FieldBytes(r, bube::kCreditAccount)));
    if (credit != baseAccounts_.end())
      out.push_back({&credit->second, -Cents(layouts::FieldBytes(r, bube::kCreditAmount))});
  }

  // The bases a charge was computed on: the booking's bases of its class,
  // narrowed to those of one rate when that rate gives the charge exactly
  // (one booking may hold several rates, each with its own charge).
  std::vector<const BookingBase*> BasesOfCharge(int rateClass, long long tax) const {
    std::vector<const BookingBase*> ofClass;
    for (const BookingBase& b : bookingBases_)
      if (b.account->rateClass == rateClass) ofClass.push_back(&b);
    std::map<std::string, long long> byRate;
    for (const BookingBase* b : ofClass) byRate[b->account->rate] += b->amount;
    for (const auto& [rate, base] : byRate) {
      if (rate.empty() || TaxOfBase(base, rate) != tax) continue;
      std::vector<const BookingBase*> ofRate;
      for (const BookingBase* b : ofClass)
        if (b->account->rate == rate) ofRate.push_back(b);
      return ofRate;
    }
    return ofClass;
  }

  // A reverse charge is no reclassification: its input tax counts as booked.
  // Its output tax belongs to the base it was charged on: a base whose tax
  // the form computes (acquisitions at 19 % and 7 %) takes it from there, a
  // base with a tax Kennzahl of its own (§ 13b services, other rates) gives
  // it to that Kennzahl; the output-tax account's own Kennzahl then does
  // not count it. A charge without such a base stays where it was booked.
  void ReverseChargePosting(const char* r, int p, int rateClass) {
    afterCharge_ = true;
    long long tax = Cents(layouts::FieldBytes(r, bube::kDebitAmount));
    std::vector<const BookingBase*> bases = BasesOfCharge(rateClass, tax);
    if (bases.empty()) return;
    auto output = taxAccounts_.find(Trimmed(layouts::FieldBytes(r, bube::kCreditAccount)));
    if (output != taxAccounts_.end()) raw_[output->second][p] -= tax;
    long long total = 0;
    for (const BookingBase* b : bases) total += b->amount;
    long long given = 0;
    for (size_t k = 0; k < bases.size(); ++k) {
      const UstvaLine& line = *bases[k]->account->line;
      long long share = tax - given;
      if (k + 1 < bases.size()) share = total == 0 ? 0 : RoundedShare(tax, bases[k]->amount, total);
      given += share;
      if (line.kind == UstvaKind::kBaseWithTax && line.partner) raw_[line.partner][p] += share;
    }
  }

  // tax * part / whole, half away from zero.
  static long long RoundedShare(long long tax, long long part, long long whole) {
    long double exact = static_cast<long double>(tax) * part / whole;
    return static_cast<long long>(exact < 0 ? exact - 0.5L : exact + 0.5L);
  }

  void Posting(const char* r, int p) {
    unsigned flags = static_cast<unsigned>(layouts::GetNumber(r, bube::kFlags));
    long long gross = Cents(layouts::FieldBytes(r, bube::kDebitAmount));
    if (int rateClass = ReverseChargeClass(r, flags)) {
      ReverseChargePosting(r, p, rateClass);
      return;
    }
    NoteBase(r, flags);
    Reclassification(r, p, flags);
    if (books_.cashBasis) CashBasisPosting(r, p, gross);
  }

  // A reclassification of a tax account is taken back out of its Kennzahl.
  void Reclassification(const char* r, int p, unsigned flags) {
    if (!(flags & kReclassificationFlag)) return;
    long long gross = Cents(layouts::FieldBytes(r, bube::kDebitAmount));
    auto debit = taxAccounts_.find(Trimmed(layouts::FieldBytes(r, bube::kDebitAccount)));
    if (debit != taxAccounts_.end()) raw_[debit->second][p] += gross;
    auto credit = taxAccounts_.find(Trimmed(layouts::FieldBytes(r, bube::kCreditAccount)));
    if (credit != taxAccounts_.end()) raw_[credit->second][p] -= gross;
  }

  // A posting whose output tax became due: its base goes to the Kennzahl of
  // its tax class, and for the line of other rates its tax to the partner.
  void CashBasisPosting(const char* r, int p, long long gross) {
    std::string taxAccount = Trimmed(layouts::FieldBytes(r, bube::kTaxAccount));
    int taxClass = static_cast<int>(layouts::GetNumber(r, bube::kTaxClass));
    if (taxAccount.empty() || taxAccount == Trimmed(books_.interimAccount) ||
        (taxClass & kInputTaxBit))
      return;
    long long net = Cents(layouts::FieldBytes(r, bube::kCreditAmount));
    long long base = net, tax = gross - net;
    if (gross < net) {
      base = -gross;
      tax = net - gross;
    }
    const UstvaLine* target = CashTarget(taxClass);
    if (!target) return;
    raw_[target->kz][p] += base;
    if (target->kind == UstvaKind::kBaseWithTax) raw_[target->partner][p] += tax;
  }

  const UstvaLine* CashTarget(int taxClass) const {
    const UstvaLine* other = nullptr;
    for (const auto& [bit, kz] : form_.cashTargets) {
      const UstvaLine* line = form_.Line(kz);
      if (!line || line->sinceYear > Year()) continue;
      if (bit == kOtherTarget) {
        if (!other) other = line;
      } else if (taxClass & bit) {
        return line;
      }
    }
    return other;
  }

  long long Side(const UstvaLine& line, long long creditMinusDebit) const {
    return line.debitPositive ? -creditMinusDebit : creditMinusDebit;
  }
  long long Cut(long long cents) const { return form_.wholeBases ? cents / 100 * 100 : cents; }

  bool RateOfMonth(const UstvaLine& line, int p, std::string& rate) {
    if (line.rate == "N") {
      rate = kZeroRate;
      return true;
    }
    if (line.rate != "R" && line.rate != "E") {
      rate = line.rate;
      return true;
    }
    char lastDay[7];
    UstvaPeriodLastDay(period_, p, lastDay);
    RatesInForceGuard keep;
    if (!RatesInForce(lastDay)) return false;
    rate = line.rate == "R" ? CurrentRatesInForce().standard : CurrentRatesInForce().reduced;
    return true;
  }

  bool Amounts() {
    for (const UstvaLine& line : form_.lines) {
      if (line.kind == UstvaKind::kTurnover) continue;
      long long sum = 0;
      auto it = raw_.find(line.kz);
      if (it != raw_.end())
        for (long long v : it->second) sum += v;
      long long value = Side(line, sum);
      out_.amounts[line.kz] += line.IsBase() ? Cut(value) : value;
    }
    for (const UstvaLine& line : form_.lines)
      if (line.kind == UstvaKind::kTurnover && !Turnover(line)) return false;
    return true;
  }

  // A turnover line month by month, grouped by the rate in force.
  bool Turnover(const UstvaLine& line) {
    std::vector<std::pair<std::string, long long>> groups;  // rate, base
    const Months& m = raw_[line.kz];
    for (int p = period_.firstPeriod; p <= period_.lastPeriod; ++p) {
      std::string rate;
      if (!RateOfMonth(line, p, rate)) return false;
      if (groups.empty() || groups.back().first != rate) groups.push_back({rate, 0});
      groups.back().second += m[p];
    }
    std::string nominal = line.NominalRate(Year());
    out_.amounts[line.kz] += 0;
    out_.taxes[line.kz] += 0;
    for (const auto& [rate, raw] : groups) {
      long long base = Cut(Side(line, raw));
      long long tax = TaxOfBase(base, rate);
      const UstvaLine* other = line.partner ? form_.Line(line.partner) : nullptr;
      if (!nominal.empty() && rate != nominal && other) {
        if (base == 0) continue;
        out_.amounts[other->kz] += base;
        if (other->partner) out_.amounts[other->partner] += tax;
        continue;
      }
      out_.amounts[line.kz] += base;
      out_.taxes[line.kz] += tax;
      out_.ratesUsed[line.kz] = rate;
    }
    if (!out_.ratesUsed.count(line.kz))
      out_.ratesUsed[line.kz] = nominal.empty() && !groups.empty() ? groups.back().first : nominal;
    return true;
  }

  const UstvaPeriod& period_;
  const UstvaBooks& books_;
  UstvaReturn& out_;
  const UstvaForm& form_;
  std::map<int, Months> raw_;                 // credit minus debit by Kennzahl and month
  std::map<std::string, int> taxAccounts_;    // tax accounts and their Kennzahl
  std::map<std::string, BaseAccount> baseAccounts_;  // accounts of bases that carry a tax
  std::map<std::pair<std::string, std::string>, int> reverseChargePairs_;  // input, output account: class
  std::vector<BookingBase> bookingBases_;  // of the booking being read
  bool afterCharge_ = false;
};

}  // namespace

long long UstvaReturn::Term(std::string_view name) const {
  if (name.size() > 2 && name.substr(0, 2) == "St") {
    auto it = taxes.find(std::atoi(std::string(name.substr(2)).c_str()));
    return it == taxes.end() ? 0 : it->second;
  }
  if (!name.empty() && name[0] >= '0' && name[0] <= '9') {
    auto it = amounts.find(std::atoi(std::string(name).c_str()));
    return it == amounts.end() ? 0 : it->second;
  }
  auto it = sums.find(std::string(name));
  return it == sums.end() ? 0 : it->second;
}

void SumUpUstva(UstvaReturn& ret) {
  const UstvaForm& form = *ret.form;
  for (const UstvaSum& s : form.sums) {
    long long total = 0;
    for (const UstvaTerm& t : s.terms) total += t.sign * ret.Term(t.name);
    ret.sums[s.name] = total;
  }
  ret.unroundedResult = ret.sums[form.resultSum];
  ret.result = RoundUstvaResult(ret.unroundedResult, form.rounding);
}

bool UstvaCreditsSpecialPrepayment(const UstvaPeriod& period) {
  constexpr int kDecember = 12, kFourthQuarter = kUstvaFirstQuarter + 3;
  return period.choice == kDecember || period.choice == kFourthQuarter || period.choice == kUstvaYear;
}

void ApplyUstvaChoices(UstvaReturn& ret, const UstvaChoices& choices) {
  if (!ret.form) return;
  ret.corrected = choices.corrected && ret.form->correctedKz != 0;
  const UstvaLine* line = ret.form->Line(ret.form->specialPrepaymentKz);
  if (line) {
    long long paid = choices.creditSpecialPrepayment && UstvaCreditsSpecialPrepayment(ret.period)
                         ? choices.specialPrepayment
                         : 0;
    // A payment is a debit: positive on a debit-side line.
    ret.amounts[line->kz] = line->debitPositive ? paid : -paid;
  }
  SumUpUstva(ret);
}

long long RoundUstvaResult(long long cents, UstvaRounding rounding) {
  switch (rounding) {
    case UstvaRounding::kCent:
      return cents;
    case UstvaRounding::kTenth:
      // A payable amount is cut down to 0,10, a refund rounded up to 0,10.
      if (cents < 0 && cents % 10 != 0) cents -= 10;
      return cents / 10 * 10;
    case UstvaRounding::kSchilling: {
      long long magnitude = (cents < 0 ? -cents : cents) + 49;
      magnitude = magnitude / 100 * 100;
      return cents < 0 ? -magnitude : magnitude;
    }
  }
  return cents;
}

long long TaxOfBase(long long baseCents, std::string_view rate) {
  long long basisPoints = 0;
  if (!AmountToCents(std::string(rate).c_str(), &basisPoints)) return 0;
  long long magnitude = baseCents < 0 ? -baseCents : baseCents;
  long long tax = (magnitude * basisPoints + 5000) / 10000;
  return baseCents < 0 ? -tax : tax;
}

bool ComputeUstva(const UstvaPeriod& period, const UstvaBooks& books, UstvaReturn& out) {
  out = UstvaReturn{};
  out.period = period;
  out.cashBasis = books.cashBasis;
  out.form = UstvaFormFor(books.country, period.endYear);
  if (!out.form) return false;
  return Computation(period, books, out).Run();
}

bool ComputeMandantUstva(const UstvaPeriod& period, const UstvaChoices& choices, UstvaReturn& out) {
  UstvaBooks books;
  books.country = CurrentSettings().austria ? "AT" : "DE";
  books.cashBasis = CurrentMandant().cashBasis;
  books.interimAccount = CurrentMandant().cashBasisAccount;
  bool ok = SwitchWorkingYear(std::to_string(period.fiscalYear)) && ComputeUstva(period, books, out);
  SwitchWorkingYear(CurrentMandant().currentYear);
  if (ok) ApplyUstvaChoices(out, choices);
  return ok;
}

}  // namespace talvera
