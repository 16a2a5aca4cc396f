#include "tax/ustva_dialog.h"

#include <QFormLayout>
#include <QLineEdit>

#include <cstdlib>
#include <cstring>

#include "core/account_lookup.h"
#include "core/field_readers.h"
#include "core/mandant/company_master.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "reports/form_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "tax/evaluation_period_dialog_panel.h"
#include "tax/ustva_form_sheet.h"
#include "tax/ustva_list.h"
#include "tax/ustva_lock.h"

namespace talvera {
namespace {

enum Message : int {
  kMessageStillPrinting = 54,
  kMessageNotProduced = 56,
  kMessageImportVatAccount = 114,
  kMessageLockWarning = 804,
  kMessageIncompleteNoRight = 980,
  kMessageIncompleteAdmin = 981,
};

// Puts the current year's files back however the return ended.
class WorkingYearBack {
 public:
  ~WorkingYearBack() { SwitchWorkingYear(CurrentMandant().currentYear); }
};

}  // namespace

UstvaDialog::UstvaDialog(QWidget* parent, UstvaDialogHooks hooks)
    : TalviDialog(parent, "USTVA", "Umsatzsteuer - Voranmeldung"), hooks_(std::move(hooks)) {
  panel_ = new EvaluationPeriodPanel(this, kReportUstva, true);
  form_->addRow(panel_);
  AddButtons();
  bool printer = !hooks_.printerInstalled || hooks_.printerInstalled();
  panel_->EnableOutput(EvaluationPeriodPanel::kPrinter, printer);
  panel_->EnableOutput(EvaluationPeriodPanel::kForm, printer && !CurrentSettings().austria);
}

bool UstvaDialog::ImportVatAccountMissing() {
  const std::string& eust = CurrentMandantSettings().eust;
  if (eust.empty()) return false;
  AccountNo number = "";
  CopyLimited(number, eust.c_str(), sizeof number);
  PadLeft(number, kAccountNoWidth);
  AccountKind kind = kNoAccount;
  if (!LookUpAccount(number, kind)) return true;
  if (kind == kSachkonto) return false;
  ShowMessage(kMessageImportVatAccount);
  return true;
}

void UstvaDialog::accept() {
  if (!Confirm()) return;
  QDialog::accept();
}

void UstvaDialog::reject() {
  if (!closeWithResult_) result_ = -1;
  QDialog::reject();
}

bool UstvaDialog::ReadPeriod(UstvaPeriod& period) {
  const int start = CurrentMandant().fiscalStartMonth;
  char yearStart[11] = "";
  if (!ReadYearField(*this, period_panel::kYear, yearStart, start)) return false;
  int year = 1980 + std::atoi(yearStart + 4);
  UstvaPeriodRefusal refusal = ResolveUstvaPeriod(panel_->Choice(), year, start, period);
  if (refusal != UstvaPeriodRefusal::kNone) {
    ShowTextBox(UstvaRefusalText(refusal), kProductName, BoxStyle::kExclamationOk);
    FocusControl(period_panel::kYear);
    return false;
  }
  return CheckPostableYear(period.yearStart, period_panel::kYear);
}

// The six address fields and the Bundesland the form needs. Yes on 981 lets
// an administrator complete them; false: the dialog closes.
bool UstvaDialog::MasterDataComplete(bool& cancel) {
  cancel = false;
  while (!UstvaMasterDataComplete(CurrentCompanyMaster())) {
    bool admin = hooks_.isAdministrator && hooks_.isAdministrator();
    ShowMessage(admin ? kMessageIncompleteAdmin : kMessageIncompleteNoRight);
    int answer = LastMessageResult();
    if (admin && answer == kIdYes && hooks_.editCompanyMaster) {
      hooks_.editCompanyMaster();
      continue;
    }
    if ((admin && answer == kIdNo) || (!admin && answer == kIdYes)) return true;
    cancel = true;
    return false;
  }
  return true;
}

bool UstvaDialog::Confirm() {
  if (CurrentReport().printing) {
    ShowMessage(kMessageStillPrinting);
    return false;
  }
  const EvaluationPeriodPanel::Output output = panel_->SelectedOutput();
  UstvaPeriod period;
  {
    WorkingYearBack back;
    if (!ReadPeriod(period)) return false;
  }
  char lock[7];
  UstvaLockDate(period, lock);
  if (output != EvaluationPeriodPanel::kScreen && PostingLockWouldMove(lock) &&
      !ShowMessage(kMessageLockWarning))
    return false;
  if (output == EvaluationPeriodPanel::kPrinter && hooks_.preparePrintFont && !hooks_.preparePrintFont()) {
    FocusControl(period_panel::kFont);
    return false;
  }
  if (output == EvaluationPeriodPanel::kForm) {
    bool cancel = false;
    if (!MasterDataComplete(cancel)) {
      result_ = -1;
      closeWithResult_ = true;
      QDialog::reject();
      return false;
    }
  }
  if (!Produce(period)) {
    ShowMessage(kMessageNotProduced);
    result_ = 0;
    closeWithResult_ = true;
    QDialog::reject();
    return false;
  }
  if (output != EvaluationPeriodPanel::kScreen) AdvancePostingLock(lock);
  return true;
}

// Computes the return in the period's fiscal year and lays out the list or
// prints the form.
bool UstvaDialog::Produce(const UstvaPeriod& period) {
  const EvaluationPeriodPanel::Output output = panel_->SelectedOutput();
  UstvaBooks books;
  books.country = CurrentSettings().austria ? "AT" : "DE";
  books.cashBasis = CurrentMandant().cashBasis;
  books.interimAccount = CurrentMandant().cashBasisAccount;
  UstvaReturn ret;
  QWidget* top = parentWidget() ? parentWidget()->window() : nullptr;
  if (top) top->setEnabled(false);
  bool ok = false;
  {
    WorkingYearBack back;
    ok = SwitchWorkingYear(std::to_string(period.fiscalYear)) && ComputeUstva(period, books, ret);
  }
  if (top) top->setEnabled(true);
  if (!ok) return false;
  if (output == EvaluationPeriodPanel::kForm) {
    LayOutUstvaFormSheet(ret, CurrentCompanyMaster(), TheFormBuffer());
    if (!hooks_.printForm || !hooks_.printForm()) return false;
    result_ = -1;
    return true;
  }
  int lines = 0;
  if (!BuildUstvaList(ret, CurrentUstvaHeading(), lines)) return false;
  if (output == EvaluationPeriodPanel::kPrinter) RequestPrint(lines);
  result_ = lines;
  return true;
}

UstvaDialog* MakeUstvaDialogSample(QWidget* parent) {
  auto* d = new UstvaDialog(parent, UstvaDialogHooks{});
  d->Edit(period_panel::kYear)->setText("2026");
  d->Panel()->SetChoice(3);
  return d;
}

}  // namespace talvera
