#include "core/structure_reconcile.h"

#include <cstring>
#include <map>

#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/structure_file.h"
#include "core/structure_tree.h"
#include "recman/recman.h"

namespace talvera {

namespace {

constexpr StructureKind kReconcileOrder[] = {StructureKind::kAssets, StructureKind::kLiabilities,
                                             StructureKind::kProfitAndLoss};

void Reconcile(StructureKind kind, const std::map<std::string, const ClassAccount*>& accounts,
               StructureTree& tree) {
  tree.DropLeaves([&](const std::string& number, bool alternative) {
    auto it = accounts.find(number);
    int wanted = alternative ? AlternativeLeafClass(kind) : LeafClass(kind);
    return it == accounts.end() || wanted == 0 || it->second->accountClass != wanted;
  });
  for (const auto& [number, account] : accounts)
    if (account->accountClass == LeafClass(kind) && !tree.HasLeaf(number))
      tree.loose.push_back({number, account->shortCode});
}

}  // namespace

bool ReconcileStructure(const std::string& directory) {
  std::vector<ClassAccount> list;
  if (!ReadClassAccounts(directory, 0, list)) return false;
  std::map<std::string, const ClassAccount*> accounts;
  for (const ClassAccount& a : list) accounts[a.number] = &a;

  StructureTree trees[3];
  for (int i = 0; i < 3; ++i) {
    StructureKind kind = kReconcileOrder[i];
    if (!LoadStructure(StructurePath(directory, kind), trees[i])) return false;
    Reconcile(kind, accounts, trees[i]);
  }
  recman::UseDirectory(directory);
  bool ok = false;
  {
    StoreTransaction transaction;
    ok = transaction.began();
    for (int i = 0; ok && i < 3; ++i)
      ok = ReplaceStructureRecords(StructurePath(directory, kReconcileOrder[i]), trees[i]);
    ok = ok && transaction.Commit();
  }
  CloseSlot(kSlotScratch);
  return ok;
}

int ReorganiseStructures() {
  const MandantValues& m = CurrentMandant();
  std::vector<std::string> years{WorkingYear()};
  if (WorkingYear() != m.currentYear)
    years.push_back(m.currentYear);
  else if (m.previousYear[0])
    years.push_back(m.previousYear);

  CloseAll();
  bool reconciled = true;
  for (const std::string& year : years)
    if (!year.empty() && !ReconcileStructure(YearDirectory(year))) reconciled = false;
  if (!OpenMainFiles()) return kMessageReorganisationFailed;
  return reconciled ? kMessageReorganised : kMessageStructureInconsistent;
}

}  // namespace talvera
