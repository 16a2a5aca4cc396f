// The batch-choice dialog: lists the batch headers of the open Mandant, lets
// the user pick one or add one, and returns its number (0 for none). A
// recurring batch is marked " [W]".
#pragma once

#include "widgets/dialog_kit.h"

namespace talvera {

namespace stapelwahl {
enum : int { kList = 101, kNewName = 102, kAdd = 103, kRecurring = 104 };
}

class SelectBatchDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit SelectBatchDialog(QWidget* parent);
  int chosenBatch() const { return chosen_; }
  // Adds a batch with the name typed in kNewName (recurring when kRecurring
  // is checked) and selects it.
  bool AddTypedBatch();

 protected:
  bool Confirm() override;

 private:
  void Fill(int select);
  int chosen_ = 0;
};

// Modal for `parent`; `negativeMandant` is the open Mandant's number negated
// (-1 for Mandant 1), kept for callers written against that convention.
int SelectBatch(QWidget* parent, int negativeMandant);

}  // namespace talvera
