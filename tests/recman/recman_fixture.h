// Shared helpers of the record-manager tests: a temporary directory per
// test, file definitions from a compact key description, and a record
// file wrapper around Call().
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "recman.h"

namespace recman_test {

using Bytes = std::vector<uint8_t>;

// A fresh directory, removed (after closing the record manager) at the end.
class TempDir {
 public:
  TempDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/recman-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    path_ = mkdtemp(buffer.data());
  }
  ~TempDir() {
    recman::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  // A subdirectory (created) standing for another year or the data root.
  std::string Sub(const std::string& name) const {
    std::string dir = path_ + "/" + name;
    std::filesystem::create_directories(dir);
    return dir;
  }

 private:
  std::string path_;
};

// One segment: 1-based position, length, type, flags (kDuplicates, kModifiable,
// kDescending; kExtendedType and kSegmented are added by Definition()).
struct Seg {
  uint16_t position;
  uint16_t length;
  uint8_t type;
  uint16_t flags = 0;
};
using KeyDef = std::vector<Seg>;

inline Bytes Definition(uint16_t recordLength, const std::vector<KeyDef>& keys) {
  recman::FilePart file{};
  file.recordLength = recordLength;
  file.pageSize = 2048;
  file.keyCount = uint16_t(keys.size());
  Bytes bytes(sizeof file);
  memcpy(bytes.data(), &file, sizeof file);
  for (const KeyDef& key : keys) {
    for (size_t i = 0; i < key.size(); ++i) {
      recman::KeyDefinition definition{};
      definition.position = key[i].position;
      definition.length = key[i].length;
      definition.flags = uint16_t(key[i].flags | recman::kExtendedType |
                            (i + 1 < key.size() ? recman::kSegmented : 0));
      definition.type = key[i].type;
      const auto* p = reinterpret_cast<const uint8_t*>(&definition);
      bytes.insert(bytes.end(), p, p + sizeof definition);
    }
  }
  return bytes;
}

inline int Create(const std::string& path, const Bytes& definition, bool overwrite = true) {
  Bytes data = definition;
  uint32_t length = uint32_t(data.size());
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  uint8_t block[recman::kPositionBlockSize] = {};
  return recman::Call(recman::kCreate, block, data.data(), &length, name.data(), 255,
                      overwrite ? 0 : -1);
}

inline int Begin() {
  uint32_t n = 0;
  return recman::Call(recman::kBeginTransaction, nullptr, nullptr, &n, nullptr, 0, 0);
}
inline int End() {
  uint32_t n = 0;
  return recman::Call(recman::kEndTransaction, nullptr, nullptr, &n, nullptr, 0, 0);
}
inline int Abort() {
  uint32_t n = 0;
  return recman::Call(recman::kAbortTransaction, nullptr, nullptr, &n, nullptr, 0, 0);
}

// An open record file with its own position block and key buffer.
class RecordFile {
 public:
  explicit RecordFile(const std::string& path, int mode = 0) {
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    uint32_t length = 0;
    openStatus = recman::Call(recman::kOpen, block, nullptr, &length, name.data(), 255,
                              int8_t(mode));
  }
  ~RecordFile() { Close(); }
  int Close() {
    uint32_t length = 0;
    return recman::Call(recman::kClose, block, nullptr, &length, key, 255, 0);
  }
  int Op(uint16_t op, Bytes* data, int keyNumber) {
    length = uint32_t(data->size());
    return recman::Call(op, block, data->data(), &length, key, 255, int8_t(keyNumber));
  }
  int Insert(Bytes* record, int keyNumber = 0) { return Op(recman::kInsert, record, keyNumber); }
  int Update(Bytes* record, int keyNumber = 0) { return Op(recman::kUpdate, record, keyNumber); }
  int Delete() {
    Bytes none;
    return Op(recman::kDelete, &none, 0);
  }
  // A keyed read: the key value is taken from keyValue (raw key bytes).
  int Get(uint16_t op, Bytes* record, int keyNumber, const Bytes& keyValue = {}) {
    if (!keyValue.empty()) memcpy(key, keyValue.data(), keyValue.size());
    return Op(op, record, keyNumber);
  }
  uint32_t Count() {
    Bytes stat(16 + 16 * 64);
    if (Op(recman::kStat, &stat, 0) != recman::kOk) return UINT32_MAX;
    recman::FilePart definition;
    memcpy(&definition, stat.data(), sizeof definition);
    return definition.recordCount;
  }

  int openStatus;
  uint8_t block[recman::kPositionBlockSize] = {};
  uint8_t key[256] = {};
  uint32_t length = 0;
};

template <typename T>
void Put(Bytes* record, size_t offset, T value) {
  memcpy(record->data() + offset, &value, sizeof value);
}
template <typename T>
T Take(const Bytes& record, size_t offset) {
  T value;
  memcpy(&value, record.data() + offset, sizeof value);
  return value;
}
inline void PutText(Bytes* record, size_t offset, const std::string& text) {
  memcpy(record->data() + offset, text.data(), text.size());
}

}  // namespace recman_test
