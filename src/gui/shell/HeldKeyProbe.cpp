#include "shell/HeldKeyProbe.h"

#ifdef PACEQUILL_HAVE_XKB
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif

namespace HeldKeyProbe {

std::optional<bool> IsF1Down() {
#ifdef PACEQUILL_HAVE_XKB
    constexpr int BitsPerByte = 8;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    const KeyCode code = XKeysymToKeycode(display, XK_F1);
    if (code == 0)
        return std::nullopt;
    constexpr int KeymapBytes = 32; // one bit per key code, as XQueryKeymap fills it
    char keys[KeymapBytes] = {};
    XQueryKeymap(display, keys);
    return (keys[code / BitsPerByte] & (1 << (code % BitsPerByte))) != 0;
#else
    return std::nullopt;
#endif
}

} // namespace HeldKeyProbe
