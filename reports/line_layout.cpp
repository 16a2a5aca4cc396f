#include "reports/line_layout.h"

#include "reports/report_buffer.h"

namespace talvera {
namespace {

std::string_view TextUpToControl(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) < 32) return text.substr(0, i);
  return text;
}

// Segment k starts at (marker 2) or ends at (marker 3) tab k; its text runs
// to the next byte below 32, which is the next segment's marker.
void LayOutTabbed(std::string_view line, const LineFrame& f, const TextMeasure& textWidth,
                  unsigned char firstMarker, std::vector<LineItem>& items) {
  double left = f.leftChars * f.charWidth;
  unsigned char marker = firstMarker;
  std::size_t start = 1;
  int k = 0;
  for (std::size_t i = 1; i <= line.size(); ++i) {
    if (i < line.size() && static_cast<unsigned char>(line[i]) >= 32) continue;
    std::string_view text = line.substr(start, i - start);
    // Tabs beyond the list count as position 0, as an unset tab would.
    int tab = f.tabs && k < static_cast<int>(f.tabs->size()) ? (*f.tabs)[k] : 0;
    if (marker == kLineTabRight)
      while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty()) {
      double x = left + f.charWidth * tab;
      if (marker == kLineTabRight) x -= textWidth(text);
      items.push_back({LineItem::kText, x, 0, std::string(text)});
    }
    if (i < line.size()) marker = static_cast<unsigned char>(line[i]);
    start = i + 1;
    ++k;
  }
}

}  // namespace

LineLayout LayOutLine(std::string_view line, const LineFrame& f, const TextMeasure& textWidth) {
  LineLayout layout;
  LineHead head = ReadLineHead(line);
  layout.attributes = head.attributes;
  double left = f.leftChars * f.charWidth;
  double span = f.width * f.charWidth;
  switch (head.code) {
    case kLineCentred: {
      std::string_view text = TextUpToControl(line.substr(1));
      layout.items.push_back(
          {LineItem::kText, left + (span - textWidth(text)) / 2, 0, std::string(text)});
      break;
    }
    case kLineTabLeft:
    case kLineTabRight:
      LayOutTabbed(line, f, textWidth, head.code, layout.items);
      break;
    case kLineEquals: {
      // As many "=" as fill the report width, by the advance of the glyph.
      double advance = textWidth("=");
      if (advance <= 0) advance = f.charWidth;
      int count = advance > 0 ? static_cast<int>(span / advance) : 0;
      layout.items.push_back({LineItem::kText, left, 0, std::string(count, '=')});
      break;
    }
    case kLineRule:
      layout.items.push_back({LineItem::kRule, left, left + span, {}});
      break;
    case kLineDoubleRule:
      layout.items.push_back({LineItem::kDoubleRule, left, left + span, {}});
      break;
    default:
      break;  // empty lines and page breaks draw nothing
  }
  return layout;
}

}  // namespace talvera
