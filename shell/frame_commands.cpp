#include "shell/frame_commands.h"

#include <QProcess>

#include <cstring>

#include "core/settings.h"
#include "reports/printer_dialogs.h"
#include "reports/report_window.h"
#include "shell/main_frame.h"
#include "shell/settings_dialogs.h"
#include "shell/start_screen.h"
#include "tax/tax_dialogs.h"
#include "tax/tax_rates.h"

namespace talvera {
namespace {

constexpr int kListFontKind = 17;

template <typename Dialog, typename... Args>
int RunDialog(MainFrame& frame, Args&&... args) {
  Dialog dialog(&frame, std::forward<Args>(args)...);
  dialog.exec();
  return 0;
}

}  // namespace

bool RateTextOfRecord(int rateClass, int index, char* rateOut) {
  std::vector<RateRecord> records;
  if (!ListRateRecords(rateClass, records)) return false;
  for (const RateRecord& r : records)
    if (r.index == index) {
      std::strcpy(rateOut, r.rate);
      return true;
    }
  return false;
}

void RegisterCommands(MainFrame& frame) {
  MainFrame* f = &frame;
  frame.SetHandler(3095, [f] {
    return RunDialog<EinstDialog>(*f, std::function<void(int)>([f](int id) { f->RunCommand(id); }));
  });
  frame.SetHandler(3096, [f] { return RunDialog<EinstBuchDialog>(*f); });
  frame.SetHandler(3097, [f] {
    return RunDialog<BsSchriftDialog>(*f, std::function<void()>([f] { f->reportWindow()->RebuildFont(); }));
  });
  frame.SetHandler(3300, [f] {
    ChooseReportFont(f, kListFontKind);
    return 0;
  });
  frame.SetHandler(3048, [f] { return RunDialog<DrueinDialog>(*f); });
  frame.SetHandler(3010, [f] { return RunDialog<RateMaintenanceDialog>(*f); });
  frame.SetHandler(3057, [f] { return RunDialog<ImportVatAccountDialog>(*f); });
  frame.SetHandler(3033, [f] {
    StartScreen about(f, true);
    about.exec();
    return 0;
  });
  // Calculator and word processor; a failure to start them is not reported.
  frame.SetHandler(2084, [] {
    QProcess::startDetached("gnome-calculator", {}) || QProcess::startDetached("xcalc", {});
    return 0;
  });
  frame.SetHandler(2082, [] {
    QProcess::startDetached(QString::fromStdString(CurrentSettings().textverarbeitung), {});
    return 0;
  });
}

}  // namespace talvera
