// Record layouts: the one description of every data file's bytes.
//
// A layout lists its fields (offset, width, kind) and its keys (segments and
// flags). Creating a file, giving a new record its defaults, reading and
// writing single fields and the maintenance tool's record view are all
// derived from these declarations, so a layout is written down exactly once
// (one header per file in this folder).
//
// Conventions of every record:
//   - little-endian integers;
//   - text fields are Windows-1252, NUL-terminated inside their width and
//     zero-filled after the NUL; widths count the NUL;
//   - amounts, rates, dates and account numbers are the value texts of
//     amount.h, period_date.h and text_helpers.h.
//
// Field handles are compile-time constants (`sako::kOpeningDebit`), so a
// misspelt field does not compile; the maintenance tool finds fields by name
// (FindField). Array fields (the 24 period totals, the ten booking lines)
// are one handle; At(i) picks element i, counting from 0. In texts (record
// view, names given to FindField) elements count from 1, as periods do:
// "period_debit[1]" is period 1.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace talvera::layouts {

enum class FieldKind : std::uint8_t {
  kText,        // Windows-1252 text
  kAmount,      // AmountText, 13 bytes
  kRate,        // RateText, 6 bytes
  kPeriodDate,  // DDPPYY
  kSortDate,    // YYPPDD, the year-first form files keep for date order
  kPostingKey,  // YYPPDDnnnn
  kAccountNo,   // right-aligned account number, 8 bytes
  kInt16,
  kUInt16,
  kInt32,
  kAutoId,      // int32 filled by the record manager on insert when zero
  kByte,        // one unsigned byte used as a number or flag
  kScrambled,   // password text stored with ScrambleText
  kBytes,       // opaque bytes owned by another part of the program
  kRecord,      // an embedded record of another layout (`nested`)
  kReserved,    // unused; zero in every record written
};

struct Layout;

struct Field {
  const char* name;
  std::uint16_t offset;
  std::uint16_t width;               // of one element
  FieldKind kind;
  std::uint16_t count = 1;           // elements of an array field
  std::uint16_t stride = 0;          // distance between elements
  const Layout* nested = nullptr;    // layout of a kRecord field

  // Element i of an array field (0-based), as a field of its own. An index
  // outside the array gives a field of width 0, which the accessors treat
  // as absent, so a wrong index never touches a neighbouring field.
  constexpr Field At(int i) const {
    if (i < 0 || i >= count) return Field{name, offset, 0, FieldKind::kReserved};
    return Field{name, static_cast<std::uint16_t>(offset + i * stride), width, kind, 1, 0,
                 nested};
  }
  // Field `inner` of element i of an embedded-record field.
  constexpr Field In(int i, const Field& inner) const {
    Field element = At(i);
    if (element.width == 0 || inner.offset + inner.Span() > element.width)
      return Field{inner.name, element.offset, 0, FieldKind::kReserved};
    Field f = inner;
    f.offset = static_cast<std::uint16_t>(element.offset + inner.offset);
    return f;
  }
  constexpr Field In(const Field& inner) const { return In(0, inner); }
  // Bytes from the first element's start to the last element's end.
  constexpr int Span() const { return count <= 1 ? width : (count - 1) * stride + width; }
  // The same field repeated: `count` elements, `stride` bytes apart.
  constexpr Field Times(int n, int step) const {
    Field f = *this;
    f.count = static_cast<std::uint16_t>(n);
    f.stride = static_cast<std::uint16_t>(step);
    return f;
  }
};

// Builders for the declarations. Value texts have their fixed widths.
constexpr Field Text(const char* name, int offset, int width) {
  return {name, static_cast<std::uint16_t>(offset), static_cast<std::uint16_t>(width),
          FieldKind::kText};
}
constexpr Field Of(FieldKind kind, const char* name, int offset, int width) {
  return {name, static_cast<std::uint16_t>(offset), static_cast<std::uint16_t>(width), kind};
}
constexpr Field Amount(const char* name, int offset) { return Of(FieldKind::kAmount, name, offset, 13); }
constexpr Field Rate(const char* name, int offset) { return Of(FieldKind::kRate, name, offset, 6); }
constexpr Field Date(const char* name, int offset) { return Of(FieldKind::kPeriodDate, name, offset, 7); }
constexpr Field SortDate(const char* name, int offset, int width) {
  return Of(FieldKind::kSortDate, name, offset, width);
}
constexpr Field Account(const char* name, int offset) { return Of(FieldKind::kAccountNo, name, offset, 8); }
constexpr Field Int16(const char* name, int offset) { return Of(FieldKind::kInt16, name, offset, 2); }
constexpr Field UInt16(const char* name, int offset) { return Of(FieldKind::kUInt16, name, offset, 2); }
constexpr Field Int32(const char* name, int offset) { return Of(FieldKind::kInt32, name, offset, 4); }
constexpr Field AutoId(const char* name, int offset) { return Of(FieldKind::kAutoId, name, offset, 4); }
constexpr Field Byte(const char* name, int offset) { return Of(FieldKind::kByte, name, offset, 1); }
constexpr Field Scrambled(const char* name, int offset, int width) {
  return Of(FieldKind::kScrambled, name, offset, width);
}
constexpr Field Opaque(const char* name, int offset, int width) {
  return Of(FieldKind::kBytes, name, offset, width);
}
constexpr Field Reserved(int offset, int width) {
  return Of(FieldKind::kReserved, "reserved", offset, width);
}
constexpr Field Embedded(const char* name, int offset, const Layout& layout, int width) {
  Field f = Of(FieldKind::kRecord, name, offset, width);
  f.nested = &layout;
  return f;
}

struct KeySegment {
  Field field;
  std::uint16_t length = 0;   // 0: the whole field
  bool descending = false;

  constexpr int Length() const { return length ? length : field.width; }
};

// Unless declared otherwise a key allows duplicates and may change.
struct Key {
  std::span<const KeySegment> segments;
  bool unique = false;
  bool modifiable = true;
};

// A default a new record gets after it is zero-filled. A text default of an
// array field is written into every element.
struct FieldDefault {
  enum Kind : std::uint8_t { kText, kNumber, kToday };
  Field field;
  Kind kind;
  const char* text = nullptr;
  long number = 0;
};

struct Layout {
  const char* name;                      // name of the layout ("sako", "personal account")
  std::span<const char* const> files;    // files with this layout ("debi", "kred")
  std::uint16_t recordLength;
  std::span<const Field> fields;         // in offset order
  std::span<const Key> keys;
  std::span<const FieldDefault> defaults;
};

inline constexpr int kPageSize = 2048;

// ---- Field access --------------------------------------------------------
// `record` is a whole record buffer of the field's layout.

// The field's bytes in the record (for the value-text operations, which
// work in place on a record, e.g. AmountAddInPlace).
char* FieldBytes(void* record, const Field& field);
const char* FieldBytes(const void* record, const Field& field);

// Text of a field as UTF-8: the bytes up to the NUL, at most the width.
std::string GetText(const void* record, const Field& field);
// Writes UTF-8 text as Windows-1252, cut to width - 1 bytes, NUL-terminated
// and zero-filled to the width. Characters the code page lacks become '?'.
// Returns false when the text had to be cut.
bool SetText(void* record, const Field& field, std::string_view utf8);
// The same for bytes already in the record's code page (keys, value texts).
bool SetRawText(void* record, const Field& field, std::string_view bytes);

// Integer fields (int16, uint16, int32, auto id, byte). A value outside the
// field's range is stored cut to its width, as the C integer rules do; the
// return value is false then.
long GetNumber(const void* record, const Field& field);
bool SetNumber(void* record, const Field& field, long value);

// ---- Whole records ------------------------------------------------------

// Zero-fills a record of the layout's length and sets its defaults.
void InitRecord(const Layout& layout, void* record);
// The same for the layout of a record-store slot; false for slots without a
// fixed layout (the scratch slot), which are left untouched.
bool InitRecord(int slot, void* record);

// One line per field: offset, width, name and value; array elements one
// line each, embedded records with their field names prefixed, unused bytes
// only when they are not zero. `length` is the size of the buffer read (a
// short record shows its missing fields as such).
std::string DescribeRecord(const Layout& layout, const void* record, std::size_t length);

// ---- Finding layouts ----------------------------------------------------

std::span<const Layout* const> AllLayouts();
// By file name, with or without directory and extension ("sako", "sako.bt3",
// "/data/1996/debi.btr"), ignoring case; nullptr when no layout has it.
const Layout* LayoutForFileName(std::string_view path);
// By file name, else by record length when only one layout has it.
const Layout* LayoutForFile(std::string_view path, int recordLength);
// The layout of a record-store slot; nullptr for slots without one.
const Layout* LayoutForSlot(int slot);

// A field by name: "account_no", "period_debit[3]", "line[2].debit_account",
// "transfer.amount". Element numbers count from 1.
std::optional<Field> FindField(const Layout& layout, std::string_view name);

}  // namespace talvera::layouts
