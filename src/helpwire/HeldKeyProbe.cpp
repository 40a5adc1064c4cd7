#include "helpwire/HeldKeyProbe.h"

#ifdef PACEQUILL_HAVE_XKB
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif

namespace HeldKeyProbe {

#ifdef PACEQUILL_HAVE_XKB
namespace {

constexpr int BitsPerByte = 8;
constexpr int KeymapBytes = 32; // one bit per key code, as XQueryKeymap fills it

Display *X11Display() {
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

bool IsDown(const char (&keys)[KeymapBytes], unsigned code) {
    return (keys[code / BitsPerByte] & (1 << (code % BitsPerByte))) != 0;
}

} // namespace
#endif

std::optional<bool> IsF1Down() {
#ifdef PACEQUILL_HAVE_XKB
    Display *display = X11Display();
    if (!display)
        return std::nullopt;
    const KeyCode code = XKeysymToKeycode(display, XK_F1);
    if (code == 0)
        return std::nullopt;
    char keys[KeymapBytes] = {};
    XQueryKeymap(display, keys);
    return IsDown(keys, code);
#else
    return std::nullopt;
#endif
}

QSet<quint32> HeldKeyCodes() {
    QSet<quint32> held;
#ifdef PACEQUILL_HAVE_XKB
    Display *display = X11Display();
    if (!display)
        return held;
    char keys[KeymapBytes] = {};
    XQueryKeymap(display, keys);
    for (unsigned code = 0; code < KeymapBytes * BitsPerByte; ++code) {
        if (IsDown(keys, code))
            held.insert(code);
    }
#endif
    return held;
}

} // namespace HeldKeyProbe
