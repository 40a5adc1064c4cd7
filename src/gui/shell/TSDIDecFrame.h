#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>

#include "frame/CommandRouter.h"

class CommandTarget;
class LockIndicators;
class QAction;
class QKeyEvent;
class QMenu;
class QToolBar;

// The main window: the document client in the middle, menu 100 above it, the dockable "Pacequill Toolbar" and
// the status bar with hints and lock indicators. It centres itself once and then keeps its size fixed; it has
// no maximise button. Its commands are carried out by the client and the application.
class TSDIDecFrame : public QMainWindow {
    Q_OBJECT
public:
    using CloseQuery = std::function<bool()>;

    static const QString ToolbarTitle;
    static constexpr QSize InitialMinTrackSize{100, 100};
    static constexpr QSize InitialMaxTrackSize{900, 600};
    // Added to the height of the window that fits the client.
    static constexpr int ExtraHeight = 60;
    static constexpr QSize ToolbarIconSize{20, 20};

    // client becomes the central widget; application is the last target of the command chain (may be null).
    TSDIDecFrame(QWidget *client, CommandTarget *application);
    ~TSDIDecFrame() override;

    // The window for a frame of windowSize on a screen of screenSize: the height grows by 60, the window is
    // centred (truncating toward zero, so it may be negative), then clamped to the initial track sizes while the
    // position stays.
    static QRect CentredGeometry(QSize screenSize, QSize windowSize);
    // Where a window whose outer frame is outerSize stands centred on a screen of screenSize, truncating toward zero.
    static QPoint CentredPosition(QSize screenSize, QSize outerSize);
    // Sizes the window to fit its client, centres it on the primary screen and fixes its size. The window manager
    // adds its frame only once the window is shown; the window is then centred again by that outer frame.
    void CentreAndFixSize();

    // Qt's own menu for hiding tool bars: off, since nothing in the program offers to hide them.
    QMenu *createPopupMenu() override;

    // Asked when the window is about to close; without one the window always closes.
    void SetCloseQuery(CloseQuery query);

    const CommandRouter &Router() const { return *CommandChain; }
    QAction *MenuAction(int command) const { return MenuActions.value(command); }
    QAction *ToolbarAction(int command) const { return ToolbarActions.value(command); }
    QToolBar *DockHost() const { return Toolbar; }
    LockIndicators *Indicators() const { return LockState; }

    // One enabling pass over the toolbar; it runs whenever the event loop goes idle.
    void UpdateToolbar();

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void ShowHint(int command);
    // Shows the hint of the highlighted item of the frame's open menu, if one is open.
    void ShowOpenMenuHint();
    // Whether the widget is the menu bar or one of the frame's menus.
    bool IsMenuOfFrame(const QWidget *widget) const;
    // Whether the key is one of the keys the menu commands take beyond the menus' own.
    bool IsCommonKey(const QKeyEvent *key) const;
    // Centres the window by its outer frame once the window manager has given it one; true when it has.
    bool CentreByFrame();

    std::unique_ptr<CommandRouter> CommandChain;
    CloseQuery QueryClose;
    QHash<int, QAction *> MenuActions;
    QHash<int, QAction *> ToolbarActions;
    // Menu actions that have keys: they are enabled before a key can fire them, not only when their menu opens.
    QList<QAction *> KeyedActions;
    bool AwaitingFrame = false;
    QToolBar *Toolbar = nullptr;
    LockIndicators *LockState = nullptr;
};
