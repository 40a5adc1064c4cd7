#include "frame/ContextHelp.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "frame/CommandEvent.h"
#include "frame/CommandRouter.h"
#include "frame/HelpClient.h"
#include "frame/HelpContextRegistry.h"
#include "frame/Resources.h"

const QString ContextHelp::MenuHelpFile = QStringLiteral("pacequill.hlp");
const QString ContextHelp::PopupHelpFile = QStringLiteral(".\\pacequill.hlp");

namespace {

ContextHelp *Installed = nullptr;

bool IsKey(const QEvent *event, Qt::Key key) {
    return static_cast<const QKeyEvent *>(event)->key() == key;
}

// A control's id is its object name; widgets without a numeric name are parts of a control or decoration.
std::optional<int> ControlId(const QWidget *widget) {
    bool isNumber = false;
    const int id = widget->objectName().toInt(&isNumber);
    return isNumber ? std::optional<int>(id) : std::nullopt;
}

// The registry entry of the control that the widget is or belongs to.
std::optional<THelpContext> FindControlEntry(const QWidget *widget) {
    for (const QWidget *w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        if (const std::optional<int> id = ControlId(w)) {
            if (std::optional<THelpContext> entry = HelpContextRegistry::Application().FindControl(*id, w))
                return entry;
        }
    }
    return std::nullopt;
}

} // namespace

ContextHelp::ContextHelp(HelpClient &help, MainWindowGetter mainWindow, F1Probe f1Probe)
    : Help(help), MainWindow(std::move(mainWindow)), ProbeF1(std::move(f1Probe)) {
    Installed = this;
}

ContextHelp::~ContextHelp() {
    RestoreCursor();
    if (Installed == this)
        Installed = nullptr;
}

ContextHelp *ContextHelp::Application() {
    return Installed;
}

HelpClient &ContextHelp::ApplicationClient() {
    static NullHelpClient refuseAll;
    return Installed ? Installed->Help : static_cast<HelpClient &>(refuseAll);
}

bool ContextHelp::Preprocess(QObject *receiver, QEvent *event) {
    TrackF1(event);
    if (AnswerWhatsThis(receiver, event))
        return true;
    // A modal dialog or an open menu runs its own loop in the toolkit this program's help keys come from, so the
    // main window's help keys do not apply there.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return PreprocessDialogLoop(receiver, event);
    return PreprocessMainLoop(event);
}

bool ContextHelp::PreprocessMainLoop(QEvent *event) {
    const QEvent::Type type = event->type();
    if (type == CommandEvent::EventType()) {
        if (!ContextHelpMode && !IsF1Held())
            return false;
        LeaveMode();
        Help.Request(MainWindow(), MenuHelpFile, HelpClient::Command::ContextPopup,
                     static_cast<quint32>(static_cast<const CommandEvent *>(event)->Command()));
        return true;
    }
    if (type == QEvent::KeyPress && IsKey(event, Qt::Key_F1)) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (key->modifiers() & Qt::ShiftModifier)
            EnterMode();
        else if (!key->isAutoRepeat()) // holding F1 down asks once
            Help.Request(MainWindow(), MenuHelpFile, HelpClient::Command::HelpTopics);
        return true;
    }
    if (type == QEvent::KeyPress && IsKey(event, Qt::Key_Escape)) {
        if (ContextHelpMode) {
            HelpCursor.reset();
            LeaveMode();
        }
        // After a lone Alt the menu bar has the keyboard, and Escape is how the user leaves it; no other window
        // of the main loop gets Escape. The key comes to the window first and then to the focus widget, so the
        // focus tells, not the receiver.
        return !qobject_cast<const QMenuBar *>(QApplication::focusWidget());
    }
    if ((type == QEvent::MouseMove || type == QEvent::HoverMove) && ContextHelpMode) {
        ShowHelpCursor();
        return true;
    }
    return false;
}

bool ContextHelp::PreprocessDialogLoop(QObject *receiver, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !IsKey(event, Qt::Key_F1) ||
        (static_cast<const QKeyEvent *>(event)->modifiers() & Qt::ShiftModifier))
        return false;
    // A held F1 asks once; its repeats would show the pop-up again and again.
    if (static_cast<const QKeyEvent *>(event)->isAutoRepeat())
        return true;
    if (const auto *menu = qobject_cast<const QMenu *>(QApplication::activePopupWidget())) {
        if (menu->activeAction())
            RequestMenuItemHelp(CommandRouter::CommandOf(menu->activeAction()));
        return true;
    }
    // Key events go to the focus widget.
    const auto *focus = qobject_cast<const QWidget *>(receiver);
    RequestControlHelp(focus ? focus : QApplication::focusWidget());
    return true;
}

bool ContextHelp::AnswerWhatsThis(QObject *receiver, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::WhatsThis && type != QEvent::QueryWhatsThis)
        return false;
    const auto *widget = qobject_cast<const QWidget *>(receiver);
    if (!widget)
        return false;
    if (type == QEvent::QueryWhatsThis) {
        // Tells the What's This mode that a click here has something to show.
        if (!FindControlEntry(widget))
            return false;
        event->accept();
        return true;
    }
    return RequestControlHelp(widget);
}

bool ContextHelp::RequestControlHelp(const QWidget *widget) {
    const std::optional<THelpContext> entry = FindControlEntry(widget);
    if (!entry)
        return false;
    ShowContextPopup(entry->Window, entry->HelpContext);
    return true;
}

bool ContextHelp::RequestMenuItemHelp(int command) {
    const std::optional<THelpContext> entry = HelpContextRegistry::Application().FindMenuItem(command);
    if (!entry)
        return false;
    ShowContextPopup(entry->Window, entry->HelpContext);
    return true;
}

void ContextHelp::ShowContextPopup(const QWidget *, quint32 context) {
    Help.Request(MainWindow(), PopupHelpFile, HelpClient::Command::ContextPopup, context);
}

void ContextHelp::TrackF1(QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (IsKey(event, Qt::Key_F1))
            F1SeenDown = true;
        break;
    case QEvent::KeyRelease:
        if (IsKey(event, Qt::Key_F1) && !static_cast<const QKeyEvent *>(event)->isAutoRepeat())
            F1SeenDown = false;
        break;
    case QEvent::ApplicationDeactivate:
        // The release may go to another program (F1 often opens the help viewer).
        F1SeenDown = false;
        break;
    default:
        break;
    }
}

bool ContextHelp::IsF1Held() const {
    if (ProbeF1) {
        if (const std::optional<bool> down = ProbeF1())
            return *down;
    }
    return F1SeenDown;
}

void ContextHelp::EnterMode() {
    ContextHelpMode = true;
    HelpCursor.reset();
    HelpCursor = Resources::Cursor(Resources::HelpCursor);
    ShowHelpCursor();
}

void ContextHelp::LeaveMode() {
    ContextHelpMode = false;
    RestoreCursor();
}

void ContextHelp::ShowHelpCursor() {
    if (!HelpCursor)
        return;
    if (CursorOverridden)
        QApplication::changeOverrideCursor(*HelpCursor);
    else
        QApplication::setOverrideCursor(*HelpCursor);
    CursorOverridden = true;
}

void ContextHelp::RestoreCursor() {
    if (!CursorOverridden)
        return;
    QApplication::restoreOverrideCursor();
    CursorOverridden = false;
}
