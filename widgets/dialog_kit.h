// The base of every dialog: controls carry the ids the program knows them by
// (object name "id<n>"), so validation can focus them and tests can drive
// them; the field readers reach them through DialogFields.
#pragma once

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

#include "core/dialog_fields.h"
#include "widgets/column_list.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLayout;
class QPushButton;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QVBoxLayout;

namespace talvera {

// Button ids every dialog shares.
constexpr int kIdOkButton = 1;
constexpr int kIdCancelButton = 2;
constexpr int kIdHelpButton = 9;

QString ControlName(int controlId);

// The caption of a dialog in normal German case, by its resource name
// ("MANDANLEGEN" -> "Mandant anlegen"); empty when the table has none. The
// table is in dialog_titles.cpp: one line per dialog.
QString DialogTitle(const QString& resourceName);

// Gives every label with a mnemonic ("&Name :") the control it names: in a
// form row the row's first control. A label that names none loses its "&"
// rather than showing it. Dialogs of the kit do this when first shown.
void BindMnemonics(QWidget* root);

class TalviDialog : public QDialog, public DialogFields {
  Q_OBJECT

 public:
  // `name` is the dialog's resource name ("EINST"), `title` its caption
  // unless the title table names a better one.
  TalviDialog(QWidget* parent, const QString& name, const QString& title);

  QWidget* Control(int id) const;
  QLineEdit* Edit(int id) const;
  QComboBox* Combo(int id) const;
  QCheckBox* Check(int id) const;
  QRadioButton* Radio(int id) const;
  QListWidget* List(int id) const;

  bool Checked(int id) const;
  void SetChecked(int id, bool on);

  // DialogFields
  std::string FieldText(int id) const override;
  void SetFieldText(int id, std::string_view text) override;
  void EnableField(int id, bool enabled) override;

  // Presses OK as the user would; tests use it too.
  void accept() override;

 protected:
  // Builders for the usual rows; each registers the control under its id.
  // An edit field is as wide as the longest value it takes.
  QLineEdit* AddEdit(int id, const QString& label, int maxLength);
  QCheckBox* AddCheck(int id, const QString& label);
  QRadioButton* AddRadio(int id, const QString& label);
  QComboBox* AddCombo(int id, const QString& label, bool editable);
  // A list shows at least eight rows; with columns it shows its
  // tab-separated lines as a table under their headers.
  QListWidget* AddList(int id, const QString& label, const std::vector<ListColumn>& columns = {});
  // Two lists side by side with the buttons that move entries between them
  // (">", "<", ...) in a column in the middle.
  void AddListPair(int leftId, const QString& leftLabel, int rightId, const QString& rightLabel,
                   const std::vector<std::pair<int, QString>>& buttons);
  // A row of controls side by side; the label's mnemonic focuses the first.
  void AddRow(const QString& label, QLayout* line);
  // Buttons added one after another stand side by side in one row.
  QPushButton* AddButton(int id, const QString& text);
  void AddHeading(const QString& text);
  // Rows between BeginGroup and EndGroup go into a group box (without a
  // title: a plain block); its mnemonic moves the focus to its first
  // control. Between BeginColumns and EndColumns the groups stand side by
  // side, `perRow` in a row (0: all in one row).
  QWidget* BeginGroup(const QString& title);
  void EndGroup();
  void BeginColumns(int perRow = 0);
  void EndColumns();
  void AddButtons();  // OK, Abbrechen and Hilfe
  void showEvent(QShowEvent* event) override;
  template <typename W>
  W* Register(int id, W* widget) {
    widget->setObjectName(ControlName(id));
    return widget;
  }

  // Checks the input and stores it; false keeps the dialog open.
  virtual bool Confirm() = 0;

  QFormLayout* form_;
  QVBoxLayout* outer_;

 private:
  QFormLayout* NewForm();
  QGridLayout* columns_ = nullptr;
  int perRow_ = 0;
  int groupsInColumns_ = 0;
  QHBoxLayout* buttonRow_ = nullptr;
  bool mnemonicsBound_ = false;
};

// Fills a list box with lines (tab-separated columns). When the list is
// full, message 20 and false: the list is incomplete.
bool FillList(QListWidget* list, const std::vector<std::string>& lines, bool clearFirst);
// Copies the selected line of a list into an edit field (empty when none is
// selected), optionally without its leading blanks.
void ListToField(QListWidget* list, QLineEdit* edit, bool trimLeading);
// Most lines a list box takes.
constexpr int kListCapacity = 32767;

// Remembers position and height of resizable dialog n (1 current postings,
// 2 batch postings) under "WndPos" n "X"/"Y" and "WndHgt" n. On opening the
// list grows or shrinks by the height difference.
void RestoreDialogGeometry(QDialog* dialog, int n, QWidget* list);
void SaveDialogGeometry(QDialog* dialog, int n);

// Numeric-pad "+" moves to the next control like Tab; with `swapped` (the
// "Toggle" setting) "+" acts as OK and Enter as Tab.
void InstallKeypadPlus(QDialog* dialog, bool swapped);
// Moves the focus on from `target` as the Tab key does.
void SendTab(QObject* target);

}  // namespace talvera
