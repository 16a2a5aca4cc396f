// The search for posted bookings that the posting list ("BUCLISTE") and the
// storno ("BUCSTORNO") share: the selection "Auswahl" (dates, document
// number, accounts, gross amount), "&Liste" and the list of the bookings
// found under column headers. The dialogs add their own buttons below.
#pragma once

#include <string>
#include <vector>

#include "posting/journal_search.h"
#include "widgets/dialog_kit.h"

class QListWidget;
class QPushButton;

namespace talvera {

namespace booking_search {
enum : int {
  kFrom = 101,
  kTo = 102,
  kVoucher = 103,
  kDebit = 104,
  kCredit = 105,
  kGross = 106,
  kList = 107,
  kListButton = 108,  // "&Liste"
};
}  // namespace booking_search

class BookingSearchDialog : public TalviDialog {
  Q_OBJECT
 public:
  // `multiSelect`: several bookings can be chosen at once.
  BookingSearchDialog(QWidget* parent, const QString& name, const QString& title, bool multiSelect);
  // Back to the year that was selected when the dialog opened: the dates
  // of the selection select their own year's files.
  ~BookingSearchDialog() override;

  // "&Liste": reads the selection and fills the list (message 712 when not
  // all bookings fit); false when an entry was refused or the store failed.
  bool FillBookingList();
  const std::vector<JournalBooking>& Bookings() const { return bookings_; }
  // The listed bookings the user has selected, in list order.
  std::vector<JournalBooking> SelectedBookings() const;

 protected:
  // The selection was read and is about to be searched for.
  virtual void SelectionRead(const JournalFilter&) {}

  QListWidget* list_;
  QPushButton* listButton_;

 private:
  bool ReadSelection(JournalFilter& filter);
  bool ReadDate(int control, std::string& out);

  std::vector<JournalBooking> bookings_;
  std::string yearBefore_;
};

}  // namespace talvera
