// Column headings for a list box whose lines are tab-separated: the header
// sits above the lines and each column of a line is drawn under its heading,
// clipped to it, so a long bank name no longer pushes the next columns out of
// line. The lines themselves stay plain tab-separated text (what tests read
// and F2 prints; list printing takes its column starts from this header).
#pragma once

#include <QList>
#include <QStringList>

class QHeaderView;
class QListWidget;

namespace talvera {

// `widths` in average characters, one per title.
QHeaderView* AddListColumns(QListWidget* list, const QStringList& titles, const QList<int>& widths);

}  // namespace talvera
