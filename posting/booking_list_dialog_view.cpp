#include "posting/booking_list_dialog_view.h"

#include <QHeaderView>
#include <QPainter>

#include "posting/pending_booking.h"

namespace talvera {
namespace {

struct Column {
  const char* title;
  int chars;
  bool right;
};
constexpr Column kColumns[] = {
    {"Datum", 9, false},   {"Beleg", 9, false},      {"Soll", 8, true},   {"Haben", 8, true},
    {"Betrag", 13, true},  {"MwSt-Konto", 11, true},  {"MwSt", 11, true},  {"Buchungstext", 30, false},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

const std::string& Cell(const BookingListRow& r, int column) {
  switch (column) {
    case 0: return r.date;
    case 1: return r.voucher;
    case 2: return r.debit;
    case 3: return r.credit;
    case 4: return r.gross;
    case 5: return r.taxAccount;
    case 6: return r.tax;
    default: return r.text;
  }
}

}  // namespace

int BookingListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BookingListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant BookingListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const RowRef& ref = rows_[static_cast<std::size_t>(index.row())];
  const BookingListEntry& e = entries_[static_cast<std::size_t>(ref.entry)];
  switch (role) {
    case Qt::DisplayRole: {
      // A booking's date and document number stand on its first row only.
      if (ref.line > 0 && index.column() < 2) return QString();
      return QString::fromStdString(Cell(e.rows[static_cast<std::size_t>(ref.line)], index.column()));
    }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter | (kColumns[index.column()].right ? Qt::AlignRight : Qt::AlignLeft));
    case kPostingNumberRole:
      return static_cast<qlonglong>(e.pending ? kPendingId : e.recordId ? e.recordId : e.postingNumber);
    case kEntryRole: return ref.entry;
    case kFirstRowRole: return ref.line == 0;
    case kKindRole: return e.pending ? kPending : e.fromThisDialog ? kPosted : kEarlier;
    default: return {};
  }
}

QVariant BookingListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(kColumns[section].title);
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::AlignVCenter | (kColumns[section].right ? Qt::AlignRight : Qt::AlignLeft));
  return {};
}

void BookingListModel::Reindex() {
  rows_.clear();
  for (std::size_t e = 0; e < entries_.size(); ++e)
    for (std::size_t l = 0; l < entries_[e].rows.size(); ++l)
      rows_.push_back({static_cast<int>(e), static_cast<int>(l)});
}

void BookingListModel::SetEntries(std::vector<BookingListEntry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  Reindex();
  endResetModel();
}

void BookingListModel::Append(BookingListEntry entry) {
  int first = static_cast<int>(rows_.size());
  int count = static_cast<int>(entry.rows.size());
  if (count == 0) return;
  beginInsertRows({}, first, first + count - 1);
  entries_.push_back(std::move(entry));
  for (int l = 0; l < count; ++l) rows_.push_back({static_cast<int>(entries_.size()) - 1, l});
  endInsertRows();
}

void BookingListModel::RemoveLast() {
  if (entries_.empty()) return;
  int count = static_cast<int>(entries_.back().rows.size());
  int first = static_cast<int>(rows_.size()) - count;
  beginRemoveRows({}, first, first + count - 1);
  entries_.pop_back();
  rows_.resize(static_cast<std::size_t>(first));
  endRemoveRows();
}

void BookingListModel::MarkPosted(long postingNumber) {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (!it->pending) continue;
    it->pending = false;
    it->postingNumber = postingNumber;
    int entry = static_cast<int>(entries_.rend() - it) - 1;
    int first = FirstRowOf(entry);
    emit dataChanged(index(first, 0), index(first + static_cast<int>(it->rows.size()) - 1, kColumnCount - 1));
    return;
  }
}

int BookingListModel::FirstRowOf(int entry) const {
  for (std::size_t r = rows_.size(); r-- > 0;)
    if (rows_[r].entry == entry && rows_[r].line == 0) return static_cast<int>(r);
  return -1;
}

int BookingListModel::DialogEntries() const {
  int n = 0;
  for (const BookingListEntry& e : entries_) n += e.fromThisDialog ? 1 : 0;
  return n;
}

void BookingListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyleOptionViewItem o = option;
  initStyleOption(&o, index);
  bool odd = index.data(BookingListModel::kEntryRole).toInt() % 2 == 1;
  if (!(o.state & QStyle::State_Selected) && odd) painter->fillRect(o.rect, QColor(0xf0, 0xf4, 0xfa));
  switch (index.data(BookingListModel::kKindRole).toInt()) {
    case BookingListModel::kEarlier: o.palette.setColor(QPalette::Text, QColor(0x70, 0x70, 0x70)); break;
    case BookingListModel::kPending: o.palette.setColor(QPalette::Text, QColor(0x1a, 0x4f, 0xa0)); break;
    default: break;
  }
  QStyledItemDelegate::paint(painter, o, index);
  if (index.data(BookingListModel::kFirstRowRole).toBool() && index.row() > 0) {
    painter->save();
    painter->setPen(QColor(0xc8, 0xcc, 0xd4));
    painter->drawLine(o.rect.topLeft(), o.rect.topRight());
    painter->restore();
  }
}

BookingListView::BookingListView(QWidget* parent) : QTableView(parent), model_(new BookingListModel(this)) {
  setModel(model_);
  setItemDelegate(new BookingListDelegate(this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  verticalHeader()->hide();
  // Fixed row heights: the view never measures its rows, so a long month opens at once.
  QFontMetrics metrics(font());
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(true);
  for (int c = 0; c < kColumnCount; ++c)
    setColumnWidth(c, metrics.averageCharWidth() * kColumns[c].chars + 12);
  // A click on any row of a booking selects the booking's first row.
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (!current.isValid() || current.data(BookingListModel::kFirstRowRole).toBool()) return;
    SelectEntry(current.data(BookingListModel::kEntryRole).toInt());
  });
}

int BookingListView::SelectedEntry() const {
  QModelIndex current = currentIndex();
  if (!current.isValid() || !selectionModel()->isRowSelected(current.row(), {})) return -1;
  return current.data(BookingListModel::kEntryRole).toInt();
}

void BookingListView::SelectEntry(int entry) {
  int first = model_->FirstRowOf(entry);
  if (first < 0) return;
  setCurrentIndex(model_->index(first, 0));
  selectRow(first);
  int last = first + static_cast<int>(model_->entries()[static_cast<std::size_t>(entry)].rows.size()) - 1;
  scrollTo(model_->index(last, 0));
}

}  // namespace talvera
