// The two small administration dialogs of the entry lists: booking texts
// ("BUCTEXT") and booking templates ("BUCSCHA").
#pragma once

#include <string>
#include <vector>

#include "posting/booking_texts.h"
#include "widgets/dialog_kit.h"

class QDialog;
class QWidget;

namespace talvera {

namespace buctext {
enum : int { kOk = 1, kFinish = 2, kText = 101, kList = 102, kTakeBack = 103 };
}

class BookingTextsDialog : public TalviDialog {
  Q_OBJECT
 public:
  // With `sample` the list shows those texts and nothing is read or
  // written (the gallery).
  explicit BookingTextsDialog(QWidget* parent, const std::vector<std::string>* sample = nullptr);

  bool Add();       // "&Ok": inserts the typed text, or selects it when it exists
  bool TakeBack();  // "&Rückgängig": deletes the selected text and puts it into the field

 protected:
  bool Confirm() override {  // "&Ok" keeps the dialog open
    Add();
    return false;
  }

 private:
  void Fill(const std::string& select);
  bool sample_ = false;
};

namespace bucscha {
enum : int {
  kFinish = 2,
  kName = 101,
  kList = 102,
  kDocumentNumber = 103,
  kKeepDocumentNumber = 104,
  kDebit = 105,
  kCredit = 106,
  kCostCentre1 = 107,
  kCostCentre2 = 108,
  kText = 109,
  kNew = 110,
  kChange = 111,
  kDelete = 112,
};
}

class BookingTemplatesDialog : public TalviDialog {
  Q_OBJECT
 public:
  // With `sample` the lists show those templates and nothing is written.
  explicit BookingTemplatesDialog(QWidget* parent, const std::vector<BookingTemplate>* sample = nullptr);
  // False when the template list could not be filled: the dialog is not to open.
  bool filled() const { return filled_; }

  void NameTyped();  // shows the template of the typed name, or clears the fields for a new one
  bool New();        // "&Neu"
  bool Change();     // "&Ändern"
  bool Delete();     // "&Löschen"

 protected:
  bool Confirm() override { return true; }  // "&Beenden"

 private:
  void Fill(const std::string& select);
  void Show(const BookingTemplate& t);
  BookingTemplate Typed() const;
  void ClearFields();
  void EnableChoice(bool exists);

  std::vector<BookingTemplate> templates_;
  long shownId_ = 0;
  bool sample_ = false;
  bool filled_ = true;
};

// The menu commands "Buchungs&texte..." and "Buchungsschabl&onen...".
void OpenBookingTexts(QWidget* parent);
void OpenBookingTemplates(QWidget* parent);

// The dialogs with sample data, for the gallery.
QDialog* BookingTextsSample(QWidget* parent);
QDialog* BookingTemplatesSample(QWidget* parent);

}  // namespace talvera
