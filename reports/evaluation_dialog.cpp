#include "reports/evaluation_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/message.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "reports/print_report.h"
#include "reports/printer.h"
#include "reports/printer_dialogs.h"
#include "reports/report_state.h"

namespace talvera {
namespace {

constexpr int kMessageChooseFirst = 5;
constexpr int kMessageStillPrinting = 54;

const char* const kMonths[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                               "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

}  // namespace

EvaluationDialog::EvaluationDialog(QWidget* parent, const QString& name, const QString& title, int kind)
    : TalviDialog(parent, name, title), kind_(kind), yearBefore_(WorkingYear()) {}

EvaluationDialog::~EvaluationDialog() {
  // A list of another year (an archived one above all) leaves the files of
  // the year that was selected before.
  if (!yearBefore_.empty() && WorkingYear() != yearBefore_) SwitchWorkingYear(yearBefore_);
}

void EvaluationDialog::AddKindChecks() {
  using namespace evalids;
  AddHeading("Konten");
  AddCheck(kSachkonten, "Sachkonten")->setChecked(true);
  AddCheck(kKreditoren, "Kreditoren");
  AddCheck(kDebitoren, "Debitoren");
}

unsigned EvaluationDialog::ChosenKinds() const {
  using namespace evalids;
  return (Checked(kSachkonten) ? 2u : 0u) | (Checked(kKreditoren) ? 4u : 0u) |
         (Checked(kDebitoren) ? 8u : 0u);
}

bool EvaluationDialog::CheckKinds() const {
  if (ChosenKinds() != 0) return true;
  ShowMessage(kMessageChooseFirst, evalids::kSachkonten);
  Control(evalids::kSachkonten)->setFocus();
  return false;
}

void EvaluationDialog::AddOrderRadios(bool withGroup) {
  using namespace evalids;
  AddHeading("Sortierung");
  auto* group = new QButtonGroup(this);
  group->addButton(AddRadio(kByNumber, "Konto-Nr."));
  group->addButton(AddRadio(kByShortCode, "Kürzel"));
  if (withGroup) group->addButton(AddRadio(kByGroup, "Gruppe"));
  Radio(CurrentSettings().sortKnr ? kByNumber : kByShortCode)->setChecked(true);
}

void EvaluationDialog::AddPeriodChoice(bool withTagesgenau) {
  using namespace periodids;
  auto* box = new QGroupBox("Zeitraum", this);
  auto* grid = new QGridLayout(box);
  auto* group = new QButtonGroup(this);
  auto add = [&](int id, const QString& text, int row, int column) {
    auto* radio = Register(id, new QRadioButton(text, box));
    group->addButton(radio, id);
    grid->addWidget(radio, row, column);
  };
  for (int m = 0; m < 12; ++m) add(kFirstMonth + m, kMonths[m], m % 6, m / 6);
  for (int q = 0; q < 4; ++q) add(kFirstQuarter + q, QString("%1. Quartal").arg(q + 1), q, 2);
  add(kGesamtjahr, "Gesamtjahr", 4, 2);
  auto* form = new QFormLayout;
  if (withTagesgenau) {
    add(kTagesgenau, "Tagesgenau", 5, 2);
    form->addRow("&vom :", Register(kFirstDate, new QLineEdit(box)));
    form->addRow("bis &zum :", Register(kLastDate, new QLineEdit(box)));
    Edit(kFirstDate)->setMaxLength(10);
    Edit(kLastDate)->setMaxLength(10);
  }
  auto* year = Register(kYear, new QLineEdit(box));
  year->setMaxLength(4);
  form->addRow("&Jahr :", year);
  grid->addLayout(form, 6, 0, 1, 3);
  form_->addRow(box);

  PeriodChoice initial = InitialPeriodChoice();
  if (!withTagesgenau && initial.radio == kTagesgenau) initial.radio = kGesamtjahr;
  if (QRadioButton* r = Radio(initial.radio)) r->setChecked(true);
  year->setText(QString::fromStdString(initial.year));
  connect(group, &QButtonGroup::idClicked, this, &EvaluationDialog::ApplySetzeJahr);
}

void EvaluationDialog::ApplySetzeJahr(int radio) {
  std::string year = YearForChoice(radio, CurrentSettings().setzeJahr);
  if (!year.empty()) Edit(periodids::kYear)->setText(QString::fromStdString(year));
}

int EvaluationDialog::ChosenPeriodRadio() const {
  using namespace periodids;
  for (int id = kTagesgenau; id <= kGesamtjahr; ++id)
    if (QRadioButton* r = Radio(id); r && r->isChecked()) return id;
  return kGesamtjahr;
}

bool EvaluationDialog::ReadChosenPeriod(char* first, char* last) {
  int radio = ChosenPeriodRadio();
  if (!ReadPeriod(*this, radio, first, last)) return false;
  RememberPeriodChoice({radio, FieldText(periodids::kYear)});
  return true;
}

void EvaluationDialog::AddOutputChoice(bool fontOnlyForPrinter) {
  using namespace evalids;
  AddHeading("Aus&gabe");
  auto* group = new QButtonGroup(this);
  group->addButton(AddRadio(kScreen, "Bildschirm"));
  group->addButton(AddRadio(kPrinter, "Drucker"));
  Radio(kScreen)->setChecked(true);
  Radio(kPrinter)->setEnabled(CurrentPrinter() != nullptr);
  auto* font = Register(kFont, new QPushButton("Sch&rift...", this));
  form_->addRow(font);
  connect(font, &QPushButton::clicked, this, [this] { ChooseReportFont(this, kind_); });
  if (fontOnlyForPrinter) {
    font->setEnabled(false);
    connect(Radio(kPrinter), &QRadioButton::toggled, font, &QPushButton::setEnabled);
  }
}

bool EvaluationDialog::ToPrinter() const {
  QRadioButton* printer = Radio(evalids::kPrinter);
  return printer && printer->isChecked();
}

bool EvaluationDialog::CheckOutput(int ownWidth) const {
  if (CurrentReport().printing) {
    ShowMessage(kMessageStillPrinting);
    return false;
  }
  return !ToPrinter() || PreparePrintFont(kind_, ownWidth);
}

int EvaluationDialog::LinesPerPage() const {
  return ToPrinter() ? CurrentPrinterMetrics().linesPerPage : 0;
}

void EvaluationDialog::Finish(int lines) {
  lines_ = lines;
  if (ToPrinter()) RequestPrint(lines);
}

int RunEvaluation(EvaluationDialog& dialog) {
  return dialog.exec() == QDialog::Accepted ? dialog.Lines() : -1;
}

}  // namespace talvera
