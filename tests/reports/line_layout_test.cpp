#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reports/line_layout.h"
#include "reports/report_buffer.h"

using namespace talvera;

namespace {

// A fixed-pitch font ten units wide: positions can be checked exactly.
double TenPerChar(std::string_view text) { return 10.0 * text.size(); }

struct Placed {
  std::string text;
  double x;
  bool operator==(const Placed&) const = default;
};

std::vector<Placed> Texts(std::string_view line, const std::vector<int>& tabs, int width = 40) {
  LineFrame frame{10, width, 1, &tabs};
  std::vector<Placed> placed;
  for (const LineItem& item : LayOutLine(line, frame, TenPerChar).items)
    placed.push_back({item.text, item.x});
  return placed;
}

TEST(LineLayout, SegmentsStartOrEndAtTheirTabs) {
  const std::vector<int> tabs = {1, 7, 30};
  // Left offset 1 character: tab t lies at (1 + t) * 10.
  EXPECT_EQ(Texts("\2Konto\2Kasse\3   12,50", tabs),
            (std::vector<Placed>{{"Konto", 20}, {"Kasse", 80}, {"12,50", 310 - 50}}));
  // Empty segments only move on; a right-aligned value ends exactly at its tab.
  EXPECT_EQ(Texts("\3\3Summe:\3", tabs), (std::vector<Placed>{{"Summe:", 80 - 60}}));
  // Segments beyond the tab list fall back to position 0.
  EXPECT_EQ(Texts("\2a\2b\2c\2d", tabs).back(), (Placed{"d", 10}));
}

TEST(LineLayout, CentredEqualsAndRules) {
  const std::vector<int> tabs = {1};
  EXPECT_EQ(Texts("\1Bilanz", tabs), (std::vector<Placed>{{"Bilanz", 10 + (400 - 60) / 2.0}}));
  EXPECT_EQ(Texts("\4", tabs), (std::vector<Placed>{{std::string(40, '='), 10}}));
  LineFrame frame{10, 40, 1, &tabs};
  LineLayout bold = LayOutLine("\x36", frame, TenPerChar);  // bold, underlined double rule
  ASSERT_EQ(bold.items.size(), 1u);
  EXPECT_EQ(bold.attributes, kLineBold | kLineUnderlined);
  EXPECT_EQ(bold.items[0].kind, LineItem::kDoubleRule);
  EXPECT_EQ(bold.items[0].x, 10);
  EXPECT_EQ(bold.items[0].right, 410);
  EXPECT_TRUE(LayOutLine("", frame, TenPerChar).items.empty());
  EXPECT_TRUE(LayOutLine("\x0c", frame, TenPerChar).items.empty());
}

}  // namespace
