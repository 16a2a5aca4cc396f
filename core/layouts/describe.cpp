// The field-by-field view of a record that the maintenance tool prints, and
// finding a field by the name that view shows.
#include <cstdio>
#include <cstring>

#include "core/cp1252.h"
#include "core/layouts/layout.h"

namespace talvera::layouts {
namespace {

constexpr std::size_t kHexShown = 48;  // bytes of an opaque field shown

bool AllZero(const unsigned char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (p[i]) return false;
  return true;
}

std::string Hex(const unsigned char* p, std::size_t n) {
  std::string out;
  char b[4];
  for (std::size_t i = 0; i < n && i < kHexShown; ++i) {
    std::snprintf(b, sizeof b, i ? " %02x" : "%02x", p[i]);
    out += b;
  }
  if (n > kHexShown) out += " ...";
  return out;
}

// A text field in quotes, control bytes escaped; notes a missing NUL and
// bytes left behind after it, both signs of a damaged record.
std::string QuotedText(const unsigned char* p, std::size_t width) {
  const void* nul = std::memchr(p, '\0', width);
  std::size_t n = nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - p) : width;
  std::string bytes;
  char b[8];
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] < 0x20 || p[i] == '"' || p[i] == '\\' || p[i] == 0x7F) {
      std::snprintf(b, sizeof b, "\\x%02x", p[i]);
      bytes += b;
    } else {
      bytes += static_cast<char>(p[i]);
    }
  }
  std::string out = "\"" + Cp1252ToUtf8(bytes) + "\"";
  if (!nul) out += "  (no terminating NUL)";
  else if (!AllZero(p + n, width - n)) out += "  (bytes after the end: " + Hex(p + n, width - n) + ")";
  return out;
}

std::string Value(const Field& f, const unsigned char* p) {
  switch (f.kind) {
    case FieldKind::kInt16:
    case FieldKind::kInt32:
    case FieldKind::kAutoId:
    case FieldKind::kByte: return std::to_string(GetNumber(p - f.offset, f));
    case FieldKind::kUInt16: {
      char b[24];
      long v = GetNumber(p - f.offset, f);
      std::snprintf(b, sizeof b, "%ld (0x%04lx)", v, v);
      return b;
    }
    case FieldKind::kScrambled: return p[0] ? "(set)" : "(empty)";
    case FieldKind::kBytes:
    case FieldKind::kReserved: return AllZero(p, f.width) ? "(zero)" : Hex(p, f.width);
    case FieldKind::kRecord: return "";
    default: return QuotedText(p, f.width);
  }
}

struct Writer {
  const unsigned char* record;
  std::size_t length;
  std::string out;

  void Line(int offset, int width, const std::string& name, const std::string& value) {
    char head[32];
    std::snprintf(head, sizeof head, "%5d %4d  ", offset, width);
    out += head;
    out += name;
    if (name.size() < 28) out.append(28 - name.size(), ' ');
    out += ' ';
    out += value;
    out += '\n';
  }

  void Fields(const Layout& layout, int base, const std::string& prefix) {
    for (const Field& field : layout.fields)
      for (int i = 0; i < field.count; ++i) Element(field, i, base, prefix);
  }

  void Element(const Field& field, int index, int base, const std::string& prefix) {
    Field f = field.At(index);
    int offset = base + f.offset;
    std::string name = prefix + f.name;
    if (field.count > 1) name += "[" + std::to_string(index + 1) + "]";
    if (static_cast<std::size_t>(offset) + f.width > length) {
      Line(offset, f.width, name, "(missing)");
      return;
    }
    const unsigned char* p = record + offset;
    if (f.kind == FieldKind::kReserved && AllZero(p, f.width)) return;
    if (f.kind == FieldKind::kRecord && f.nested) {
      if (AllZero(p, f.width)) Line(offset, f.width, name, "(empty)");
      else Fields(*f.nested, offset, name + ".");
      return;
    }
    Line(offset, f.width, name, Value(f, p));
  }
};

// "period_debit[3]" -> name "period_debit", element 3; element 0 when none.
bool SplitIndex(std::string_view part, std::string_view& name, int& element) {
  element = 0;
  name = part;
  std::size_t open = part.find('[');
  if (open == std::string_view::npos) return true;
  if (part.back() != ']' || open + 2 >= part.size()) return false;
  name = part.substr(0, open);
  int n = 0;
  for (char c : part.substr(open + 1, part.size() - open - 2)) {
    if (c < '0' || c > '9' || n > 10000) return false;
    n = n * 10 + (c - '0');
  }
  element = n;
  return n >= 1;
}

}  // namespace

std::string DescribeRecord(const Layout& layout, const void* record, std::size_t length) {
  Writer w{static_cast<const unsigned char*>(record), length, {}};
  w.Fields(layout, 0, "");
  if (length > layout.recordLength)
    w.out += "(" + std::to_string(length - layout.recordLength) + " bytes beyond the record length)\n";
  return w.out;
}

std::optional<Field> FindField(const Layout& layout, std::string_view name) {
  std::size_t dot = name.find('.');
  std::string_view head = name.substr(0, dot);
  std::string_view fieldName;
  int element;
  if (!SplitIndex(head, fieldName, element)) return std::nullopt;
  for (const Field& field : layout.fields) {
    if (field.kind == FieldKind::kReserved || fieldName != field.name) continue;
    if (element > field.count) return std::nullopt;
    if (dot == std::string_view::npos) return element ? field.At(element - 1) : field;
    if (field.kind != FieldKind::kRecord || !field.nested) return std::nullopt;
    if (field.count > 1 && element == 0) return std::nullopt;  // which element?
    std::optional<Field> inner = FindField(*field.nested, name.substr(dot + 1));
    if (!inner) return std::nullopt;
    return field.In(element ? element - 1 : 0, *inner);
  }
  return std::nullopt;
}

}  // namespace talvera::layouts
