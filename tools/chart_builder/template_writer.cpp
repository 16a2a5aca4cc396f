#include "tools/chart_builder/template_writer.h"

#include <functional>

#include "core/layouts/create_file.h"
#include "core/layouts/layout.h"
#include "core/layouts/sako.h"
#include "core/layouts/steke.h"
#include "core/layouts/structure.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/structure_file.h"
#include "recman/recman.h"

namespace talvera::charts {

namespace {

namespace L = talvera::layouts;

// Fills the file with records; one transaction, so a template is written
// whole or not at all.
using FillRecords = std::function<bool(const L::Layout&)>;

bool InsertRecord(const L::Layout& layout, const std::function<void(void*)>& set) {
  char record[1024];
  L::InitRecord(layout, record);
  set(record);
  return Insert(record, MakeFileId(kSlotScratch, 0));
}

// Creates <name>.btr with the layout, fills it and gives it the template name.
bool WriteFile(const L::Layout& layout, const std::string& directory, const char* name,
               char letter, const FillRecords& fill) {
  if (!L::CreateFile(layout, directory, name)) return false;
  std::string built = directory + "/" + name + ".btr";
  if (!OpenPath(built, kSlotScratch)) return false;
  bool filled = false;
  {
    StoreTransaction transaction;
    filled = transaction.began() && fill(layout) && transaction.Commit();
  }
  CloseSlot(kSlotScratch);
  if (!filled) return false;
  std::string target = TemplatePath(directory, name, letter);
  if (recman::FileExists(target) && recman::DeleteFile(target) != recman::kOk) return false;
  return recman::RenameFile(built, target) == recman::kOk;
}

void SetAccount(void* r, const AccountRow& a) {
  namespace S = L::sako;
  L::SetRawText(r, S::kAccountNo, a.number);
  L::SetText(r, S::kShortCode, a.shortCode);
  L::SetText(r, S::kName, a.name);
  L::SetNumber(r, S::kAccountClass, a.accountClass);
  L::SetNumber(r, S::kTaxKey, a.taxKey);
  if (!a.rate.empty()) L::SetRawText(r, S::kRate, a.rate);
  L::SetNumber(r, S::kRevenueAccount, a.revenue ? 1 : 0);
  L::SetNumber(r, S::kUstvaKey, a.ustvaKey);
  L::SetNumber(r, S::kDatevFixedAsset, a.fixedAsset ? 1 : 0);
  L::SetNumber(r, S::kCostType, a.costBehaviour ? 1 : 0);
  L::SetNumber(r, S::kCostBehaviour, a.costBehaviour);
}

void SetRate(void* r, const RateRow& rate) {
  namespace T = L::steke;
  L::SetNumber(r, T::kRateClass, rate.rateClass);
  L::SetNumber(r, T::kIndex, rate.index);
  // Templates hold calendar dates: the period of a fiscal year that starts
  // in January is the month (see rate_dates.h for other start months).
  char date[7];
  MakePeriodDate(date, rate.day, rate.month, rate.year - 1980);
  L::SetRawText(r, T::kValidFrom, date);
  if (!rate.rate.empty()) L::SetRawText(r, T::kRate, rate.rate);
  L::SetRawText(r, T::kOutputTaxAccount, rate.outputAccount);
  L::SetRawText(r, T::kInputTaxAccount, rate.inputAccount);
}

template <typename Rows, typename Set>
FillRecords InsertAll(const Rows& rows, Set set) {
  return [&rows, set](const L::Layout& layout) {
    for (const auto& row : rows)
      if (!InsertRecord(layout, [&](void* r) { set(r, row); })) return false;
    return true;
  };
}

}  // namespace

std::string TemplatePath(const std::string& directory, const char* file, char letter) {
  return directory + "/" + file + ".bt" + letter;
}

bool WriteChartTemplate(const ChartTemplate& chart, char letter, const std::string& directory) {
  if (!WriteFile(L::sako::kLayout, directory, "sako", letter,
                 InsertAll(chart.source.accounts, SetAccount)))
    return false;
  if (!WriteFile(L::steke::kLayout, directory, "steke", letter,
                 InsertAll(chart.source.rates, SetRate)))
    return false;
  for (int t = 0; t < kTreeCount; ++t)
    if (!WriteFile(L::structure::kLayout, directory, TreeFileName(static_cast<TreeId>(t)), letter,
                   [&](const L::Layout&) {
                     return InsertStructureRecords(chart.trees[t], kSlotScratch);
                   }))
      return false;
  return true;
}

}  // namespace talvera::charts
