#include "reports/spill_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace talvera {
namespace {

int OpenUnnamedTemporaryFile() {
  std::string base = TemporaryDirectory();
  int fd = ::open(base.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  // File systems without unnamed files: a named one, removed at once.
  std::string path = base + "/talvera-report-XXXXXX";
  fd = ::mkostemp(path.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(path.c_str());
  return fd;
}

// pwrite or pread until all bytes are through.
template <typename Io, typename Byte>
bool Transfer(Io io, int fd, Byte* data, std::size_t size, std::int64_t position) {
  while (size > 0) {
    ssize_t n = io(fd, data, size, position);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
    position += n;
  }
  return true;
}

}  // namespace

std::string TemporaryDirectory() {
  const char* dir = std::getenv("TMPDIR");
  return dir && *dir ? dir : "/tmp";
}

bool SpillFile::Append(const void* data, std::size_t size, std::int64_t* position) {
  if (fd_ < 0) {
    fd_ = OpenUnnamedTemporaryFile();
    if (fd_ < 0) return false;
    end_ = 0;
  }
  if (!Transfer(::pwrite, fd_, static_cast<const char*>(data), size, end_)) return false;
  if (position) *position = end_;
  end_ += static_cast<std::int64_t>(size);
  return true;
}

bool SpillFile::Read(void* data, std::size_t size, std::int64_t position) const {
  return fd_ >= 0 && Transfer(::pread, fd_, static_cast<char*>(data), size, position);
}

void SpillFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  end_ = 0;
}

}  // namespace talvera
