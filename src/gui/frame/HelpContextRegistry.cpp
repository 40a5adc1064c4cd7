#include "frame/HelpContextRegistry.h"

HelpContextRegistry &HelpContextRegistry::Application() {
    static HelpContextRegistry registry;
    return registry;
}

void HelpContextRegistry::Add(QWidget *window, quint32 helpContext, int menuItem, int control) {
    Items.append(THelpContext{window, helpContext, menuItem, control});
}

void HelpContextRegistry::RemoveWindow(const QWidget *window) {
    Items.removeIf([window](const THelpContext &entry) { return entry.Window == window || entry.Window.isNull(); });
}

std::optional<THelpContext> HelpContextRegistry::FindControl(int controlId, const QWidget *control) const {
    for (const THelpContext &entry : Items) {
        if (entry.Control == controlId && entry.Window && control && entry.Window->isAncestorOf(control))
            return entry;
    }
    return std::nullopt;
}

std::optional<THelpContext> HelpContextRegistry::FindMenuItem(int command) const {
    for (const THelpContext &entry : Items) {
        if (entry.MenuItem == command && command != 0)
            return entry;
    }
    return std::nullopt;
}
