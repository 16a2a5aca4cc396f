// Dialog USTVA ("UMSATZSTEUER - VORANMELDUNG"): the period and the output of
// a VAT advance return. OK computes the return and ends with the number of
// list lines for the report window (form print: -1; failure: 0).
#pragma once

#include <functional>

#include "widgets/dialog_kit.h"
#include "tax/ustva_computation.h"

namespace talvera {

class EvaluationPeriodPanel;

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

 protected:
  bool Confirm() override;

 private:
  bool ReadPeriod(UstvaPeriod& period);
  bool MasterDataComplete(bool& cancel);
  bool Produce(const UstvaPeriod& period);

  UstvaDialogHooks hooks_;
  EvaluationPeriodPanel* panel_;
  int result_ = -1;
  bool closeWithResult_ = false;
};

// The dialog filled with sample values, for the gallery.
UstvaDialog* MakeUstvaDialogSample(QWidget* parent);

}  // namespace talvera
