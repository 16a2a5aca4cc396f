#include "shell/shell_state.h"

#include "core/message.h"
#include "core/period_date.h"
#include "core/profile.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/text_helpers.h"

namespace talvera {
namespace {
constexpr int kMessageNotInstalled = 60;
constexpr int kMessageNoDatabase = 513;
constexpr int kMessageDiskFull = 75;
constexpr long long kMinimumFreeKilobytes = 1000;
}  // namespace

ShellState& CurrentShell() {
  static ShellState state;
  return state;
}

std::string WindowTitle(const ShellState& s) {
  std::string title = kProductName;
  if (s.currentMandant == 0) return title;
  return title + " - " + s.userName + " - " + s.firmName + " ( " + FiscalYearLabel(s.fiscalYear.c_str()) +
         " )";
}

CommandContext ContextOf(const ShellState& s) {
  CommandContext c;
  c.postingDialogOpen = s.postingDialogOpen;
  c.archiveOpen = s.archiveOpen;
  c.evaluationsUnlocked = s.evaluationsUnlocked;
  c.reportShown = s.reportKind != 0;
  c.rights = s.rights;
  return c;
}

bool HelpContextOf(int id, long& context) {
  switch (id) {
    case 3071: case 3081: case 3099: case 3047: case 3032: case 2082: case 2084: case 57666:
    case 57667:
      return false;
    case 3051: context = 4001; return true;
    case 3059: case 3060: case 3061: case 3064: case 3065: context = 3059; return true;
    default: context = id; return true;
  }
}

bool PrepareStart() {
  ProfileWriteString(TalviIniPath(), kTalviSection, "DBFehler", "");
  ReadSettings();
  std::string root = CurrentSettings().pfad;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (root.empty()) {
    ShowMessage(kMessageNotInstalled);
    return false;
  }
  SetDataRoot(root);
  if (!StartRecordManager()) {
    ShowMessage(kMessageNoDatabase, 0, SettingsDirectory());
    return false;
  }
  if (FreeDiskKilobytes(root) < kMinimumFreeKilobytes) {
    ShowMessage(kMessageDiskFull);
    return false;
  }
  return true;
}

}  // namespace talvera
