#include "writer_queue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <thread>

#include "recman.h"

namespace recman {
namespace {

constexpr const char* kTurnstile = "records.lck";
constexpr auto kPoll = std::chrono::microseconds(500);

struct flock WholeFile(short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 1;
  return lock;
}

// The turnstile file of a directory, kept open: a Begin costs one lock
// call, not an open and a close. Opened again when its file was removed
// (the directory deleted and made anew).
int TurnstileFile(const std::string& directory) {
  static std::map<std::string, int> files;
  int& fd = files[directory];
  struct stat st {};
  if (fd > 0 && (::fstat(fd, &st) != 0 || st.st_nlink == 0)) {
    ::close(fd);
    fd = 0;
  }
  if (fd <= 0) fd = ::open((directory + "/" + kTurnstile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  return fd;
}

bool SetLock(int fd, short type) {
  struct flock lock = WholeFile(type);
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Gives the turnstile back when the turn is over.
struct TurnOver {
  int fd;
  ~TurnOver() { SetLock(fd, F_UNLCK); }
};

}  // namespace

int InTurn(const std::string& directory, WaitClock::time_point deadline,
           const std::function<int()>& takeLock) {
  int fd = TurnstileFile(directory);
  if (fd < 0) return takeLock();
  while (!SetLock(fd, F_WRLCK)) {
    if (errno != EAGAIN && errno != EACCES) return takeLock();
    if (WaitClock::now() >= deadline) return kFileInUse;
    std::this_thread::sleep_for(kPoll);
  }
  TurnOver over{fd};
  return takeLock();
}

bool TurnstileTaken(const std::string& directory) {
  int fd = TurnstileFile(directory);
  if (fd < 0) return false;
  struct flock lock = WholeFile(F_WRLCK);
  return ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

}  // namespace recman
