#include "posting/split_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/layouts/bat.h"
#include "core/settings.h"
#include "posting/tax_proposal.h"
#include "widgets/copy_target.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;
using namespace split_dialog;

std::string Shown(const char* amount) {
  AmountDisplayText shown;
  CopyLimited(shown, amount, sizeof shown);
  AmountFormatQuiet(shown);
  return shown;
}

std::string Trim(const char* s) {
  std::string t(s);
  std::size_t b = t.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : t.substr(b);
}

}  // namespace

SplitDialog::SplitDialog(QWidget* parent, SplitKind kind, const std::string& fixedAccount,
                         const std::string& fixedGross, const std::string& documentDate,
                         const EntryContext& context)
    : TalviDialog(parent, kind == SplitKind::kOneDebitManyCredit ? "SPLIT_1N" : "SPLIT_N1",
                  kind == SplitKind::kOneDebitManyCredit ? "Habensplitbuchung" : "Sollsplitbuchung"),
      split_(kind, fixedAccount, fixedGross, documentDate, context),
      oneDebit_(kind == SplitKind::kOneDebitManyCredit) {
  bool oneDebit = oneDebit_;
  AddHeading(oneDebit ? "Soll" : "Haben");
  AddEdit(kFixedAccount, "Konto :", 8)->setText(QString::fromStdString(fixedAccount));
  AddEdit(kFixedGross, "&Bruttobetrag :", 15)->setText(QString::fromStdString(fixedGross));
  Edit(kFixedAccount)->setEnabled(false);
  Edit(kFixedGross)->setEnabled(false);
  AddHeading(oneDebit ? "Haben" : "Soll");
  TrackCopyTarget(AddEdit(kAccount, "Konto :", 8));
  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(Register(kGrossChoice, new QRadioButton("Brutto", this)));
  kindRow->addWidget(Register(kNetChoice, new QRadioButton("&Netto", this)));
  kindRow->addStretch();
  AddRow("", kindRow);
  SetChecked(kGrossChoice, true);
  AddEdit(kAmount, "Betra&g :", 15);
  AddEdit(kRate, "S&teuer-%:", 5);
  AddEdit(kTax, "St&euerbetrag :", 15);
  bool costs = CurrentSettings().kr && context.mode != PostingMode::kReclassification;
  AddEdit(kCostCentre1, "Kost. &1:", 7)->setVisible(costs);
  AddEdit(kCostCentre2, "Kost. &2:", 7)->setVisible(costs);
  auto* costKind = new QHBoxLayout;
  costKind->addWidget(Register(kFixed, new QRadioButton("fix", this)));
  costKind->addWidget(Register(kVariable, new QRadioButton("variabel", this)));
  costKind->addStretch();
  SetChecked(kFixed, true);
  // Two independent choices: gross or net, fixed or variable costs.
  for (auto [a, b] : {std::pair{kGrossChoice, kNetChoice}, std::pair{kFixed, kVariable}}) {
    auto* group = new QButtonGroup(this);
    group->addButton(Radio(a));
    group->addButton(Radio(b));
  }
  SetChecked(kGrossChoice, true);
  if (costs) AddRow("", costKind);
  else {
    Radio(kFixed)->hide();
    Radio(kVariable)->hide();
  }
  if (!costs) {
    form_->labelForField(Edit(kCostCentre1))->hide();
    form_->labelForField(Edit(kCostCentre2))->hide();
  }
  QListWidget* list = AddList(kList, "", {{"Konto", 8, true}, {"Brutto", 13, true}, {"Netto", 13, true},
                                          {"Satz", 6, true}, {"Kost. 1", 8, false}, {"Kost. 2", 8, false}});
  list->setMinimumWidth(560);
  auto* sum = Register(kSum, new QLabel("0,00", this));
  form_->addRow("Summe :", sum);
  auto* box = new QDialogButtonBox(this);
  auto* take = Register(kTakeOver, box->addButton("&Übernehmen", QDialogButtonBox::ActionRole));
  auto* back = Register(kTakeBack, box->addButton("&Rückgängig", QDialogButtonBox::ActionRole));
  auto* ok = Register(kIdOkButton, box->addButton("&Ok", QDialogButtonBox::AcceptRole));
  auto* discard = Register(kDiscard, box->addButton("&Verwerfen", QDialogButtonBox::RejectRole));
  outer_->addWidget(box);
  take->setDefault(true);
  ok->setAutoDefault(false);
  connect(take, &QPushButton::clicked, this, [this] { TakeOver(); });
  connect(back, &QPushButton::clicked, this, [this] { RemoveLine(); });
  connect(ok, &QPushButton::clicked, this, [this] { accept(); });
  connect(discard, &QPushButton::clicked, this, &QDialog::reject);
  InstallKeypadPlus(this, false);
  setTabOrder(Edit(kAccount), Edit(kAmount));
  setTabOrder(Edit(kAmount), Edit(kRate));
  setTabOrder(Edit(kRate), Edit(kTax));
  ProposeRemaining();
  Edit(kAccount)->setFocus();
}

bool SplitDialog::TakeOver() {
  SplitLineInput in;
  in.account = FieldText(kAccount);
  in.amount = FieldText(kAmount);
  in.amountIsNet = Checked(kNetChoice);
  in.rate = FieldText(kRate);
  in.tax = FieldText(kTax);
  in.costCentre1 = FieldText(kCostCentre1);
  in.costCentre2 = FieldText(kCostCentre2);
  in.costCentreKind = Checked(kVariable) ? 2 : 1;
  CheckResult r = split_.AddLine(in);
  if (!r) {
    ShowRefusal(r);
    if (QWidget* w = Control(r.control)) w->setFocus();
    return false;
  }
  for (int id : {kAccount, kRate, kTax, kCostCentre1, kCostCentre2}) Edit(id)->clear();
  FillList();
  ProposeRemaining();
  Edit(kAccount)->setFocus();
  return true;
}

bool SplitDialog::RemoveLine() {
  QListWidget* list = List(kList);
  int row = list->currentRow();
  if (row < 0 || !split_.RemoveLine(row)) return false;
  FillList();
  ProposeRemaining();
  return true;
}

void SplitDialog::FillList() {
  std::vector<std::string> lines;
  for (int i = 0; i < split_.lineCount(); ++i) {
    auto F = [i](const layouts::Field& f) { return bat::kLine.In(i, f); };
    const void* r = split_.record();
    std::string debit = Trim(layouts::FieldBytes(r, F(line_::kDebitAccount)));
    std::string credit = Trim(layouts::FieldBytes(r, F(line_::kCreditAccount)));
    const std::string& other = oneDebit_ ? credit : debit;
    lines.push_back(other + "\t" + Shown(layouts::FieldBytes(r, F(line_::kGross))) + "\t" +
                    Shown(layouts::FieldBytes(r, F(line_::kNet))) + "\t" +
                    RateForDisplay(layouts::FieldBytes(r, F(line_::kRate))) + "\t" +
                    Trim(layouts::FieldBytes(r, F(line_::kCostCentre1))) + "\t" +
                    Trim(layouts::FieldBytes(r, F(line_::kCostCentre2))));
  }
  talvera::FillList(List(kList), lines, true);
  SetFieldText(kSum, Shown(split_.sum()));
}

void SplitDialog::ProposeRemaining() {
  AmountText rest;
  split_.Remaining(rest);
  SetFieldText(kAmount, AmountIsZero(rest) ? std::string() : Shown(rest));
}

bool SplitDialog::Confirm() {
  std::vector<char> record(bat::kLayout.recordLength);
  layouts::InitRecord(bat::kLayout, record.data());
  CheckResult r = split_.Finish(record.data());
  if (!r) {
    ShowRefusal(r);
    if (QWidget* w = Control(r.control)) w->setFocus();
    return false;
  }
  lines_ = std::move(record);
  return true;
}

}  // namespace talvera
