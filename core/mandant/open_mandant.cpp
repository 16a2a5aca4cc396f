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
// the open one was closed.
class PreviousMandant {
 public:
  PreviousMandant() : values_(CurrentMandant()), settings_(CurrentMandantSettings()) {}
  void Restore() {
    CurrentMandant() = values_;
    CurrentMandantSettings() = settings_;
    SetMandantNumber(values_.number);
    SetFiscalYears(values_.currentYear, values_.previousYear);
  }

 private:
  MandantValues values_;
  MandantSettings settings_;
};

// The login comes first: it sets the evaluations flag from the user's
// rights, which the password query may then unlock as well.
bool LetUserIn(int number) {
  const MandantSeams& seams = CurrentMandantSeams();
  if (seams.login && !seams.login(number, kLoginMakeCurrent)) return false;
  const MandantValues& m = CurrentMandant();
  bool protectedByPassword = m.passwordOn || m.accessPassword[0] != '\0';
  if (protectedByPassword && seams.askPasswords && !seams.askPasswords()) return false;
  // Opening the files checks the version too; asking here keeps a refusal
  // from closing the Mandant that is open.
  return CheckDataVersion();
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
