// Record texts are Windows-1252, one byte a character, so that the widths of
// the record layouts hold. They become UTF-8 where they meet the screen,
// settings and files that ask for it.
#pragma once

#include <string>
#include <string_view>

namespace talvera {

std::string Cp1252ToUtf8(std::string_view text);
// The Unicode code point of one Windows-1252 byte (the holes of the code
// page stand for themselves).
char32_t Cp1252CodePoint(unsigned char byte);
// Characters Windows-1252 cannot hold become '?'.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace talvera
