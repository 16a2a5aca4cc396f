// The split dialogs "SPLIT_1N" ("Habensplitbuchung": one debit account,
// many credit accounts) and "SPLIT_N1" ("Sollsplitbuchung"): the lines are
// typed here, checked by SplitBooking, and handed back to the entry dialog
// as the lines of its booking record.
#pragma once

#include <vector>

#include "posting/split_booking.h"
#include "widgets/dialog_kit.h"

namespace talvera {

class SplitDialog : public TalviDialog {
  Q_OBJECT
 public:
  SplitDialog(QWidget* parent, SplitKind kind, const std::string& fixedAccount,
              const std::string& fixedGross, const std::string& documentDate, const EntryContext& context);

  bool TakeOver();    // "&Übernehmen": checks the typed line and adds it
  bool RemoveLine();  // "&Rückgängig": removes the selected line
  // After "&Ok": a booking record whose lines and split kind are filled.
  const std::vector<char>& lines() const { return lines_; }

 protected:
  bool Confirm() override;  // "&Ok"

 private:
  void FillList();
  void ProposeRemaining();

  SplitBooking split_;
  bool oneDebit_;
  std::vector<char> lines_;
};

}  // namespace talvera
