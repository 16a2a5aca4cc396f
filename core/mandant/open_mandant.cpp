#include "core/mandant/open_mandant.h"

#include <string>

#include "core/mandant/data_conversion.h"
#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"

namespace talvera {
namespace {

enum : int {
  kMessageRestore = 69,
  kMessageAccountUnreadable = 186,
  kMessageAccountMissing = 210,
};

// What must come back when the new Mandant is refused before anything of
// the open one was closed: its values and the login that works on it (a
// login to the refused Mandant must not stay with the open one's books).
class PreviousMandant {
 public:
  PreviousMandant() : values_(CurrentMandant()), settings_(CurrentMandantSettings()) {
    if (CurrentMandantSeams().keepLogin) CurrentMandantSeams().keepLogin();
  }
  void Restore() {
    CurrentMandant() = values_;
    CurrentMandantSettings() = settings_;
    SetMandantNumber(values_.number);
    SetFiscalYears(values_.currentYear, values_.previousYear);
    if (CurrentMandantSeams().restoreLogin) CurrentMandantSeams().restoreLogin();
  }

 private:
  MandantValues values_;
  MandantSettings settings_;
};

// Older data are converted first (message 901): the login reads the user
// file, which they may not have yet. Asking here, before the files are
// opened (which checks the version too), keeps a refusal from closing the
// Mandant that is open. The login comes before the password query: it sets
// the evaluations flag from the user's rights, which the query may then
// unlock as well.
bool LetUserIn(int number) {
  const MandantSeams& seams = CurrentMandantSeams();
  if (!CheckDataVersion()) return false;
  if (seams.login && !seams.login(number, kLoginMakeCurrent)) return false;
  const MandantValues& m = CurrentMandant();
  bool protectedByPassword = m.passwordOn || m.accessPassword[0] != '\0';
  return !protectedByPassword || !seams.askPasswords || seams.askPasswords();
}

void CheckCollectiveAccounts() {
  const MandantValues& m = CurrentMandant();
  for (const char* account : {m.receivablesAccount, m.payablesAccount, m.carryForwardAccount}) {
    bool found = false;
    if (!Exists(KeyValue(account, 8), found, MakeFileId(kSlotSako, 0))) {
      ShowMessage(kMessageAccountUnreadable);
      continue;
    }
    std::string shown(account);
    shown.erase(0, shown.find_first_not_of(' '));
    if (!found) ShowArgumentMessage(kMessageAccountMissing, 0, shown);
  }
}

}  // namespace

bool OpenMandant(int number) {
  const MandantSeams& seams = CurrentMandantSeams();
  PreviousMandant previous;
  if (!LoadMandant(number) || !LetUserIn(number)) {
    previous.Restore();
    return false;
  }
  CloseAll();
  if (!OpenMainFiles()) {
    if (ShowMessage(kMessageRestore) && seams.startRestore) seams.startRestore();
    return false;
  }
  WriteNumberSetting(keys::kMandant, number);
  CurrentSettings().mandant = number;
  if (seams.refreshEvaluations) seams.refreshEvaluations();
  CheckCollectiveAccounts();
  if (seams.endArchiveView) seams.endArchiveView();
  return true;
}

}  // namespace talvera
