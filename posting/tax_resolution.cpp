#include "posting/tax_resolution.h"

#include <cstring>

#include "core/amount.h"
#include "core/layouts/bat.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "posting/posting_state.h"
#include "tax/tax_rates.h"

namespace talvera::posting {
namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;
namespace sako = layouts::sako;

constexpr int kFixedIndex = 0x40;

struct Line {
  void* booking;
  int i;
  layouts::Field F(const layouts::Field& f) const { return bat::kLine.In(i, f); }
  long Num(const layouts::Field& f) const { return layouts::GetNumber(booking, F(f)); }
  void SetNum(const layouts::Field& f, long v) const { layouts::SetNumber(booking, F(f), v); }
  const char* Text(const layouts::Field& f) const { return layouts::FieldBytes(booking, F(f)); }
};

bool SameAmount(const char* a, const char* b) {
  long long x = 0, y = 0;
  return AmountToCents(a, &x) && AmountToCents(b, &y) && x == y;
}

// Class of a rate compared with the rates in force.
int ClassOfRate(const char* rate) {
  const RatesInForceValue& r = CurrentRatesInForce();
  if (std::strcmp(rate, r.standard) == 0) return kStandardRate;
  if (std::strcmp(rate, r.reduced) == 0) return kReducedRate;
  if (AmountIsZero(rate)) return kZeroRateClass;
  return kOtherRate;
}

// Reads the Sachkonto that carries the net amount; a fixed-rate account
// whose class differs from `resolvedClass` refuses the booking (737). With
// resolvedClass -1 any class in its tax key refuses (a booking without tax).
bool CheckNetAccount(const char* account, int resolvedClass, int& taxKey) {
  char r[sako::kLayout.recordLength];
  if (!ReadExistingAccount(kSachkonto, account, r)) return false;
  taxKey = static_cast<int>(layouts::GetNumber(r, sako::kTaxKey));
  int keyClass = taxKey & (kStandardRate | kReducedRate | kZeroRateClass);
  bool fixedRate = layouts::GetNumber(r, sako::kRevenueAccount) != 0;
  if (fixedRate && keyClass != 0 && (resolvedClass < 0 || keyClass != resolvedClass)) {
    ShowMessage(kMessageFixedRate);
    return false;
  }
  return true;
}

}  // namespace

bool ResolveTax(void* booking, int i, TaxResult& out) {
  out = TaxResult{};
  Line l{booking, i};
  const char* documentDate = layouts::FieldBytes(booking, bat::kVoucherDate);
  int taxSide = static_cast<int>(l.Num(line_::kTaxSide));
  int classWord = static_cast<int>(l.Num(line_::kTaxClass));
  const char* rate = l.Text(line_::kRate);
  int debitKind = static_cast<int>(l.Num(line_::kDebitKind));
  int creditKind = static_cast<int>(l.Num(line_::kCreditKind));
  const char* debit = l.Text(line_::kDebitAccount);
  const char* credit = l.Text(line_::kCreditAccount);

  // A § 13b line whose invoice carries no tax is not taxed here: its rate
  // is the rate of the tax the recipient owes, written by the reverse charge.
  bool reverseChargeLine = RateClassOf(classWord) == kReverseChargeRate &&
                           SameAmount(l.Text(line_::kGross), l.Text(line_::kNet));
  bool taxed = taxSide != 0 && classWord != 0 && !reverseChargeLine &&
               (!AmountIsZero(rate) || (classWord & 31) == kZeroRateClass);
  if (!taxed) {
    if (taxSide != 0 && (debitKind == kSachkonto || creditKind == kSachkonto)) {
      int taxKey;
      if (!CheckNetAccount(creditKind == kSachkonto ? credit : debit, -1, taxKey)) return false;
    }
    return true;
  }

  // 1. The class from the rate (an EG or § 13b line keeps its class). A rate typed
  // as an "other" rate is looked up among the records valid at the document
  // date; a record older than the first "other" record fixes its index
  // (class + 0x40), so 16 % typed in 2026 posts to the 16 % record and its
  // tax account, not to the 19 % one in force.
  bool fixedIndex = classWord & kFixedIndex;
  int rateClass = RateClassOf(classWord);
  if (rateClass != kEcRate && rateClass != kReverseChargeRate) {
    rateClass = ClassOfRate(rate);
    if (rateClass == kOtherRate && l.Num(line_::kRateIndex) != -1) {
      RateRecord r;
      if (!RateRecordForRate(rate, documentDate, r)) return false;
      // An older record of the rate keeps its index: the date must not move it.
      fixedIndex = fixedIndex || (r.rateClass & 64);
      rateClass = r.rateClass & 31;
      l.SetNum(line_::kRateIndex, r.index);
    }
    l.SetNum(line_::kTaxClass, rateClass | (fixedIndex ? kFixedIndex : 0));
  }

  // 2. The rate record valid at the document date.
  RateRecord record;
  if (rateClass != kZeroRateClass) {
    bool found = false;
    if (!fixedIndex) {
      if (!RateRecordAt(rateClass, documentDate, record, found)) return false;
      if (!found) {
        // Books created before § 13b had rate records of their own.
        if (rateClass == kReverseChargeRate) ReportMissingReverseChargeRate(documentDate);
        return false;
      }
      l.SetNum(line_::kRateIndex, record.index);
    } else {
      int index = static_cast<int>(l.Num(line_::kRateIndex)) & 0xFFFF;
      if (!RateRecordByIndex(rateClass, index, record, found) || !found) return false;
    }
  }

  // 3. The Sachkonto carrying the net amount. When the net side is a
  // personal account, the line's Sachkonto on the other side stands for it
  // (it is the account whose tax key and fixed rate count; reading the
  // personal number among the Sachkonten would report it as missing).
  int taxKey = 0;
  bool netOnDebit = taxSide == 2;
  if ((netOnDebit ? debitKind : creditKind) != kSachkonto) netOnDebit = !netOnDebit;
  if ((netOnDebit ? debitKind : creditKind) == kSachkonto &&
      !CheckNetAccount(netOnDebit ? debit : credit, rateClass, taxKey))
    return false;
  int classByte = rateClass | (fixedIndex ? kFixedIndex : 0);
  if (!(debitKind == kDebitor && creditKind == kSachkonto)) classByte |= taxKey & kInputTaxBit;

  // 4. The tax account.
  const MandantValues& m = CurrentMandant();
  bool customerLine = debitKind == kDebitor || creditKind == kDebitor;
  if (rateClass == kZeroRateClass) {
    out.taxAccount[0] = '\0';
  } else if (classByte & kInputTaxBit) {
    CopyLimited(out.taxAccount, record.inputTaxAccount, sizeof out.taxAccount);
  } else if (m.cashBasis && customerLine &&
             layouts::GetNumber(booking, bat::kNoCashBasisTax) == 0) {
    CopyLimited(out.taxAccount, m.cashBasisAccount, sizeof out.taxAccount);
  } else {
    CopyLimited(out.taxAccount, record.outputTaxAccount, sizeof out.taxAccount);
  }
  out.taxed = true;
  out.classByte = classByte;
  return true;
}

}  // namespace talvera::posting
