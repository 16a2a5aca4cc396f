#include "shell/frame_commands.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <cstring>

#include "accounts/account_dialogs.h"
#include "accounts/account_window.h"
#include "accounts/bank_dialog.h"
#include "accounts/currency_dialog.h"
#include "accounts/currency_rates.h"
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
#include "reports/account_list_dialogs.h"
#include "reports/account_sheet_dialogs.h"
#include "reports/bwa_dialogs.h"
#include "reports/statement_dialogs.h"
#include "core/layouts/stapel.h"
#include "posting/batch_dialog.h"
#include "posting/batch_headers.h"
#include "posting/booking_currency.h"
#include "posting/select_batch.h"
#include "shell/command_table.h"
#include "posting/posting_dialog.h"
#include "posting/posting_month_dialog.h"
#include "posting/opening_posting_dialog.h"
#include "posting/storno_dialog.h"
#include "core/message.h"
#include "core/profile.h"
#include "core/today.h"
#include "reports/print_list_box.h"
#include "reports/printer.h"
#include "reports/printer_dialogs.h"
#include "reports/report_window.h"
#include "reports/structure_dialogs.h"
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
constexpr int kMessageNoPrinter = 53;

template <typename Dialog, typename... Args>
int RunDialog(MainFrame& frame, Args&&... args) {
  Dialog dialog(&frame, std::forward<Args>(args)...);
  dialog.exec();
  return 0;
}

template <typename Dialog>
int RunEvaluationDialog(MainFrame& frame) {
  Dialog dialog(&frame);
  return RunEvaluation(dialog);
}

}  // namespace

bool RateTextOfRecord(int rateClass, int index, char* rateOut) {
  RateRecord r;
  bool found = false;
  if (!RateRecordByIndex(rateClass, index, r, found) || !found) return false;
  std::strcpy(rateOut, r.rate);
  return true;
}

void OpenPrinterAtStart() {
  if (!OpenPrinter()) ShowMessage(kMessageNoPrinter);
}

void InstallListPrinting() {
  InstallListBoxPrinting(QCoreApplication::instance());
  SetListPrintHeaderSource([]() -> std::optional<ListPrintHeader> {
    const ShellState& s = CurrentShell();
    if (!s.databaseOpen || s.currentMandant == 0) return std::nullopt;
    return ListPrintHeader{s.firmName, DayToday().text};
  });
}

bool StartTextProcessor() {
  QString program = QString::fromStdString(CurrentSettings().textverarbeitung).trimmed();
  if (!program.isEmpty() && !QStandardPaths::findExecutable(program).isEmpty())
    return QProcess::startDetached(program, {});
  // "WRITE" and other programs this machine does not have: the desktop's
  // editor for text files, on a notes file in the settings directory.
  QString notes = QString::fromStdString(SettingsDirectory()) + "/Notizen.txt";
  if (!QFileInfo::exists(notes)) QFile(notes).open(QIODevice::WriteOnly);
  return QProcess::startDetached("xdg-open", {notes});
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
  InstallCurrencyRateLoading();
  InstallRateEntryDialog();
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
    int before = CurrentShell().currentMandant;
    dialog.exec();
    SyncShellWithMandant();
    // The account windows show the accounts of one Mandant.
    if (CurrentShell().currentMandant != before) CloseAccountWindows();
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
  frame.SetHandler(10030, [f] { return RunDialog<ProgramPasswordDialog>(*f); });
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
  // Bank and currency administration, each open at most once.
  frame.SetHandler(3054, [f] {
    RunBankAdministration(f);
    return 0;
  });
  frame.SetHandler(3082, [f] {
    RunCurrencyAdministration(f);
    return 0;
  });
  frame.SetHandler(3033, [f] {
    StartScreen about(f, true);
    about.exec();
    return 0;
  });
  // The structure editors and the structure reorganisation.
  for (int id : {3059, 3060, 3061, 3064, 3065}) {
    frame.SetHandler(id, [f, id] {
      RunStructureEditor(f, id);
      return 0;
    });
  }
  frame.SetHandler(3077, [f] {
    RunStructureReorganisation(f);
    return 0;
  });
  // Calculator and word processor; a failure to start them is not reported.
  frame.SetHandler(2084, [] {
    QProcess::startDetached("gnome-calculator", {}) || QProcess::startDetached("xcalc", {});
    return 0;
  });
  frame.SetHandler(2082, [] {
    StartTextProcessor();
    return 0;
  });
  // The account lists: each dialog returns the lines the report window shows
  // or prints (-1 when cancelled); the posting list prints by itself.
  frame.SetHandler(3007, [f] { return RunEvaluationDialog<KtoPlanDialog>(*f); });
  frame.SetHandler(3008, [f] { return RunEvaluationDialog<KtoSalDialog>(*f); });
  frame.SetHandler(3042, [f] { return RunEvaluationDialog<AbschlussDialog>(*f); });
  frame.SetHandler(3015, [f] { return RunEvaluationDialog<BucJouDialog>(*f); });
  frame.SetHandler(3001, [f] { return RunDialog<BucListeDialog>(*f); });
  // The account sheets show in their own browser or print themselves.
  frame.SetHandler(3009, [f] { return RunEvaluationDialog<KtoBlaDialog>(*f); });
  // The P&L statement and the balance sheet.
  frame.SetHandler(3000, [f] { return RunEvaluationDialog<GuvAktDialog>(*f); });
  frame.SetHandler(3016, [f] { return RunEvaluationDialog<GuvPerDialog>(*f); });
  frame.SetHandler(3044, [f] { return RunEvaluationDialog<BilAktDialog>(*f); });
  frame.SetHandler(3045, [f] { return RunEvaluationDialog<BilPerDialog>(*f); });
  frame.SetHandler(3050, [f] { return RunEvaluationDialog<BilEroDialog>(*f); });
  // BWA and analysis: a report, or a chart in its own window.
  for (int id : {2088, 2089, 2090, 2091}) frame.SetHandler(id, [f, id] { return RunBwa(f, id); });
  for (int id : {2092, 2093, 2094}) frame.SetHandler(id, [f, id] { return RunAnalyse(f, id); });
  RegisterPostingCommands(frame);
  RegisterAccountCommands(frame);
}

void RegisterAccountCommands(MainFrame& frame) {
  MainFrame* f = &frame;
  AccountWindowRules rules;
  rules.archiveOpen = [] { return CurrentShell().archiveOpen; };
  rules.evaluationsUnlocked = [] { return CurrentShell().evaluationsUnlocked; };
  SetAccountWindowRules(std::move(rules));
  // The account windows exist while the Mandant's files are open.
  for (auto [id, kind] : {std::pair{3091, WindowKind::kSachkonten}, std::pair{3092, WindowKind::kKreditoren},
                          std::pair{3093, WindowKind::kDebitoren}, std::pair{10002, WindowKind::kKostenstellen}}) {
    frame.SetHandler(id, [f, kind = kind] {
      if (!CurrentShell().databaseOpen) return 0;
      ShowAccountWindow(f, kind);
      CurrentShell().accountWindowsVisible = true;
      return 0;
    });
  }
  frame.SetHandler(3099, [] {
    CurrentShell().accountWindowsVisible = ToggleAccountWindows();
    return 0;
  });
  frame.SetHandler(3006, [f] {
    DeleteAccountsDialog dialog(f);
    dialog.exec();
    return 0;
  });
}

void InstallCurrencyConversion() {
  SetHomeAmountConverter([](const std::string& currency, const char* date, const char* foreign, char* home) {
    RateEntry rate;
    return RequireRate(currency.c_str(), date, rate) && ConvertAmount(rate, foreign, home);
  });
}

namespace {

// A modeless posting dialog with the menus greyed while it is open.
void ShowModelessPostingDialog(MainFrame* f, PostingDialog* dialog) {
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(dialog, &PostingDialog::ended, f, [f] { f->EnablePostingMenus(true); });
  f->EnablePostingMenus(false);
  dialog->show();
  dialog->Start();
}

// The open posting dialog comes to the front; false when none is open.
bool ActivateOpenPostingDialog() {
  PostingDialog* open = OpenPostingDialog();
  if (!open) return false;
  open->show();
  open->raise();
  open->activateWindow();
  return true;
}

// The batch dialog on a batch; nothing opens when its header is missing.
// A posting dialog that keeps the program to itself until it ends, with the
// menus greyed meanwhile.
template <typename Dialog>
void RunModalPostingDialog(MainFrame* f, Dialog& dialog) {
  f->EnablePostingMenus(false);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  dialog.Start();
  dialog.exec();
  f->EnablePostingMenus(true);
}

void OpenBatchDialog(MainFrame* f, int batch, const PostingMonth& month) {
  bool mayPost = CurrentLogin().rights & kRightVerbuchen;
  if (BatchPostingDialog* dialog = MakeBatchDialog(f, batch, month, mayPost)) ShowModelessPostingDialog(f, dialog);
}

}  // namespace

void RegisterPostingCommands(MainFrame& frame) {
  MainFrame* f = &frame;
  // Current postings: once, modeless; a second request activates it.
  frame.SetHandler(3013, [f] {
    if (ActivateOpenPostingDialog()) return 0;
    PostingDialogOptions o;
    o.user = CurrentLogin().userName;
    if (!CurrentSettings().keinePeri) {
      PostingMonthDialog month(f);
      if (month.exec() != QDialog::Accepted) return 0;
      o.month = month.month();
    }
    ShowModelessPostingDialog(f, new PostingDialog(f, std::move(o)));
    return 0;
  });
  // Storno of posted bookings; opening postings after their notice, modal
  // with the menus greyed as for closing postings.
  frame.SetHandler(2098, [f] { return RunDialog<StornoDialog>(*f); });
  frame.SetHandler(3014, [f] {
    OpeningNoticeDialog notice(f);
    if (notice.exec() != QDialog::Accepted) return 0;
    OpeningPostingDialog dialog(f, CurrentLogin().userName);
    RunModalPostingDialog(f, dialog);
    return 0;
  });
  // Batch postings: the batch is chosen, then the month, as for current postings.
  frame.SetHandler(3051, [f] {
    if (ActivateOpenPostingDialog()) return 0;
    if (!EnsureSettlementBatches()) return 0;
    int batch = SelectBatch(f, -CurrentMandant().number);
    if (batch <= 0) return 0;
    PostingMonth month;
    if (!CurrentSettings().keinePeri) {
      PostingMonthDialog chooser(f);
      if (chooser.exec() != QDialog::Accepted) return 0;
      month = chooser.month();
    }
    OpenBatchDialog(f, batch, month);
    return 0;
  });
  // The settlement batches open directly.
  for (auto [id, batch] : {std::pair{2097, layouts::stapel::kDebitorSettlementBatch},
                           std::pair{3076, layouts::stapel::kKreditorSettlementBatch}}) {
    frame.SetHandler(id, [f, batch = batch] {
      if (EnsureSettlementBatches()) OpenBatchDialog(f, batch, {});
      return 0;
    });
  }
  // Closing postings and reclassifications: modal, with the menus greyed.
  for (auto [id, mode] : {std::pair{3043, PostingMode::kClosing}, std::pair{3058, PostingMode::kReclassification}}) {
    frame.SetHandler(id, [f, mode = mode] {
      PostingDialogOptions o;
      o.mode = mode;
      o.user = CurrentLogin().userName;
      PostingDialog dialog(f, std::move(o));
      RunModalPostingDialog(f, dialog);
      return 0;
    });
  }
}

}  // namespace talvera
