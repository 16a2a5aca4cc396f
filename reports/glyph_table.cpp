#include "reports/glyph_table.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "core/cp1252.h"

namespace talvera {
namespace {

// Characters below 32 are line and segment codes, never text.
constexpr int kFirstText = 32;
// Pairs are shaped in pieces of this many characters, each piece starting
// with the last character of the one before, so every pair lies in one.
constexpr int kPieceLength = 1024;

QChar CharOf(unsigned char c) { return QChar(static_cast<char16_t>(Cp1252CodePoint(c))); }

// A value Qt measured, back in its 1/64 units.
long long Units(double value) { return std::llround(value * 64); }

// Every ordered pair of the `k` symbols 0..k-1 next to each other once: a
// de Bruijn sequence of order 2, opened into a line by repeating its first
// symbol at the end.
std::vector<int> AllPairs(int k) {
  std::vector<int> sequence;
  if (k <= 0) return sequence;
  int a[3] = {0, 0, 0};
  // The recursion of Fredricksen, Kessler and Maiorana for words of length 2.
  auto visit = [&](auto&& self, int t, int p) -> void {
    if (t > 2) {
      if (2 % p == 0)
        for (int j = 1; j <= p; ++j) sequence.push_back(a[j]);
      return;
    }
    a[t] = a[t - p];
    self(self, t + 1, p);
    for (int j = a[t - p] + 1; j < k; ++j) {
      a[t] = j;
      self(self, t + 1, t);
    }
  };
  visit(visit, 1, 1);
  sequence.push_back(sequence.front());
  return sequence;
}

// The glyphs of `text` shaped as one line: glyph indexes with their pen
// positions in 1/64 units, in the order they stand; false when a glyph
// comes from another font than `font`.
bool ShapeLine(const QString& text, const QFont& font, const QPaintDevice* device, const QRawFont& expected,
               std::vector<std::pair<long long, quint32>>& glyphs) {
  QTextLayout layout(text, font, device);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  glyphs.clear();
  if (!line.isValid()) return false;
  const QList<QGlyphRun> runs = line.glyphRuns();
  for (const QGlyphRun& run : runs) {
    if (run.rawFont() != expected) return false;
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    if (indexes.size() != positions.size()) return false;
    for (qsizetype i = 0; i < indexes.size(); ++i) glyphs.emplace_back(Units(positions[i].x()), indexes[i]);
  }
  std::stable_sort(glyphs.begin(), glyphs.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return true;
}

}  // namespace

const GlyphTable& GlyphTable::For(const QFont& font, const QPaintDevice* device) {
  // The font's key leaves out its hinting, which changes advances.
  using Key = std::tuple<QString, int, int, int, int>;
  // One set per thread, as Qt's font engines belong to the thread that made
  // them (reports are also painted by a thread of their own). Never
  // destroyed: a table holds one of Qt's font engines, which must not be
  // released after Qt has shut its font machinery down at exit.
  static thread_local auto* tables = new std::map<Key, std::unique_ptr<GlyphTable>>;
  Key key{font.key(), static_cast<int>(font.hintingPreference()), device ? device->devType() : 0,
          device ? device->logicalDpiX() : 0, device ? device->logicalDpiY() : 0};
  std::unique_ptr<GlyphTable>& table = (*tables)[key];
  if (!table) table.reset(new GlyphTable(font, device));
  return *table;
}

GlyphTable::GlyphTable(const QFont& font, const QPaintDevice* device) {
  QFont deviceFont = device ? QFont(font, device) : font;
  font_ = QRawFont::fromFont(deviceFont);
  if (!font_.isValid()) return;
  QFontMetricsF metrics(font, device);
  std::vector<std::pair<long long, quint32>> glyphs;
  for (int c = kFirstText; c < 256; ++c) {
    QString text(CharOf(static_cast<unsigned char>(c)));
    if (!ShapeLine(text, font, device, font_, glyphs) || glyphs.size() != 1) continue;
    long long advance = Units(metrics.horizontalAdvance(text));
    // The advance must be Qt's own value, a whole number of 1/64 units.
    if (advance <= 0 || advance > (1 << 24) ||
        static_cast<double>(advance) / 64 != metrics.horizontalAdvance(text))
      continue;
    glyph_[c] = glyphs.front().second;
    advance_[c] = static_cast<int>(advance);
  }
  usable_ = PairsShapeAlone(font, device);
}

// Shapes every pair of characters with an entry and compares the glyphs
// and their positions with those of the characters side by side.
bool GlyphTable::PairsShapeAlone(const QFont& font, const QPaintDevice* device) const {
  std::vector<unsigned char> alphabet;
  for (int c = kFirstText; c < 256; ++c)
    if (advance_[c] > 0) alphabet.push_back(static_cast<unsigned char>(c));
  if (alphabet.empty()) return false;
  std::vector<int> pairs = AllPairs(static_cast<int>(alphabet.size()));
  std::vector<std::pair<long long, quint32>> glyphs;
  QString text;
  for (std::size_t start = 0; start + 1 < pairs.size(); start += kPieceLength) {
    std::size_t end = std::min(pairs.size(), start + kPieceLength + 1);
    text.clear();
    for (std::size_t i = start; i < end; ++i) text.append(CharOf(alphabet[pairs[i]]));
    if (!ShapeLine(text, font, device, font_, glyphs) || glyphs.size() != end - start) return false;
    long long x = 0;
    for (std::size_t i = start; i < end; ++i) {
      unsigned char c = alphabet[pairs[i]];
      const auto& [position, glyph] = glyphs[i - start];
      if (glyph != glyph_[c] || position - glyphs.front().first != x) return false;
      x += advance_[c];
    }
  }
  return true;
}

long long GlyphTable::Width(std::string_view text) const {
  if (!usable_) return -1;
  long long width = 0;
  for (unsigned char c : text) {
    if (advance_[c] == 0) return -1;
    width += advance_[c];
  }
  return width;
}

}  // namespace talvera
