#include "core/mandant/file_set.h"

#include <cstring>

#include "core/charts/chart_catalog.h"
#include "core/charts/rate_dates.h"
#include "core/layouts/create_file.h"
#include "core/layouts/layout.h"
#include "core/layouts/sako.h"
#include "core/layouts/steke.h"
#include "core/layouts/structure.h"
#include "core/message.h"
#include "core/record_store.h"
#include "recman/recman.h"

namespace talvera {
namespace {

constexpr int kMessageNotModified = 502;

// In this order: a failure leaves the files before it behind for the next try.
constexpr const char* kEmptyFiles[] = {"bube",   "kurse",  "debi",   "kred",   "bank",
                                       "ueberw", "bat",    "stapel", "opkred", "opdebi",
                                       "butext", "buscha", "kore",   "user",   "bankiban"};
constexpr const char* kChartFiles[] = {"sako", "steke", "guvauf", "bilaktau", "bilpasau"};

std::string PathIn(const std::string& dir, const std::string& file) {
  return dir + "/" + file + ".btr";
}

const FileId kScratch = MakeFileId(kSlotScratch, 0);

// sako: the account with the default number. A number or short code some
// other account has already would give the chart a duplicate.
bool RenumberAccount(const std::string& dir, const charts::SpecialAccount& from,
                     const SpecialAccountValue& to) {
  namespace S = layouts::sako;
  if (!OpenPath(PathIn(dir, "sako"), kSlotScratch)) return false;
  char other[S::kLayout.recordLength];
  bool taken = false, codeTaken = false;
  bool ok = (std::strcmp(from.number, to.number) == 0 ||
             GetEqual(other, KeyValue(to.number, 8), taken, kScratch)) &&
            (std::strcmp(from.shortCode, to.shortCode) == 0 ||
             GetEqual(other, KeyValue(to.shortCode, 10), codeTaken, MakeFileId(kSlotScratch, 1)));
  char record[S::kLayout.recordLength];
  bool found = false;
  ok = ok && !taken && !codeTaken && GetEqual(record, KeyValue(from.number, 8), found, kScratch) &&
       found;
  if (ok) {
    layouts::SetRawText(record, S::kAccountNo, to.number);
    layouts::SetRawText(record, S::kShortCode, to.shortCode);
    ok = Update(record, kScratch);
  }
  CloseSlot(kSlotScratch);
  return ok;
}

// The structure file: the leaf of the account (key 1 is its number), when
// the tree holds it at all.
bool RenumberLeaf(const std::string& dir, int row, const charts::SpecialAccount& from,
                  const SpecialAccountValue& to) {
  namespace T = layouts::structure;
  bool assets = row == 0 || row == 2 || row == 3 || row == 9;
  if (!OpenPath(PathIn(dir, assets ? "bilaktau" : "bilpasau"), kSlotScratch)) return false;
  char record[T::kLayout.recordLength];
  bool found = false;
  bool ok = GetEqual(record, KeyValue(from.number, 8), found, MakeFileId(kSlotScratch, 1));
  if (ok && found) {
    std::memcpy(layouts::FieldBytes(record, T::kLabel), to.number, 8);
    layouts::SetRawText(record, T::kShortCode, to.shortCode);
    ok = Update(record, MakeFileId(kSlotScratch, 1));
  }
  CloseSlot(kSlotScratch);
  return ok;
}

// steke: every rate record that books to the account.
bool RenumberRateAccounts(const std::string& dir, const charts::SpecialAccount& from,
                          const SpecialAccountValue& to) {
  namespace K = layouts::steke;
  if (!OpenPath(PathIn(dir, "steke"), kSlotScratch)) return false;
  char record[K::kLayout.recordLength];
  bool found = false;
  bool ok = GetFirstFound(record, found, kScratch);
  while (ok && found) {
    bool changed = false;
    for (const layouts::Field& f : {K::kOutputTaxAccount, K::kInputTaxAccount}) {
      if (layouts::GetText(record, f) == from.number) {
        layouts::SetRawText(record, f, to.number);
        changed = true;
      }
    }
    ok = (!changed || Update(record, kScratch)) && GetNextFound(record, found, kScratch);
  }
  CloseSlot(kSlotScratch);
  return ok;
}

bool ApplyChangedSpecialAccounts(const std::string& directory, const SpecialAccountSet& special) {
  auto defaults = charts::BasicChartSpecialAccounts();
  for (std::size_t row = 0; row < special.size() && row < defaults.size(); ++row) {
    const SpecialAccountValue& v = special[row];
    if (std::strcmp(v.number, defaults[row].number) == 0 &&
        std::strcmp(v.shortCode, defaults[row].shortCode) == 0)
      continue;
    if (!ApplySpecialAccount(static_cast<int>(row), directory, v)) {
      ShowMessage(kMessageNotModified);
      return false;
    }
  }
  return true;
}

}  // namespace

bool ApplySpecialAccount(int row, const std::string& directory, const SpecialAccountValue& value) {
  auto defaults = charts::BasicChartSpecialAccounts();
  if (row < 0 || row >= static_cast<int>(defaults.size())) return false;
  const charts::SpecialAccount& from = defaults[row];
  recman::UseDirectory(directory);
  bool ok = false;
  {
    StoreTransaction transaction;
    ok = transaction.began() && RenumberAccount(directory, from, value) &&
         RenumberLeaf(directory, row, from, value) &&
         RenumberRateAccounts(directory, from, value) && transaction.Commit();
  }
  CloseSlot(kSlotScratch);  // stayed open while the transaction ran
  return ok;
}

bool CreateFileSet(char chart, const std::string& directory, int startMonth,
                   const SpecialAccountSet& special) {
  for (const char* file : kEmptyFiles)
    if (!layouts::CreateFile(directory, file)) return false;
  for (const char* file : kChartFiles) {
    std::string from = DataRoot() + "/" + file + ".bt" + chart;
    if (recman::CopyFile(from, PathIn(directory, file)) != recman::kOk) return false;
  }
  if (!charts::RebaseRateDates(PathIn(directory, "steke"), startMonth)) return false;
  return chart != kBasicChart || ApplyChangedSpecialAccounts(directory, special);
}

}  // namespace talvera
