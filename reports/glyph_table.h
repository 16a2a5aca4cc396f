// The glyph and the advance of every Windows-1252 character in one font on
// one kind of device, so that report text can be drawn as glyphs without
// shaping each text again.
//
// Drawing a text glyph by glyph from the table gives exactly what shaping
// the text would only when the font does nothing between neighbouring
// characters (no kerning, no ligatures). A table is therefore made by
// shaping the characters alone and then every pair of them; when any pair
// comes out other than its two characters side by side, the table is not
// usable and the font's texts must be shaped as before. Characters that do
// not shape to one glyph of the font itself (holes of the code page, a
// character taken from another font) have no entry.
#pragma once

#include <QRawFont>
#include <QtGlobal>

#include <array>
#include <string_view>

class QFont;
class QPaintDevice;

namespace talvera {

class GlyphTable {
 public:
  // The table of `font` drawn on `device`; made on first use and kept for
  // the life of the program (a handful of fonts per run). Each thread that
  // paints has tables of its own, as Qt's fonts are per thread.
  static const GlyphTable& For(const QFont& font, const QPaintDevice* device);

  // False: the font shapes characters in context; draw whole texts.
  bool Usable() const { return usable_; }
  // The font the glyphs belong to.
  const QRawFont& Font() const { return font_; }
  quint32 Glyph(unsigned char c) const { return glyph_[c]; }
  // Advance in 1/64 device units (Qt's own text unit, so sums stay exact);
  // 0 when the character has no entry.
  int Advance(unsigned char c) const { return advance_[c]; }
  // The advance of a whole Windows-1252 text in 1/64 device units, or -1
  // when the table is not usable or a character of the text has no entry.
  long long Width(std::string_view text) const;

 private:
  GlyphTable(const QFont& font, const QPaintDevice* device);
  bool PairsShapeAlone(const QFont& font, const QPaintDevice* device) const;

  QRawFont font_;
  bool usable_ = false;
  std::array<quint32, 256> glyph_{};
  std::array<int, 256> advance_{};
};

}  // namespace talvera
