// The state of the lock keys (Caps, Num and Scroll Lock) for the frame's
// status bar panes. Read from the X server's keyboard indicators; on other
// platforms (offscreen, Wayland) the state is not known.
#pragma once

#include <optional>

namespace talvera {

struct LockKeys {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

std::optional<LockKeys> ReadLockKeys();

}  // namespace talvera
