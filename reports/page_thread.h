// A thread that paints the pages of one report while the program builds the
// next: many reports printed into one PDF file take half the time on two
// cores. It runs one task at a time and lives as long as the program, so
// the fonts it sets up for the printer are made once.
//
// The task owns what it paints (a report handed over, a painter the
// program does not touch meanwhile); it must not show anything, as widgets
// belong to the program's main thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace talvera {

class PageThread {
 public:
  static PageThread& Instance();

  // Starts `task`; the thread must be idle (WaitIdle returned true).
  void Start(std::function<void()> task);
  // Waits at most `timeout` for the task to end; true when the thread is
  // idle, and then all the task did is seen by the caller.
  bool WaitIdle(std::chrono::milliseconds timeout);

 private:
  PageThread();
  void Loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::function<void()> task_;
  bool busy_ = false;
};

}  // namespace talvera
