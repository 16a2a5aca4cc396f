#include "charts/template_reader.h"

#include "core/layouts/layout.h"
#include "core/layouts/sako.h"
#include "core/layouts/steke.h"
#include "core/record_store.h"
#include "tools/chart_builder/template_writer.h"

namespace talvera::testing {

namespace L = talvera::layouts;
using namespace talvera::charts;

bool ReadAllRecords(const std::string& path, int length, std::vector<std::vector<char>>& out) {
  if (!OpenPath(path, kSlotScratch)) return false;
  std::vector<char> record(length);
  bool found = false;
  bool ok = GetFirstFound(record.data(), found, MakeFileId(kSlotScratch, 0));
  while (ok && found) {
    out.push_back(record);
    ok = GetNextFound(record.data(), found, MakeFileId(kSlotScratch, 0));
  }
  CloseSlot(kSlotScratch);
  return ok;
}

namespace {

AccountRow AccountFrom(const char* r) {
  namespace S = L::sako;
  AccountRow a;
  a.number = L::GetText(r, S::kAccountNo);
  a.shortCode = L::GetText(r, S::kShortCode);
  a.name = L::GetText(r, S::kName);
  a.accountClass = static_cast<int>(L::GetNumber(r, S::kAccountClass));
  a.taxKey = static_cast<int>(L::GetNumber(r, S::kTaxKey));
  a.rate = L::GetText(r, S::kRate);
  a.revenue = L::GetNumber(r, S::kRevenueAccount) != 0;
  a.ustvaKey = static_cast<int>(L::GetNumber(r, S::kUstvaKey));
  a.costBehaviour = L::GetNumber(r, S::kCostType) ? static_cast<int>(L::GetNumber(r, S::kCostBehaviour)) : 0;
  a.fixedAsset = L::GetNumber(r, S::kDatevFixedAsset) != 0;
  return a;
}

// Template dates are those of a January fiscal year: period = month.
RateRow RateFrom(const char* r) {
  namespace T = L::steke;
  RateRow rate;
  rate.rateClass = static_cast<int>(L::GetNumber(r, T::kRateClass));
  rate.index = static_cast<int>(L::GetNumber(r, T::kIndex));
  std::string date = L::GetText(r, T::kValidFrom);
  if (date.size() == 6) {
    rate.day = std::stoi(date.substr(0, 2));
    rate.month = std::stoi(date.substr(2, 2));
    rate.year = 1980 + std::stoi(date.substr(4, 2));
  }
  rate.rate = L::GetText(r, T::kRate);
  rate.outputAccount = L::GetText(r, T::kOutputTaxAccount);
  rate.inputAccount = L::GetText(r, T::kInputTaxAccount);
  return rate;
}

template <typename Row, typename Convert>
bool ReadRows(const std::string& path, const L::Layout& layout, std::vector<Row>& out,
              Convert convert) {
  std::vector<std::vector<char>> records;
  if (!ReadAllRecords(path, layout.recordLength, records)) return false;
  for (const auto& record : records) out.push_back(convert(record.data()));
  return true;
}

}  // namespace

bool ReadTemplate(const std::string& directory, char letter, TemplateContents& out) {
  out = TemplateContents{};
  if (!ReadRows(TemplatePath(directory, "sako", letter), L::sako::kLayout, out.accounts,
                AccountFrom) ||
      !ReadRows(TemplatePath(directory, "steke", letter), L::steke::kLayout, out.rates, RateFrom))
    return false;
  for (int t = 0; t < kTreeCount; ++t)
    if (!ReadStructureRecords(TemplatePath(directory, TreeFileName(static_cast<TreeId>(t)), letter),
                              out.trees[t]))
      return false;
  return true;
}

}  // namespace talvera::testing
