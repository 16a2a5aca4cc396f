// The base of every dialog: controls carry the ids the program knows them by
// (object name "id<n>"), so validation can focus them and tests can drive
// them; the field readers reach them through DialogFields.
#pragma once

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

#include "core/dialog_fields.h"

class QCheckBox;
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

QString ControlName(int controlId);

class TalviDialog : public QDialog, public DialogFields {
  Q_OBJECT

 public:
  // `name` is the dialog's resource name ("EINST"), `title` its caption.
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
  QLineEdit* AddEdit(int id, const QString& label, int maxLength);
  QCheckBox* AddCheck(int id, const QString& label);
  QRadioButton* AddRadio(int id, const QString& label);
  QComboBox* AddCombo(int id, const QString& label, bool editable);
  QListWidget* AddList(int id, const QString& label);
  void AddHeading(const QString& text);
  void AddButtons();  // OK and Abbrechen
  template <typename W>
  W* Register(int id, W* widget) {
    widget->setObjectName(ControlName(id));
    return widget;
  }

  // Checks the input and stores it; false keeps the dialog open.
  virtual bool Confirm() = 0;

  QFormLayout* form_;
  QVBoxLayout* outer_;
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
