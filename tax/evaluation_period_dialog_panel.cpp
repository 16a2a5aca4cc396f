#include "tax/evaluation_period_dialog_panel.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdlib>

#include "core/mandant_values.h"
#include "core/settings.h"
#include "core/today.h"
#include "reports/printer_dialogs.h"
#include "widgets/dialog_kit.h"

namespace talvera {
namespace {

const char* const kMonths[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                               "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

template <typename W>
W* Named(int id, W* widget) {
  widget->setObjectName(ControlName(id));
  return widget;
}

}  // namespace

EvaluationPeriodPanel::EvaluationPeriodPanel(QWidget* parent, int reportKind, bool withFormOutput)
    : QWidget(parent), reportKind_(reportKind) {
  using namespace period_panel;
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);

  auto* yearRow = new QHBoxLayout;
  year_ = Named(kYear, new QLineEdit(this));
  year_->setMaxLength(4);
  year_->setMaximumWidth(year_->fontMetrics().horizontalAdvance("00000000"));
  auto* yearLabel = new QLabel("&Jahr :", this);
  yearLabel->setBuddy(year_);
  yearRow->addWidget(yearLabel);
  yearRow->addWidget(year_);
  yearRow->addStretch();
  outer->addLayout(yearRow);

  auto* periodBox = new QGroupBox("Zeitraum", this);
  auto* grid = new QGridLayout(periodBox);
  periods_ = new QButtonGroup(this);
  for (int m = 0; m < 12; ++m) {
    auto* r = Named(kFirstMonth + m, new QRadioButton(kMonths[m], periodBox));
    periods_->addButton(r, m + 1);
    grid->addWidget(r, m % 6, m / 6);
  }
  for (int q = 0; q < 4; ++q) {
    auto* r = Named(kFirstQuarter + q, new QRadioButton(QString("%1. Quartal").arg(q + 1), periodBox));
    periods_->addButton(r, 13 + q);
    grid->addWidget(r, q, 2);
  }
  auto* year = Named(kWholeYear, new QRadioButton("Gesamtjahr", periodBox));
  periods_->addButton(year, 17);
  grid->addWidget(year, 4, 2);
  outer->addWidget(periodBox);

  auto* outputBox = new QGroupBox("Ausgabe", this);
  auto* outputs = new QHBoxLayout(outputBox);
  auto* outputGroup = new QButtonGroup(this);
  screen_ = Named(period_panel::kScreen, new QRadioButton("Bildschirm", outputBox));
  printer_ = Named(period_panel::kPrinter, new QRadioButton("Drucker", outputBox));
  outputGroup->addButton(screen_);
  outputGroup->addButton(printer_);
  outputs->addWidget(screen_);
  outputs->addWidget(printer_);
  if (withFormOutput) {
    form_ = Named(period_panel::kForm, new QRadioButton("Formulardruck", outputBox));
    outputGroup->addButton(form_);
    outputs->addWidget(form_);
  }
  font_ = Named(kFont, new QPushButton("Sch&rift...", outputBox));
  outputs->addWidget(font_);
  outer->addWidget(outputBox);
  screen_->setChecked(true);

  connect(periods_, &QButtonGroup::idClicked, this, &EvaluationPeriodPanel::ChoiceClicked);
  connect(printer_, &QRadioButton::toggled, this, &EvaluationPeriodPanel::UpdateFontButton);
  connect(font_, &QPushButton::clicked, this, [this] { ChooseReportFont(window(), reportKind_); });
  UpdateFontButton();

  // Until the shared period memory remembers the last choice: today's month.
  const Today& today = DayToday();
  year_->setText(QString::number(today.y));
  SetChoice(today.m);
}

int EvaluationPeriodPanel::Choice() const { return periods_->checkedId() > 0 ? periods_->checkedId() : 0; }

void EvaluationPeriodPanel::SetChoice(int choice) {
  if (QAbstractButton* b = periods_->button(choice)) b->setChecked(true);
}

EvaluationPeriodPanel::Output EvaluationPeriodPanel::SelectedOutput() const {
  if (printer_->isChecked()) return kPrinter;
  if (form_ && form_->isChecked()) return kForm;
  return kScreen;
}

void EvaluationPeriodPanel::EnableOutput(Output output, bool enabled) {
  QRadioButton* r = output == kPrinter ? printer_ : output == kForm ? form_ : screen_;
  if (!r) return;
  r->setEnabled(enabled);
  if (!enabled && r->isChecked()) screen_->setChecked(true);
  UpdateFontButton();
}

// With "SetzeJahr", a month before the fiscal start month belongs to the
// second calendar year of the current fiscal year.
void EvaluationPeriodPanel::ChoiceClicked(int choice) {
  if (!CurrentSettings().setzeJahr) return;
  const MandantValues& m = CurrentMandant();
  int start = std::atoi(m.currentYear);
  if (start == 0) return;
  bool monthBeforeStart = choice >= 1 && choice <= 12 && choice < m.fiscalStartMonth;
  year_->setText(QString::number(monthBeforeStart ? start + 1 : start));
}

void EvaluationPeriodPanel::UpdateFontButton() { font_->setEnabled(printer_->isChecked()); }

}  // namespace talvera
