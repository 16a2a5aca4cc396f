// Reading and writing single fields of a record buffer.
#include <cstring>
#include <limits>

#include "core/cp1252.h"
#include "core/layouts/layout.h"

namespace talvera::layouts {
namespace {

bool IsNumberKind(FieldKind kind) {
  switch (kind) {
    case FieldKind::kInt16:
    case FieldKind::kUInt16:
    case FieldKind::kInt32:
    case FieldKind::kAutoId:
    case FieldKind::kByte: return true;
    default: return false;
  }
}

// Unsigned little-endian bytes of a field of width 1, 2 or 4.
unsigned long ReadUnsigned(const unsigned char* p, int width) {
  unsigned long v = 0;
  for (int i = width - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

void WriteUnsigned(unsigned char* p, int width, unsigned long v) {
  for (int i = 0; i < width; ++i, v >>= 8) p[i] = static_cast<unsigned char>(v & 0xFF);
}

}  // namespace

char* FieldBytes(void* record, const Field& field) {
  return static_cast<char*>(record) + field.offset;
}
const char* FieldBytes(const void* record, const Field& field) {
  return static_cast<const char*>(record) + field.offset;
}

std::string GetText(const void* record, const Field& field) {
  if (field.width == 0) return {};
  const char* p = FieldBytes(record, field);
  const void* nul = std::memchr(p, '\0', field.width);
  std::size_t n = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - p) : field.width;
  return Cp1252ToUtf8(std::string_view(p, n));
}

bool SetRawText(void* record, const Field& field, std::string_view bytes) {
  if (field.width == 0) return bytes.empty();
  std::size_t nul = bytes.find('\0');
  bool complete = nul == std::string_view::npos;
  if (!complete) bytes = bytes.substr(0, nul);
  std::size_t room = field.width - 1u;
  if (bytes.size() > room) {
    bytes = bytes.substr(0, room);
    complete = false;
  }
  char* p = FieldBytes(record, field);
  std::memcpy(p, bytes.data(), bytes.size());
  std::memset(p + bytes.size(), 0, field.width - bytes.size());
  return complete;
}

bool SetText(void* record, const Field& field, std::string_view utf8) {
  return SetRawText(record, field, Utf8ToCp1252(utf8));
}

long GetNumber(const void* record, const Field& field) {
  if (!IsNumberKind(field.kind) || field.width == 0) return 0;
  auto p = reinterpret_cast<const unsigned char*>(FieldBytes(record, field));
  unsigned long v = ReadUnsigned(p, field.width);
  switch (field.kind) {
    case FieldKind::kInt16: return static_cast<std::int16_t>(v);
    case FieldKind::kInt32:
    case FieldKind::kAutoId: return static_cast<std::int32_t>(v);
    default: return static_cast<long>(v);
  }
}

bool SetNumber(void* record, const Field& field, long value) {
  if (!IsNumberKind(field.kind) || field.width == 0) return false;
  long low = 0, high = 0;
  switch (field.kind) {
    case FieldKind::kInt16: low = std::numeric_limits<std::int16_t>::min(); high = std::numeric_limits<std::int16_t>::max(); break;
    case FieldKind::kUInt16: high = std::numeric_limits<std::uint16_t>::max(); break;
    case FieldKind::kByte: high = std::numeric_limits<std::uint8_t>::max(); break;
    default: low = std::numeric_limits<std::int32_t>::min(); high = std::numeric_limits<std::int32_t>::max(); break;
  }
  auto p = reinterpret_cast<unsigned char*>(FieldBytes(record, field));
  WriteUnsigned(p, field.width, static_cast<unsigned long>(value));
  return value >= low && value <= high;
}

}  // namespace talvera::layouts
