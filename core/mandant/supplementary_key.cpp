#include "core/mandant/supplementary_key.h"

#include <cstring>
#include <vector>

#include "core/record_store.h"
#include "recman/recman.h"

namespace talvera {
namespace {

constexpr int kMaxSegments = 119;

// A single-segment key: neither it nor the segment before it continues.
bool HasSingleSegmentKey(const unsigned char* stat, int segments, int position, int length) {
  bool continued = false;
  for (int i = 0; i < segments; ++i) {
    recman::KeyDefinition k;
    std::memcpy(&k, stat + sizeof(recman::FilePart) + i * sizeof k, sizeof k);
    bool continues = k.flags & recman::kSegmented;
    if (!continued && !continues && k.position == position && k.length == length) return true;
    continued = continues;
  }
  return false;
}

class OpenedFile {
 public:
  explicit OpenedFile(const std::string& path) {
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    std::uint32_t length = 0;
    status_ = recman::Call(recman::kOpen, block_, nullptr, &length, name.data(),
                           recman::kMaxKeyLength, 0);
  }
  ~OpenedFile() {
    std::uint32_t length = 0;
    recman::Call(recman::kClose, block_, nullptr, &length, key_, recman::kMaxKeyLength, 0);
  }
  int status() const { return status_; }
  int Call(int op, void* data, std::uint32_t length) {
    return recman::Call(static_cast<std::uint16_t>(op), block_, data, &length, key_,
                        recman::kMaxKeyLength, 0);
  }

 private:
  unsigned char block_[recman::kPositionBlockSize] = {};
  char key_[recman::kMaxKeyLength + 1] = {};
  int status_;
};

}  // namespace

bool AddSupplementaryKey(const std::string& path, int position, int length) {
  OpenedFile file(path);
  if (file.status() != recman::kOk) {
    ReportDatabaseStatus(file.status());
    return false;
  }
  unsigned char stat[sizeof(recman::FilePart) + kMaxSegments * sizeof(recman::KeyDefinition)] = {};
  int status = file.Call(recman::kStat, stat, sizeof stat);
  if (status != recman::kOk) {
    ReportDatabaseStatus(status);
    return false;
  }
  recman::FilePart definition;
  std::memcpy(&definition, stat, sizeof definition);
  // The stat buffer holds one key part per segment; count them by the flags.
  int segments = 0;
  for (int key = 0; key < definition.keyCount && segments < kMaxSegments; ++segments) {
    recman::KeyDefinition k;
    std::memcpy(&k, stat + sizeof definition + segments * sizeof k, sizeof k);
    if (!(k.flags & recman::kSegmented)) ++key;
  }
  if (HasSingleSegmentKey(stat, segments, position, length)) return true;
  recman::KeyDefinition key{};
  key.position = static_cast<std::uint16_t>(position);
  key.length = static_cast<std::uint16_t>(length);
  key.flags = recman::kDuplicates | recman::kModifiable | recman::kExtendedType;
  key.type = recman::kString;
  status = file.Call(recman::kCreateSupplementalIndex, &key, sizeof key);
  if (status != recman::kOk) {
    ReportDatabaseStatus(status);
    return false;
  }
  return true;
}

}  // namespace talvera
