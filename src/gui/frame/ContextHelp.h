#pragma once

#include <QCursor>
#include <QString>

#include <functional>
#include <optional>

class HelpClient;
class QEvent;
class QObject;
class QWidget;

// The help keys and the context-help mode of the main event loop, and the answers to help requests for the
// controls and menu items that dialogs register. The application hands it every event before any widget sees it.
//
// In the main window: F1 opens the help topics, Shift+F1 enters the context-help mode with the help cursor, and
// the next command then shows its help pop-up instead of running (as does a command chosen while F1 is held);
// Escape leaves the mode and reaches no window but the menu bar, which it takes out of its keyboard mode. Inside a
// modal dialog or a menu the keys keep their usual meaning, except that F1 and What's This ask for the help of the
// control (or menu item) they point at.
class ContextHelp {
public:
    using MainWindowGetter = std::function<QWidget *()>;
    // Whether F1 is held at this moment; nothing when the system cannot tell.
    using F1Probe = std::function<std::optional<bool>()>;

    // The help file of the Help menu, the F1 key and command pop-ups, and the one of control pop-ups.
    static const QString MenuHelpFile;
    static const QString PopupHelpFile;

    ContextHelp(HelpClient &help, MainWindowGetter mainWindow, F1Probe f1Probe);
    ~ContextHelp();
    ContextHelp(const ContextHelp &) = delete;
    ContextHelp &operator=(const ContextHelp &) = delete;

    // The running program's context help, or nullptr when there is none (a dialog tested on its own).
    static ContextHelp *Application();
    // Where dialogs send their help requests: the running program's help client, or one that accepts nothing.
    static HelpClient &ApplicationClient();

    // True consumes the event.
    bool Preprocess(QObject *receiver, QEvent *event);

    // Answers a help request for a control (or a child of one) from the registry; false when nothing matches.
    bool RequestControlHelp(const QWidget *widget);
    bool RequestMenuItemHelp(int command);
    // Shows the help context as a pop-up owned by the main window; the window that asked is not used.
    void ShowContextPopup(const QWidget *window, quint32 context);

    HelpClient &Client() const { return Help; }
    bool IsContextHelpMode() const { return ContextHelpMode; }
    const std::optional<QCursor> &GetHelpCursor() const { return HelpCursor; }

private:
    bool PreprocessMainLoop(QEvent *event);
    bool PreprocessDialogLoop(QObject *receiver, QEvent *event);
    bool AnswerWhatsThis(QObject *receiver, QEvent *event);
    void TrackF1(QEvent *event);
    bool IsF1Held() const;
    void EnterMode();
    void LeaveMode();
    void ShowHelpCursor();
    void RestoreCursor();

    HelpClient &Help;
    MainWindowGetter MainWindow;
    F1Probe ProbeF1;
    bool ContextHelpMode = false;
    std::optional<QCursor> HelpCursor;
    bool CursorOverridden = false;
    // F1 as this program's windows last saw it, for displays that cannot be asked.
    bool F1SeenDown = false;
};
