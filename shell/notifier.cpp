#include "shell/notifier.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/message.h"
#include "core/profile.h"

namespace talvera {
namespace {

constexpr int kMessageCannotStart = 545;
constexpr int kMessageNotDelivered = 546;

// The two manual-reset events of the hand-over between producer and worker.
class Event {
 public:
  explicit Event(bool set) : set_(set) {}
  void Set() {
    std::lock_guard<std::mutex> lock(m_);
    set_ = true;
    cv_.notify_all();
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(m_);
    set_ = false;
  }
  void Wait() {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [this] { return set_; });
  }
  bool WaitFor(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(m_);
    return cv_.wait_for(lock, limit, [this] { return set_; });
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool set_;
};

struct Notifier {
  unsigned char message[kNoticeSize] = {};
  std::mutex lock;
  Event ready{false};
  Event channelFree{true};
  std::atomic<bool> disabled{true};
  // A delivery failure seen by the worker; the user-interface thread shows
  // message 546 for it, since message boxes belong to that thread.
  std::atomic<bool> failureToReport{false};
  std::atomic<bool> workerDone{false};
  int receivers = 1;
  int toChild = -1;    // the notifier's standard input
  int fromChild = -1;  // its standard output
  pid_t child = -1;
  std::thread worker;
};

Notifier* g_notifier = nullptr;

std::chrono::milliseconds TimeLimit() {
  return std::chrono::milliseconds(3000 * (g_notifier ? g_notifier->receivers : 1));
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadByte(int fd) {
  unsigned char ack;
  ssize_t n;
  do {
    n = ::read(fd, &ack, 1);
  } while (n < 0 && errno == EINTR);
  return n == 1;
}

void Deliver(Notifier* n) {
  for (;;) {
    n->ready.Wait();
    unsigned char copy[kNoticeSize];
    {
      std::lock_guard<std::mutex> lock(n->lock);
      std::memcpy(copy, n->message, kNoticeSize);
      n->ready.Clear();
    }
    if (!WriteAll(n->toChild, copy, kNoticeSize)) {
      n->disabled = true;
      n->failureToReport = true;
    } else if (!ReadByte(n->fromChild)) {
      n->disabled = true;
    }
    n->channelFree.Set();
    if (copy[0] == 0 || n->disabled) {
      n->workerDone = true;
      return;
    }
  }
}

// Waits for the notifier to end after the stop message or the end of its
// input; one that does not is ended.
void EndChild(pid_t child, std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (::waitpid(child, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, nullptr, 0);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void ReportPendingFailure() {
  if (g_notifier && g_notifier->failureToReport.exchange(false))
    ShowMessage(kMessageNotDelivered);
}

std::string DefaultProgram() {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "zivaout";
  return (self.parent_path() / "zivaout").string();
}

// Starts the child with its standard input and output on two pipes.
bool StartChild(Notifier* n, const std::string& program) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return false;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    return false;
  }
  // Status pipe: closed by a successful exec, carries errno otherwise.
  int status[2];
  if (::pipe2(status, O_CLOEXEC) != 0) return false;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    int err = errno;
    ssize_t ignored = ::write(status[1], &err, sizeof err);
    (void)ignored;
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(status[1]);
  int err = 0;
  bool started = pid > 0 && ::read(status[0], &err, sizeof err) == 0;
  ::close(status[0]);
  if (!started) {
    if (pid > 0) ::waitpid(pid, nullptr, 0);
    ::close(in[1]);
    ::close(out[0]);
    return false;
  }
  n->child = pid;
  n->toChild = in[1];
  n->fromChild = out[0];
  return true;
}

}  // namespace

int NotifierReceiverCount() {
  std::error_code ec;
  int count = 0;
  for (std::filesystem::directory_iterator it(SettingsDirectory() + "/ZIVA_Out", ec), end;
       !ec && it != end; it.increment(ec))
    ++count;
  return count > 0 ? count : 1;
}

void StartNotifier(const std::string& program) {
  if (g_notifier) return;
  // A receiver that went away must not end the program through SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  g_notifier = new Notifier;
  g_notifier->receivers = NotifierReceiverCount();
  if (!StartChild(g_notifier, program.empty() ? DefaultProgram() : program)) {
    ShowMessage(kMessageCannotStart);
    return;
  }
  g_notifier->worker = std::thread(Deliver, g_notifier);
  g_notifier->disabled = false;
}

bool NotifierEnabled() { return g_notifier && !g_notifier->disabled; }

void Notify(int operation, int kind, const void* payload, std::size_t size) {
  ReportPendingFailure();
  if (!g_notifier || g_notifier->disabled) return;
  if (!g_notifier->channelFree.WaitFor(TimeLimit())) {
    g_notifier->disabled = true;
    ShowMessage(kMessageNotDelivered);
    return;
  }
  ReportPendingFailure();
  if (g_notifier->disabled) return;
  std::lock_guard<std::mutex> lock(g_notifier->lock);
  unsigned char* m = g_notifier->message;
  std::memset(m, 0, kNoticeSize);
  m[0] = 1;
  std::int32_t op = operation, k = kind;
  std::memcpy(m + 1, &op, 4);
  std::memcpy(m + 5, &k, 4);
  std::memcpy(m + 9, payload, size < kNoticePayloadSize ? size : kNoticePayloadSize);
  g_notifier->channelFree.Clear();
  g_notifier->ready.Set();
}

void StopNotifier() {
  Notifier* n = g_notifier;
  if (!n) return;
  if (n->worker.joinable()) {
    bool ended = n->workerDone;
    // After a time-out the channel is known to hang: no second wait, no second message.
    bool hanging = n->disabled && !ended;
    if (!ended && !hanging && n->channelFree.WaitFor(TimeLimit())) {
      {
        std::lock_guard<std::mutex> lock(n->lock);
        std::memset(n->message, 0, kNoticeSize);
        n->channelFree.Clear();
        n->ready.Set();
      }
      ended = n->channelFree.WaitFor(TimeLimit());
    }
    if (!ended) {
      // The receiver hangs: ending it makes the worker's blocked write or
      // read fail, and the worker returns.
      if (!hanging) ShowMessage(kMessageNotDelivered);
      n->disabled = true;
      ::kill(n->child, SIGKILL);
    }
    n->worker.join();
  }
  if (n->child > 0) {
    ::close(n->toChild);
    EndChild(n->child, TimeLimit());
    ::close(n->fromChild);
  }
  ReportPendingFailure();
  delete n;
  g_notifier = nullptr;
}

}  // namespace talvera
