#include "posting/booking_search_dialog.h"

#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/field_readers.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "widgets/copy_target.h"

namespace talvera {
namespace {

using namespace booking_search;

enum Message : int {
  kAccountMissing = 36,
  kOutsideYears = 84,
  kDatesBackwards = 711,
  kListFull = 712,
  kListFailed = 714,
  kDatesInTwoYears = 746,
};

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

}  // namespace

BookingSearchDialog::BookingSearchDialog(QWidget* parent, const QString& name, const QString& title,
                                         bool multiSelect)
    : TalviDialog(parent, name, title), yearBefore_(WorkingYear()) {
  AddHeading("Auswahl");
  AddEdit(kFrom, "&Von:", 8);
  AddEdit(kTo, "&Bis:", 8);
  AddEdit(kVoucher, "Beleg&nr.:", 8);
  TrackCopyTarget(AddEdit(kDebit, "&Soll:", 7));
  TrackCopyTarget(AddEdit(kCredit, "&Haben:", 7));
  AddEdit(kGross, "B&ruttobetr.:", 12);
  listButton_ = Register(kListButton, new QPushButton("&Liste", this));
  form_->addRow(listButton_);
  list_ = AddList(kList, "",
                  {{"Datum", 8}, {"Beleg", 8}, {"Soll", 7, true}, {"Haben", 7, true}, {"Brutto", 13, true},
                   {"Text", 30}});
  if (multiSelect) list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  connect(listButton_, &QPushButton::clicked, this, [this] { FillBookingList(); });
  listButton_->setDefault(true);
}

BookingSearchDialog::~BookingSearchDialog() {
  for (int id : {kDebit, kCredit}) UnregisterCopyTarget(Edit(id));
  if (!yearBefore_.empty() && WorkingYear() != yearBefore_) SwitchWorkingYear(yearBefore_);
}

// A date of the selection: empty is no condition; a date must lie in a year
// that can be posted to (or in the archived year being viewed).
bool BookingSearchDialog::ReadDate(int control, std::string& out) {
  out.clear();
  if (Blank(FieldText(control))) return true;
  char date[11];
  if (!ReadDateField(*this, control, date)) return false;
  bool inYear = ArchiveViewYear().empty()
                    ? YearOfDate(date) != 0
                    : std::to_string(1980 + (date[4] - '0') * 10 + (date[5] - '0')) == ArchiveViewYear();
  if (!inYear) {
    ShowMessage(kOutsideYears, control);
    return false;
  }
  out = date;
  return true;
}

bool BookingSearchDialog::ReadSelection(JournalFilter& f) {
  if (!ReadDate(kFrom, f.firstDate) || !ReadDate(kTo, f.lastDate)) return false;
  if (!f.firstDate.empty() && !f.lastDate.empty()) {
    if (CompareDates(f.firstDate.c_str(), f.lastDate.c_str())) {
      ShowMessage(kDatesBackwards, kTo);
      return false;
    }
    if (f.firstDate.compare(4, 2, f.lastDate, 4, 2) != 0) {
      ShowMessage(kDatesInTwoYears, kTo);
      return false;
    }
  }
  // The dates choose the year whose journal is searched.
  const std::string& anyDate = !f.firstDate.empty() ? f.firstDate : f.lastDate;
  if (!anyDate.empty() && !CheckPostableYear(anyDate.c_str(), kFrom)) return false;
  f.voucherPrefix = Utf8ToCp1252(FieldText(kVoucher));
  for (auto [control, target] : {std::pair{kDebit, &f.debitAccount}, {kCredit, &f.creditAccount}}) {
    if (Blank(FieldText(control))) continue;
    char account[16];
    AccountKind kind = kNoAccount;
    if (!ReadAccountField(*this, control, account, kind, kAccountMissing, true)) return false;
    *target = account;
  }
  if (!Blank(FieldText(kGross))) {
    char gross[32];
    if (!ReadAmountField(*this, kGross, gross, kAmountWidth)) return false;
    f.gross = gross;
  }
  return true;
}

bool BookingSearchDialog::FillBookingList() {
  JournalFilter filter;
  if (!ReadSelection(filter)) return false;
  SelectionRead(filter);
  bool more = false;
  std::vector<JournalBooking> found;
  if (!FindBookings(filter, kListCapacity, found, more)) {
    ShowMessage(kListFailed);
    return false;
  }
  bookings_ = std::move(found);
  list_->clear();
  for (const JournalBooking& b : bookings_)
    list_->addItem(QString::fromStdString(Cp1252ToUtf8(BookingListLine(b))));
  if (more) ShowMessage(kListFull);
  if (list_->count() > 0) {
    // Where several can be chosen, nothing is chosen for the user.
    if (list_->selectionMode() == QAbstractItemView::ExtendedSelection)
      list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    else
      list_->setCurrentRow(0);
    list_->setFocus();
  }
  return true;
}

std::vector<JournalBooking> BookingSearchDialog::SelectedBookings() const {
  std::vector<JournalBooking> out;
  for (int row = 0; row < list_->count() && row < static_cast<int>(bookings_.size()); ++row)
    if (list_->item(row)->isSelected()) out.push_back(bookings_[static_cast<std::size_t>(row)]);
  return out;
}

}  // namespace talvera
