#include <gtest/gtest.h>

#include "core/cp1252.h"

using namespace talvera;

TEST(Cp1252, RoundTripOfGermanAndSpecialCharacters) {
  const std::string utf8 = "Größe Übertrag Maß € „Zitat“ – Ä";
  std::string bytes = Utf8ToCp1252(utf8);
  EXPECT_EQ(bytes.size(), 32u);  // one byte a character
  EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 0xF6);  // ö
  EXPECT_EQ(Cp1252ToUtf8(bytes), utf8);
}

TEST(Cp1252, UnmappableAndMalformed) {
  EXPECT_EQ(Utf8ToCp1252("Ω"), "?");
  // A stray byte that is no UTF-8 sequence is kept as the character it names.
  EXPECT_EQ(Utf8ToCp1252("a\xE4z"), "a\xE4z");
  EXPECT_EQ(Cp1252ToUtf8(std::string("\x81", 1)), "\xC2\x81");
  EXPECT_EQ(Utf8ToCp1252("\xC2\x81"), std::string("\x81", 1));
}

TEST(Cp1252, CodePointOfEachByteKind) {
  const std::pair<unsigned char, char32_t> cases[] = {
      {'A', U'A'}, {0xE4, U'ä'}, {0xDF, U'ß'}, {0x80, U'€'}, {0x84, U'„'},
      {0x9F, U'Ÿ'}, {0x81, 0x81}, {0x9D, 0x9D}, {0xA0, 0xA0}, {0xFF, U'ÿ'}};
  for (auto [byte, expected] : cases) EXPECT_EQ(Cp1252CodePoint(byte), expected) << int(byte);
}
