// Draws report lines. The report window, the printer and PDF output all
// draw through here, so a report looks the same wherever it goes; where the
// parts go is worked out by LayOutLine.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPointF>
#include <QString>

#include <array>
#include <memory>
#include <string_view>
#include <vector>

class QPainter;

namespace talvera {

class GlyphTable;
struct LineItem;

struct LineGeometry {
  QFont font;                        // the report's font on this device
  double charWidth = 0;              // its average character width
  double lineHeight = 0;             // its line spacing
  int width = 0;                     // report width in characters
  double leftChars = 0;              // left offset x0 in characters
  const std::vector<int>* tabs = nullptr;  // tab list in characters
};

// Draws the lines of one paint or one print job. The fonts a line's
// attributes ask for and their metrics are made once per attribute set and
// kept for the renderer's life, so a long print run does not build them
// again for every line. Where the font allows it (see glyph_table.h), the
// texts of a line are not shaped but drawn as one run of glyphs looked up
// character by character, which puts the same glyphs in the same places.
// The painter and the geometry must outlive it.
class LineRenderer {
 public:
  LineRenderer(QPainter& painter, const LineGeometry& geometry);
  ~LineRenderer();
  LineRenderer(const LineRenderer&) = delete;
  LineRenderer& operator=(const LineRenderer&) = delete;

  // Draws `line` (Windows-1252, see report_buffer.h) into the row whose top
  // is at `top`.
  void Draw(double top, std::string_view line);
  // Someone else set the painter's font (a new page did): the next line
  // sets its own again.
  void ForgetPainterFont() { painterFace_ = -1; }

 private:
  struct Face {
    QFont font;
    QFontMetricsF metrics;
    double ascent;
    // Null where texts are shaped: an underline belongs to each text on
    // its own, and a font that shapes in context has no usable table.
    const GlyphTable* glyphs;
  };
  const Face& FaceFor(unsigned char attributes);
  const QString& Text(std::string_view cp1252);
  double Width(const Face& face, std::string_view cp1252);
  // Adds a text to the line's run of glyphs; false when one of its
  // characters has no glyph of its own, so the text must be shaped.
  bool AddToRun(const Face& face, const LineItem& item, double baseline);
  void DrawRun(const Face& face);

  QPainter& painter_;
  const LineGeometry& geometry_;
  // One slot per combination of the bold, underlined and large bits.
  std::array<std::unique_ptr<Face>, 8> faces_;
  int painterFace_ = -1;  // the slot whose font the painter holds
  QString text_;          // converted text, reused from item to item
  // The glyphs of the line being drawn, reused from line to line.
  std::vector<quint32> runGlyphs_;
  std::vector<QPointF> runPositions_;
  QGlyphRun run_;
};

// Draws one line; for a few lines (a heading band). Many lines go through
// one LineRenderer.
void RenderLine(QPainter& painter, const LineGeometry& geometry, double top,
                std::string_view line);

// The font a line's attribute bits ask for.
QFont AttributeFont(const QFont& base, unsigned char attributes);

}  // namespace talvera
