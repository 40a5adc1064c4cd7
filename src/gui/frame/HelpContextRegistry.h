#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <optional>

// One entry of the help-context registry: a control of a window, or a menu item, and the help context that
// answers a help request for it.
struct THelpContext {
    QPointer<QWidget> Window;
    quint32 HelpContext = 0;
    int MenuItem = 0; // command number, 0 for none
    int Control = 0;  // control id, 0 for none
};

// The application's list of help contexts. Dialogs add their entries when they are built and remove them when
// they are destroyed; help requests for a control or a menu item are answered from it.
class HelpContextRegistry {
public:
    // The registry of the running program.
    static HelpContextRegistry &Application();

    void Add(QWidget *window, quint32 helpContext, int menuItem, int control);
    void RemoveWindow(const QWidget *window);

    // The first entry for the control id whose window is set and contains the control widget.
    std::optional<THelpContext> FindControl(int controlId, const QWidget *control) const;
    // The first entry for the menu item.
    std::optional<THelpContext> FindMenuItem(int command) const;

    const QList<THelpContext> &Entries() const { return Items; }

private:
    QList<THelpContext> Items;
};
