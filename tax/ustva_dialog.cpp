#include "tax/ustva_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdlib>
#include <cstring>

#include "core/account_lookup.h"
#include "core/field_readers.h"
#include "core/mandant/company_master.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "core/amount.h"
#include "core/period_date.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "core/today.h"
#include "reports/form_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "tax/evaluation_period_dialog_panel.h"
#include "tax/ustva_form_sheet.h"
#include "tax/ustva_list.h"
#include "tax/ustva_lock.h"
#include "tax/ustva_upload_file.h"

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

std::string Trim(char* text) {
  TrimLeft(text);
  TrimRight(text);
  return text;
}

// The result as the dialog shows it: "Zahllast: 769,63 EUR".
std::string ResultText(long long cents) {
  AmountDisplayText display = {};
  long long magnitude = cents < 0 ? -cents : cents;
  if (!AmountFromCents(display, magnitude)) return "";
  AmountFormat(display);
  return std::string(cents < 0 ? "Erstattung: " : "Zahllast: ") + Trim(display) + " " +
         CurrentSettings().waehrung;
}

// A period date (DDPPYY) as the user reads it: "01.04.2026".
std::string DateText(const char* periodDate) {
  char text[16] = "";
  FormatDate(periodDate, text, true);
  return text;
}

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
  AddChoices();
  AddButtons();
  bool printer = !hooks_.printerInstalled || hooks_.printerInstalled();
  panel_->EnableOutput(EvaluationPeriodPanel::kPrinter, printer);
  panel_->EnableOutput(EvaluationPeriodPanel::kForm, printer && !CurrentSettings().austria);
  UpdatePreview();
}

// The choices no account gives, the result before printing, and the file
// the user uploads to the tax authority's portal.
void UstvaDialog::AddChoices() {
  using namespace ustva_dialog;
  auto* box = new QGroupBox("Anmeldung", this);
  auto* grid = new QFormLayout(box);
  auto* corrected = Register(kCorrected, new QCheckBox("&Berichtigte Anmeldung (Kz 10)", box));
  grid->addRow(corrected);
  auto* special = Register(kSpecialPrepayment, new QCheckBox("Sondervorauszahlung &anrechnen (Kz 39)", box));
  auto* amount = Register(kSpecialAmount, new QLineEdit(box));
  amount->setMaxLength(14);
  amount->setMaximumWidth(amount->fontMetrics().horizontalAdvance("0000000000000000"));
  auto* specialRow = new QHBoxLayout;
  specialRow->addWidget(special);
  specialRow->addWidget(amount);
  specialRow->addStretch();
  grid->addRow(specialRow);
  resultLabel_ = Register(kResult, new QLabel(box));
  resultLabel_->setTextFormat(Qt::PlainText);
  grid->addRow(resultLabel_);
  auto* save = Register(kSaveFile, new QPushButton(QIcon::fromTheme("document-save-as"), "Datei &speichern...", box));
  save->setToolTip("Schreibt die Voranmeldung als Datei zum Hochladen in das Portal der "
                   "Finanzverwaltung und daneben das Kennzahlenblatt als PDF.");
  grid->addRow(save);
  form_->addRow(box);

  connect(save, &QPushButton::clicked, this, [this] { SaveFiles(); });
  connect(corrected, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
  connect(special, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
  connect(amount, &QLineEdit::editingFinished, this, [this] { UpdatePreview(); });
  connect(Edit(period_panel::kYear), &QLineEdit::textChanged, this, [this] { UpdatePreview(); });
  for (int id = period_panel::kFirstMonth; id <= period_panel::kWholeYear; ++id)
    if (QRadioButton* r = Radio(id))
      connect(r, &QRadioButton::toggled, this, [this](bool on) {
        if (on) UpdatePreview();
      });
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

// The special prepayment only where the period credits it; its amount as
// typed (messages 22/23 for an empty or malformed amount).
bool UstvaDialog::ReadChoices(UstvaChoices& choices) {
  using namespace ustva_dialog;
  choices.corrected = Checked(kCorrected);
  choices.creditSpecialPrepayment = Checked(kSpecialPrepayment) && Control(kSpecialPrepayment)->isEnabled();
  if (!choices.creditSpecialPrepayment) return true;
  AmountText amount = "";
  if (!ReadAmountField(*this, kSpecialAmount, amount, kAmountWidth)) return false;
  return AmountToCents(amount, &choices.specialPrepayment);
}

// Message 804 when printing (or saving) would move the posting lock; false
// when the user cancels.
bool UstvaDialog::LockQuestion(const char* lock) {
  return !PostingLockWouldMove(lock) || ShowMessage(kMessageLockWarning);
}

// The return of the period's fiscal year with the user's choices.
bool UstvaDialog::Compute(const UstvaPeriod& period, const UstvaChoices& choices, UstvaReturn& ret) {
  return ComputeMandantUstva(period, choices, ret);
}

void UstvaDialog::UpdatePreview() {
  using namespace ustva_dialog;
  if (!resultLabel_) return;
  resultLabel_->clear();
  UstvaPeriod period;
  const MandantValues& m = CurrentMandant();
  int year = Edit(period_panel::kYear)->text().toInt();
  bool known = ResolveUstvaPeriod(panel_->Choice(), year, m.fiscalStartMonth, period) ==
               UstvaPeriodRefusal::kNone;
  Control(kSpecialPrepayment)->setEnabled(known && UstvaCreditsSpecialPrepayment(period));
  Control(kSpecialAmount)->setEnabled(Control(kSpecialPrepayment)->isEnabled() && Checked(kSpecialPrepayment));
  // Only the open years are read; anything else waits for OK and its messages.
  std::string fiscal = std::to_string(period.fiscalYear);
  if (!known || (fiscal != m.currentYear && fiscal != m.previousYear)) return;
  UstvaChoices choices;
  choices.corrected = Checked(kCorrected);
  choices.creditSpecialPrepayment = Control(kSpecialAmount)->isEnabled();
  if (choices.creditSpecialPrepayment) {
    std::string typed = Edit(kSpecialAmount)->text().toStdString();
    AmountText amount = "";
    if (typed.size() < sizeof amount) {
      std::strcpy(amount, typed.c_str());
      if (!AmountParse(amount, kAmountWidth, false) || !AmountToCents(amount, &choices.specialPrepayment))
        choices.specialPrepayment = 0;
    }
  }
  UstvaReturn ret;
  if (!Compute(period, choices, ret)) return;
  // The proposal: what was paid on the special-prepayment accounts this year.
  if (Control(kSpecialPrepayment)->isEnabled() && Edit(kSpecialAmount)->text().isEmpty() &&
      ret.specialPrepaymentBooked != 0) {
    AmountDisplayText paid = {};
    if (AmountFromCents(paid, ret.specialPrepaymentBooked)) {
      AmountFormat(paid);
      Edit(kSpecialAmount)->setText(QString::fromStdString(Trim(paid)));
    }
  }
  char lock[7];
  UstvaLockDate(period, lock);
  std::string lockText = PostingLockWouldMove(lock)
                             ? "Buchungssperre nach dem Ausdruck: " + DateText(lock)
                             : "Buchungssperre bleibt: " +
                                   DateText(CurrentMandantSettings().buchungssperre.c_str());
  resultLabel_->setText(QString::fromStdString(ResultText(ret.result) + "\n" + lockText));
}

bool UstvaDialog::SaveFiles() {
  if (CurrentReport().printing) {
    ShowMessage(kMessageStillPrinting);
    return false;
  }
  UstvaPeriod period;
  {
    WorkingYearBack back;
    if (!ReadPeriod(period)) return false;
  }
  UstvaChoices choices;
  if (!ReadChoices(choices)) return false;
  UstvaReturn ret;
  if (!Compute(period, choices, ret)) {
    ShowMessage(kMessageNotProduced);
    return false;
  }
  const CompanyMaster master = CurrentCompanyMaster();
  const Today& today = DayToday();
  char created[16];
  std::snprintf(created, sizeof created, "%04d%02d%02d", today.y, today.m, today.d);
  UstvaUpload upload;
  std::string error;
  if (!MakeUstvaUpload(ret, master, created, upload, error)) {
    ShowTextBox(error, kProductName, BoxStyle::kExclamationOk);
    return false;
  }
  char lock[7];
  UstvaLockDate(period, lock);
  if (!LockQuestion(lock)) return false;
  char proposal[32];
  std::snprintf(proposal, sizeof proposal, "ustva_%d_%s.xml", upload.year, upload.period.c_str());
  std::string path = hooks_.chooseUploadPath ? hooks_.chooseUploadPath(proposal) : "";
  if (path.empty()) return false;
  if (path.size() < 4 || path.compare(path.size() - 4, 4, ".xml") != 0) path += ".xml";
  const std::string pdf = path.substr(0, path.size() - 4) + ".pdf";
  if (!SaveUstvaUploadFile(path, upload, error)) {
    ShowTextBox(error, kProductName, BoxStyle::kExclamationOk);
    return false;
  }
  LayOutUstvaFormSheet(ret, master, TheFormBuffer());
  if (!hooks_.writeFormPdf || !hooks_.writeFormPdf(pdf)) {
    ShowTextBox("Die Datei " + pdf + " kann nicht geschrieben werden. Die Datei zum Hochladen (" +
                    path + ") ist geschrieben.",
                kProductName, BoxStyle::kExclamationOk);
  }
  AdvancePostingLock(lock);
  UpdatePreview();
  return true;
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
  UstvaChoices choices;
  if (!ReadChoices(choices)) return false;
  char lock[7];
  UstvaLockDate(period, lock);
  if (output != EvaluationPeriodPanel::kScreen && !LockQuestion(lock)) return false;
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
  if (!Produce(period, choices)) {
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
bool UstvaDialog::Produce(const UstvaPeriod& period, const UstvaChoices& choices) {
  const EvaluationPeriodPanel::Output output = panel_->SelectedOutput();
  UstvaReturn ret;
  QWidget* top = parentWidget() ? parentWidget()->window() : nullptr;
  if (top) top->setEnabled(false);
  bool ok = Compute(period, choices, ret);
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
  d->Panel()->SetChoice(12);
  d->SetChecked(ustva_dialog::kCorrected, true);
  d->SetChecked(ustva_dialog::kSpecialPrepayment, true);
  d->Edit(ustva_dialog::kSpecialAmount)->setText("2.500,00");
  return d;
}

}  // namespace talvera
