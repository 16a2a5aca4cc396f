#include "shell/lock_keys.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace talvera {

std::optional<LockKeys> ReadLockKeys() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return std::nullopt;
  Display* display = x11->display();
  unsigned state = 0;
  if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success) return std::nullopt;
  // The indicators are looked up by name: their bit numbers differ by keymap.
  auto lit = [&](const char* name) {
    Atom atom = XInternAtom(display, name, True);
    int index = -1;
    Bool on = False;
    if (atom == None || !XkbGetNamedIndicator(display, atom, &index, &on, nullptr, nullptr)) return false;
    return on == True;
  };
  return LockKeys{lit("Caps Lock"), lit("Num Lock"), lit("Scroll Lock")};
}

}  // namespace talvera
