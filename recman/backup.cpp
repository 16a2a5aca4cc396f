// SaveFile/LoadFile: one record file as a standalone backup file.
//
//  off  width  meaning
//   0    8     magic "TLVRREC1"
//   8    4     size S of the definition (FilePart + key definitions)
//  12    8     number of records N
//  20    S     definition
//  20+S  N*L   records in insertion order (L = record length), which keeps
//              the order of duplicates on reloading
//  end   4     CRC-32 of everything before
// All integers little-endian.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

#include "durable_files.h"
#include "file_ops.h"
#include "open_files.h"
#include "savepoint.h"

namespace recman {
namespace {

constexpr char kMagic[8] = {'T', 'L', 'V', 'R', 'R', 'E', 'C', '1'};
constexpr size_t kHeaderSize = 20;

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xffffffffu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

template <typename T>
void Append(std::vector<uint8_t>* out, T value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  out->insert(out->end(), bytes, bytes + sizeof value);
}

int ReadAllRecords(FileState* file, std::vector<uint8_t>* out, uint64_t* count) {
  sqlite3_stmt* query = nullptr;
  std::string sql = "SELECT data FROM " + file->qualified + " ORDER BY id";
  int rc = sqlite3_prepare_v2(Database::Instance().Handle(), sql.c_str(), -1, &query, nullptr);
  while (rc == SQLITE_OK && (rc = sqlite3_step(query)) == SQLITE_ROW) {
    if (sqlite3_column_bytes(query, 0) != file->layout.recordLength) {
      rc = SQLITE_CORRUPT;
      break;
    }
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(query, 0));
    out->insert(out->end(), data, data + file->layout.recordLength);
    ++*count;
    rc = SQLITE_OK;
  }
  sqlite3_finalize(query);
  return rc == SQLITE_DONE ? kOk : StatusOf(rc, false);
}

// Writes to a temporary name first, so an interrupted save never leaves a
// truncated backup under the real name.
int WriteDurably(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temporary = path + ".tmp";
  FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) return kIoError;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  ok = std::fflush(out) == 0 && ok;
  ok = fsync(fileno(out)) == 0 && ok;
  ok = std::fclose(out) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return kIoError;
  }
  // Until its directory is synced, a power cut may still lose the rename.
  return SyncParentDirectory(path) ? kOk : kIoError;
}

int ReadStandalone(const std::string& path, std::vector<uint8_t>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return kFileNotFound;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes->size() < kHeaderSize + 4 || memcmp(bytes->data(), kMagic, 8) != 0) return kNotAFile;
  uint32_t crc;
  memcpy(&crc, bytes->data() + bytes->size() - 4, 4);
  if (Crc32(bytes->data(), bytes->size() - 4) != crc) return kNotAFile;
  return kOk;
}

struct Standalone {
  Layout layout;
  std::vector<uint8_t> definition;
  uint64_t count = 0;
  const uint8_t* records = nullptr;
};

int ParseStandalone(const std::vector<uint8_t>& bytes, Standalone* out) {
  uint32_t definitionSize;
  memcpy(&definitionSize, bytes.data() + 8, 4);
  memcpy(&out->count, bytes.data() + 12, 8);
  size_t body = bytes.size() - kHeaderSize - 4;
  if (definitionSize > body) return kNotAFile;
  out->definition.assign(bytes.data() + kHeaderSize, bytes.data() + kHeaderSize + definitionSize);
  if (ParseLayout(out->definition.data(), out->definition.size(), &out->layout)) return kNotAFile;
  if (out->count != (body - definitionSize) / out->layout.recordLength ||
      (body - definitionSize) % out->layout.recordLength)
    return kNotAFile;
  out->records = bytes.data() + kHeaderSize + definitionSize;
  return kOk;
}

int InsertAll(const std::string& path, const Standalone& saved) {
  std::string directory, name;
  if (int status = SplitPath(path, &directory, &name)) return status;
  Database& db = Database::Instance();
  Directory* dir = nullptr;
  if (int status = db.Use(directory, true, &dir)) return status;
  if (OpenFiles::Instance().IsOpen(directory, name)) return kFileInUse;
  Savepoint savepoint({dir});
  if (savepoint.status()) return savepoint.status();
  if (int status = CreateFile(path, saved.definition.data(), saved.definition.size(), true)) return status;
  FileState* file = nullptr;
  if (int status = db.File(dir, name, &file)) return status;
  std::vector<uint8_t> record(saved.layout.recordLength);
  Position inserted;
  for (uint64_t i = 0; i < saved.count; ++i) {
    memcpy(record.data(), saved.records + i * record.size(), record.size());
    if (int status = InsertRow(db.Handle(), file, 0, record.data(), false, &inserted))
      return status;
  }
  return savepoint.Release();
}

}  // namespace

int SaveFile(const std::string& path, const std::string& standalonePath) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    std::string directory, name;
    if (int status = SplitPath(path, &directory, &name)) return status;
    FileState* file = nullptr;
    if (int status = Database::Instance().ExistingFile(directory, name, &file)) return status;
    std::vector<uint8_t> records;
    uint64_t count = 0;
    if (int status = ReadAllRecords(file, &records, &count)) return status;
    std::vector<uint8_t> definition = DefinitionBytes(file->layout, 0), bytes(kMagic, kMagic + 8);
    Append(&bytes, uint32_t(definition.size()));
    Append(&bytes, count);
    bytes.insert(bytes.end(), definition.begin(), definition.end());
    bytes.insert(bytes.end(), records.begin(), records.end());
    Append(&bytes, Crc32(bytes.data(), bytes.size()));
    return WriteDurably(standalonePath, bytes);
  } catch (...) {
    return kIoError;
  }
}

int LoadFile(const std::string& path, const std::string& standalonePath) {
  std::lock_guard<std::mutex> lock(RecmanMutex());
  try {
    std::vector<uint8_t> bytes;
    if (int status = ReadStandalone(standalonePath, &bytes)) return status;
    Standalone saved;
    if (int status = ParseStandalone(bytes, &saved)) return status;
    return InsertAll(path, saved);
  } catch (...) {
    return kIoError;
  }
}

}  // namespace recman
