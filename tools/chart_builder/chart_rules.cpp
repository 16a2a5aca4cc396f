#include "tools/chart_builder/chart_rules.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "tools/chart_builder/hgb_positions.h"
#include "tools/chart_builder/ustva_kinds.h"

namespace talvera::charts {

namespace {

std::string Plain(const std::string& number) {
  size_t first = number.find_first_not_of(' ');
  return first == std::string::npos ? number : number.substr(first);
}

const AccountRow* Find(const std::vector<AccountRow>& accounts, const std::string& number) {
  for (const AccountRow& a : accounts)
    if (a.number == number) return &a;
  return nullptr;
}

int RateClassOf(int taxKey) { return taxKey & ~kInputTax; }
bool NeedsOwnRate(int taxKey) {
  int rateClass = RateClassOf(taxKey);
  return rateClass == kOtherRate || rateClass == kEcRate || rateClass == kReverseChargeRate;
}
bool IsOneClass(int rateClass) {
  return rateClass == kStandardRate || rateClass == kReducedRate || rateClass == kZeroRate ||
         rateClass == kOtherRate || rateClass == kEcRate || rateClass == kReverseChargeRate;
}

auto DateOf(const RateRow& r) { return std::make_tuple(r.year, r.month, r.day); }

void CheckAccountRow(const AccountRow& a, const std::string& file, Diagnostics& d) {
  auto report = [&](const std::string& what) { d.Add(file, a.line, "Konto " + Plain(a.number) + ": " + what); };
  if (NeedsOwnRate(a.taxKey) != !a.rate.empty())
    report("einen eigenen Satz haben genau die Konten mit sonstigem, EG- oder § 13b-Steuersatz");
  if (a.revenue && (a.accountClass != kProfitAndLoss || a.ustvaKey == 0))
    report("ein Erlöskonto ist ein GuV-Konto mit UStVA-Kennziffer");
  if (a.revenue && (a.taxKey & kInputTax)) report("ein Erlöskonto ist kein Vorsteuerkonto");
  if (a.costBehaviour != 0 && a.accountClass != kProfitAndLoss)
    report("eine Kostenart haben nur GuV-Konten");
  if (a.fixedAsset && a.accountClass != kAsset) report("das AV-Kennzeichen haben nur Aktivkonten");
}

}  // namespace

void CheckAccounts(const std::vector<AccountRow>& accounts, const std::string& file,
                   Diagnostics& diagnostics) {
  std::map<std::string, int> numbers, codes;
  for (const AccountRow& a : accounts) {
    if (!numbers.emplace(a.number, a.line).second)
      diagnostics.Add(file, a.line, "Kontonummer " + Plain(a.number) + " doppelt");
    if (!codes.emplace(a.shortCode, a.line).second)
      diagnostics.Add(file, a.line, "Kürzel " + a.shortCode + " doppelt");
    CheckAccountRow(a, file, diagnostics);
  }
}

void CheckRates(const std::vector<RateRow>& rates, const std::vector<AccountRow>& accounts,
                const std::string& file, Diagnostics& diagnostics) {
  std::map<int, std::set<std::tuple<int, int, int>>> dates;
  for (const RateRow& r : rates) {
    bool fixedRate = r.rateClass == kStandardRate || r.rateClass == kReducedRate;
    if (fixedRate == r.rate.empty())
      diagnostics.Add(file, r.line, "Regel- und ermäßigter Satz haben einen Satz, die anderen keinen");
    if (!dates[r.rateClass].insert(DateOf(r)).second)
      diagnostics.Add(file, r.line, "zwei Sätze derselben Klasse vom selben Tag");
    for (const std::string& number : {r.outputAccount, r.inputAccount}) {
      const AccountRow* a = Find(accounts, number);
      if (!a || a->taxKey != 0 || (a->accountClass != kAsset && a->accountClass != kLiability))
        diagnostics.Add(file, r.line, "Steuerkonto " + Plain(number) +
                                          " fehlt oder ist kein Bilanzkonto ohne Steuerschlüssel");
    }
  }
  if (dates[kStandardRate].empty() || dates[kStandardRate] != dates[kReducedRate])
    diagnostics.Add(file, 0, "Regelsatz und ermäßigter Satz brauchen dieselben Gültigkeitstage");
}

void CheckTaxKeys(const std::vector<AccountRow>& accounts, const std::vector<RateRow>& rates,
                  const std::string& file, Diagnostics& diagnostics) {
  std::set<int> classes;
  for (const RateRow& r : rates) classes.insert(r.rateClass);
  for (const AccountRow& a : accounts) {
    if (a.taxKey == 0) continue;
    int rateClass = RateClassOf(a.taxKey);
    if (!IsOneClass(rateClass))
      diagnostics.Add(file, a.line, "Konto " + Plain(a.number) + ": Steuerschlüssel ohne Klasse");
    else if (rateClass != kZeroRate && !classes.count(rateClass))
      diagnostics.Add(file, a.line, "Konto " + Plain(a.number) +
                                        ": für seine Steuerklasse gibt es keinen Steuersatz");
  }
}

void CheckRateIndexes(const std::vector<RateRow>& rates, const std::string& file,
                      Diagnostics& diagnostics) {
  std::map<int, std::vector<const RateRow*>> byClass;
  for (const RateRow& r : rates) byClass[r.rateClass].push_back(&r);
  for (auto& [rateClass, records] : byClass) {
    std::sort(records.begin(), records.end(),
              [](const RateRow* a, const RateRow* b) { return a->index < b->index; });
    for (size_t i = 0; i < records.size(); ++i) {
      bool inOrder = records[i]->index == static_cast<int>(i) &&
                     (i == 0 || DateOf(*records[i]) < DateOf(*records[i - 1]));
      if (!inOrder)
        diagnostics.Add(file, records[i]->line,
                        "Klasse " + std::to_string(rateClass) + ": Index " +
                            std::to_string(records[i]->index) + " verletzt die Reihenfolge");
    }
  }
}

void NumberRates(std::vector<RateRow>& rates) {
  std::map<int, std::vector<RateRow*>> byClass;
  for (RateRow& r : rates) byClass[r.rateClass].push_back(&r);
  for (auto& [rateClass, records] : byClass) {
    std::stable_sort(records.begin(), records.end(),
                     [](const RateRow* a, const RateRow* b) { return DateOf(*a) > DateOf(*b); });
    for (size_t i = 0; i < records.size(); ++i) records[i]->index = static_cast<int>(i);
  }
}

void CheckChartAccounts(const ChartDefinition& chart, const std::vector<AccountRow>& accounts,
                        const std::string& file, Diagnostics& diagnostics) {
  auto require = [&](const std::string& number, const char* role, int accountClass = -1,
                     const char* shortCode = nullptr) {
    const AccountRow* a = Find(accounts, number);
    if (!a)
      diagnostics.Add(file, 0, std::string(role) + " " + Plain(number) + " fehlt");
    else if ((accountClass >= 0 && a->accountClass != accountClass) ||
             (shortCode && a->shortCode != shortCode))
      diagnostics.Add(file, a->line, std::string(role) + " " + Plain(number) +
                                         " hat nicht die erwartete Klasse oder das Kürzel");
  };
  for (const char* number : chart.defaults)
    if (*number) require(number, "Standardkonto");
  if (chart.defaults[kReceivablesRow][0]) {
    require(chart.defaults[kReceivablesRow], "Forderungskonto", kAsset);
    require(chart.defaults[kPayablesRow], "Verbindlichkeitenkonto", kLiability);
    require(chart.defaults[kCarryForwardRow], "G/V-Vortragskonto", kLiability);
  }
  if (chart.letter == 'G') {
    // Mandant creation renumbers rows 0, 2, 3 and 9 in the assets tree and
    // all others in the liabilities tree.
    auto special = BasicChartSpecialAccounts();
    for (size_t row = 0; row < special.size(); ++row) {
      bool assetRow = row == 0 || row == 2 || row == 3 || row == 9;
      require(special[row].number, "Sonderkonto", assetRow ? kAsset : kLiability,
              special[row].shortCode);
    }
  }
  for (const char* number : chart.settingAccounts)
    if (*number) require(number, "Konto der Mandanteneinstellungen", kProfitAndLoss);
  require(kCarryForwardAccount, "Saldovortragskonto", kNoClass);
  for (const char* code : BookingTemplateShortCodes()) {
    bool found = std::any_of(accounts.begin(), accounts.end(),
                             [code](const AccountRow& a) { return a.shortCode == code; });
    if (!found)
      diagnostics.Add(file, 0, std::string("Kürzel ") + code + " der Buchungsschablonen fehlt");
  }
}

bool PrepareChart(const std::string& sourceRoot, const ChartDefinition& chart,
                  ChartTemplate& out, Diagnostics& diagnostics) {
  size_t before = diagnostics.lines().size();
  ChartSource& s = out.source;
  if (!ReadChartSource(sourceRoot, chart.folder, s, diagnostics)) return false;
  CheckAccounts(s.accounts, s.accountsFile, diagnostics);
  CheckChartAccounts(chart, s.accounts, s.accountsFile, diagnostics);
  CheckRates(s.rates, s.accounts, s.ratesFile, diagnostics);
  CheckTaxKeys(s.accounts, s.rates, s.accountsFile, diagnostics);
  CheckUstvaKeys(chart, s.accounts, s.rates, s.accountsFile, diagnostics);
  NumberRates(s.rates);
  for (int t = 0; t < kTreeCount; ++t)
    out.trees[t] = BuildTreeNodes(static_cast<TreeId>(t), s.trees[t], s.accounts,
                                  s.treeFiles[t], diagnostics);
  CheckPositions(sourceRoot, chart.folder, out, diagnostics);
  return diagnostics.lines().size() == before;
}

}  // namespace talvera::charts
