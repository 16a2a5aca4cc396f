// Draws one report line. The report window, the printer and PDF output all
// draw through here, so a report looks the same wherever it goes; where the
// parts go is worked out by LayOutLine.
#pragma once

#include <QFont>

#include <string_view>
#include <vector>

class QPainter;

namespace talvera {

struct LineGeometry {
  QFont font;                        // the report's font on this device
  double charWidth = 0;              // its average character width
  double lineHeight = 0;             // its line spacing
  int width = 0;                     // report width in characters
  double leftChars = 0;              // left offset x0 in characters
  const std::vector<int>* tabs = nullptr;  // tab list in characters
};

// Draws `line` (Windows-1252, see report_buffer.h) into the row whose top is
// at `top`.
void RenderLine(QPainter& painter, const LineGeometry& geometry, double top,
                std::string_view line);

// The font a line's attribute bits ask for.
QFont AttributeFont(const QFont& base, unsigned char attributes);

}  // namespace talvera
