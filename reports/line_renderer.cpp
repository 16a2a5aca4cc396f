#include "reports/line_renderer.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

#include "core/cp1252.h"
#include "reports/line_layout.h"
#include "reports/report_buffer.h"

namespace talvera {
namespace {

QString ToQString(std::string_view cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

void DrawRule(QPainter& painter, const LineItem& item, double y) {
  // One screen pixel, whatever the device: on a printer a device pixel is too
  // thin to see and would merge the two rules of a double rule.
  double unit = std::max(1.0, painter.device()->logicalDpiY() / 96.0);
  QPen pen(painter.pen().color());
  pen.setWidthF(unit);
  painter.setPen(pen);
  painter.drawLine(QPointF(item.x, y), QPointF(item.right, y));
  if (item.kind == LineItem::kDoubleRule)
    painter.drawLine(QPointF(item.x, y + 2 * unit), QPointF(item.right, y + 2 * unit));
}

}  // namespace

QFont AttributeFont(const QFont& base, unsigned char attributes) {
  QFont font = base;
  if (attributes & kLineLarge) {
    if (base.pointSizeF() > 0)
      font.setPointSizeF(base.pointSizeF() * 1.5);
    else
      font.setPixelSize(static_cast<int>(base.pixelSize() * 1.5));
  }
  font.setWeight((attributes & kLineBold) ? QFont::Bold : QFont::Normal);
  font.setUnderline(attributes & kLineUnderlined);
  return font;
}

void RenderLine(QPainter& painter, const LineGeometry& g, double top, std::string_view line) {
  LineHead head = ReadLineHead(line);
  if (head.code == kLineEmpty || head.code == kLinePageBreak) return;
  painter.save();
  QFont font = head.attributes ? AttributeFont(g.font, head.attributes) : g.font;
  painter.setFont(font);
  QFontMetricsF metrics(font, painter.device());
  LineFrame frame{g.charWidth, g.width, g.leftChars, g.tabs};
  LineLayout layout = LayOutLine(line, frame, [&](std::string_view text) {
    return metrics.horizontalAdvance(ToQString(text));
  });
  for (const LineItem& item : layout.items) {
    if (item.kind == LineItem::kText)
      painter.drawText(QPointF(item.x, top + metrics.ascent()), ToQString(item.text));
    else
      DrawRule(painter, item, top + g.lineHeight / 2);
  }
  painter.restore();
}

}  // namespace talvera
