#include "shell/frame_commands.h"

#include <QFileDialog>
#include <QProcess>
#include <QTimer>

#include <cstring>

#include "core/mandant/data_conversion.h"
#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "shell/help_viewer.h"
#include "shell/mandant_dialogs.h"
#include "shell/shell_state.h"
#include "users/login_state.h"
#include "users/users_dialogs.h"
#include "reports/printer_dialogs.h"
#include "reports/report_window.h"
#include "shell/main_frame.h"
#include "shell/settings_dialogs.h"
#include "shell/start_screen.h"
#include "tax/tax_dialogs.h"
#include "tax/ustva_dialog.h"
#include "reports/print_form.h"
#include "reports/print_report.h"
#include "reports/printer.h"
#include "reports/report_kinds.h"
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
  RateRecord r;
  bool found = false;
  if (!RateRecordByIndex(rateClass, index, r, found) || !found) return false;
  std::strcpy(rateOut, r.rate);
  return true;
}

void SyncShellWithMandant() {
  ShellState& s = CurrentShell();
  const MandantValues& m = CurrentMandant();
  const LoginState& login = CurrentLogin();
  s.databaseOpen = MainFilesOpen();
  s.currentMandant = s.databaseOpen ? m.number : 0;
  s.firmName = m.companyName;
  s.fiscalYear = m.currentYear;
  s.userName = login.userName;
  s.rights = login.rights;
  s.evaluationsUnlocked = login.evaluationsUnlocked;
}

void PrepareMandants() {
  ConvertMasterFile();
  InstallDataVersionCheck();
  InstallRateLoading();
  InstallUserSeams();
  InstallMandantNotices();
  std::vector<MandantEntry> mandants;
  if (ListMandants(mandants) && mandants.size() == 1) {
    WriteNumberSetting(keys::kMandant, mandants[0].number);
    LoadMandant(mandants[0].number);
  }
}

void RegisterHelpCommands(MainFrame& frame, HelpViewer& help) {
  HelpViewer* h = &help;
  frame.SetHandler(57666, [h] {
    h->ShowIndex();
    return 0;
  });
  frame.SetHandler(57667, [h] {
    h->ShowHelpOnHelp();
    return 0;
  });
}

void RegisterCommands(MainFrame& frame) {
  MainFrame* f = &frame;
  // The Mandant administration: choosing a Mandant logs the user in and
  // opens its files; closing it without a Mandant ends the program.
  frame.SetHandler(3052, [f] {
    MandantDialog dialog(f);
    if (dialog.unusable()) {
      f->close();
      return 0;
    }
    dialog.exec();
    SyncShellWithMandant();
    if (dialog.endProgram()) f->close();
    return 0;
  });
  frame.SetHandler(10022, [f] {
    if (!RunUserAdministration(f)) {
      CurrentShell().currentMandant = 0;
      QTimer::singleShot(0, f, [f] { f->RunCommand(3052); });
    }
    SyncShellWithMandant();
    return 0;
  });
  frame.SetHandler(10021, [f] {
    RunOwnPassword(f);
    return 0;
  });
  frame.SetHandler(3066, [f] {
    RunDialog<CompanyMasterDialog>(*f);
    SyncShellWithMandant();
    return 0;
  });
  frame.SetHandler(2099, [f] {
    TakeOverDialog dialog(f);
    if (!dialog.empty()) dialog.exec();
    return 0;
  });
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
  frame.SetHandler(3012, [f] {
    if (UstvaDialog::ImportVatAccountMissing()) {
      QTimer::singleShot(0, f, [f] { f->RunCommand(kCommandImportVatAccount); });
      return 0;
    }
    UstvaDialogHooks hooks;
    hooks.isAdministrator = [] { return (CurrentLogin().rights & kRightAdministration) != 0; };
    hooks.editCompanyMaster = [f] {
      RunDialog<CompanyMasterDialog>(*f);
      SyncShellWithMandant();
    };
    hooks.printForm = [f] { return PrintForm(f); };
    hooks.printerInstalled = [] { return CurrentPrinter() != nullptr || OpenPrinter() != nullptr; };
    hooks.preparePrintFont = [] { return PreparePrintFont(kReportUstva); };
    hooks.chooseUploadPath = [f](const std::string& proposal) {
      return QFileDialog::getSaveFileName(f, "Voranmeldung zum Hochladen speichern",
                                          QString::fromStdString(proposal), "ELSTER-Datei (*.xml)")
          .toStdString();
    };
    hooks.writeFormPdf = [f](const std::string& path) { return PrintFormToPdf(path, f); };
    UstvaDialog dialog(f, hooks);
    dialog.exec();
    return dialog.Result();
  });
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
