// A list box that shows its tab-separated lines in columns under a header,
// as a table does, while staying a list of lines for the dialogs that fill
// and read it. The header is also what F2 printing takes the column
// positions from (property "columnHeader", see reports/print_list_box.h).
#pragma once

#include <QListWidget>
#include <QString>

#include <vector>

class QHeaderView;

namespace talvera {

struct ListColumn {
  QString title;
  int chars;           // width in average characters of the list's font
  bool right = false;  // amounts and numbers end at the column's right edge
};

class ColumnList : public QListWidget {
  Q_OBJECT

 public:
  ColumnList(QWidget* parent, const std::vector<ListColumn>& columns);
  QHeaderView* header() const { return header_; }
  const std::vector<ListColumn>& columns() const { return columns_; }

 protected:
  void updateGeometries() override;

 private:
  QHeaderView* header_;
  std::vector<ListColumn> columns_;
};

// Rows a list shows at least, so that choosing from it needs no squinting.
constexpr int kVisibleListRows = 8;

}  // namespace talvera
