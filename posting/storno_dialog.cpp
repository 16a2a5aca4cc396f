#include "posting/storno_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/field_readers.h"
#include "core/message.h"
#include "core/period_date.h"

namespace talvera {
namespace {

using namespace bucstorno;

constexpr int kMessageOutsideYears = 84;

}  // namespace

StornoDialog::StornoDialog(QWidget* parent)
    : BookingSearchDialog(parent, "BUCSTORNO", "Buchungen stornieren", true) {
  setProperty("helpContext", 2098);
  list_->setMinimumWidth(520);
  AddEdit(kStornoDate, "Stornodat&um:", 8);
  auto* box = new QDialogButtonBox(this);
  auto* cancel = Register(kCancel, box->addButton("S&tornieren", QDialogButtonBox::ActionRole));
  auto* close = Register(kIdCancelButton, box->addButton("Be&enden", QDialogButtonBox::RejectRole));
  cancel->setIcon(QIcon::fromTheme("edit-undo"));
  outer_->addWidget(box);
  connect(cancel, &QPushButton::clicked, this, [this] { CancelSelected(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

bool StornoDialog::CancelSelected() {
  run_ = StornoRun{};
  std::string stornoDate;
  // Empty: each booking is cancelled on its own dates.
  if (FieldText(kStornoDate).find_first_not_of(' ') != std::string::npos) {
    char date[11];
    if (!ReadDateField(*this, kStornoDate, date)) return false;
    if (YearOfDate(date) == 0) {
      ShowMessage(kMessageOutsideYears, kStornoDate);
      return false;
    }
    stornoDate = date;
  }
  std::vector<JournalBooking> selected = SelectedBookings();
  run_ = CancelSelectedBookings(selected, stornoDate);
  if (selected.empty()) return false;
  // The list shows the books as they are now, stornos included.
  if (run_.posted > 0) FillBookingList();
  return true;
}

QDialog* StornoDialogSample(QWidget* parent) {
  auto* d = new StornoDialog(parent);
  d->SetFieldText(kFrom, "01.12.26");
  d->SetFieldText(kTo, "31.12.26");
  d->SetFieldText(kStornoDate, "15.12.26");
  QListWidget* list = d->List(kList);
  list->addItem("02.12.26\tRE0097\t1200\t8400\t119,00\tBarverkauf");
  list->addItem("03.12.26\tRE0098\t4210\t70000\t1.190,00\tMiete Dezember");
  list->addItem("04.12.26\tRE0099\t10000\tSplit\t464,00\tVerkauf");
  list->item(1)->setSelected(true);
  list->item(2)->setSelected(true);
  return d;
}

}  // namespace talvera
