#include "accounts/bank_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include "accounts/bank_iban.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "posting/select_batch.h"
#include "widgets/copy_target.h"

namespace talvera {
namespace {

using namespace bankenverw;

constexpr int kMessageInUse = 719;
constexpr char kDirect[] = "<direkt verbuchen>";

QString Q(const std::string& text) { return QString::fromStdString(text); }

QPointer<BankAdministrationDialog>& OpenDialog() {
  static QPointer<BankAdministrationDialog> open;
  return open;
}

}  // namespace

BankAdministrationDialog::BankAdministrationDialog(QWidget* parent, const std::string& presetAccount,
                                                   bool readStore)
    : TalviDialog(parent, "BANKENVERW", "Bankenverwaltung") {
  TrackCopyTarget(AddEdit(kAccount, "&Kontonr.:", 7));
  AddEdit(kBankCode, "BL&Z:", 8);
  AddEdit(kBankAccount, "Bankkonto&nr.:", 11);
  AddEdit(kBankName, "Bankna&me:", 27);
  AddEdit(kIban, "&IBAN:", 42)->setPlaceholderText("z. B. DE89 3704 0044 0532 0130 00");
  AddEdit(kBic, "BI&C:", 11);
  auto* batchRow = new QHBoxLayout;
  auto* batch = Register(kImportBatch, new QComboBox(this));
  auto* batches = Register(kBatches, new QPushButton("&Stapel...", this));
  batchRow->addWidget(batch, 1);
  batchRow->addWidget(batches);
  auto* batchLabel = new QLabel("&QIF-Importst.:", this);
  batchLabel->setBuddy(batch);
  form_->addRow(batchLabel, batchRow);
  QListWidget* list = AddList(kList, "Bankverbindungen:",
                              {{"Konto", 7}, {"BLZ", 8}, {"Bankkonto", 11}, {"Bankname", 22},
                               {"QIF-Importstapel", 18}, {"IBAN", 27}, {"BIC", 11}});

  auto* buttons = new QHBoxLayout;
  struct Button {
    int id;
    const char* text;
  };
  for (Button b : {Button{kCreate, "&Anlegen"}, Button{kDelete, "&Löschen"}, Button{kChange, "Än&dern"},
                   Button{kFinish, "&Beenden"}})
    buttons->addWidget(Register(b.id, new QPushButton(b.text, this)));
  outer_->addLayout(buttons);
  auto button = [this](int id) { return qobject_cast<QPushButton*>(Control(id)); };
  connect(button(kCreate), &QPushButton::clicked, this, [this] { Create(); });
  connect(button(kDelete), &QPushButton::clicked, this, [this] { Remove(); });
  connect(button(kChange), &QPushButton::clicked, this, [this] { Change(); });
  connect(button(kFinish), &QPushButton::clicked, this, [this] { accept(); });
  connect(batches, &QPushButton::clicked, this, [this] { ChooseBatch(); });
  connect(list, &QListWidget::currentRowChanged, this, [this](int row) { SelectLine(row); });

  if (readStore)
    Reload();
  else
    FillBatchChoice(0);
  if (!presetAccount.empty()) {
    Edit(kAccount)->setText(QString::fromStdString(presetAccount).trimmed());
    closeAfterSave_ = true;
  }
  Edit(kAccount)->setFocus();
}

void BankAdministrationDialog::Reload() {
  std::vector<BankConnection> banks;
  std::vector<BatchHeader> batches;
  ListBankConnections(banks);
  ListBatches(batches);
  ShowConnections(banks, batches);
}

void BankAdministrationDialog::ShowConnections(const std::vector<BankConnection>& banks,
                                    const std::vector<BatchHeader>& batches) {
  banks_ = banks;
  batches_ = batches;
  std::vector<std::string> lines;
  for (const BankConnection& b : banks_) lines.push_back(BankLine(b, BatchName(b.importBatch)));
  QListWidget* list = List(kList);
  QSignalBlocker block(list);
  FillList(list, lines, true);
  list->setCurrentRow(-1);
  FillBatchChoice(0);
}

std::string BankAdministrationDialog::BatchName(int number) const {
  if (number == 0) return kDirect;
  for (const BatchHeader& b : batches_)
    if (b.number == number) return b.name;
  return std::to_string(number);
}

void BankAdministrationDialog::FillBatchChoice(int select) {
  QComboBox* combo = Combo(kImportBatch);
  combo->clear();
  combo->addItem(kDirect, 0);
  for (const BatchHeader& b : batches_) combo->addItem(Q(b.name), b.number);
  int index = combo->findData(select);
  combo->setCurrentIndex(index < 0 ? 0 : index);
}

int BankAdministrationDialog::ChosenBatch() const { return Combo(kImportBatch)->currentData().toInt(); }

std::string BankAdministrationDialog::SelectedAccount() const {
  QListWidget* list = List(kList);
  int row = list->currentRow();
  if (row < 0 || row >= static_cast<int>(banks_.size()) || !list->item(row)->isSelected()) return {};
  return banks_[row].account;
}

void BankAdministrationDialog::SelectLine(int row) {
  if (row < 0 || row >= static_cast<int>(banks_.size())) return;
  List(kList)->setCurrentRow(row);
  const BankConnection& b = banks_[row];
  Edit(kAccount)->setText(QString(b.account).trimmed());
  Edit(kBankCode)->setText(Q(b.bankCode));
  Edit(kBankAccount)->setText(Q(b.bankAccount));
  Edit(kBankName)->setText(Q(b.bankName));
  Edit(kIban)->setText(Q(IbanPaperForm(b.iban)));
  Edit(kBic)->setText(Q(b.bic));
  Combo(kImportBatch)->setCurrentIndex(std::max(0, Combo(kImportBatch)->findData(b.importBatch)));
}

void BankAdministrationDialog::ClearInput() {
  for (int id : {kAccount, kBankCode, kBankAccount, kBankName, kIban, kBic}) Edit(id)->clear();
  Combo(kImportBatch)->setCurrentIndex(0);
  Edit(kAccount)->setFocus();
}

bool BankAdministrationDialog::Save(bool change) {
  BankConnection saved;
  if (!SaveBank(*this, change, SelectedAccount(), ChosenBatch(), saved)) return false;
  if (closeAfterSave_) {
    QDialog::accept();
    return true;
  }
  Reload();
  ClearInput();
  return true;
}

bool BankAdministrationDialog::Create() { return Save(false); }
bool BankAdministrationDialog::Change() { return Save(true); }

bool BankAdministrationDialog::Remove() {
  if (!DeleteBank(SelectedAccount())) return false;
  Reload();
  ClearInput();
  return true;
}

void BankAdministrationDialog::ChooseBatch() {
  int chosen = SelectBatch(this, -CurrentMandant().number);
  if (chosen == 0) return;
  ListBatches(batches_);
  FillBatchChoice(chosen);
}

bool BankAdministrationDialog::Confirm() { return true; }

void RunBankAdministration(QWidget* parent, const std::string& presetAccount) {
  QPointer<BankAdministrationDialog>& open = OpenDialog();
  if (open) {
    ShowMessage(kMessageInUse, 0, "Bankenverwaltungs");
    open->raise();
    open->activateWindow();
    return;
  }
  BankAdministrationDialog dialog(parent, presetAccount);
  open = &dialog;
  dialog.exec();
  open = nullptr;
}

BankAdministrationDialog* BuildBankAdministrationSample(QWidget* parent) {
  auto* dialog = new BankAdministrationDialog(parent, {}, false);
  BankConnection giro;
  std::snprintf(giro.account, sizeof giro.account, "%s", "   1200");
  giro.bankCode = "37040044";
  giro.bankAccount = "532013000";
  giro.bankName = "Commerzbank Köln";
  giro.iban = "DE89370400440532013000";
  giro.bic = "COBADEFFXXX";
  BankConnection savings = giro;
  std::snprintf(savings.account, sizeof savings.account, "%s", "   1210");
  savings.bankCode = "50010517";
  savings.bankAccount = "5013";
  savings.bankName = "Sparkasse";
  savings.iban.clear();
  savings.bic.clear();
  savings.importBatch = 16;
  dialog->ShowConnections({giro, savings}, {{15, "OP-Ausgleich Kreditoren"}, {16, "Standardstapel"}});
  dialog->SelectLine(0);
  return dialog;
}

}  // namespace talvera
