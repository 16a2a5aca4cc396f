// A record file's layout as the record manager understands it: record length
// and keys, parsed from the file definition (FilePart + key definitions), and
// the byte encoding that makes a key's SQLite BLOB order equal its key order.
//
// Encoding of one segment (the blob of a key is its segments' encodings
// concatenated, so memcmp order is segment-wise key order):
//   string, zstring   the bytes (zstring: zero-filled after the first NUL)
//   integer, auto     little-endian signed -> big-endian with the sign bit flipped
//   unsigned binary   little-endian -> big-endian
//   descending        every byte of the segment's encoding inverted
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "recman.h"

namespace recman {

struct Segment {
  uint16_t offset = 0;  // 0-based
  uint16_t length = 0;
  uint8_t type = kString;
  bool descending = false;
};

struct Key {
  std::vector<Segment> segments;
  bool unique = true;
  bool modifiable = false;
  bool autoIncrement = false;  // single 2- or 4-byte segment
  uint16_t length = 0;         // raw key length = sum of segment lengths
};

struct Layout {
  uint16_t recordLength = 0;
  uint16_t pageSize = 0;
  uint16_t fileFlags = 0;
  std::vector<Key> keys;
  std::vector<KeyDefinition> keyDefinitions;  // as given at creation, one per segment
};

// Parses a file definition; returns kOk or the status describing the fault.
int ParseLayout(const uint8_t* definition, size_t size, Layout* out);
// Parses the segments of one key (from a supplementary index request) and
// appends the key to the layout.
int AppendKey(const uint8_t* keyDefinitions, size_t size, Layout* layout);
// FilePart + key definitions as kStat returns them.
std::vector<uint8_t> DefinitionBytes(const Layout& layout, uint32_t recordCount);

// The key as the caller sees it in the key buffer: the segments' bytes, in order.
void ExtractKey(const Key& key, const uint8_t* record, uint8_t* raw);
// The sortable blob of a key taken from a record or from a raw key value.
void EncodeFromRecord(const Key& key, const uint8_t* record, std::string* blob);
void EncodeFromRaw(const Key& key, const uint8_t* raw, std::string* blob);

// Auto-increment values: the 2/4-byte little-endian field and its blob.
int64_t ReadAutoValue(const Key& key, const uint8_t* record);
void WriteAutoValue(const Key& key, int64_t value, uint8_t* record);
int64_t DecodeAutoBlob(const Key& key, const std::string& blob);

}  // namespace recman
