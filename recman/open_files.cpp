#include "open_files.h"

#include <cstring>

namespace recman {
namespace {

constexpr char kMagic[4] = {'T', 'R', 'M', 'P'};

}  // namespace

std::mutex& RecmanMutex() {
  static std::mutex mutex;
  return mutex;
}

OpenFiles& OpenFiles::Instance() {
  static OpenFiles instance;
  return instance;
}

void OpenFiles::Add(Handle handle, void* positionBlock) {
  uint64_t serial = nextSerial_++;
  handles_[serial] = std::move(handle);
  auto* block = static_cast<uint8_t*>(positionBlock);
  memset(block, 0, kPositionBlockSize);
  memcpy(block, kMagic, sizeof kMagic);
  memcpy(block + sizeof kMagic, &serial, sizeof serial);
}

Handle* OpenFiles::Find(const void* positionBlock) {
  const auto* block = static_cast<const uint8_t*>(positionBlock);
  if (!block || memcmp(block, kMagic, sizeof kMagic) != 0) return nullptr;
  uint64_t serial;
  memcpy(&serial, block + sizeof kMagic, sizeof serial);
  auto found = handles_.find(serial);
  return found == handles_.end() ? nullptr : &found->second;
}

void OpenFiles::Remove(void* positionBlock) {
  auto* block = static_cast<uint8_t*>(positionBlock);
  uint64_t serial;
  memcpy(&serial, block + sizeof kMagic, sizeof serial);
  handles_.erase(serial);
  memset(block, 0, kPositionBlockSize);
}

bool OpenFiles::IsOpen(const std::string& directory, const std::string& name) const {
  for (const auto& [serial, handle] : handles_)
    if (handle.directory == directory && handle.name == name) return true;
  return false;
}

bool OpenFiles::AnyOpen(const std::string* directory) const {
  for (const auto& [serial, handle] : handles_)
    if (!directory || handle.directory == *directory) return true;
  return false;
}

std::vector<std::string> OpenFiles::Directories() const {
  std::vector<std::string> directories;
  for (const auto& [serial, handle] : handles_) directories.push_back(handle.directory);
  return directories;
}

int OpenFiles::Resolve(Handle* handle) {
  Database& db = Database::Instance();
  if (handle->file && handle->generation == db.Generation()) return kOk;
  handle->file = nullptr;
  if (int status = db.ExistingFile(handle->directory, handle->name, &handle->file)) return status;
  handle->generation = db.Generation();
  return kOk;
}

}  // namespace recman
