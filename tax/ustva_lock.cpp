#include "tax/ustva_lock.h"

#include "core/mandant_values.h"
#include "core/period_date.h"
#include "core/settings.h"

namespace talvera {

bool PostingLockWouldMove(const char* lockDate) {
  return CompareDates(lockDate, CurrentMandantSettings().buchungssperre.c_str());
}

bool AdvancePostingLock(const char* lockDate) {
  if (!PostingLockWouldMove(lockDate)) return false;
  WriteSetting(MandantKey(keys::kBuchungssperre, CurrentMandant().number), lockDate);
  CurrentMandantSettings().buchungssperre = lockDate;
  return true;
}

}  // namespace talvera
