// The layout declarations against the tables of the data-file formats,
// transcribed here independently: every field's offset and width, the
// records' lengths, and every key as the record manager receives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/layouts/create_file.h"
#include "core/layouts/layouts.h"
#include "core/record_store.h"
#include "recman/recman.h"

namespace talvera::layouts {
namespace {

struct Row {
  int offset, width, count = 1, stride = 0;
};

struct LayoutTable {
  const char* name;
  const Layout* layout;
  int recordLength;
  std::vector<Row> rows;
};

const std::vector<LayoutTable>& Tables() {
  static const std::vector<LayoutTable> tables = {
      {"fista", &fista::kLayout, 998,
       {{0, 2}, {2, 41}, {43, 26}, {69, 13}, {82, 5}, {87, 5}, {92, 8}, {100, 8}, {108, 8},
        {116, 16}, {132, 2}, {134, 16}, {150, 2}, {152, 2}, {154, 16}, {170, 2}, {172, 8},
        {180, 16}, {196, 2}, {198, 1}, {199, 31}, {230, 31}, {261, 41}, {302, 31}, {333, 31},
        {364, 21}, {385, 613}}},
      {"sako", &sako::kLayout, 733,
       {{0, 8}, {8, 10}, {18, 2}, {20, 2}, {22, 7}, {29, 13}, {42, 13}, {55, 13}, {68, 1},
        {69, 1}, {70, 26}, {96, 2}, {98, 7}, {105, 1}, {106, 6}, {112, 13}, {125, 13},
        {138, 13}, {151, 13}, {164, 13, 12, 26}, {177, 13, 12, 26}, {476, 2, 12, 2}, {500, 2},
        {502, 7}, {509, 1}, {510, 2}, {512, 13, 13, 13}, {681, 1}, {682, 8}, {690, 8},
        {698, 1}, {699, 34}}},
      {"debi/kred", &personal::kLayout, 956,
       {{0, 8}, {8, 10}, {18, 2}, {20, 7}, {27, 13}, {40, 13}, {53, 13}, {66, 1}, {67, 1},
        {68, 26}, {94, 26}, {120, 31}, {151, 7}, {158, 4}, {162, 31}, {193, 7}, {200, 8},
        {208, 13}, {221, 13}, {234, 13}, {247, 13}, {260, 13, 12, 26}, {273, 13, 12, 26},
        {572, 2, 12, 2}, {596, 9}, {605, 11}, {616, 28}, {644, 2}, {646, 2}, {648, 6},
        {654, 2}, {656, 16}, {672, 31}, {703, 5}, {708, 1}, {709, 13, 13, 13}, {878, 28},
        {906, 50}}},
      {"kore", &kore::kLayout, 493,
       {{0, 8}, {8, 9}, {17, 4}, {21, 31}, {52, 1}, {53, 13, 12, 13}, {209, 13, 13, 13},
        {378, 115}}},
      {"bube", &bube::kLayout, 211,
       {{0, 11}, {11, 7}, {18, 8}, {26, 8}, {34, 8}, {42, 2}, {44, 2}, {46, 1}, {47, 9},
        {56, 7}, {63, 13}, {76, 13}, {89, 13}, {102, 36}, {138, 10}, {148, 10}, {158, 10},
        {168, 4}, {172, 7}, {179, 8}, {187, 8}, {195, 1}, {196, 13}, {209, 1}, {210, 1}}},
      {"steke", &steke::kLayout, 34, {{0, 2}, {2, 2}, {4, 7}, {11, 6}, {17, 8}, {25, 8}, {33, 1}}},
      {"structure", &structure::kLayout, 64,
       {{0, 4}, {4, 2}, {6, 4}, {10, 4}, {14, 2}, {16, 26}, {42, 10}, {52, 12}}},
      {"bat", &bat::kLayout, 1327,
       {{0, 4}, {4, 4}, {8, 7}, {15, 7}, {22, 9}, {31, 94, 10, 94}, {971, 36}, {1007, 2},
        {1009, 5}, {1014, 13}, {1027, 13}, {1040, 1}, {1041, 1}, {1042, 1}, {1043, 1},
        {1044, 27}, {1071, 256}}},
      {"booking line", &bat_line::kLayout, 94,
       {{0, 8}, {8, 8}, {16, 8}, {24, 1}, {25, 1}, {26, 2}, {28, 2}, {30, 2}, {32, 13},
        {45, 13}, {58, 6}, {64, 8}, {72, 8}, {80, 1}, {81, 1}, {82, 1}, {83, 11}}},
      {"stapel", &stapel::kLayout, 64, {{0, 4}, {4, 1}, {5, 33}, {38, 13}, {51, 9}, {60, 4}}},
      {"opdebi/opkred", &open_item::kLayout, 299,
       {{0, 4}, {4, 8}, {12, 10}, {22, 10}, {32, 8}, {40, 8}, {48, 8}, {56, 26}, {82, 36},
        {118, 2}, {120, 13}, {133, 6}, {139, 8}, {147, 8}, {155, 6}, {161, 2}, {163, 2},
        {165, 13}, {178, 13}, {191, 13}, {204, 13}, {217, 13}, {230, 2}, {232, 2}, {234, 2},
        {236, 2}, {238, 5}, {243, 13}, {256, 43}}},
      {"ueberw", &ueberw::kLayout, 256,
       {{0, 8}, {8, 28}, {36, 10}, {46, 12}, {58, 28}, {86, 6}, {92, 28, 3, 28}, {176, 2},
        {178, 13}, {191, 1}, {192, 4}, {196, 28}, {224, 28}, {252, 4}}},
      {"bank", &bank::kLayout, 64, {{0, 8}, {8, 10}, {18, 12}, {30, 28}, {58, 4}, {62, 2}}},
      {"kurse", &kurse::kLayout, 58, {{0, 5}, {5, 7}, {12, 13}, {25, 1}, {26, 2}, {28, 30}}},
      {"butext", &butext::kLayout, 64, {{0, 36}, {36, 4}, {40, 24}}},
      {"buscha", &buscha::kLayout, 181,
       {{0, 4}, {4, 36}, {40, 9}, {49, 8}, {57, 8}, {65, 8}, {73, 8}, {81, 36}, {117, 1},
        {118, 1}, {119, 62}}},
      {"user", &user::kLayout, 128, {{0, 4}, {4, 31}, {35, 4}, {39, 16}, {55, 73}}},
  };
  return tables;
}

TEST(LayoutDeclaration, FieldsMatchTheFormatTables) {
  for (const LayoutTable& t : Tables()) {
    SCOPED_TRACE(t.name);
    EXPECT_EQ(t.layout->recordLength, t.recordLength);
    ASSERT_EQ(t.layout->fields.size(), t.rows.size());
    for (std::size_t i = 0; i < t.rows.size(); ++i) {
      const Field& f = t.layout->fields[i];
      const Row& r = t.rows[i];
      SCOPED_TRACE(f.name);
      EXPECT_EQ(f.offset, r.offset);
      EXPECT_EQ(f.width, r.width);
      EXPECT_EQ(f.count, r.count);
      if (r.count > 1) {
        EXPECT_EQ(f.stride, r.stride);
      }
    }
  }
}

// Every byte of a record belongs to exactly one field element (unused bytes
// to a reserved field), embedded records included.
void ExpectCoversEveryByteOnce(const Layout& layout) {
  SCOPED_TRACE(layout.name);
  std::vector<int> owners(layout.recordLength, 0);
  for (const Field& field : layout.fields) {
    for (int i = 0; i < field.count; ++i) {
      Field e = field.At(i);
      ASSERT_LE(e.offset + e.width, layout.recordLength) << field.name;
      for (int b = e.offset; b < e.offset + e.width; ++b) ++owners[b];
    }
    if (field.kind == FieldKind::kRecord) {
      ASSERT_NE(field.nested, nullptr);
      EXPECT_EQ(field.width, field.nested->recordLength) << field.name;
      ExpectCoversEveryByteOnce(*field.nested);
    }
  }
  for (int b = 0; b < layout.recordLength; ++b) EXPECT_EQ(owners[b], 1) << "byte " << b;
}

TEST(LayoutDeclaration, FieldsCoverEveryByteExactlyOnce) {
  for (const Layout* layout : AllLayouts()) ExpectCoversEveryByteOnce(*layout);
}

TEST(LayoutDeclaration, SlotsHaveTheLayoutOfTheirFile) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    SCOPED_TRACE(slot);
    const Layout* layout = LayoutForSlot(slot);
    std::string file = SlotFileName(slot);
    if (slot == kSlotScratch || file.empty()) {
      EXPECT_EQ(layout, nullptr);
      continue;
    }
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(LayoutForFileName(file), layout);
  }
}

// Keys as the record manager gets them, one text per layout:
// "<position>:<length><type>[v]" per segment ('+' joins segments; s string,
// i signed, u unsigned, a auto-increment; v descending), then " unique"
// and " fixed" (not modifiable) where the key says so.
std::string KeyText(const std::vector<unsigned char>& definition) {
  recman::FilePart file;
  std::memcpy(&file, definition.data(), sizeof file);
  std::string out;
  std::size_t at = sizeof file;
  for (int k = 0; k < file.keyCount; ++k) {
    if (k) out += " | ";
    std::uint16_t keyFlags = 0;
    bool firstSegment = true;
    for (bool more = true; more; at += sizeof(recman::KeyDefinition)) {
      if (at + sizeof(recman::KeyDefinition) > definition.size()) return "truncated";
      recman::KeyDefinition s;
      std::memcpy(&s, definition.data() + at, sizeof s);
      if (!(s.flags & recman::kExtendedType)) return "not extended";
      std::uint16_t own = s.flags & (recman::kDuplicates | recman::kModifiable);
      if (!firstSegment && own != keyFlags) return "segments disagree";
      firstSegment = false;
      keyFlags = own;
      const char* type = s.type == recman::kString          ? "s"
                         : s.type == recman::kInteger        ? "i"
                         : s.type == recman::kUnsignedBinary ? "u"
                         : s.type == recman::kAutoIncrement  ? "a"
                                                             : "?";
      out += std::to_string(s.position) + ":" + std::to_string(s.length) + type;
      if (s.flags & recman::kDescending) out += "v";
      more = s.flags & recman::kSegmented;
      if (more) out += "+";
    }
    if (!(keyFlags & recman::kDuplicates)) out += " unique";
    if (!(keyFlags & recman::kModifiable)) out += " fixed";
  }
  if (at != definition.size()) return "trailing bytes";
  return out;
}

TEST(LayoutDeclaration, KeysAsTheRecordManagerGetsThem) {
  const struct {
    const Layout* layout;
    const char* keys;
  } cases[] = {
      {&fista::kLayout, "1:2i unique fixed"},
      {&sako::kLayout, "1:8s | 9:10s | 9:10s+1:8s | 21:2i | 19:2i+1:8s | 71:26s"},
      {&personal::kLayout, "1:8s | 9:10s | 9:10s+1:8s | 19:2i | 69:26s | 152:7s"},
      {&kore::kLayout, "1:8s | 9:9s | 18:4a unique | 22:31s"},
      {&bube::kLayout,
       "1:10s unique | 19:8s | 27:8s | 35:8s | 1:10sv unique | 169:4a unique | 48:9s | 173:7s"},
      {&steke::kLayout, "1:2u | 3:2u | 1:2u+3:2u"},
      {&structure::kLayout, "1:4i | 17:8s | 7:4i | 11:4i"},
      {&bat::kLayout, "5:4a unique | 1:4i"},
      {&stapel::kLayout, "1:4a unique"},
      {&open_item::kLayout,
       "1:4a unique | 5:8s+33:8s+23:10s | 49:8s+5:8s+23:10s | 41:8s+5:8s+23:10s | 23:10s"},
      {&ueberw::kLayout, "1:8s | 193:4a unique"},
      {&bank::kLayout, "1:8s | 9:10s"},
      {&bankiban::kLayout, "1:8s unique"},
      {&kurse::kLayout, "1:5s+6:7s"},
      {&butext::kLayout, "1:36s | 37:4a unique"},
      {&buscha::kLayout, "1:4a unique | 5:36s"},
      {&user::kLayout, "1:4a unique | 5:31s unique"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layout->name);
    std::vector<unsigned char> definition = FileDefinition(*c.layout);
    recman::FilePart file;
    std::memcpy(&file, definition.data(), sizeof file);
    EXPECT_EQ(file.recordLength, c.layout->recordLength);
    EXPECT_EQ(file.pageSize, 2048);
    EXPECT_EQ(file.fileFlags, 0);
    EXPECT_EQ(KeyText(definition), c.keys);
  }
}

}  // namespace
}  // namespace talvera::layouts
