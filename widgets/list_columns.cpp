#include "widgets/list_columns.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

namespace talvera {
namespace {

// The property list printing reads the column starts from.
constexpr char kColumnHeaderProperty[] = "columnHeader";

class ColumnDelegate : public QStyledItemDelegate {
 public:
  ColumnDelegate(QHeaderView* header, QObject* parent) : QStyledItemDelegate(parent), header_(header) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    QStringList columns = index.data(Qt::DisplayRole).toString().split('\t');
    bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    constexpr int kPadding = 3;
    for (int i = 0; i < columns.size() && i < header_->count(); ++i) {
      QRect cell(option.rect.left() + header_->sectionPosition(i) + kPadding, option.rect.top(),
                 header_->sectionSize(i) - 2 * kPadding, option.rect.height());
      QString text = option.fontMetrics.elidedText(columns[i], Qt::ElideRight, cell.width());
      painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    return {header_->length(), size.height()};
  }

 private:
  QHeaderView* header_;
};

}  // namespace

QHeaderView* AddListColumns(QListWidget* list, const QStringList& titles, const QList<int>& widths) {
  auto* model = new QStandardItemModel(0, titles.size(), list);
  model->setHorizontalHeaderLabels(titles);
  // Header and list share one box, which takes the list's place in its layout.
  auto* box = new QWidget(list->parentWidget());
  if (QLayout* layout = list->parentWidget() ? list->parentWidget()->layout() : nullptr)
    delete layout->replaceWidget(list, box);
  auto* header = new QHeaderView(Qt::Horizontal, box);
  header->setModel(model);
  header->setSectionsClickable(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setStretchLastSection(false);
  header->setFixedHeight(header->fontMetrics().height() + 10);
  // Digits are wider than the average character; columns also fit their titles.
  int charWidth = std::max(list->fontMetrics().averageCharWidth(), list->fontMetrics().horizontalAdvance('0'));
  for (int i = 0; i < titles.size() && i < widths.size(); ++i)
    header->resizeSection(i, std::max(widths[i] * charWidth + 12, header->sectionSizeHint(i)));
  box->setMinimumWidth(std::min(header->length() + 2 * list->frameWidth() + 2, 900));
  auto* headerRow = new QHBoxLayout;
  headerRow->setContentsMargins(list->frameWidth(), 0, list->frameWidth(), 0);
  headerRow->addWidget(header);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addLayout(headerRow);
  column->addWidget(list);

  list->setItemDelegate(new ColumnDelegate(header, list));
  list->setProperty(kColumnHeaderProperty, QVariant::fromValue<QObject*>(header));
  QObject::connect(list->horizontalScrollBar(), &QScrollBar::valueChanged, header, &QHeaderView::setOffset);
  QObject::connect(header, &QHeaderView::sectionResized, list, [list] {
    list->doItemsLayout();
    list->viewport()->update();
  });
  return header;
}

}  // namespace talvera
