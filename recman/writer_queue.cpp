#include "writer_queue.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

// The turnstile file, closed (and so its lock given back) on destruction.
class Turnstile {
 public:
  explicit Turnstile(const std::string& directory)
      : fd_(::open((directory + "/" + kTurnstile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {}
  ~Turnstile() {
    if (fd_ >= 0) ::close(fd_);
  }
  Turnstile(const Turnstile&) = delete;
  Turnstile& operator=(const Turnstile&) = delete;
  bool usable() const { return fd_ >= 0; }
  // One try; false while another process has it.
  bool TryTake() {
    struct flock lock = WholeFile(F_WRLCK);
    return ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
  }
  bool TakenElsewhere() {
    struct flock lock = WholeFile(F_WRLCK);
    return ::fcntl(fd_, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
  }

 private:
  int fd_;
};

}  // namespace

int InTurn(const std::string& directory, WaitClock::time_point deadline,
           const std::function<int()>& takeLock) {
  Turnstile turnstile(directory);
  if (!turnstile.usable()) return takeLock();
  while (!turnstile.TryTake()) {
    if (errno != EAGAIN && errno != EACCES) return takeLock();
    if (WaitClock::now() >= deadline) return kFileInUse;
    std::this_thread::sleep_for(kPoll);
  }
  return takeLock();
}

bool TurnstileTaken(const std::string& directory) {
  Turnstile turnstile(directory);
  return turnstile.usable() && turnstile.TakenElsewhere();
}

}  // namespace recman
