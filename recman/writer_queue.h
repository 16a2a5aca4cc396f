// Writers of one directory take their turn in the order they come.
//
// SQLite gives a write lock to whoever asks first after it is free: a
// waiting process sleeps between its tries, while the process that just
// committed asks again at once and mostly wins, so one workstation could
// post three times as much as another and keep it waiting for seconds.
// Before a write lock is taken, the writer therefore passes the
// directory's turnstile (an advisory lock on records.lck), holding it
// until it has the write lock: a process that comes later, the one that
// just committed included, queues behind it.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace recman {

using WaitClock = std::chrono::steady_clock;

// Runs takeLock (which takes the directory's SQLite write lock) in the
// directory's turn. kFileInUse when the turn does not come before the
// deadline; otherwise what takeLock returns. Without a turnstile (a
// directory that cannot hold records.lck) takeLock runs at once.
int InTurn(const std::string& directory, WaitClock::time_point deadline,
           const std::function<int()>& takeLock);

// Whether another process waits at or passes the directory's turnstile now.
bool TurnstileTaken(const std::string& directory);

}  // namespace recman
