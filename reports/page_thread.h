// The threads that paint the pages of reports while the program builds the
// next: many reports printed into one PDF file take far less time on two
// cores. Each runs one task at a time and lives as long as the program, so
// the fonts it sets up for the printer are made once. There are two of
// them on a machine with two cores or more (lanes 0 and 1), else one.
//
// A task owns what it paints (a report handed over, a painter the program
// does not touch meanwhile); it must not show anything, as widgets belong
// to the program's main thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace talvera {

class PageThreads {
 public:
  static constexpr int kMaxLanes = 2;

  static PageThreads& Instance();

  // How many lanes paint at once here.
  int Lanes() const { return lanes_; }
  // Starts `task` in `lane`, which must be idle.
  void Start(int lane, std::function<void()> task);
  // Waits at most `timeout` for `lane` to be idle; true when it is, and
  // then all its task did is seen by the caller.
  bool WaitIdle(int lane, std::chrono::milliseconds timeout);
  // Waits at most `timeout` for any lane to be idle: that lane, the one of
  // `preferred` when both are, or -1.
  int WaitAnyIdle(int preferred, std::chrono::milliseconds timeout);

 private:
  PageThreads();
  void Loop(int lane);
  int IdleLane(int preferred) const;

  std::mutex mutex_;
  std::condition_variable wake_[kMaxLanes];
  std::condition_variable idle_;
  std::function<void()> task_[kMaxLanes];
  bool busy_[kMaxLanes] = {};
  bool running_[kMaxLanes] = {};
  int lanes_ = 1;
};

}  // namespace talvera
