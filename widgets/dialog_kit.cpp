#include "widgets/dialog_kit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/message.h"
#include "core/settings.h"

namespace talvera {

QString ControlName(int controlId) { return QStringLiteral("id%1").arg(controlId); }

TalviDialog::TalviDialog(QWidget* parent, const QString& name, const QString& title)
    : QDialog(parent) {
  setObjectName(name);
  setWindowTitle(title);
  outer_ = new QVBoxLayout(this);
  form_ = new QFormLayout;
  outer_->addLayout(form_);
}

QWidget* TalviDialog::Control(int id) const { return findChild<QWidget*>(ControlName(id)); }
QLineEdit* TalviDialog::Edit(int id) const { return findChild<QLineEdit*>(ControlName(id)); }
QComboBox* TalviDialog::Combo(int id) const { return findChild<QComboBox*>(ControlName(id)); }
QCheckBox* TalviDialog::Check(int id) const { return findChild<QCheckBox*>(ControlName(id)); }
QRadioButton* TalviDialog::Radio(int id) const {
  return findChild<QRadioButton*>(ControlName(id));
}
QListWidget* TalviDialog::List(int id) const { return findChild<QListWidget*>(ControlName(id)); }

bool TalviDialog::Checked(int id) const {
  if (auto* c = Check(id)) return c->isChecked();
  if (auto* r = Radio(id)) return r->isChecked();
  return false;
}

void TalviDialog::SetChecked(int id, bool on) {
  if (auto* c = Check(id)) c->setChecked(on);
  if (auto* r = Radio(id)) r->setChecked(on);
}

std::string TalviDialog::FieldText(int id) const {
  if (auto* e = Edit(id)) return e->text().toStdString();
  if (auto* c = Combo(id)) return c->currentText().toStdString();
  if (auto* l = findChild<QLabel*>(ControlName(id))) return l->text().toStdString();
  return {};
}

void TalviDialog::SetFieldText(int id, std::string_view text) {
  QString t = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
  if (auto* e = Edit(id)) {
    e->setText(t);
  } else if (auto* c = Combo(id)) {
    c->setCurrentText(t);
  } else if (auto* l = findChild<QLabel*>(ControlName(id))) {
    l->setText(t);
  }
}

void TalviDialog::EnableField(int id, bool enabled) {
  if (QWidget* w = Control(id)) w->setEnabled(enabled);
}

void TalviDialog::accept() {
  if (Confirm()) QDialog::accept();
}

QLineEdit* TalviDialog::AddEdit(int id, const QString& label, int maxLength) {
  auto* edit = Register(id, new QLineEdit(this));
  edit->setMaxLength(maxLength);
  form_->addRow(label, edit);
  return edit;
}

QCheckBox* TalviDialog::AddCheck(int id, const QString& label) {
  auto* check = Register(id, new QCheckBox(label, this));
  form_->addRow(check);
  return check;
}

QRadioButton* TalviDialog::AddRadio(int id, const QString& label) {
  auto* radio = Register(id, new QRadioButton(label, this));
  form_->addRow(radio);
  return radio;
}

QComboBox* TalviDialog::AddCombo(int id, const QString& label, bool editable) {
  auto* combo = Register(id, new QComboBox(this));
  combo->setEditable(editable);
  form_->addRow(label, combo);
  return combo;
}

QListWidget* TalviDialog::AddList(int id, const QString& label) {
  auto* list = Register(id, new QListWidget(this));
  form_->addRow(label, list);
  return list;
}

void TalviDialog::AddHeading(const QString& text) {
  auto* heading = new QLabel(text, this);
  QFont f = heading->font();
  f.setBold(true);
  heading->setFont(f);
  form_->addRow(heading);
}

void TalviDialog::AddButtons() {
  auto* box = new QDialogButtonBox(this);
  QPushButton* ok = Register(kIdOkButton, box->addButton(QDialogButtonBox::Ok));
  QPushButton* cancel = Register(kIdCancelButton, box->addButton("Abbrechen", QDialogButtonBox::RejectRole));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TalviDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &TalviDialog::reject);
  outer_->addWidget(box);
}

bool FillList(QListWidget* list, const std::vector<std::string>& lines, bool clearFirst) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  list->setUpdatesEnabled(false);
  if (clearFirst) list->clear();
  bool complete = true;
  for (const std::string& line : lines) {
    if (list->count() >= kListCapacity) {
      complete = false;
      break;
    }
    list->addItem(QString::fromStdString(line));
  }
  list->setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
  if (!complete) ShowMessage(20);
  return complete;
}

void ListToField(QListWidget* list, QLineEdit* edit, bool trimLeading) {
  QListWidgetItem* item = list->currentItem();
  QString text = item && item->isSelected() ? item->text() : QString();
  if (trimLeading) {
    int i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    text = text.mid(i);
  }
  edit->setText(text);
}

void RestoreDialogGeometry(QDialog* dialog, int n, QWidget* list) {
  std::string suffix = std::to_string(n);
  int x = ReadNumberSetting("WndPos" + suffix + "X", dialog->x());
  int y = ReadNumberSetting("WndPos" + suffix + "Y", dialog->y());
  int height = ReadNumberSetting("WndHgt" + suffix, dialog->height());
  int difference = height - dialog->height();
  if (list && difference != 0)
    list->setMinimumHeight(std::max(40, list->height() + difference));
  dialog->move(x, y);
  dialog->resize(dialog->width(), height);
}

void SaveDialogGeometry(QDialog* dialog, int n) {
  std::string suffix = std::to_string(n);
  WriteNumberSetting("WndPos" + suffix + "X", dialog->x());
  WriteNumberSetting("WndPos" + suffix + "Y", dialog->y());
  if (ReadNumberSetting("WndHgt" + suffix, -1) != dialog->height())
    WriteNumberSetting("WndHgt" + suffix, dialog->height());
}

namespace {

class KeypadPlusFilter : public QObject {
 public:
  KeypadPlusFilter(QDialog* dialog, bool swapped) : QObject(dialog), dialog_(dialog), swapped_(swapped) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    bool keypadPlus = key->key() == Qt::Key_Plus && (key->modifiers() & Qt::KeypadModifier);
    bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (keypadPlus) {
      if (swapped_)
        dialog_->accept();
      else
        SendTab(watched);
      return true;
    }
    if (enter && swapped_) {
      SendTab(watched);
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QDialog* dialog_;
  bool swapped_;
};

}  // namespace

void SendTab(QObject* target) {
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
  QApplication::sendEvent(target, &tab);
}

void InstallKeypadPlus(QDialog* dialog, bool swapped) {
  auto* filter = new KeypadPlusFilter(dialog, swapped);
  for (QWidget* child : dialog->findChildren<QWidget*>()) child->installEventFilter(filter);
  dialog->installEventFilter(filter);
}

}  // namespace talvera
