// The gallery's table: one line per dialog or window. Each function builds
// its window on the open sample Mandant (see PrepareSampleData); the gallery
// shows it, takes its picture and deletes it.
#include "tools/gallery/gallery.h"

#include "accounts/account_dialogs.h"
#include "accounts/account_window.h"
#include "accounts/bank_dialog.h"
#include "accounts/currency_dialog.h"
#include "core/settings.h"
#include "posting/booking_texts_dialog.h"
#include "reports/account_list_dialogs.h"
#include "reports/structure_dialogs.h"
#include "tax/ustva_dialog.h"
#include "posting/balances_dialog.h"
#include "posting/batch_dialog.h"
#include "posting/posting_dialog.h"
#include "posting/posting_month_dialog.h"
#include "posting/opening_posting_dialog.h"
#include "posting/storno_dialog.h"
#include "posting/select_batch.h"
#include "reports/account_analysis_dialog.h"
#include "reports/account_sheet_dialogs.h"
#include "posting/split_dialog.h"
#include "reports/print_job.h"
#include "reports/printer_dialogs.h"
#include "reports/report_kinds.h"
#include "shell/help_viewer.h"
#include "shell/main_frame.h"
#include "shell/mandant_dialogs.h"
#include "shell/settings_dialogs.h"
#include "shell/start_screen.h"
#include "tax/tax_dialogs.h"
#include "tools/gallery/sample_windows.h"
#include "reports/bwa_dialogs.h"
#include "reports/statement_dialogs.h"
#include "users/users_dialogs.h"

namespace talvera::gallery {

const std::vector<Entry>& Entries() {
  static const std::vector<Entry> entries = {
      {"CMainFrame", [](QWidget*) { return SampleFrame(); }},
      {"TQSTART", [](QWidget* p) { return new StartScreen(p, false); }},
      {"TQABOUT", [](QWidget* p) { return new StartScreen(p, true); }},
      {"HILFE", [](QWidget* p) { return SampleHelp(p); }},
      {"MANDANT", [](QWidget* p) { return new MandantDialog(p); }},
      {"MANDANLEGEN", [](QWidget* p) { return new CreateMandantDialog(p); }},
      {"TQKR", [](QWidget* p) { return new SpecialAccountsDialog(p); }},
      {"STAMMDAT", [](QWidget* p) { return new CompanyMasterDialog(p); }},
      {"DATENUEBERNAHME", [](QWidget* p) { return new TakeOverDialog(p); }},
      {"BENUTZERLOGIN", [](QWidget* p) { return new LoginDialog(p, 0); }},
      {"BENUTZERVERW", [](QWidget* p) { return new UserAdminDialog(p); }},
      {"BENUTZERKOPIEREN", [](QWidget* p) { return SampleCopyRights(p); }},
      {"BENUTZERPASSAEN", [](QWidget* p) { return new UserPasswordDialog(p, "Anna"); }},
      {"PASSAEN", [](QWidget* p) { return new ProgramPasswordDialog(p); }},
      {"PASSTEST", [](QWidget* p) { return new PasswordQueryDialog(p); }},
      {"EINST", [](QWidget* p) { return new EinstDialog(p); }},
      {"EINSTBUCH", [](QWidget* p) { return new EinstBuchDialog(p); }},
      {"BSSCHRIFT", [](QWidget* p) { return new BsSchriftDialog(p); }},
      {"DRUEIN", [](QWidget* p) { return new DrueinDialog(p); }},
      {"SCHRIFT", [](QWidget* p) { return new SchriftDialog(p, kReportListBox); }},
      {"FORMULAREINST", [](QWidget* p) { return new FormularEinstDialog(p); }},
      {"STAPELWAHL", [](QWidget* p) { return new SelectBatchDialog(p); }},
      {"STEANL", [](QWidget* p) { return new RateMaintenanceDialog(p); }},
      {"EUST", [](QWidget* p) { return new ImportVatAccountDialog(p); }},
      {"KTOBLA", [](QWidget* p) { return SampleKtoBlaDialog(p); }},
      {"KBLIST", [](QWidget* p) { return SampleSheetBrowser(p); }},
      {"KBLINFO", [](QWidget* p) { return SampleSheetProgress(p); }},
      {"ABORTPRINT", [](QWidget* p) { return NewAbortPrintDialog(p, "Kontenblatt", "36"); }},
      {"ANA_KONTO", [](QWidget* p) { return SampleAccountAnalysis(p); }},
      {"BUCPERIODE", [](QWidget* p) { return new PostingMonthDialog(p); }},
      {"BUCLAU", [](QWidget* p) { return PostingDialogSample(p, PostingMode::kOrdinary); }},
      {"BUCLAUKG", [](QWidget* p) {
         CurrentSettings().kg = true;
         QDialog* d = PostingDialogSample(p, PostingMode::kOrdinary);
         CurrentSettings().kg = false;
         return d;
       }},
      {"UMBUCHUNG", [](QWidget* p) { return PostingDialogSample(p, PostingMode::kReclassification); }},
      {"SPLIT_1N", [](QWidget* p) { return new SplitDialog(p, SplitKind::kOneDebitManyCredit, "10000", "100,00", "071246", {}); }},
      {"SPLIT_N1", [](QWidget* p) { return new SplitDialog(p, SplitKind::kManyDebitsOneCredit, "1200", "238,00", "071246", {}); }},
      {"BUCSAL", [](QWidget* p) { return new BalancesDialog(p, {{"1200", "Bank", "2.380,00 S", 'S', true}, {"8400", "Erlöse 19 % USt", "1.000,00 H", 'H', true}, {"1776", "Umsatzsteuer 19 %", "190,00 H", 'H', true}}, "09.12.2026"); }},
      {"AUFBAU", [](QWidget* p) -> QWidget* { return BuildStructureEditorSample(p).release(); }},
      {"BANKENVERW", [](QWidget* p) -> QWidget* { return BuildBankAdministrationSample(p); }},
      {"KURSE", [](QWidget* p) -> QWidget* { return BuildCurrencySample(p); }},
      {"BUCTEXT", [](QWidget* p) { return BookingTextsSample(p); }},
      {"BUCSCHA", [](QWidget* p) { return BookingTemplatesSample(p); }},
      {"USTVA", [](QWidget* p) -> QWidget* { return MakeUstvaDialogSample(p); }},
      {"KTOSAL", [](QWidget* p) { return SampleKtoSalDialog(p); }},
      {"ABSCHLUSS", [](QWidget* p) { return SampleAbschlussDialog(p); }},
      {"KTOPLAN", [](QWidget* p) { return SampleKtoPlanDialog(p); }},
      {"BUCJOU", [](QWidget* p) { return SampleBucJouDialog(p); }},
      {"BUCLISTE", [](QWidget* p) { return SampleBucListeDialog(p); }},
      {"BUCSTORNO", [](QWidget* p) { return StornoDialogSample(p); }},
      {"BUCEROMSG", [](QWidget* p) { return new OpeningNoticeDialog(p); }},
      {"BUCERO", [](QWidget* p) { return OpeningPostingDialogSample(p); }},
      {"GUVAKT", [](QWidget* p) { return SampleGuvAktDialog(p); }},
      {"GUVPER", [](QWidget* p) { return SampleGuvPerDialog(p); }},
      {"BILAKT", [](QWidget* p) { return SampleBilAktDialog(p); }},
      {"BILPER", [](QWidget* p) { return SampleBilPerDialog(p); }},
      {"BILERO", [](QWidget* p) { return SampleBilEroDialog(p); }},
      {"BWA", [](QWidget* p) { return SampleBwaDialog(p); }},
      {"ANALYSE", [](QWidget* p) { return SampleAnalyseDialog(p); }},
      {"GRAFIK", [](QWidget* p) { return SampleChartWindow(p); }},
      {"KONTOVERWALTUNG_S", [](QWidget* p) { return new AccountWindow(p, WindowKind::kSachkonten); }},
      {"KONTOVERWALTUNG_D", [](QWidget* p) { return new AccountWindow(p, WindowKind::kDebitoren); }},
      {"KONTOVERWALTUNG_K", [](QWidget* p) { return new AccountWindow(p, WindowKind::kKreditoren); }},
      {"KONTOVERWALTUNG_R", [](QWidget* p) { return new AccountWindow(p, WindowKind::kKostenstellen); }},
      {"SAKTONEU", [](QWidget* p) { return new AccountDialog(p, WindowKind::kSachkonten, {}, AccountOrder::kNumber, "8401"); }},
      {"SAKTOAEN", [](QWidget* p) { return SampleAccountDialog(p, WindowKind::kSachkonten, "8400"); }},
      {"DEBINEU", [](QWidget* p) { return new AccountDialog(p, WindowKind::kDebitoren, {}, AccountOrder::kName, "Neu"); }},
      {"DEBIAEN", [](QWidget* p) { return SampleAccountDialog(p, WindowKind::kDebitoren, "10000"); }},
      {"KREDNEU", [](QWidget* p) { return new AccountDialog(p, WindowKind::kKreditoren, {}); }},
      {"KREDAEN", [](QWidget* p) { return SampleAccountDialog(p, WindowKind::kKreditoren, "70000"); }},
      {"KOSTNEU", [](QWidget* p) { return new AccountDialog(p, WindowKind::kKostenstellen, {}); }},
      {"KOSTAEN", [](QWidget* p) { return SampleAccountDialog(p, WindowKind::kKostenstellen, "100"); }},
      {"KTONEU", [](QWidget* p) { return new QuickAccountDialog(p); }},
      {"KTOLOE", [](QWidget* p) { return new DeleteAccountsDialog(p); }},
      {"SOLLWERTE", [](QWidget* p) { return SampleBudgetDialog(p); }},
      {"SW_ENTWICKLUNG", [](QWidget* p) { return new BudgetDevelopmentDialog(p); }},
      {"BUCBAT", [](QWidget* p) { return BatchPostingDialogSample(p); }},
      {"BUCBATKG", [](QWidget* p) {
         CurrentSettings().kg = true;
         QDialog* d = BatchPostingDialogSample(p);
         CurrentSettings().kg = false;
         return d;
       }},
      {"ABORTUEBER", [](QWidget* p) { return BatchRunProgressSample(p); }},
  };
  return entries;
}

}  // namespace talvera::gallery
