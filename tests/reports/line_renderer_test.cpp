// The line renderer draws texts as runs of glyphs looked up character by
// character where the font allows it. That must put exactly the glyphs on
// the page, in exactly the places, that shaping each text and drawing it
// does, on the screen and in a PDF file, for every character and attribute.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "print_fixture.h"
#include "reports/glyph_table.h"
#include "reports/line_layout.h"
#include "reports/line_renderer.h"
#include "reports/report_buffer.h"
#include "support/temp_dir.h"

using namespace talvera;
using talvera::testing::HavePoppler;
using talvera::testing::RunCommand;

namespace {

const std::vector<int> kTabs = {1, 40, 60, 76};

std::string Code(int code) { return std::string(1, static_cast<char>(code)); }

// Every printable character of the code page (holes included), in left-
// and right-aligned segments under every attribute, a centred line and a
// row of "=", and pairs a kerning font sets closer together.
std::vector<std::string> SampleLines() {
  std::string all;
  for (int c = 32; c < 256; ++c) all += static_cast<char>(c);
  std::vector<std::string> lines = {
      Code(kLineBold | kLineCentred) + "Kontenblatt \x80 Gr\xF6\xDF" "e \xDC" "bertrag",
      Code(kLineEquals),
      "\x02" "AVATAR Tee Yo W. L'T\x02\x03" "AV.Te" "\x03" "\x84" "Fa\xE7" "ade\x93",
      // A text running into the amount after it.
      Code(kLineLarge | kLineTabLeft) + "Buchungstext, das weiter reicht als die Spalte\x03" "12.345,67"};
  for (int attributes : {0, +kLineBold, +kLineLarge, kLineBold | kLineUnderlined}) {
    for (std::size_t at = 0; at < all.size(); at += 24)
      lines.push_back(Code(attributes | kLineTabLeft) + all.substr(at, 24) + "\x02\x03" + all.substr(at, 12) +
                      "\x03" "1.234,56");
  }
  return lines;
}

LineGeometry GeometryFor(const QFont& font, const QPaintDevice* device) {
  LineGeometry g;
  g.font = font;
  QFontMetricsF metrics(font, device);
  g.charWidth = metrics.averageCharWidth();
  g.lineHeight = metrics.lineSpacing() * 1.2;
  g.width = 80;
  g.leftChars = 1;
  g.tabs = &kTabs;
  return g;
}

// Each text shaped and drawn on its own, as texts were drawn before glyph
// runs.
void DrawShaped(QPainter& painter, const LineGeometry& g, double top, std::string_view line) {
  QFont font = AttributeFont(g.font, ReadLineHead(line).attributes);
  QFontMetricsF metrics(font, painter.device());
  painter.setFont(font);
  auto text = [](std::string_view cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); };
  LineFrame frame{g.charWidth, g.width, g.leftChars, g.tabs};
  LineLayout layout =
      LayOutLine(line, frame, [&](std::string_view s) { return metrics.horizontalAdvance(text(s)); });
  for (const LineItem& item : layout.items)
    if (item.kind == LineItem::kText) painter.drawText(QPointF(item.x, top + metrics.ascent()), text(item.text));
}

void DrawSample(QPaintDevice& device, const QFont& font, bool shaped) {
  QPainter painter(&device);
  LineGeometry g = GeometryFor(font, &device);
  LineRenderer renderer(painter, g);
  std::vector<std::string> lines = SampleLines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (shaped)
      DrawShaped(painter, g, i * g.lineHeight, lines[i]);
    else
      renderer.Draw(i * g.lineHeight, lines[i]);
  }
}

struct FontCase {
  const char* family;
  // Whether the font is drawn by glyph runs: a fixed-pitch font is; one
  // that kerns must not be (only checked where the family is installed).
  bool glyphRuns;
};

const FontCase kFonts[] = {{"DejaVu Sans Mono", true}, {"DejaVu Sans", false}};

QFont FontOf(const FontCase& c) {
  QFont font(c.family);
  font.setPointSize(9);
  return font;
}

// On an ordinary screen and on one with two device pixels to a pixel.
TEST(LineRenderer, DrawsOnScreenWhatShapedTextsDraw) {
  for (const FontCase& c : kFonts) {
    for (int ratio : {1, 2}) {
      QFont font = FontOf(c);
      QImage runs(800 * ratio, 1000 * ratio, QImage::Format_RGB32);
      runs.setDevicePixelRatio(ratio);
      runs.fill(Qt::white);
      QImage shaped = runs;
      if (QFontInfo(font).family() == c.family)
        EXPECT_EQ(GlyphTable::For(font, &runs).Usable(), c.glyphRuns) << c.family;
      DrawSample(runs, font, false);
      DrawSample(shaped, font, true);
      EXPECT_TRUE(runs == shaped) << c.family << ", ratio " << ratio;
    }
  }
}

struct WordBox {
  std::string text;
  double box[4];
};

// The words of a PDF file with their boxes, in points, as poppler reads them.
std::vector<WordBox> WordBoxes(const std::string& pdf) {
  std::string html = RunCommand("pdftotext -bbox '" + pdf + "' -");
  std::vector<WordBox> words;
  for (std::size_t at = html.find("<word "); at != std::string::npos; at = html.find("<word ", at + 1)) {
    WordBox w{};
    int end = 0;
    if (std::sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">%n", &w.box[0],
                    &w.box[1], &w.box[2], &w.box[3], &end) != 4)
      continue;
    std::size_t from = at + static_cast<std::size_t>(end);
    w.text = html.substr(from, html.find("</word>", from) - from);
    words.push_back(w);
  }
  return words;
}

// The first word whose text or box differs, "" when none does. Boxes may
// differ by the last digit poppler prints; an advance wrong by Qt's
// smallest unit (1/64 of a device pixel, about a thousandth of a point)
// would not pass.
std::string FirstDifference(const std::vector<WordBox>& a, const std::vector<WordBox>& b) {
  if (a.size() != b.size()) return std::to_string(a.size()) + " words against " + std::to_string(b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    bool same = a[i].text == b[i].text;
    for (int k = 0; k < 4; ++k) same = same && std::fabs(a[i].box[k] - b[i].box[k]) < 1e-4;
    if (!same) return "word " + std::to_string(i) + ": " + a[i].text + " against " + b[i].text;
  }
  return "";
}

// In the PDF file the position of a glyph in a run is written relative to
// the glyph before it, that of a shaped text relative to the page, so the
// two may differ in their last printed digit (a millionth of a point),
// enough to tip a glyph over a sub-pixel boundary in a raster image. So the
// words and their boxes are compared, not pixels.
TEST(LineRenderer, DrawsIntoPdfWhatShapedTextsDraw) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils are not installed";
  talvera::testing::TempDir dir;
  for (const FontCase& c : kFonts) {
    std::string texts[2];
    std::vector<WordBox> boxes[2];
    for (int shaped = 0; shaped < 2; ++shaped) {
      std::string pdf = dir / (std::to_string(shaped) + ".pdf");
      {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        QFont font = FontOf(c);
        if (QFontInfo(QFont(font, &printer)).family() == c.family)
          EXPECT_EQ(GlyphTable::For(font, &printer).Usable(), c.glyphRuns) << c.family;
        DrawSample(printer, font, shaped);
      }
      texts[shaped] = RunCommand("pdftotext -layout '" + pdf + "' -");
      boxes[shaped] = WordBoxes(pdf);
    }
    EXPECT_EQ(texts[0], texts[1]) << c.family;
    EXPECT_NE(texts[0].find("Kontenblatt € Größe Übertrag"), std::string::npos) << c.family;
    EXPECT_NE(texts[0].find("ÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞß"), std::string::npos) << c.family;
    EXPECT_FALSE(boxes[0].empty());
    EXPECT_EQ(FirstDifference(boxes[0], boxes[1]), "") << c.family;
  }
}

}  // namespace
