#include "reports/statement_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>
#include <cstring>
#include <set>

#include "core/field_readers.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "core/today.h"
#include "reports/report_kinds.h"
#include "reports/structure_dialogs.h"

namespace talvera {
namespace {

enum Message : int {
  kChooseFirst = 5,
  kBalanceSheetFailed = 25,
  kOpeningSheetFailed = 26,
  kPeriodProfitAndLossFailed = 51,
  kProfitAndLossFailed = 61,
  kPeriodBalanceSheetFailed = 149,
  kMisplacedAccount = 204,
};

BalanceSheetDialog::AlternativePlacer& Placer() {
  static BalanceSheetDialog::AlternativePlacer placer = [](QWidget* parent, int accountClass,
                                                           const std::string& account) {
    RunStructureEditorForAccount(parent, accountClass, account, true);
  };
  return placer;
}

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

int Two(const char* s) { return (s[0] - '0') * 10 + (s[1] - '0'); }

}  // namespace

// ---- What the statements share -------------------------------------------

StatementDialog::StatementDialog(QWidget* parent, const QString& name, const QString& title, int kind,
                                 int failureMessage)
    : EvaluationDialog(parent, name, title, kind), failureMessage_(failureMessage) {}

void StatementDialog::AddEvaluationChoice(bool withComparison) {
  using namespace statementids;
  BeginGroup("Aus&wertung");
  auto* group = new QButtonGroup(this);
  group->addButton(AddRadio(kNoEvaluation, "Ohne"));
  group->addButton(AddRadio(kDevelopment, "Kontenentwicklung"));
  group->addButton(AddRadio(kStructure, "Kontenstruktur"));
  Radio(kNoEvaluation)->setChecked(true);
  if (withComparison) {
    QCheckBox* comparison = AddCheck(kComparison, "&Vorjahresvergleich");
    comparison->setEnabled(false);
    connect(Radio(kStructure), &QRadioButton::toggled, comparison, [comparison](bool on) {
      comparison->setEnabled(on);
      if (!on) comparison->setChecked(false);
    });
  }
  EndGroup();
}

void StatementDialog::AddDepthChoice() {
  using namespace statementids;
  BeginGroup("&Darstellungstiefe");
  auto* depth = new QButtonGroup(this);
  for (int level = 1; level <= 3; ++level)
    depth->addButton(AddRadio(kDepth1 + level - 1, QString("Ebene &%1").arg(level)));
  auto* accounts = new QButtonGroup(this);
  accounts->addButton(AddRadio(kNoAccounts, "ohne Konten"));
  accounts->addButton(AddRadio(kPostedAccounts, "mit &bebuchten Konten"));
  accounts->addButton(AddRadio(kAllAccounts, "mit &allen Konten"));
  Radio(kNoAccounts)->setChecked(true);
  // Accounts hang below the deepest groups: they are offered at depth 3.
  auto enableAccounts = [this](bool atThree) {
    for (int id : {kNoAccounts, kPostedAccounts, kAllAccounts}) Radio(id)->setEnabled(atThree);
    if (!atThree) Radio(kNoAccounts)->setChecked(true);
  };
  connect(Radio(kDepth1 + 2), &QRadioButton::toggled, this, enableAccounts);
  Radio(kDepth1 + 2)->setChecked(true);
  EndGroup();
}

void StatementDialog::ReadCommonChoices() {
  using namespace statementids;
  options_.evaluation = Checked(kDevelopment) ? StatementEvaluation::kDevelopment
                        : Checked(kStructure) ? StatementEvaluation::kStructure
                                              : StatementEvaluation::kNone;
  options_.previousYearComparison = Check(kComparison) && Checked(kComparison) &&
                                    options_.evaluation == StatementEvaluation::kStructure;
  options_.depth = Checked(kDepth1) ? 1 : Checked(kDepth1 + 1) ? 2 : 3;
  options_.accounts = Checked(kPostedAccounts) ? StatementAccountLines::kPosted
                      : Checked(kAllAccounts)  ? StatementAccountLines::kAll
                                               : StatementAccountLines::kNone;
}

bool StatementDialog::BuildAndFinish(bool balanceSheet) {
  if (!CheckOutput(StatementWidth(options_))) return false;
  options_.linesPerPage = LinesPerPage();
  int lines = balanceSheet ? BuildBalanceSheet(options_) : BuildProfitAndLoss(options_);
  if (lines <= 0) {
    ShowMessage(failureMessage_);
    return false;
  }
  Finish(lines);
  return true;
}

// ---- GUVAKT, GUVPER -------------------------------------------------------

GuvAktDialog::GuvAktDialog(QWidget* parent)
    : StatementDialog(parent, "GUVAKT", "Aktuelle GuV", kReportGuv, kProfitAndLossFailed) {
  using namespace statementids;
  setProperty("helpContext", 3000);
  AddEdit(kDate, "&Per :", 10)->setText(DayToday().text);
  BeginColumns();
  AddEvaluationChoice(false);
  BeginGroup("Auswa&hl");
  AddCheck(kMonthValues, "Monatswerte")->setChecked(true);
  AddCheck(kYearValues, "Jahreswerte");
  EndGroup();
  AddDepthChoice();
  EndColumns();
  AddOutputChoice();
  AddButtons();
}

bool GuvAktDialog::Confirm() {
  using namespace statementids;
  options_ = StatementOptions{};
  char date[11];
  if (!ReadDateField(*this, kDate, date) || !CheckPostableYear(date, kDate)) return false;
  std::memcpy(options_.date, date, sizeof options_.date);
  options_.monthValues = Checked(kMonthValues);
  options_.yearValues = Checked(kYearValues);
  if (!options_.monthValues && !options_.yearValues) {
    ShowMessage(kChooseFirst, kMonthValues);
    Control(kMonthValues)->setFocus();
    return false;
  }
  ReadCommonChoices();
  return BuildAndFinish(false);
}

GuvPerDialog::GuvPerDialog(QWidget* parent)
    : StatementDialog(parent, "GUVPER", "Perioden-GuV", kReportGuv, kPeriodProfitAndLossFailed) {
  setProperty("helpContext", 3016);
  AddPeriodChoice(false);
  BeginColumns();
  AddEvaluationChoice(false);
  AddDepthChoice();
  EndColumns();
  AddOutputChoice();
  AddButtons();
}

// The values of the chosen periods: a month, a quarter or the whole year.
bool GuvPerDialog::Confirm() {
  options_ = StatementOptions{};
  char first[11], last[11];
  if (!ReadChosenPeriod(first, last)) return false;
  std::memcpy(options_.date, last, sizeof options_.date);
  options_.firstPeriod = Two(first + 2);
  ReadCommonChoices();
  return BuildAndFinish(false);
}

// ---- The balance sheets -----------------------------------------------------

void BalanceSheetDialog::SetAlternativePlacer(AlternativePlacer placer) { Placer() = std::move(placer); }

bool BalanceSheetDialog::PlaceMisplacedAccounts() {
  std::set<std::string> kept;  // answered No: stay where they are
  for (;;) {
    std::vector<MisplacedAccount> misplaced;
    if (!FindMisplacedAccounts(options_, misplaced)) return false;
    const MisplacedAccount* next = nullptr;
    for (const MisplacedAccount& m : misplaced)
      if (!kept.count(m.number)) {
        next = &m;
        break;
      }
    if (!next) return true;
    if (!ShowArgumentMessage(kMisplacedAccount, 0, Trim(next->number))) {
      kept.insert(next->number);
      continue;
    }
    Placer()(this, next->accountClass, next->number);
    // Not placed in the editor after all: it stays, and is not asked again.
    kept.insert(next->number);
  }
}

BilAktDialog::BilAktDialog(QWidget* parent)
    : BalanceSheetDialog(parent, "BILAKT", "Aktuelle Bilanz", kReportBilanz, kBalanceSheetFailed) {
  setProperty("helpContext", 3044);
  AddEdit(statementids::kDate, "&Per :", 10)->setText(DayToday().text);
  BeginColumns();
  AddEvaluationChoice(true);
  AddDepthChoice();
  EndColumns();
  AddOutputChoice();
  AddButtons();
}

bool BilAktDialog::Confirm() {
  using namespace statementids;
  options_ = StatementOptions{};
  char date[11];
  if (!ReadDateField(*this, kDate, date) || !CheckPostableYear(date, kDate)) return false;
  std::memcpy(options_.date, date, sizeof options_.date);
  ReadCommonChoices();
  if (!PlaceMisplacedAccounts()) {
    ShowMessage(kBalanceSheetFailed);
    return false;
  }
  return BuildAndFinish(true);
}

BilPerDialog::BilPerDialog(QWidget* parent)
    : BalanceSheetDialog(parent, "BILPER", "Perioden-Bilanz", kReportBilanz, kPeriodBalanceSheetFailed) {
  setProperty("helpContext", 3045);
  AddPeriodChoice(false);
  BeginColumns();
  AddEvaluationChoice(true);
  AddDepthChoice();
  EndColumns();
  AddOutputChoice();
  AddButtons();
}

// The balance at the end of the chosen period.
bool BilPerDialog::Confirm() {
  options_ = StatementOptions{};
  char first[11], last[11];
  if (!ReadChosenPeriod(first, last)) return false;
  std::memcpy(options_.date, last, sizeof options_.date);
  ReadCommonChoices();
  if (!PlaceMisplacedAccounts()) {
    ShowMessage(kPeriodBalanceSheetFailed);
    return false;
  }
  return BuildAndFinish(true);
}

BilEroDialog::BilEroDialog(QWidget* parent)
    : BalanceSheetDialog(parent, "BILERO", "Eröffnungsbilanz", kReportBilanz, kOpeningSheetFailed) {
  setProperty("helpContext", 3050);
  AddEdit(statementids::kYear, "&Für das Jahr :", 4)
      ->setText(QString::fromStdString(WorkingYear().empty() ? std::string(CurrentMandant().currentYear) : WorkingYear()));
  BeginColumns();
  AddDepthChoice();
  EndColumns();
  AddOutputChoice();
  AddButtons();
}

bool BilEroDialog::Confirm() {
  using namespace statementids;
  options_ = StatementOptions{};
  char yearStart[11];
  if (!ReadYearField(*this, kYear, yearStart, 0) || !CheckPostableYear(yearStart, kYear)) return false;
  std::memcpy(options_.date, yearStart, sizeof options_.date);
  options_.opening = true;
  ReadCommonChoices();
  if (!PlaceMisplacedAccounts()) {
    ShowMessage(kOpeningSheetFailed);
    return false;
  }
  return BuildAndFinish(true);
}

namespace gallery {

QDialog* SampleGuvAktDialog(QWidget* parent) { return new GuvAktDialog(parent); }
QDialog* SampleGuvPerDialog(QWidget* parent) { return new GuvPerDialog(parent); }
QDialog* SampleBilAktDialog(QWidget* parent) {
  auto* d = new BilAktDialog(parent);
  d->Radio(statementids::kStructure)->setChecked(true);
  d->Check(statementids::kComparison)->setChecked(true);
  return d;
}
QDialog* SampleBilPerDialog(QWidget* parent) { return new BilPerDialog(parent); }
QDialog* SampleBilEroDialog(QWidget* parent) { return new BilEroDialog(parent); }

}  // namespace gallery

}  // namespace talvera
