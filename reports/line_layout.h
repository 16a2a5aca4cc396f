// Where the parts of a report line go: the geometry the line renderer draws,
// worked out apart from any device so screen and printer share it exactly.
// Positions are in the device units of `charWidth`.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace talvera {

struct LineFrame {
  double charWidth = 0;   // average character width of the font in use
  int width = 0;          // report width in characters
  double leftChars = 0;   // left offset x0 in characters
  const std::vector<int>* tabs = nullptr;
};

struct LineItem {
  enum Kind { kText, kRule, kDoubleRule } kind = kText;
  double x = 0;       // left end
  double right = 0;   // right end of a rule
  std::string text;   // Windows-1252
};

struct LineLayout {
  unsigned char attributes = 0;  // bold, underlined, large (see report_buffer.h)
  std::vector<LineItem> items;
};

// `textWidth` measures a Windows-1252 text in the font the attributes ask for.
using TextMeasure = std::function<double(std::string_view)>;
LineLayout LayOutLine(std::string_view line, const LineFrame& frame, const TextMeasure& textWidth);

}  // namespace talvera
