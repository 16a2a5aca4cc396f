#include "key_layout.h"

#include <cstring>

namespace recman {
namespace {

bool IsIntegerType(uint8_t type) {
  return type == kInteger || type == kAutoIncrement || type == kUnsignedBinary;
}

bool IsIntegerLength(uint16_t length) {
  return length == 1 || length == 2 || length == 4 || length == 8;
}

// Non-extended keys predate the type byte: binary ones are unsigned integers
// when they have an integer's width, anything else compares as bytes.
uint8_t EffectiveType(const KeyDefinition& definition) {
  if (definition.flags & kExtendedType) return definition.type;
  if ((definition.flags & kBinary) && IsIntegerLength(definition.length)) return kUnsignedBinary;
  return kString;
}

int CheckSegment(const KeyDefinition& definition, uint16_t recordLength, Segment* out) {
  if (definition.length == 0 || definition.position == 0 ||
      uint32_t(definition.position) - 1 + definition.length > recordLength)
    return kInvalidKeyPosition;
  uint8_t type = EffectiveType(definition);
  if (type != kString && type != kZString && !IsIntegerType(type)) return kInvalidKeyType;
  if (IsIntegerType(type) && !IsIntegerLength(definition.length)) return kInvalidKeyType;
  out->offset = uint16_t(definition.position - 1);
  out->length = definition.length;
  out->type = type;
  out->descending = (definition.flags & kDescending) != 0;
  return kOk;
}

// Reads the segments of one key starting at keyDefinitions[0]; *used = segments consumed.
int ParseOneKey(const KeyDefinition* keyDefinitions, size_t available, uint16_t recordLength, Key* key,
                size_t* used) {
  size_t n = 0;
  uint32_t total = 0;
  for (;;) {
    if (n >= available) return kInvalidKeyPosition;  // segment flag promises more
    Segment segment;
    if (int status = CheckSegment(keyDefinitions[n], recordLength, &segment)) return status;
    total += segment.length;
    key->segments.push_back(segment);
    bool more = keyDefinitions[n].flags & kSegmented;
    ++n;
    if (!more) break;
  }
  if (total > kMaxKeyLength) return kInvalidKeyPosition;
  // Duplicates and modifiability are properties of the key: the first segment says.
  key->unique = !(keyDefinitions[0].flags & kDuplicates);
  key->modifiable = keyDefinitions[0].flags & kModifiable;
  key->length = uint16_t(total);
  bool autoType = false;
  for (const Segment& s : key->segments) autoType |= s.type == kAutoIncrement;
  if (autoType) {
    if (key->segments.size() != 1 || (total != 2 && total != 4)) return kInvalidKeyType;
    key->autoIncrement = true;
  }
  *used = n;
  return kOk;
}

int ParseKeys(const KeyDefinition* keyDefinitions, size_t count, size_t keyCount, uint16_t recordLength,
              Layout* layout) {
  size_t at = 0;
  for (size_t k = 0; k < keyCount; ++k) {
    Key key;
    size_t used = 0;
    if (int status = ParseOneKey(keyDefinitions + at, count - at, recordLength, &key, &used))
      return status;
    layout->keys.push_back(std::move(key));
    at += used;
  }
  layout->keyDefinitions.insert(layout->keyDefinitions.end(), keyDefinitions, keyDefinitions + at);
  return kOk;
}

void EncodeSegment(const Segment& s, const uint8_t* p, std::string* blob) {
  size_t start = blob->size();
  switch (s.type) {
    case kInteger:
    case kAutoIncrement:
    case kUnsignedBinary:
      for (int i = s.length - 1; i >= 0; --i) blob->push_back(char(p[i]));
      if (s.type != kUnsignedBinary) (*blob)[start] = char((*blob)[start] ^ 0x80);
      break;
    case kZString: {
      size_t n = strnlen(reinterpret_cast<const char*>(p), s.length);
      blob->append(reinterpret_cast<const char*>(p), n);
      blob->append(s.length - n, '\0');
      break;
    }
    default:
      blob->append(reinterpret_cast<const char*>(p), s.length);
  }
  if (s.descending)
    for (size_t i = start; i < blob->size(); ++i) (*blob)[i] = char(~(*blob)[i]);
}

}  // namespace

int ParseLayout(const uint8_t* definition, size_t size, Layout* out) {
  if (size < sizeof(FilePart)) return kDataBufferTooShort;
  FilePart file;
  memcpy(&file, definition, sizeof file);
  if (file.recordLength < 4) return kInvalidRecordLength;
  size_t count = (size - sizeof file) / sizeof(KeyDefinition);
  std::vector<KeyDefinition> keyDefinitions(count);
  if (count) memcpy(keyDefinitions.data(), definition + sizeof file, count * sizeof(KeyDefinition));
  Layout layout;
  layout.recordLength = file.recordLength;
  layout.pageSize = file.pageSize;
  layout.fileFlags = file.fileFlags;
  if (int status = ParseKeys(keyDefinitions.data(), count, file.keyCount, file.recordLength, &layout))
    return status;
  *out = std::move(layout);
  return kOk;
}

int AppendKey(const uint8_t* definition, size_t size, Layout* layout) {
  size_t count = size / sizeof(KeyDefinition);
  if (count == 0) return kDataBufferTooShort;
  std::vector<KeyDefinition> keyDefinitions(count);
  memcpy(keyDefinitions.data(), definition, count * sizeof(KeyDefinition));
  Layout copy = *layout;
  size_t before = copy.keyDefinitions.size();
  if (int status = ParseKeys(keyDefinitions.data(), count, 1, copy.recordLength, &copy)) return status;
  for (size_t i = before; i < copy.keyDefinitions.size(); ++i) copy.keyDefinitions[i].flags |= kSupplemental;
  *layout = std::move(copy);
  return kOk;
}

std::vector<uint8_t> DefinitionBytes(const Layout& layout, uint32_t recordCount) {
  FilePart file{};
  file.recordLength = layout.recordLength;
  file.pageSize = layout.pageSize;
  file.keyCount = uint16_t(layout.keys.size());
  file.recordCount = recordCount;
  file.fileFlags = layout.fileFlags;
  std::vector<uint8_t> bytes(sizeof file + layout.keyDefinitions.size() * sizeof(KeyDefinition));
  memcpy(bytes.data(), &file, sizeof file);
  if (!layout.keyDefinitions.empty())
    memcpy(bytes.data() + sizeof file, layout.keyDefinitions.data(), layout.keyDefinitions.size() * sizeof(KeyDefinition));
  return bytes;
}

void ExtractKey(const Key& key, const uint8_t* record, uint8_t* raw) {
  for (const Segment& s : key.segments) {
    memcpy(raw, record + s.offset, s.length);
    raw += s.length;
  }
}

void EncodeFromRecord(const Key& key, const uint8_t* record, std::string* blob) {
  blob->clear();
  for (const Segment& s : key.segments) EncodeSegment(s, record + s.offset, blob);
}

void EncodeFromRaw(const Key& key, const uint8_t* raw, std::string* blob) {
  blob->clear();
  for (const Segment& s : key.segments) {
    EncodeSegment(s, raw, blob);
    raw += s.length;
  }
}

int64_t ReadAutoValue(const Key& key, const uint8_t* record) {
  const Segment& s = key.segments[0];
  if (s.length == 2) {
    int16_t v;
    memcpy(&v, record + s.offset, 2);
    return v;
  }
  int32_t v;
  memcpy(&v, record + s.offset, 4);
  return v;
}

void WriteAutoValue(const Key& key, int64_t value, uint8_t* record) {
  const Segment& s = key.segments[0];
  if (s.length == 2) {
    int16_t v = int16_t(value);
    memcpy(record + s.offset, &v, 2);
  } else {
    int32_t v = int32_t(value);
    memcpy(record + s.offset, &v, 4);
  }
}

int64_t DecodeAutoBlob(const Key& key, const std::string& blob) {
  const Segment& s = key.segments[0];
  if (blob.size() != s.length) return 0;
  std::string b = blob;
  if (s.descending)
    for (char& c : b) c = char(~c);
  b[0] = char(b[0] ^ 0x80);
  uint64_t u = 0;
  for (char c : b) u = (u << 8) | uint8_t(c);
  return s.length == 2 ? int64_t(int16_t(u)) : int64_t(int32_t(u));
}

}  // namespace recman
