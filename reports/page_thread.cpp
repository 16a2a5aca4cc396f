#include "reports/page_thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <thread>
#include <utility>

namespace talvera {

PageThreads& PageThreads::Instance() {
  // Never destroyed: the threads wait for work until the program ends.
  static PageThreads* threads = new PageThreads;
  return *threads;
}

PageThreads::PageThreads() : lanes_(std::thread::hardware_concurrency() >= 2 ? 2 : 1) {}

void PageThreads::Start(int lane, std::function<void()> task) {
  bool first = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    task_[lane] = std::move(task);
    busy_[lane] = true;
    first = !running_[lane];
    running_[lane] = true;
  }
  // A lane's thread is started by its first task.
  if (first) std::thread([this, lane] { Loop(lane); }).detach();
  wake_[lane].notify_one();
}

bool PageThreads::WaitIdle(int lane, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return idle_.wait_for(lock, timeout, [this, lane] { return !busy_[lane]; });
}

int PageThreads::IdleLane(int preferred) const {
  if (!busy_[preferred]) return preferred;
  for (int lane = 0; lane < lanes_; ++lane)
    if (!busy_[lane]) return lane;
  return -1;
}

int PageThreads::WaitAnyIdle(int preferred, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  int lane = -1;
  idle_.wait_for(lock, timeout, [&] { return (lane = IdleLane(preferred)) >= 0; });
  return lane;
}

void PageThreads::Loop(int lane) {
  // The program's thread builds what is painted here and keeps the screen
  // answering; painting takes the time it leaves.
  setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 5);
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_[lane].wait(lock, [this, lane] { return busy_[lane] && task_[lane]; });
      task = std::move(task_[lane]);
      task_[lane] = nullptr;
    }
    task();
    task = nullptr;  // what the task held goes with it, before it counts as done
    {
      std::lock_guard<std::mutex> lock(mutex_);
      busy_[lane] = false;
    }
    idle_.notify_all();
  }
}

}  // namespace talvera
