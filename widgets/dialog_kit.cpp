#include "widgets/dialog_kit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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

namespace {

// Widest edit field in characters; longer values (paths) scroll in it.
constexpr int kWidestField = 60;

bool HasMnemonic(const QString& text) {
  for (int i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return true;
    ++i;
  }
  return false;
}

QString WithoutMnemonic(const QString& text) {
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

QWidget* FirstFocusable(QLayoutItem* item) {
  if (!item) return nullptr;
  if (QWidget* w = item->widget()) {
    if (w->focusPolicy() != Qt::NoFocus) return w;
    for (QWidget* child : w->findChildren<QWidget*>())
      if (child->focusPolicy() != Qt::NoFocus) return child;
    return nullptr;
  }
  if (QLayout* layout = item->layout())
    for (int i = 0; i < layout->count(); ++i)
      if (QWidget* w = FirstFocusable(layout->itemAt(i))) return w;
  return nullptr;
}

void FitWidth(QLineEdit* edit, int maxLength) {
  QFontMetrics metrics(edit->font());
  int perChar = std::max(metrics.averageCharWidth(), metrics.horizontalAdvance('0'));
  int chars = std::min(std::max(maxLength, 2), kWidestField);
  int width = perChar * chars + 16;
  edit->setMinimumWidth(width);
  if (maxLength <= kWidestField) edit->setMaximumWidth(width);
}

}  // namespace

void BindMnemonics(QWidget* root) {
  for (QFormLayout* form : root->findChildren<QFormLayout*>()) {
    for (int row = 0; row < form->rowCount(); ++row) {
      QLayoutItem* labelItem = form->itemAt(row, QFormLayout::LabelRole);
      auto* label = labelItem ? qobject_cast<QLabel*>(labelItem->widget()) : nullptr;
      if (!label || label->buddy() || !HasMnemonic(label->text())) continue;
      if (QWidget* field = FirstFocusable(form->itemAt(row, QFormLayout::FieldRole)))
        label->setBuddy(field);
    }
  }
  for (QLabel* label : root->findChildren<QLabel*>())
    if (!label->buddy() && HasMnemonic(label->text())) label->setText(WithoutMnemonic(label->text()));
}

TalviDialog::TalviDialog(QWidget* parent, const QString& name, const QString& title)
    : QDialog(parent) {
  setObjectName(name);
  QString tableTitle = DialogTitle(name);
  setWindowTitle(tableTitle.isEmpty() ? title : tableTitle);
  outer_ = new QVBoxLayout(this);
  outer_->setSizeConstraint(QLayout::SetMinimumSize);
  NewForm();
}

QFormLayout* TalviDialog::NewForm() {
  form_ = new QFormLayout;
  form_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  outer_->addLayout(form_);
  buttonRow_ = nullptr;
  return form_;
}

void TalviDialog::showEvent(QShowEvent* event) {
  if (!mnemonicsBound_) {
    BindMnemonics(this);
    mnemonicsBound_ = true;
  }
  QDialog::showEvent(event);
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
  buttonRow_ = nullptr;
  auto* edit = Register(id, new QLineEdit(this));
  edit->setMaxLength(maxLength);
  FitWidth(edit, maxLength);
  form_->addRow(label, edit);
  return edit;
}

QCheckBox* TalviDialog::AddCheck(int id, const QString& label) {
  buttonRow_ = nullptr;
  auto* check = Register(id, new QCheckBox(label, this));
  form_->addRow(check);
  return check;
}

QRadioButton* TalviDialog::AddRadio(int id, const QString& label) {
  buttonRow_ = nullptr;
  auto* radio = Register(id, new QRadioButton(label, this));
  form_->addRow(radio);
  return radio;
}

QComboBox* TalviDialog::AddCombo(int id, const QString& label, bool editable) {
  buttonRow_ = nullptr;
  auto* combo = Register(id, new QComboBox(this));
  combo->setEditable(editable);
  form_->addRow(label, combo);
  return combo;
}

QListWidget* TalviDialog::AddList(int id, const QString& label, const std::vector<ListColumn>& columns) {
  buttonRow_ = nullptr;
  QListWidget* list = columns.empty() ? new QListWidget(this) : new ColumnList(this, columns);
  Register(id, list);
  int row = std::max(list->fontMetrics().lineSpacing() + 2, 18);
  int header = columns.empty() ? 0 : static_cast<ColumnList*>(list)->header()->sizeHint().height();
  list->setMinimumHeight(row * kVisibleListRows + header + 2 * list->frameWidth());
  if (!label.isEmpty()) {
    auto* caption = new QLabel(label, this);
    caption->setBuddy(list);
    form_->addRow(caption);
  }
  form_->addRow(list);
  return list;
}

void TalviDialog::AddListPair(int leftId, const QString& leftLabel, int rightId,
                              const QString& rightLabel,
                              const std::vector<std::pair<int, QString>>& buttons) {
  buttonRow_ = nullptr;
  auto* grid = new QGridLayout;
  auto addList = [&](int id, const QString& label, int column) {
    auto* list = Register(id, new QListWidget(this));
    int row = std::max(list->fontMetrics().lineSpacing() + 2, 18);
    list->setMinimumHeight(row * kVisibleListRows + 2 * list->frameWidth());
    auto* caption = new QLabel(label, this);
    caption->setBuddy(list);
    grid->addWidget(caption, 0, column);
    grid->addWidget(list, 1, column);
  };
  addList(leftId, leftLabel, 0);
  addList(rightId, rightLabel, 2);
  auto* middle = new QVBoxLayout;
  middle->addStretch();
  for (const auto& [id, text] : buttons) {
    auto* button = Register(id, new QPushButton(text, this));
    button->setAutoDefault(false);
    middle->addWidget(button);
  }
  middle->addStretch();
  grid->addLayout(middle, 1, 1);
  form_->addRow(grid);
}

void TalviDialog::AddRow(const QString& label, QLayout* line) {
  buttonRow_ = nullptr;
  auto* caption = new QLabel(label, this);
  form_->addRow(caption, line);
  if (QLayoutItem* item = form_->itemAt(form_->rowCount() - 1, QFormLayout::FieldRole))
    if (QWidget* first = FirstFocusable(item)) caption->setBuddy(first);
}

QPushButton* TalviDialog::AddButton(int id, const QString& text) {
  auto* button = Register(id, new QPushButton(text, this));
  button->setAutoDefault(false);
  if (!buttonRow_) {
    buttonRow_ = new QHBoxLayout;
    buttonRow_->addStretch();
    form_->addRow(buttonRow_);
  }
  buttonRow_->insertWidget(buttonRow_->count() - 1, button);
  return button;
}

void TalviDialog::AddHeading(const QString& text) {
  buttonRow_ = nullptr;
  auto* heading = new QLabel(text, this);
  QFont f = heading->font();
  f.setBold(true);
  heading->setFont(f);
  form_->addRow(heading);
}

QWidget* TalviDialog::BeginGroup(const QString& title) {
  QWidget* box = title.isEmpty() ? new QWidget(this) : new QGroupBox(title, this);
  if (columns_) {
    int slot = groupsInColumns_++;
    int row = perRow_ > 0 ? slot / perRow_ : 0;
    int column = perRow_ > 0 ? slot % perRow_ : slot;
    columns_->addWidget(box, row, column, Qt::AlignTop);
  } else {
    outer_->addWidget(box);
  }
  form_ = new QFormLayout(box);
  form_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  if (title.isEmpty()) form_->setContentsMargins(0, 0, 0, 0);
  buttonRow_ = nullptr;
  return box;
}

void TalviDialog::EndGroup() {
  if (columns_) {
    buttonRow_ = nullptr;
    return;
  }
  NewForm();
}

void TalviDialog::BeginColumns(int perRow) {
  columns_ = new QGridLayout;
  perRow_ = perRow;
  groupsInColumns_ = 0;
  outer_->addLayout(columns_);
}

void TalviDialog::EndColumns() {
  columns_ = nullptr;
  NewForm();
}

void TalviDialog::AddButtons() {
  auto* box = new QDialogButtonBox(this);
  QPushButton* ok = Register(kIdOkButton, box->addButton(QDialogButtonBox::Ok));
  QPushButton* cancel = Register(kIdCancelButton, box->addButton(QDialogButtonBox::Cancel));
  QPushButton* help = Register(kIdHelpButton, box->addButton(QDialogButtonBox::Help));
  ok->setText("OK");
  cancel->setText("Abbrechen");
  help->setText("Hilfe");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TalviDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &TalviDialog::reject);
  // Help is the F1 of the keyboard handling above all windows.
  connect(help, &QPushButton::clicked, this, [this] {
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(this, &f1);
  });
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
