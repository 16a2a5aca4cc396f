// An unnamed temporary file that a report puts what it cannot hold in
// memory into: written at its end, read anywhere. The file has no name, so
// it is gone with the process, even when the process is killed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace talvera {

// Where reports put their temporary files: TMPDIR, else /tmp.
std::string TemporaryDirectory();

class SpillFile {
 public:
  SpillFile() = default;
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;
  ~SpillFile() { Close(); }

  // Appends the bytes at the end (opening the file first) and tells where
  // they start; false when the file cannot be made or written.
  bool Append(const void* data, std::size_t size, std::int64_t* position);
  // Reads bytes written before; false when they cannot be read.
  bool Read(void* data, std::size_t size, std::int64_t position) const;
  bool IsOpen() const { return fd_ >= 0; }
  // Closes and so drops the file; the next Append opens a new one.
  void Close();
  // Exchanges the files of two reports.
  void Swap(SpillFile& other) noexcept {
    std::swap(fd_, other.fd_);
    std::swap(end_, other.end_);
  }

 private:
  int fd_ = -1;
  std::int64_t end_ = 0;
};

}  // namespace talvera
