#include "posting/tax_proposal.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/settings.h"
#include "tax/tax_rates.h"

namespace talvera {
namespace {

namespace sako = layouts::sako;
namespace personal = layouts::personal;

bool IsPersonal(int kind) { return kind == kDebitor || kind == kKreditor; }

struct SachkontoTax {
  bool readable = false;
  int taxKey = 0;
};

bool ReadTaxKey(const AccountRef& account, SachkontoTax& out) {
  out = SachkontoTax{};
  std::vector<char> r;
  bool found = false;
  if (!ReadAccountRecord(account.number, kSachkonto, r, found)) return false;
  out.readable = found;
  if (found) out.taxKey = static_cast<int>(layouts::GetNumber(r.data(), sako::kTaxKey));
  return true;
}

// The proposal from one Sachkonto's tax key; `side` is the tax side it gets
// when the key names a tax.
bool FromSachkonto(const AccountRef& account, const char* date, int side, bool sideAlways,
                   TaxProposal& out) {
  std::vector<char> r;
  bool found = false;
  if (!ReadAccountRecord(account.number, kSachkonto, r, found)) return false;
  int key = found ? static_cast<int>(layouts::GetNumber(r.data(), sako::kTaxKey)) : 0;
  std::strcpy(out.rate, kZeroRate);
  out.taxClass = 0;
  out.rateIndex = 0;
  out.taxSide = sideAlways ? side : 0;
  if (key == 0) return true;
  int rateClass = RateClassOf(key);
  out.taxSide = side;
  if (rateClass == kZeroRateClass) {
    out.taxClass = rateClass;
    return true;
  }
  RateRecord record;
  bool valid = false;
  if (!RateRecordAt(rateClass, date, record, valid)) return false;
  // No rate of the class at that date: nothing to propose. A § 13b account
  // keeps its class, so that the booking is refused with the missing rate
  // record named instead of passing without the tax owed.
  if (!valid && rateClass != kReverseChargeRate) return true;
  out.taxClass = rateClass;
  out.rateIndex = valid ? record.index : 0;
  bool ownRate = rateClass == kOtherRate || rateClass == kEcRate || rateClass == kReverseChargeRate;
  const char* rate = ownRate ? layouts::FieldBytes(r.data(), sako::kRate) : record.rate;
  CopyLimited(out.rate, rate[0] ? rate : kZeroRate, sizeof out.rate);
  return true;
}

// A customer or vendor abroad with an identification number, while the
// Mandant has a VAT identification number of its own.
bool IsEcPartner(const AccountRef& account, bool& ec) {
  ec = false;
  if (CurrentMandant().vatId[0] == '\0') return true;
  std::vector<char> r;
  bool found = false;
  if (!ReadAccountRecord(account.number, account.kind, r, found)) return false;
  if (!found) return true;
  std::string country = layouts::GetText(r.data(), personal::kCountry);
  std::string vatId = layouts::GetText(r.data(), personal::kVatId);
  ec = !vatId.empty() && !country.empty() && country != CurrentSettings().land;
  return true;
}

}  // namespace

bool ProposeTax(const AccountRef& debit, const AccountRef& credit, const char* date,
                TaxProposal& out) {
  out = TaxProposal{};
  if (debit.kind == kSachkonto && credit.kind == kSachkonto) {
    SachkontoTax d, c;
    if (!ReadTaxKey(debit, d) || !ReadTaxKey(credit, c)) return false;
    auto taxing = [](int key) { return key != 0 && RateClassOf(key) != kZeroRateClass; };
    if (IsTaxAccount(debit.number, date) || IsTaxAccount(credit.number, date) ||
        (taxing(d.taxKey) && taxing(c.taxKey)))
      return true;
    bool fromDebit = !d.readable || d.taxKey != 0;
    if (!FromSachkonto(fromDebit ? debit : credit, date, fromDebit ? 2 : 1, false, out)) return false;
  } else if (IsPersonal(debit.kind) != IsPersonal(credit.kind) &&
             (debit.kind == kSachkonto || credit.kind == kSachkonto)) {
    const AccountRef& person = IsPersonal(debit.kind) ? debit : credit;
    const AccountRef& ledger = IsPersonal(debit.kind) ? credit : debit;
    int side = &ledger == &debit ? 2 : 1;
    if (!FromSachkonto(ledger, date, side, true, out)) return false;
    if (!IsEcPartner(person, out.ecCase)) return false;
    // Intra-Community: no tax on the invoice; a vendor's EG purchase gets
    // its reverse charge from the engine. A § 13b rate never splits the
    // invoice and stays what it is.
    if (out.ecCase && out.taxClass != kReverseChargeRate) std::strcpy(out.rate, kZeroRate);
  } else {
    return true;
  }
  out.rateEnabled = out.taxSide != 0;
  return true;
}

bool RateSplitsGross(int taxClass) { return taxClass == 0 || RateClassOf(taxClass) != kReverseChargeRate; }

std::string RateForDisplay(const char* rate) {
  std::string r(rate);
  if (r.size() == 5 && r[0] == '0') r.erase(0, 1);
  return r;
}

bool SplitGross(const char* gross, const char* rate, char* netOut, char* taxOut) {
  if (AmountIsZero(rate)) {
    CopyLimited(netOut, gross, kAmountWidth + 1);
  } else {
    if (!AmountNetFromGross(netOut, gross, rate)) return false;
    if (AmountIsNegative(gross)) AmountNegate(netOut);
  }
  AmountSubtract(taxOut, gross, netOut);
  return true;
}

}  // namespace talvera
