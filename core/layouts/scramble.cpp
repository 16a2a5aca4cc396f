#include "core/layouts/scramble.h"

#include <cstring>
#include <vector>

#include "core/cp1252.h"

namespace talvera::layouts {
namespace {

unsigned char Shift(std::size_t i) { return i % 2 == 0 ? 31 : 24; }

}  // namespace

bool ScrambleText(char* text) {
  std::size_t n = std::strlen(text);
  for (std::size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(text[i]) == Shift(i)) return false;
  for (std::size_t i = 0; i < n; ++i)
    text[i] = static_cast<char>(static_cast<unsigned char>(text[i]) - Shift(i));
  return true;
}

void UnscrambleText(char* text) {
  for (std::size_t i = 0; text[i] != '\0'; ++i)
    text[i] = static_cast<char>(static_cast<unsigned char>(text[i]) + Shift(i));
}

std::string GetPassword(const void* record, const Field& field) {
  if (field.width == 0) return {};
  std::vector<char> text(field.width + 1u, '\0');
  std::memcpy(text.data(), FieldBytes(record, field), field.width);
  UnscrambleText(text.data());
  return Cp1252ToUtf8(text.data());
}

bool SetPassword(void* record, const Field& field, std::string_view utf8) {
  if (field.width == 0) return false;
  std::string text = Utf8ToCp1252(utf8);
  if (text.size() >= field.width || text.find('\0') != std::string::npos) return false;
  if (!ScrambleText(text.data())) return false;
  SetRawText(record, field, text);
  return true;
}

}  // namespace talvera::layouts
