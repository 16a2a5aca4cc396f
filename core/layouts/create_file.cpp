#include "core/layouts/create_file.h"

#include <cstring>

#include "core/layouts/buscha.h"
#include "core/layouts/butext.h"
#include "core/layouts/stapel.h"
#include "core/record_store.h"
#include "recman/recman.h"

namespace talvera::layouts {
namespace {

std::uint8_t KeyTypeOf(FieldKind kind) {
  switch (kind) {
    case FieldKind::kInt16:
    case FieldKind::kInt32: return recman::kInteger;
    case FieldKind::kUInt16:
    case FieldKind::kByte: return recman::kUnsignedBinary;
    case FieldKind::kAutoId: return recman::kAutoIncrement;
    default: return recman::kString;
  }
}

std::uint16_t KeyFlagsOf(const Key& key, const KeySegment& segment, bool last) {
  std::uint16_t flags = recman::kExtendedType;
  if (!key.unique) flags |= recman::kDuplicates;
  if (key.modifiable) flags |= recman::kModifiable;
  if (segment.descending) flags |= recman::kDescending;
  if (!last) flags |= recman::kSegmented;
  return flags;
}

void Append(std::vector<unsigned char>& out, const void* part, std::size_t n) {
  auto p = static_cast<const unsigned char*>(part);
  out.insert(out.end(), p, p + n);
}

std::string FilePath(std::string directory, const std::string& name) {
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory + name + ".btr";
}

// Inserts rows into a file opened by path in the scratch slot; `fill` sets
// row i into a new record and returns false after the last one.
template <typename Fill>
bool InsertRows(const Layout& layout, const std::string& path, Fill fill) {
  if (!OpenPath(path, kSlotScratch)) return false;
  std::vector<char> record(layout.recordLength);
  bool ok = true;
  for (int i = 0; ok; ++i) {
    InitRecord(layout, record.data());
    if (!fill(record.data(), i)) break;
    ok = Insert(record.data(), MakeFileId(kSlotScratch, 0));
  }
  CloseSlot(kSlotScratch);
  return ok;
}

bool InsertDefaultRows(const Layout& layout, const std::string& path) {
  if (&layout == &butext::kLayout) {
    return InsertRows(layout, path, [](void* r, int i) {
      if (i >= static_cast<int>(std::size(butext::kDefaultRows))) return false;
      SetText(r, butext::kText, butext::kDefaultRows[i]);
      return true;
    });
  }
  if (&layout == &buscha::kLayout) {
    return InsertRows(layout, path, [](void* r, int i) {
      if (i >= static_cast<int>(std::size(buscha::kDefaultRows))) return false;
      const buscha::DefaultRow& row = buscha::kDefaultRows[i];
      SetText(r, buscha::kName, row.name);
      SetText(r, buscha::kText, row.name);
      SetText(r, buscha::kDebitAccount, row.debit);
      SetText(r, buscha::kCreditAccount, row.credit);
      return true;
    });
  }
  if (&layout == &stapel::kLayout) {
    return InsertRows(layout, path, [](void* r, int i) {
      static constexpr struct { int number; const char* name; } kRows[] = {
          {stapel::kKreditorSettlementBatch, "OP-Ausgleich Kreditoren"},
          {stapel::kStandardBatch, "Standardstapel"},
      };
      if (i >= static_cast<int>(std::size(kRows))) return false;
      SetNumber(r, stapel::kBatchNo, kRows[i].number);
      SetText(r, stapel::kName, kRows[i].name);
      return true;
    });
  }
  return true;
}

}  // namespace

std::vector<unsigned char> FileDefinition(const Layout& layout) {
  std::vector<unsigned char> out;
  recman::FilePart file{};
  file.recordLength = layout.recordLength;
  file.pageSize = kPageSize;
  file.keyCount = static_cast<std::uint16_t>(layout.keys.size());
  Append(out, &file, sizeof file);
  for (const Key& key : layout.keys) {
    for (std::size_t s = 0; s < key.segments.size(); ++s) {
      const KeySegment& segment = key.segments[s];
      recman::KeyDefinition definition{};
      definition.position = static_cast<std::uint16_t>(segment.field.offset + 1);
      definition.length = static_cast<std::uint16_t>(segment.Length());
      definition.flags = KeyFlagsOf(key, segment, s + 1 == key.segments.size());
      definition.type = KeyTypeOf(segment.field.kind);
      Append(out, &definition, sizeof definition);
    }
  }
  return out;
}

bool CreateFile(const Layout& layout, const std::string& directory, const std::string& name,
                int* status) {
  std::string path = FilePath(directory, name);
  std::vector<unsigned char> definition = FileDefinition(layout);
  std::vector<char> pathBuffer(path.begin(), path.end());
  pathBuffer.push_back('\0');
  unsigned char position[recman::kPositionBlockSize] = {};
  auto length = static_cast<std::uint32_t>(definition.size());
  int result = recman::Call(recman::kCreate, position, definition.data(), &length, pathBuffer.data(),
                            recman::kMaxKeyLength, 0);
  if (status) *status = result;
  if (result != recman::kOk) return false;
  return InsertDefaultRows(layout, path);
}

bool CreateFile(const std::string& directory, const std::string& name) {
  const Layout* layout = LayoutForFileName(name);
  return layout && CreateFile(*layout, directory, name);
}

}  // namespace talvera::layouts
