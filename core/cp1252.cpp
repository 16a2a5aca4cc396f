#include "core/cp1252.h"

#include <cstdint>

namespace talvera {
namespace {

// Code points of the bytes 0x80..0x9F; 0 where the code page has a hole.
constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char FromCodePoint(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  // The holes of the code page travel through as themselves.
  if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] == 0) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == c && c != 0) return static_cast<char>(0x80 + i);
  return '?';
}

// Decodes one UTF-8 sequence at text[i]; a malformed byte counts as itself
// read as Latin-1, so nothing is lost silently.
char32_t Decode(std::string_view text, std::size_t& i) {
  unsigned char b = text[i++];
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + extra > text.size()) return b;
  char32_t c = b & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    unsigned char cont = text[i + k];
    if ((cont & 0xC0) != 0x80) return b;
    c = (c << 6) | (cont & 0x3F);
  }
  i += extra;
  return c;
}

}  // namespace

char32_t Cp1252CodePoint(unsigned char b) {
  char32_t c = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b;
  return c ? c : b;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char b : text) {
    char32_t c = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b;
    AppendUtf8(out, c ? c : b);
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) out += FromCodePoint(Decode(text, i));
  return out;
}

}  // namespace talvera
