#include "reports/journal_band.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

#include "core/message.h"
#include "reports/clipboard_text.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"

namespace talvera {

namespace {
constexpr int kTextJournalColumnLine = 1409;
}

bool JournalBandVisible() {
  const ReportState& report = CurrentReport();
  return report.kind == kReportJournal && !report.printRequested && !report.printing;
}

int JournalBandHeight(double lineHeight) { return static_cast<int>(std::ceil(3.5 * lineHeight)); }

bool PaintJournalBand(QPainter& painter, const QRect& band, const QFont& font) {
  const ReportState& report = CurrentReport();
  std::optional<std::string> title =
      JournalTitleText(JournalPeriodText(report.journalFirst, report.journalLast));
  std::optional<std::string> columns = MessageText(kTextJournalColumnLine);
  if (!title || !columns) return false;
  QFontMetricsF metrics(font, painter.device());
  double lineHeight = metrics.lineSpacing();
  double left = band.left() + metrics.averageCharWidth();
  painter.save();
  painter.setFont(font);
  painter.fillRect(band, Qt::white);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(left, band.top() + 0.5 * lineHeight + metrics.ascent()),
                   QString::fromStdString(*title));
  painter.drawText(QPointF(left, band.top() + 2 * lineHeight + metrics.ascent()),
                   QString::fromStdString(*columns));
  painter.restore();
  return true;
}

}  // namespace talvera
