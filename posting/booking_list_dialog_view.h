// The list of the entry dialog (control 408) as a table: one row per
// record of a booking, a booking's rows drawn as one block. Bookings of
// the chosen month posted before the dialog opened are drawn grey, the
// ones of this dialog black, the pending one blue; the blocks alternate
// their background so that split bookings stand together.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <vector>

#include "posting/booking_list.h"

namespace talvera {

class BookingListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Role { kPostingNumberRole = Qt::UserRole, kEntryRole, kFirstRowRole, kKindRole };
  enum Kind { kEarlier, kPosted, kPending };

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetEntries(std::vector<BookingListEntry> entries);
  void Append(BookingListEntry entry);
  // The last entry leaves the list (the pending booking taken back).
  void RemoveLast();
  // The pending entry is posted: it keeps its rows and gets its number.
  void MarkPosted(long postingNumber);

  const std::vector<BookingListEntry>& entries() const { return entries_; }
  int EntryOfRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].entry : -1; }
  int FirstRowOf(int entry) const;
  // Entries confirmed in this dialog (the list limit counts these).
  int DialogEntries() const;

 private:
  struct RowRef {
    int entry, line;
  };
  void Reindex();
  std::vector<BookingListEntry> entries_;
  std::vector<RowRef> rows_;
};

class BookingListDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The view: whole bookings are selected; the item value of the selection
// is the posting number of the booking (-4 while pending), in a batch its
// record id.
class BookingListView : public QTableView {
  Q_OBJECT
 public:
  explicit BookingListView(QWidget* parent);
  BookingListModel* model() const { return model_; }
  // The selected entry, -1 for none.
  int SelectedEntry() const;
  void SelectEntry(int entry);

 private:
  BookingListModel* model_;
};

}  // namespace talvera
