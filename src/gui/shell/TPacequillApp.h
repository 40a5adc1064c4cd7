#pragma once

#include <QApplication>
#include <QCursor>
#include <QString>

#include <memory>
#include <optional>

#include "frame/CommandTarget.h"
#include "frame/HelpClient.h"
#include "frame/ProgramName.h"

class ContextHelp;
class QToolBar;
class TPacequillDlgClient;
class TSDIDecFrame;

// The application: shows the splash, builds the main frame with its document client, scans the command line
// for "unregister", writes or removes the registry record, runs the event loop and lets the client ask about
// unsaved changes before the program ends. It carries out Exit and the Help menu's help commands.
class TPacequillApp : public QApplication, public CommandTarget {
    Q_OBJECT
public:
    static inline const QString &AppName = ProgramName;

    // rawCommandLine: the program's arguments after its own name, joined with single blanks. Without a help
    // client the program's own is made.
    TPacequillApp(int &argc, char **argv, QString rawCommandLine, std::unique_ptr<HelpClient> help = nullptr);
    ~TPacequillApp() override;

    // The raw command line from main's arguments, before the toolkit takes its own options out of them. A path's
    // bytes that are not UTF-8 are kept as PathBytes keeps them.
    static QString RawCommandLine(int argc, char **argv);
    // Whether the text holds an option ("-" or "/" prefix) that abbreviates "unregister", ignoring case.
    static bool HasUnregisterOption(const QString &rawCommandLine);
    // Removes the registry record at the first "unregister" option, otherwise writes it.
    static void ProcessCommandLine(const QString &rawCommandLine);

    // Starts the instance and runs the event loop; the loop's result.
    int Run();
    // Whether the program may end: the client's unsaved-changes question, then the help window is closed when
    // the Help menu opened it.
    bool QueryClose();

    TSDIDecFrame *MainWindow() const { return Frame; }
    bool IsContextHelpMode() const;
    const std::optional<QCursor> &GetHelpCursor() const;

    // Delivers the event; an exception thrown by its handler is reported instead of ending the program.
    bool notify(QObject *receiver, QEvent *event) override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Sees every event before any widget does; true consumes it. The help keys and the context-help mode live
    // here.
    virtual bool PreprocessAppMessage(QObject *receiver, QEvent *event);

private:
    void StartInstance();
    void CreateMainWindow();
    void RequestMenuHelp(HelpClient::Command command);

    QString CommandLine;
    std::unique_ptr<HelpClient> Help;
    bool HelpActive = false;
    // The help keys, the context-help mode and its cursor; uses Help, so it is destroyed first.
    std::unique_ptr<ContextHelp> Helper;
    TSDIDecFrame *Frame = nullptr;
    TPacequillDlgClient *Client = nullptr;
    QToolBar *DockHost = nullptr;
};
