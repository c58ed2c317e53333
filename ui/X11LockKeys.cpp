#include "ui/X11LockKeys.h"

#include <QGuiApplication>

#ifdef ZORVAN_HAVE_X11
// Last: the X11 headers define names (None, Bool, Status) that Qt's headers use otherwise.
#include <X11/XKBlib.h>
#endif

namespace zorvan {

std::optional<std::array<bool, 3>> ReadX11LockKeys() {
#ifdef ZORVAN_HAVE_X11
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return std::nullopt;
  // The indicators' names as the XKB keyboard descriptions give them.
  static const char* const kNames[3] = {"Caps Lock", "Num Lock", "Scroll Lock"};
  std::array<bool, 3> on{};
  for (int i = 0; i < 3; ++i) {
    const Atom name = XInternAtom(display, kNames[i], True);
    Bool state = False;
    if (name != None && XkbGetNamedIndicator(display, name, nullptr, &state, nullptr, nullptr))
      on[static_cast<size_t>(i)] = state != False;
  }
  return on;
#else
  return std::nullopt;
#endif
}

}  // namespace zorvan
