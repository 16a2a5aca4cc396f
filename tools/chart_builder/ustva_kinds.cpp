#include "tools/chart_builder/ustva_kinds.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace talvera::charts {

namespace {

using K = UstvaKind;

// Today's German form (key numbers since the 2007 rate change, 0 % lines
// since 2023); older forms map onto these when a return is computed.
constexpr UstvaKeyMeaning kGermanKeys[] = {
    {41, K::kTaxFreeTurnover, 0, nullptr},   // intra-Community supplies
    {42, K::kTaxFreeTurnover, 0, nullptr},   // first buyer of a triangular transaction
    {43, K::kTaxFreeTurnover, 0, nullptr},   // other tax-free with input deduction
    {44, K::kTaxFreeTurnover, 0, nullptr},   // new vehicles to buyers without VAT id
    {45, K::kTaxFreeTurnover, 0, nullptr},   // not taxable here (supplied abroad)
    {48, K::kTaxFreeTurnover, 0, nullptr},   // tax-free without input deduction
    {49, K::kTaxFreeTurnover, 0, nullptr},   // new vehicles outside a business
    {21, K::kTaxFreeTurnover, 0, nullptr},   // EU services, recipient liable abroad
    {60, K::kTaxFreeTurnover, 0, nullptr},   // domestic supplies, recipient owes the tax
    {77, K::kTaxFreeTurnover, 0, nullptr},   // farmers' supplies to buyers with VAT id
    {87, K::kTaxFreeTurnover, 0, nullptr},   // 0 % (photovoltaics)
    {81, K::kTurnover, kStandardRate, nullptr},
    {86, K::kTurnover, kReducedRate, nullptr},
    {35, K::kTurnover, kOtherRate, nullptr},
    {76, K::kTurnover, kOtherRate, nullptr},  // flat-rate farmers' turnover with tax
    {91, K::kTaxFreeAcquisition, 0, nullptr},
    {90, K::kTaxFreeAcquisition, 0, nullptr},  // acquisitions at 0 %
    {89, K::kAcquisition, kStandardRate, nullptr},
    {93, K::kAcquisition, kReducedRate, nullptr},
    {94, K::kAcquisition, kStandardRate, nullptr},  // new vehicles
    {95, K::kOtherAcquisition, 0, nullptr},
    {46, K::kReverseChargeBase, 0, nullptr},  // services of EU suppliers
    {73, K::kReverseChargeBase, 0, nullptr},  // assigned goods, land
    {84, K::kReverseChargeBase, 0, nullptr},  // other services where the recipient owes the tax
    {36, K::kOtherRateTax, 0, nullptr},
    {80, K::kOtherRateTax, 0, nullptr},
    {65, K::kOutputTax, 0, nullptr},         // tax on a change of taxation
    {69, K::kOutputTax, 0, nullptr},         // tax shown without entitlement
    {98, K::kEcTax, 0, nullptr},
    {96, K::kEcTax, 0, nullptr},
    {47, K::kReverseChargeTax, 0, nullptr},
    {74, K::kReverseChargeTax, 0, nullptr},
    {85, K::kReverseChargeTax, 0, nullptr},
    {66, K::kInputTax, 0, nullptr},
    {61, K::kEcInputTax, 0, nullptr},
    {67, K::kReverseChargeInputTax, 0, nullptr},
    {62, K::kImportVat, 0, nullptr},
    {59, K::kOtherInputTax, 0, nullptr},
    {63, K::kOtherInputTax, 0, nullptr},     // input tax at average rates
    {64, K::kOtherInputTax, 0, nullptr},     // correction of input tax
    {37, K::kOtherInputTax, 0, nullptr},     // reduction of input tax on bad debts
    {39, K::kPrepayment, 0, nullptr},
};

constexpr UstvaKeyMeaning kAustrianKeys[] = {
    {42, K::kTaxFreeTurnover, 0, nullptr},   // § 6 Abs. 1
    {43, K::kTaxFreeTurnover, 0, nullptr},   // intra-Community supplies
    {44, K::kTaxFreeTurnover, 0, nullptr},
    {45, K::kTaxFreeTurnover, 0, nullptr},
    {46, K::kTaxFreeTurnover, 0, nullptr},
    {50, K::kTurnover, kStandardRate, nullptr},
    {86, K::kTurnover, kReducedRate, nullptr},
    {87, K::kTurnover, kOtherRate, "12,00"},
    {88, K::kTurnover, kOtherRate, "16,00"},
    {35, K::kTurnover, kOtherRate, nullptr},
    {91, K::kTaxFreeAcquisition, 0, nullptr},
    {92, K::kAcquisition, kStandardRate, nullptr},
    {93, K::kAcquisition, kReducedRate, nullptr},
    {94, K::kAcquisition, 0, "12,00"},
    {95, K::kAcquisition, 0, "16,00"},
    {36, K::kOtherRateTax, 0, nullptr},
    {37, K::kOutputTax, 0, nullptr},
    {38, K::kOutputTax, 0, nullptr},
    {39, K::kOutputTax, 0, nullptr},
    {74, K::kOutputTax, 0, nullptr},
    {66, K::kInputTax, 0, nullptr},
    {62, K::kImportVat, 0, nullptr},
    {59, K::kOtherInputTax, 0, nullptr},
    {64, K::kOtherInputTax, 0, nullptr},
    {70, K::kOtherInputTax, 0, nullptr},
    {71, K::kOtherInputTax, 0, nullptr},
    {72, K::kOtherInputTax, 0, nullptr},
    {73, K::kOtherInputTax, 0, nullptr},
    {75, K::kPrepayment, 0, nullptr},
    {76, K::kPrepayment, 0, nullptr},
};

int RateClassOf(int taxKey) { return taxKey & ~kInputTax; }
bool IsBalanceSheet(const AccountRow& a) {
  return a.accountClass == kAsset || a.accountClass == kLiability;
}

// The accounts the rate records name, by the classes that name them.
struct RateAccounts {
  std::set<std::string> output[129], input[129];  // indexed by rate class
  std::set<std::string> rates[129];                // rate texts per class

  explicit RateAccounts(const std::vector<RateRow>& records) {
    for (const RateRow& r : records) {
      output[r.rateClass].insert(r.outputAccount);
      input[r.rateClass].insert(r.inputAccount);
      if (!r.rate.empty()) rates[r.rateClass].insert(r.rate);
    }
  }
  bool IsOutput(const std::string& n, int cls) const { return output[cls].count(n) > 0; }
  bool IsInput(const std::string& n, int cls) const { return input[cls].count(n) > 0; }
  bool NamedByAny(const std::string& n) const {
    for (int cls : {kStandardRate, kReducedRate, kOtherRate, kEcRate, kReverseChargeRate})
      if (IsOutput(n, cls) || IsInput(n, cls)) return true;
    return false;
  }
  bool OutputOfAny(const std::string& n) const {
    for (int cls : {kStandardRate, kReducedRate, kOtherRate, kEcRate, kReverseChargeRate})
      if (IsOutput(n, cls)) return true;
    return false;
  }
  bool InputOfAny(const std::string& n) const {
    for (int cls : {kStandardRate, kReducedRate, kOtherRate, kEcRate, kReverseChargeRate})
      if (IsInput(n, cls)) return true;
    return false;
  }
  // Named by the records of some class other than those given.
  bool NamedOutside(const std::string& n, std::initializer_list<int> allowed) const {
    for (int cls : {kStandardRate, kReducedRate, kOtherRate, kEcRate, kReverseChargeRate}) {
      if (std::find(allowed.begin(), allowed.end(), cls) != allowed.end()) continue;
      if (IsOutput(n, cls) || IsInput(n, cls)) return true;
    }
    return false;
  }
  // Output account of a standard- or reduced-rate record whose rate the
  // return computes from the base: the rates of the newest records, which
  // have lines of their own on today's form.
  bool OutputOfComputedRate(const std::string& n, const std::vector<RateRow>& records) const {
    std::set<std::string> computed;
    for (int cls : {kStandardRate, kReducedRate}) {
      const RateRow* newest = nullptr;
      for (const RateRow& r : records)
        if (r.rateClass == cls &&
            (!newest || std::tie(r.year, r.month, r.day) > std::tie(newest->year, newest->month, newest->day)))
          newest = &r;
      if (newest) computed.insert(newest->rate);
    }
    for (const RateRow& r : records)
      if ((r.rateClass == kStandardRate || r.rateClass == kReducedRate) && r.outputAccount == n &&
          computed.count(r.rate))
        return true;
    return false;
  }
};

bool FitsTurnover(const AccountRow& a, const UstvaKeyMeaning& m) {
  if (a.accountClass != kProfitAndLoss || (a.taxKey & kInputTax)) return false;
  if (m.kind == K::kTaxFreeTurnover) return a.taxKey == 0 || a.taxKey == kZeroRate;
  return RateClassOf(a.taxKey) == m.rateClass && (!m.rate || a.rate == m.rate);
}

bool FitsAcquisition(const AccountRow& a, const UstvaKeyMeaning& m, const RateAccounts& r) {
  if (a.accountClass != kProfitAndLoss) return false;
  if (m.kind == K::kTaxFreeAcquisition)
    return (a.taxKey & kInputTax) && RateClassOf(a.taxKey) == kZeroRate;
  if (m.kind == K::kReverseChargeBase) return RateClassOf(a.taxKey) == kReverseChargeRate;
  if (RateClassOf(a.taxKey) != kEcRate) return false;
  if (m.kind == K::kOtherAcquisition)
    return !r.rates[kStandardRate].count(a.rate) && !r.rates[kReducedRate].count(a.rate);
  return m.rate ? a.rate == m.rate : r.rates[m.rateClass].count(a.rate) > 0;
}

bool FitsTaxAccount(const AccountRow& a, const UstvaKeyMeaning& m, const RateAccounts& r,
                    const std::vector<RateRow>& records, const ChartDefinition& chart) {
  if (!IsBalanceSheet(a) || a.taxKey != 0) return false;
  const std::string& n = a.number;
  switch (m.kind) {
    case K::kOtherRateTax:
      // Also the accounts of former standard and reduced rates (16 %, 5 %),
      // which today's form reports as other rates.
      return (r.IsOutput(n, kOtherRate) || r.IsOutput(n, kStandardRate) ||
              r.IsOutput(n, kReducedRate) || !r.NamedByAny(n)) &&
             !r.InputOfAny(n) && !r.OutputOfComputedRate(n, records) &&
             !r.NamedOutside(n, {kStandardRate, kReducedRate, kOtherRate});
    case K::kInputTax:
      return !r.OutputOfAny(n) && !r.NamedOutside(n, {kStandardRate, kReducedRate, kOtherRate});
    case K::kEcInputTax:
      return !r.OutputOfAny(n) && !r.NamedOutside(n, {kEcRate});
    case K::kEcTax:
      return !r.InputOfAny(n) && !r.NamedOutside(n, {kEcRate});
    case K::kReverseChargeInputTax:
      return !r.OutputOfAny(n) && !r.NamedOutside(n, {kReverseChargeRate});
    case K::kReverseChargeTax:
      return !r.InputOfAny(n) && !r.NamedOutside(n, {kReverseChargeRate});
    case K::kImportVat:
      return n == ImportVatAccount(chart);
    case K::kOtherInputTax:
      return a.accountClass == kAsset && !r.NamedByAny(n);
    case K::kOutputTax:
    case K::kPrepayment:
      return !r.NamedByAny(n);
    default:
      return false;
  }
}

bool Fits(const AccountRow& a, const UstvaKeyMeaning& m, const RateAccounts& r,
          const std::vector<RateRow>& records, const ChartDefinition& chart) {
  switch (m.kind) {
    case K::kTaxFreeTurnover:
    case K::kTurnover:
      return FitsTurnover(a, m);
    case K::kTaxFreeAcquisition:
    case K::kAcquisition:
    case K::kOtherAcquisition:
    case K::kReverseChargeBase:
      return FitsAcquisition(a, m, r);
    default:
      return FitsTaxAccount(a, m, r, records, chart);
  }
}

}  // namespace

const UstvaKeyMeaning* FindUstvaKey(int key, bool austrian) {
  auto find = [key](const auto& table) -> const UstvaKeyMeaning* {
    auto it = std::find_if(std::begin(table), std::end(table),
                           [key](const UstvaKeyMeaning& m) { return m.key == key; });
    return it == std::end(table) ? nullptr : &*it;
  };
  return austrian ? find(kAustrianKeys) : find(kGermanKeys);
}

void CheckUstvaKeys(const ChartDefinition& chart, const std::vector<AccountRow>& accounts,
                    const std::vector<RateRow>& rates, const std::string& file,
                    Diagnostics& diagnostics) {
  RateAccounts rateAccounts(rates);
  for (const AccountRow& a : accounts) {
    if (a.ustvaKey == 0) continue;
    const UstvaKeyMeaning* meaning = FindUstvaKey(a.ustvaKey, chart.austrian);
    std::string prefix = "Kennziffer " + std::to_string(a.ustvaKey) + " auf Konto " +
                         a.number.substr(a.number.find_first_not_of(' '));
    if (!meaning)
      diagnostics.Add(file, a.line, prefix + ": diese Kennziffer kennt die Voranmeldung nicht");
    else if (!Fits(a, *meaning, rateAccounts, rates, chart))
      diagnostics.Add(file, a.line, prefix + ": das Konto zählt nicht, was sie zählt");
  }
}

}  // namespace talvera::charts
