#include "reports/page_thread.h"

#include <thread>
#include <utility>

namespace talvera {

PageThread& PageThread::Instance() {
  // Never destroyed: the thread waits for work until the program ends.
  static PageThread* thread = new PageThread;
  return *thread;
}

PageThread::PageThread() { std::thread([this] { Loop(); }).detach(); }

void PageThread::Start(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    task_ = std::move(task);
    busy_ = true;
  }
  wake_.notify_one();
}

bool PageThread::WaitIdle(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return idle_.wait_for(lock, timeout, [this] { return !busy_; });
}

void PageThread::Loop() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return busy_ && task_; });
      task = std::move(task_);
      task_ = nullptr;
    }
    task();
    task = nullptr;  // what the task held goes with it, before it counts as done
    {
      std::lock_guard<std::mutex> lock(mutex_);
      busy_ = false;
    }
    idle_.notify_all();
  }
}

}  // namespace talvera
