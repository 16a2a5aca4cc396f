// "BUCSTORNO": posted bookings are searched for and listed as in the posting
// list; the selected ones are cancelled by "S&tornieren", on their own dates
// or on the storno date.
#pragma once

#include "posting/booking_search_dialog.h"
#include "posting/storno.h"

namespace talvera {

namespace bucstorno {
using namespace booking_search;
enum : int {
  kStornoDate = 109,  // "Stornodat&um:"
  kCancel = 110,      // "S&tornieren"
};
}  // namespace bucstorno

class StornoDialog : public BookingSearchDialog {
  Q_OBJECT
 public:
  explicit StornoDialog(QWidget* parent);

  // "S&tornieren": cancels the selected bookings and lists again. False
  // when the storno date was refused or nothing was selected.
  bool CancelSelected();
  const StornoRun& lastRun() const { return run_; }

 protected:
  // "&Beenden" closes; the dialog has no OK.
  bool Confirm() override { return true; }

 private:
  StornoRun run_;
};

// The dialog with sample bookings, for the gallery.
QDialog* StornoDialogSample(QWidget* parent);

}  // namespace talvera
