#include "shell/TSDIDecFrame.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "frame/CommandEvent.h"
#include "frame/CommonKeys.h"
#include "frame/MenuTables.h"
#include "frame/Resources.h"
#include "shell/LockIndicators.h"

const QString TSDIDecFrame::ToolbarTitle = QStringLiteral("Pacequill Toolbar");

namespace {

const QString HintAreaName = QStringLiteral("Hints");

// Caption, system menu, minimise and close; no maximise button.
constexpr Qt::WindowFlags FrameFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                       Qt::WindowCloseButtonHint;

// The command a toolbar button carries is kept on the button too, for the hint filter.
const char *const ButtonCommandProperty = "pacequillCommand";

} // namespace

TSDIDecFrame::TSDIDecFrame(QWidget *client, CommandTarget *application)
    : QMainWindow(nullptr, FrameFlags), CommandChain(std::make_unique<CommandRouter>(this, application)) {
    setWindowIcon(Resources::Icon(Resources::IconGroup));
    setMinimumSize(InitialMinTrackSize);
    setMaximumSize(InitialMaxTrackSize);
    setCentralWidget(client);
    BuildMenus();
    BuildStatusBar();
    BuildToolbar();
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(thread())) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TSDIDecFrame::UpdateToolbar);
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TSDIDecFrame::ShowOpenMenuHint);
    }
    // A key is offered to the focus widget as a shortcut override before any shortcut matches it.
    QCoreApplication::instance()->installEventFilter(this);
}

TSDIDecFrame::~TSDIDecFrame() = default;

QRect TSDIDecFrame::CentredGeometry(QSize screenSize, QSize windowSize) {
    const QSize frame(windowSize.width(), windowSize.height() + ExtraHeight);
    const QSize size = frame.expandedTo(InitialMinTrackSize).boundedTo(InitialMaxTrackSize);
    return {CentredPosition(screenSize, frame), size};
}

QPoint TSDIDecFrame::CentredPosition(QSize screenSize, QSize outerSize) {
    // Integer division truncates toward zero, as the centring requires for windows larger than the screen.
    return {(screenSize.width() - outerSize.width()) / 2, (screenSize.height() - outerSize.height()) / 2};
}

void TSDIDecFrame::CentreAndFixSize() {
    resize(sizeHint());
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : size();
    const QRect geometry = CentredGeometry(screenSize, size());
    move(geometry.topLeft());
    resize(geometry.size());
    // From now on the border cannot change the size.
    setFixedSize(size());
    raise();
    AwaitingFrame = true;
    CentreByFrame();
}

bool TSDIDecFrame::CentreByFrame() {
    const QRect outer = frameGeometry();
    if (outer.size() == size())
        return false;
    AwaitingFrame = false;
    const QScreen *screen = QGuiApplication::primaryScreen();
    move(CentredPosition(screen ? screen->size() : outer.size(), outer.size()));
    return true;
}

QMenu *TSDIDecFrame::createPopupMenu() {
    return nullptr;
}

void TSDIDecFrame::SetCloseQuery(CloseQuery query) {
    QueryClose = std::move(query);
}

void TSDIDecFrame::UpdateToolbar() {
    CommandChain->UpdateActions(Toolbar->actions());
}

void TSDIDecFrame::closeEvent(QCloseEvent *event) {
    if (QueryClose && !QueryClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

bool TSDIDecFrame::event(QEvent *event) {
    const bool handled = QMainWindow::event(event);
    // The window manager answers the first showing with the frame's size and a move into place.
    if (AwaitingFrame &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::WindowActivate))
        CentreByFrame();
    return handled;
}

bool TSDIDecFrame::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *widget = qobject_cast<const QWidget *>(watched);
        const auto *bar = qobject_cast<const QMenuBar *>(widget);
        // The menu bar with an item highlighted (after a lone Alt) or an open menu has the keyboard: the keys are
        // its own, and no added key may act.
        if (widget && IsMenuOfFrame(widget) && (!bar || bar->activeAction())) {
            if (IsCommonKey(static_cast<const QKeyEvent *>(event)))
                event->accept();
        } else if (widget && widget->window() == this) {
            CommandChain->UpdateActions(KeyedActions);
        }
        return false;
    }
    // Toolbar buttons show their hint while the pointer is over them, docked or floating.
    if (event->type() == QEvent::Enter)
        ShowHint(watched->property(ButtonCommandProperty).toInt());
    else if (event->type() == QEvent::Leave)
        statusBar()->clearMessage();
    return false;
}

void TSDIDecFrame::ShowOpenMenuHint() {
    // A menu opened from the keyboard highlights its first item without telling, so the hint is also taken from
    // the open menu whenever it goes idle.
    const auto *menu = qobject_cast<const QMenu *>(QApplication::activePopupWidget());
    if (menu && IsMenuOfFrame(menu))
        ShowHint(CommandRouter::CommandOf(menu->activeAction()));
}

bool TSDIDecFrame::IsMenuOfFrame(const QWidget *widget) const {
    if (!qobject_cast<const QMenuBar *>(widget) && !qobject_cast<const QMenu *>(widget))
        return false;
    // A menu is a window of its own; its parents lead to the menu bar and the frame.
    for (; widget; widget = widget->parentWidget()) {
        if (widget == this)
            return true;
    }
    return false;
}

bool TSDIDecFrame::IsCommonKey(const QKeyEvent *key) const {
    // Enter on the keypad matches the key without its keypad flag, as shortcuts match it.
    const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    for (const QAction *action : KeyedActions) {
        if (action->shortcuts().contains(pressed))
            return true;
    }
    return false;
}

void TSDIDecFrame::BuildMenus() {
    for (const MenuTables::PopupMenu &popup : MenuTables::Menu100()) {
        QMenu *menu = menuBar()->addMenu(popup.Title);
        for (const MenuTables::MenuItem &item : popup.Items) {
            if (item.Command == 0) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(item.Text);
            CommandRouter::SetCommand(action, item.Command);
            action->setStatusTip(MenuTables::HintFor(item.Command));
            action->setEnabled(!item.Greyed);
            action->setShortcuts(CommonKeys::ForCommand(item.Command));
            if (!action->shortcuts().isEmpty())
                KeyedActions.append(action);
            const int command = item.Command;
            connect(action, &QAction::triggered, this, [command] { CommandEvent::Post(command); });
            MenuActions.insert(command, action);
        }
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { CommandChain->UpdateActions(menu->actions()); });
        connect(menu, &QMenu::hovered, this, [this](QAction *action) { ShowHint(CommandRouter::CommandOf(action)); });
        connect(menu, &QMenu::aboutToHide, statusBar(), &QStatusBar::clearMessage);
    }
}

void TSDIDecFrame::BuildToolbar() {
    Toolbar = new QToolBar(ToolbarTitle, this);
    Toolbar->setObjectName(ToolbarTitle);
    Toolbar->setAccessibleName(ToolbarTitle);
    Toolbar->setMovable(true);
    Toolbar->setFloatable(true);
    Toolbar->setIconSize(ToolbarIconSize);
    addToolBar(Qt::TopToolBarArea, Toolbar);
    for (const int command : MenuTables::ToolbarGadgets()) {
        if (command == 0) {
            Toolbar->addSeparator();
            continue;
        }
        auto *action = new QAction(QIcon(Resources::Bitmap(command)), MenuTables::ToolTipFor(command), Toolbar);
        CommandRouter::SetCommand(action, command);
        action->setToolTip(MenuTables::ToolTipFor(command));
        action->setStatusTip(MenuTables::HintFor(command));
        // Disabled until the first enabling pass.
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, [command] { CommandEvent::Post(command); });
        Toolbar->addAction(action);
        ToolbarActions.insert(command, action);
        if (QWidget *button = Toolbar->widgetForAction(action)) {
            button->setAccessibleName(MenuTables::ToolTipFor(command));
            button->setProperty(ButtonCommandProperty, command);
            button->installEventFilter(this);
        }
    }
}

void TSDIDecFrame::BuildStatusBar() {
    statusBar()->setSizeGripEnabled(false);
    // The hint area keeps one name; the hint it shows is its description, so screen readers hear it change.
    statusBar()->setAccessibleName(HintAreaName);
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(), &QWidget::setAccessibleDescription);
    LockState = new LockIndicators(statusBar());
}

void TSDIDecFrame::ShowHint(int command) {
    const QString hint = command ? MenuTables::HintFor(command) : QString();
    if (hint.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(hint);
}
