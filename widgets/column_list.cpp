#include "widgets/column_list.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

namespace talvera {
namespace {

// Draws one line of the list as its columns, at the header's sections.
class ColumnDelegate : public QStyledItemDelegate {
 public:
  explicit ColumnDelegate(ColumnList* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QString line = opt.text;
    opt.text.clear();
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    QStringList parts = line.split('\t');
    QHeaderView* header = list_->header();
    painter->save();
    painter->setFont(opt.font);  // an item's own font (a pending entry in italics)
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                         : QPalette::Text));
    const int pad = 4;
    for (int i = 0; i < parts.size() && i < header->count(); ++i) {
      int x = header->sectionViewportPosition(i);
      int w = header->sectionSize(i);
      QRect cell(x + pad, opt.rect.top(), w - 2 * pad, opt.rect.height());
      bool right = i < static_cast<int>(list_->columns().size()) && list_->columns()[i].right;
      QString text = opt.fontMetrics.elidedText(parts[i].trimmed(), Qt::ElideRight, cell.width());
      painter->drawText(cell, Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft), text);
    }
    painter->restore();
  }

 private:
  ColumnList* list_;
};

}  // namespace

ColumnList::ColumnList(QWidget* parent, const std::vector<ListColumn>& columns)
    : QListWidget(parent), columns_(columns) {
  header_ = new QHeaderView(Qt::Horizontal, this);
  auto* titles = new QStandardItemModel(0, static_cast<int>(columns.size()), header_);
  for (int i = 0; i < static_cast<int>(columns.size()); ++i)
    titles->setHorizontalHeaderItem(i, new QStandardItem(columns[i].title));
  header_->setModel(titles);
  header_->setSectionsClickable(false);
  header_->setStretchLastSection(false);
  header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QFontMetrics metrics(font());
  QFontMetrics titleMetrics(header_->font());
  int perChar = std::max(metrics.averageCharWidth(), metrics.horizontalAdvance('0'));
  int total = 0;
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    int width = std::max(perChar * columns[i].chars, titleMetrics.horizontalAdvance(columns[i].title) + 8) + 12;
    header_->resizeSection(i, width);
    total += width;
  }
  setItemDelegate(new ColumnDelegate(this));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setProperty("columnHeader", QVariant::fromValue<QObject*>(header_));
  setViewportMargins(0, header_->sizeHint().height(), 0, 0);
  setMinimumWidth(total + 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  header_->show();
}

void ColumnList::updateGeometries() {
  QListWidget::updateGeometries();
  QRect view = viewport()->geometry();
  header_->setGeometry(view.left(), view.top() - header_->sizeHint().height(), view.width(),
                       header_->sizeHint().height());
}

}  // namespace talvera
