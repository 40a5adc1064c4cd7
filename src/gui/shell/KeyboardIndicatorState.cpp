#include "shell/KeyboardIndicatorState.h"

#ifdef PACEQUILL_HAVE_XKB
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
#endif

namespace KeyboardIndicatorState {

std::optional<bool> Read([[maybe_unused]] const char *xkbName) {
#ifdef PACEQUILL_HAVE_XKB
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    const Atom name = XInternAtom(display, xkbName, True);
    Bool on = False;
    if (name == None || !XkbGetNamedIndicator(display, name, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on == True;
#else
    return std::nullopt;
#endif
}

} // namespace KeyboardIndicatorState
