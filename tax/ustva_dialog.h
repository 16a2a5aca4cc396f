// Dialog USTVA ("UMSATZSTEUER - VORANMELDUNG"): the period and the output of
// a VAT advance return. OK computes the return and ends with the number of
// list lines for the report window (form print: -1; failure: 0).
#pragma once

#include <functional>
#include <string>

#include "widgets/dialog_kit.h"

class QLabel;
#include "tax/ustva_computation.h"

namespace talvera {

class EvaluationPeriodPanel;

// Controls of the return's choices, its result and the upload file.
namespace ustva_dialog {
enum : int {
  kCorrected = 190,           // "Berichtigte Anmeldung (Kz 10)"
  kSpecialPrepayment = 191,   // "Sondervorauszahlung anrechnen (Kz 39)"
  kSpecialAmount = 192,       // its amount
  kResult = 193,              // Zahllast or Erstattung and the lock date
  kSaveFile = 194,            // "Datei speichern..."
};
}

// What the dialog needs from the program around it.
struct UstvaDialogHooks {
  // The user holds the right "Administration".
  std::function<bool()> isAdministrator;
  // Opens the company master dialog (STAMMDAT).
  std::function<void()> editCompanyMaster;
  // Prints the form buffer; true when printed.
  std::function<bool()> printForm;
  // Whether a printer is installed.
  std::function<bool()> printerInstalled;
  // Prepares the print font of the list (message 49 when it is too wide).
  std::function<bool()> preparePrintFont;
  // Asks where the upload file goes (a name ending in ".xml", proposed as
  // `proposal`); "" when the user cancels.
  std::function<std::string(const std::string& proposal)> chooseUploadPath;
  // Writes the form buffer (the Kennzahlen sheet) as a PDF file.
  std::function<bool(const std::string& path)> writeFormPdf;
};

class UstvaDialog : public TalviDialog {
  Q_OBJECT
 public:
  UstvaDialog(QWidget* parent, UstvaDialogHooks hooks);

  // The dialog's result for the report window.
  int Result() const { return result_; }
  EvaluationPeriodPanel* Panel() const { return panel_; }

  void accept() override;
  void reject() override;

  // On opening: a configured import-VAT account that the chart does not
  // hold (message 114; the caller then opens the import-VAT command).
  static bool ImportVatAccountMissing();

  // "Datei speichern...": the upload file and beside it the Kennzahlen
  // sheet as PDF; locks the period as printing does. True when written.
  bool SaveFiles();
  // Recomputes the result shown (silently; empty when the period is not
  // one that can be computed).
  void UpdatePreview();

 protected:
  bool Confirm() override;

 private:
  bool ReadPeriod(UstvaPeriod& period);
  bool ReadChoices(UstvaChoices& choices);
  bool MasterDataComplete(bool& cancel);
  bool LockQuestion(const char* lock);
  bool Compute(const UstvaPeriod& period, const UstvaChoices& choices, UstvaReturn& ret);
  bool Produce(const UstvaPeriod& period, const UstvaChoices& choices);
  void AddChoices();

  UstvaDialogHooks hooks_;
  EvaluationPeriodPanel* panel_;
  QLabel* resultLabel_ = nullptr;
  int result_ = -1;
  bool closeWithResult_ = false;
};

// The dialog filled with sample values, for the gallery.
UstvaDialog* MakeUstvaDialogSample(QWidget* parent);

}  // namespace talvera
