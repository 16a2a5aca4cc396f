#include "reports/line_renderer.h"

#include <QPainter>

#include <algorithm>

#include "core/cp1252.h"
#include "reports/glyph_table.h"
#include "reports/line_layout.h"
#include "reports/report_buffer.h"

namespace talvera {
namespace {

void DrawRule(QPainter& painter, const LineItem& item, double y) {
  // One screen pixel, whatever the device: on a printer a device pixel is too
  // thin to see and would merge the two rules of a double rule.
  double unit = std::max(1.0, painter.device()->logicalDpiY() / 96.0);
  QPen before = painter.pen();
  QPen pen(before.color());
  pen.setWidthF(unit);
  painter.setPen(pen);
  painter.drawLine(QPointF(item.x, y), QPointF(item.right, y));
  if (item.kind == LineItem::kDoubleRule)
    painter.drawLine(QPointF(item.x, y + 2 * unit), QPointF(item.right, y + 2 * unit));
  painter.setPen(before);
}

// The slot of an attribute set: bold, underlined and large are bits 16, 32
// and 64.
int FaceSlot(unsigned char attributes) { return (attributes >> 4) & 7; }

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

LineRenderer::LineRenderer(QPainter& painter, const LineGeometry& geometry)
    : painter_(painter), geometry_(geometry) {}

LineRenderer::~LineRenderer() = default;

const LineRenderer::Face& LineRenderer::FaceFor(unsigned char attributes) {
  int slot = FaceSlot(attributes);
  std::unique_ptr<Face>& face = faces_[slot];
  if (!face) {
    QFont font = attributes ? AttributeFont(geometry_.font, attributes) : geometry_.font;
    QFontMetricsF metrics(font, painter_.device());
    double ascent = metrics.ascent();
    const GlyphTable* glyphs = nullptr;
    if (!font.underline()) {
      const GlyphTable& table = GlyphTable::For(font, painter_.device());
      if (table.Usable()) glyphs = &table;
    }
    face.reset(new Face{font, metrics, ascent, glyphs});
  }
  if (painterFace_ != slot) {
    painter_.setFont(face->font);
    painterFace_ = slot;
  }
  return *face;
}

const QString& LineRenderer::Text(std::string_view cp1252) {
  text_.resize(static_cast<qsizetype>(cp1252.size()));
  QChar* out = text_.data();
  for (unsigned char b : cp1252) *out++ = QChar(static_cast<char16_t>(Cp1252CodePoint(b)));
  return text_;
}

double LineRenderer::Width(const Face& face, std::string_view cp1252) {
  long long width = face.glyphs ? face.glyphs->Width(cp1252) : -1;
  if (width >= 0) return static_cast<double>(width) / 64;
  return face.metrics.horizontalAdvance(Text(cp1252));
}

bool LineRenderer::AddToRun(const Face& face, const LineItem& item, double baseline) {
  if (!face.glyphs) return false;
  const GlyphTable& table = *face.glyphs;
  std::size_t first = runGlyphs_.size();
  // Pen positions grow by whole 1/64 units from the start, as they do when
  // the text is shaped.
  long long pen = 0;
  for (unsigned char c : item.text) {
    int advance = table.Advance(c);
    if (advance == 0) {
      runGlyphs_.resize(first);
      runPositions_.resize(first);
      return false;
    }
    runGlyphs_.push_back(table.Glyph(c));
    runPositions_.emplace_back(item.x + static_cast<double>(pen) / 64, baseline);
    pen += advance;
  }
  return true;
}

void LineRenderer::DrawRun(const Face& face) {
  if (runGlyphs_.empty()) return;
  run_.setRawFont(face.glyphs->Font());
  run_.setRawData(runGlyphs_.data(), runPositions_.data(), static_cast<int>(runGlyphs_.size()));
  painter_.drawGlyphRun(QPointF(0, 0), run_);
  runGlyphs_.clear();
  runPositions_.clear();
}

void LineRenderer::Draw(double top, std::string_view line) {
  LineHead head = ReadLineHead(line);
  if (head.code == kLineEmpty || head.code == kLinePageBreak) return;
  const Face& face = FaceFor(head.attributes);
  const LineGeometry& g = geometry_;
  LineFrame frame{g.charWidth, g.width, g.leftChars, g.tabs};
  LineLayout layout = LayOutLine(line, frame, [&](std::string_view text) { return Width(face, text); });
  double baseline = top + face.ascent;
  // The texts of a line go out as one run of glyphs; a text that must be
  // shaped is drawn in its turn, after the run so far.
  for (const LineItem& item : layout.items) {
    if (item.kind != LineItem::kText) {
      DrawRule(painter_, item, top + g.lineHeight / 2);
    } else if (!AddToRun(face, item, baseline)) {
      DrawRun(face);
      painter_.drawText(QPointF(item.x, baseline), Text(item.text));
    }
  }
  DrawRun(face);
}

void RenderLine(QPainter& painter, const LineGeometry& geometry, double top,
                std::string_view line) {
  // The painter keeps the font it had; a single line is drawn the way a
  // renderer draws every line.
  QFont before = painter.font();
  LineRenderer(painter, geometry).Draw(top, line);
  painter.setFont(before);
}

}  // namespace talvera
