#include "posting/select_batch.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/message.h"
#include "posting/batch_headers.h"

namespace talvera {
namespace {
constexpr int kMessageChooseEntry = 1;
constexpr int kMessageFieldEmpty = 2;
}  // namespace

SelectBatchDialog::SelectBatchDialog(QWidget* parent)
    : TalviDialog(parent, "STAPELWAHL", "Stapel auswählen") {
  using namespace stapelwahl;
  QListWidget* list = AddList(kList, "&Stapel :");
  AddEdit(kNewName, "&Neuer Stapel :", 32);
  AddCheck(kRecurring, "&wiederkehrende Buchungen");
  auto* add = Register(kAdd, new QPushButton("&Anlegen", this));
  form_->addRow(add);
  connect(add, &QPushButton::clicked, this, [this] { AddTypedBatch(); });
  connect(list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  AddButtons();
  Fill(0);
}

void SelectBatchDialog::Fill(int select) {
  QListWidget* list = List(stapelwahl::kList);
  list->clear();
  std::vector<BatchHeader> batches;
  ListBatches(batches);
  for (const BatchHeader& b : batches) {
    QString name = QString::fromStdString(b.name) + (b.recurring ? " [W]" : "");
    auto* item = new QListWidgetItem(QString("%1\t%2").arg(b.number, 5).arg(name), list);
    item->setData(Qt::UserRole, b.number);
    if (b.number == select) list->setCurrentItem(item);
  }
}

bool SelectBatchDialog::AddTypedBatch() {
  std::string name = FieldText(stapelwahl::kNewName);
  if (name.find_first_not_of(' ') == std::string::npos) {
    ShowMessage(kMessageFieldEmpty, stapelwahl::kNewName);
    return false;
  }
  int number = AddBatch(name, Checked(stapelwahl::kRecurring));
  if (number <= 0) return false;
  Edit(stapelwahl::kNewName)->clear();
  SetChecked(stapelwahl::kRecurring, false);
  Fill(number);
  return true;
}

bool SelectBatchDialog::Confirm() {
  QListWidgetItem* item = List(stapelwahl::kList)->currentItem();
  if (!item) {
    ShowMessage(kMessageChooseEntry, stapelwahl::kList);
    return false;
  }
  chosen_ = item->data(Qt::UserRole).toInt();
  return true;
}

int SelectBatch(QWidget* parent, int /*negativeMandant*/) {
  SelectBatchDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return 0;
  return dialog.chosenBatch();
}

}  // namespace talvera
