#include "posting/booking_texts_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/layouts/buscha.h"
#include "core/layouts/butext.h"
#include "core/message.h"

namespace talvera {
namespace {

constexpr int kMessageEmpty = 2;
constexpr int kMessageListFull = 718;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A row of buttons under the form; each registered under its id.
QDialogButtonBox* AddButtonRow(TalviDialog* dialog, QVBoxLayout* outer,
                               std::initializer_list<std::pair<int, const char*>> buttons) {
  auto* box = new QDialogButtonBox(dialog);
  for (const auto& [id, text] : buttons) {
    auto* button = new QPushButton(QString::fromUtf8(text), dialog);
    button->setObjectName(ControlName(id));
    button->setAutoDefault(false);
    box->addButton(button, QDialogButtonBox::ActionRole);
  }
  outer->addWidget(box);
  return box;
}

QPushButton* Button(const TalviDialog* dialog, int id) {
  return qobject_cast<QPushButton*>(dialog->Control(id));
}

}  // namespace

// ---- BUCTEXT ---------------------------------------------------------------

BookingTextsDialog::BookingTextsDialog(QWidget* parent, const std::vector<std::string>* sample)
    : TalviDialog(parent, "BUCTEXT", "Buchungstextverwaltung"), sample_(sample != nullptr) {
  using namespace buctext;
  AddEdit(kText, "&Buchungstext:", 35);
  QListWidget* list = AddList(kList, "Buchungste&xte:");
  list->setSortingEnabled(false);
  AddButtonRow(this, outer_, {{kOk, "&Ok"}, {kTakeBack, "&Rückgängig"}, {kFinish, "Be&enden"}});
  Button(this, kOk)->setDefault(true);
  connect(Button(this, kOk), &QPushButton::clicked, this, [this] { Add(); });
  connect(Button(this, kTakeBack), &QPushButton::clicked, this, [this] { TakeBack(); });
  connect(Button(this, kFinish), &QPushButton::clicked, this, [this] { QDialog::accept(); });
  connect(list, &QListWidget::itemDoubleClicked, this, [this] { TakeBack(); });
  if (sample) {
    std::vector<std::string> lines = *sample;
    std::sort(lines.begin(), lines.end());
    FillList(list, lines, true);
  } else {
    Fill("");
  }
}

void BookingTextsDialog::Fill(const std::string& select) {
  QListWidget* list = List(buctext::kList);
  std::vector<std::string> texts;
  ListBookingTexts(texts);
  FillList(list, texts, true);
  if (select.empty()) return;
  QList<QListWidgetItem*> found = list->findItems(Q(select), Qt::MatchExactly);
  if (!found.isEmpty()) list->setCurrentItem(found.front());
}

bool BookingTextsDialog::Add() {
  using namespace buctext;
  std::string text = FieldText(kText);
  if (text.find_first_not_of(' ') == std::string::npos) {
    ShowMessage(kMessageEmpty, kText);
    return false;
  }
  QListWidget* list = List(kList);
  QList<QListWidgetItem*> present = list->findItems(Q(text), Qt::MatchExactly);
  if (!present.isEmpty()) {
    list->setCurrentItem(present.front());
    return true;
  }
  if (list->count() >= kListCapacity) {
    ShowMessage(kMessageListFull, kText);
    return false;
  }
  if (!sample_) {
    bool added = false;
    CheckResult r = AddBookingText(text, added);
    if (!r) {
      ShowRefusal(r);
      return false;
    }
    Fill(text);
  } else {
    list->addItem(Q(text));
    list->setCurrentRow(list->count() - 1);
  }
  return true;
}

bool BookingTextsDialog::TakeBack() {
  using namespace buctext;
  QListWidget* list = List(kList);
  QListWidgetItem* item = list->currentItem();
  if (!item || !item->isSelected()) {
    ShowMessage(kMessageEmpty, kList);
    return false;
  }
  std::string text = item->text().toStdString();
  if (!sample_) {
    bool found = false;
    if (!DeleteBookingText(text, found)) return false;
  }
  delete list->takeItem(list->row(item));
  SetFieldText(kText, text);
  Edit(kText)->setFocus();
  return true;
}

// ---- BUCSCHA ---------------------------------------------------------------

BookingTemplatesDialog::BookingTemplatesDialog(QWidget* parent, const std::vector<BookingTemplate>* sample)
    : TalviDialog(parent, "BUCSCHA", "Buchungsschablonenverwaltung"), sample_(sample != nullptr) {
  using namespace bucscha;
  QLineEdit* name = AddEdit(kName, "Schablonenna&me:", 35);
  QListWidget* list = AddList(kList, "Schablone&n:");
  AddEdit(kDocumentNumber, "&Belegnr.:", 8);
  AddCheck(kKeepDocumentNumber, "Belegnummer festhalten");
  AddEdit(kDebit, "&Sollkonto:", 7);
  AddEdit(kCredit, "&Habenkonto:", 7);
  AddEdit(kCostCentre1, "KoSt.&1:", 7);
  AddEdit(kCostCentre2, "KoSt.&2:", 7);
  QComboBox* text = AddCombo(kText, "Bu&text:", true);
  text->lineEdit()->setMaxLength(35);
  AddButtonRow(this, outer_, {{kNew, "&Neu"}, {kChange, "&Ändern"}, {kDelete, "&Löschen"}, {kFinish, "&Beenden"}});
  connect(name, &QLineEdit::textEdited, this, [this] { NameTyped(); });
  connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row < static_cast<int>(templates_.size())) Show(templates_[static_cast<std::size_t>(row)]);
  });
  connect(Button(this, kNew), &QPushButton::clicked, this, [this] { New(); });
  connect(Button(this, kChange), &QPushButton::clicked, this, [this] { Change(); });
  connect(Button(this, kDelete), &QPushButton::clicked, this, [this] { Delete(); });
  connect(Button(this, kFinish), &QPushButton::clicked, this, [this] { QDialog::accept(); });

  std::vector<std::string> texts;
  if (sample) {
    for (const char* t : layouts::butext::kDefaultRows) texts.push_back(t);
    std::sort(texts.begin(), texts.end());
    templates_ = *sample;
    std::sort(templates_.begin(), templates_.end(),
              [](const BookingTemplate& a, const BookingTemplate& b) { return a.name < b.name; });
    std::vector<std::string> names;
    for (const BookingTemplate& t : templates_) names.push_back(t.name);
    FillList(list, names, true);
  } else {
    ListBookingTexts(texts);
    Fill("");
  }
  for (const std::string& t : texts) text->addItem(Q(t));
  text->setCurrentIndex(-1);
  ClearFields();
  EnableChoice(false);
}

void BookingTemplatesDialog::Fill(const std::string& select) {
  QListWidget* list = List(bucscha::kList);
  QSignalBlocker quiet(list);
  filled_ = ListTemplates(templates_);
  std::vector<std::string> names;
  for (const BookingTemplate& t : templates_) names.push_back(t.name);
  filled_ = FillList(list, names, true) && filled_;
  for (int i = 0; i < list->count(); ++i)
    if (templates_[static_cast<std::size_t>(i)].name == select) list->setCurrentRow(i);
}

void BookingTemplatesDialog::EnableChoice(bool exists) {
  EnableField(bucscha::kNew, !exists);
  EnableField(bucscha::kChange, exists);
  EnableField(bucscha::kDelete, exists);
}

void BookingTemplatesDialog::ClearFields() {
  using namespace bucscha;
  for (int id : {kDocumentNumber, kDebit, kCredit, kCostCentre1, kCostCentre2}) Edit(id)->clear();
  SetChecked(kKeepDocumentNumber, false);
  Combo(kText)->setCurrentIndex(-1);
  Combo(kText)->setEditText("");
  shownId_ = 0;
}

void BookingTemplatesDialog::Show(const BookingTemplate& t) {
  using namespace bucscha;
  SetFieldText(kName, t.name);
  SetFieldText(kDocumentNumber, t.documentNumber);
  SetChecked(kKeepDocumentNumber, t.keepDocumentNumber);
  SetFieldText(kDebit, t.debit);
  SetFieldText(kCredit, t.credit);
  SetFieldText(kCostCentre1, t.costCentre1);
  SetFieldText(kCostCentre2, t.costCentre2);
  Combo(kText)->setEditText(Q(t.text));
  shownId_ = t.id;
  EnableChoice(true);
}

void BookingTemplatesDialog::NameTyped() {
  std::string name = FieldText(bucscha::kName);
  QListWidget* list = List(bucscha::kList);
  for (std::size_t i = 0; i < templates_.size(); ++i) {
    if (templates_[i].name != name) continue;
    QSignalBlocker quiet(list);
    list->setCurrentRow(static_cast<int>(i));
    Show(templates_[i]);
    return;
  }
  list->clearSelection();
  ClearFields();
  EnableChoice(false);
}

BookingTemplate BookingTemplatesDialog::Typed() const {
  using namespace bucscha;
  BookingTemplate t;
  t.id = shownId_;
  t.name = FieldText(kName);
  t.documentNumber = FieldText(kDocumentNumber);
  t.keepDocumentNumber = Checked(kKeepDocumentNumber);
  t.debit = FieldText(kDebit);
  t.credit = FieldText(kCredit);
  t.costCentre1 = FieldText(kCostCentre1);
  t.costCentre2 = FieldText(kCostCentre2);
  t.text = FieldText(kText);
  return t;
}

bool BookingTemplatesDialog::New() {
  using namespace bucscha;
  BookingTemplate t = Typed();
  if (t.name.find_first_not_of(' ') == std::string::npos) {
    ShowMessage(kMessageEmpty, kName);
    return false;
  }
  if (List(kList)->count() >= kListCapacity) {
    ShowMessage(kMessageListFull, kName);
    return false;
  }
  if (sample_) {
    templates_.push_back(t);
    List(kList)->addItem(Q(t.name));
  } else {
    if (!InsertTemplate(t)) return false;
    Fill(t.name);
  }
  shownId_ = t.id;
  EnableChoice(true);
  Edit(kName)->setFocus();
  return true;
}

bool BookingTemplatesDialog::Change() {
  using namespace bucscha;
  if (shownId_ == 0 && !sample_) return false;
  BookingTemplate t = Typed();
  if (!sample_) {
    if (!UpdateTemplate(t)) return false;
    Fill(t.name);
  }
  Edit(kName)->setFocus();
  return true;
}

bool BookingTemplatesDialog::Delete() {
  using namespace bucscha;
  if (shownId_ == 0 && !sample_) return false;
  if (!sample_) {
    if (!DeleteTemplate(shownId_)) return false;
    Fill("");
  }
  Edit(kName)->clear();
  ClearFields();
  EnableChoice(false);
  Edit(kName)->setFocus();
  return true;
}

// ---- Commands and samples --------------------------------------------------

void OpenBookingTexts(QWidget* parent) {
  BookingTextsDialog dialog(parent);
  dialog.exec();
}

void OpenBookingTemplates(QWidget* parent) {
  BookingTemplatesDialog dialog(parent);
  if (!dialog.filled()) return;
  dialog.exec();
}

QDialog* BookingTextsSample(QWidget* parent) {
  static const std::vector<std::string> texts(std::begin(layouts::butext::kDefaultRows),
                                              std::end(layouts::butext::kDefaultRows));
  return new BookingTextsDialog(parent, &texts);
}

QDialog* BookingTemplatesSample(QWidget* parent) {
  static const std::vector<BookingTemplate> templates = [] {
    std::vector<BookingTemplate> out;
    long id = 1;
    for (const auto& row : layouts::buscha::kDefaultRows) {
      BookingTemplate t;
      t.id = id++;
      t.name = row.name;
      t.text = row.name;
      t.debit = row.debit;
      t.credit = row.credit;
      out.push_back(t);
    }
    return out;
  }();
  auto* dialog = new BookingTemplatesDialog(parent, &templates);
  dialog->List(bucscha::kList)->setCurrentRow(0);
  return dialog;
}

}  // namespace talvera
