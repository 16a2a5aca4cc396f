#include "core/mandant/delete_mandant.h"

#include <string>

#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/layouts/scramble.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "recman/recman.h"

namespace talvera {
namespace {

namespace F = layouts::fista;

enum : int {
  kMessageNotInitialised = 80,
  kMessageAskDelete = 95,
  kMessageNotAllDeleted = 97,
};

bool MayDelete(int number, const char* record) {
  const MandantSeams& seams = CurrentMandantSeams();
  int flags = kLoginAdministratorOnly | kLoginAlwaysAsk | kLoginPassWhenNoUsers;
  if (seams.login && !seams.login(number, flags)) return false;
  if (layouts::GetNumber(record, F::kPasswordOn) != 1 || !seams.confirmPassword) return true;
  return seams.confirmPassword(layouts::GetPassword(record, F::kAccessPassword));
}

bool DeleteMasterRecord(int number) {
  bool ok = false;
  {
    StoreTransaction transaction;
    char record[F::kLayout.recordLength];
    bool found = false;
    ok = transaction.began() && OpenSlot(kSlotFista) && ReadMandantRecord(number, record, found);
    if (ok && !found) ShowMessage(kMessageNotInitialised);
    ok = ok && found && Delete(kSlotFista) && transaction.Commit();
  }
  CloseSlot(kSlotFista);
  return ok;
}

// Every record file through the record manager, then the directory itself.
bool RemoveYearDirectory(const std::string& dir) {
  bool ok = true;
  for (const std::string& file : recman::ListFiles(dir))
    ok = recman::DeleteFile(dir + "/" + file) == recman::kOk && ok;
  return recman::RemoveDirectory(dir) == recman::kOk && ok;
}

}  // namespace

bool DeleteMandant(int number) {
  if (!ShowMessage(kMessageAskDelete)) return false;
  char record[F::kLayout.recordLength];
  bool found = false;
  if (!ReadMandantRecord(number, record, found)) return false;
  if (!found) {
    ShowMessage(kMessageNotInitialised);
    return false;
  }
  if (!MayDelete(number, record)) return false;
  if (number == CurrentMandant().number) CloseAll();
  if (!DeleteMasterRecord(number)) return false;
  bool complete = true;
  for (const std::string& dir : MandantYearDirectories(number))
    complete = RemoveYearDirectory(dir) && complete;
  if (!complete) ShowMessage(kMessageNotAllDeleted);
  return true;
}

}  // namespace talvera
