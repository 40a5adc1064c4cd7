#include "shell/TPacequillApp.h"

#include <QStringList>

#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <utility>

#include "frame/CommandEvent.h"
#include "frame/CommandIds.h"
#include "frame/ContextHelp.h"
#include "frame/Prompts.h"
#include "frame/Resources.h"
#include "helpwire/HeldKeyProbe.h"
#include "log/LogPreload.h"
#include "log/PathBytes.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "shell/FileTypeRegistration.h"
#include "shell/SplashWindow.h"
#include "shell/TPacequillAboutDlg.h"
#include "shell/TSDIDecFrame.h"

namespace {

const QString UnregisterOption = QStringLiteral("unregister");
const QString CommandFailedText = QStringLiteral("The command could not be completed.\n\n%1");
const QString NotEnoughMemory = QStringLiteral("not enough memory");

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool IsOptionPrefix(QChar c) {
    return c == QLatin1Char('-') || c == QLatin1Char('/');
}
bool EndsToken(QChar c) {
    return IsBlank(c) || c == QLatin1Char('=') || c == QLatin1Char('/');
}

} // namespace

TPacequillApp::TPacequillApp(int &argc, char **argv, QString rawCommandLine, std::unique_ptr<HelpClient> help)
    : QApplication(argc, argv), CommandLine(std::move(rawCommandLine)), Help(std::move(help)) {
    // The program ends when its main window closes, whatever else (the splash, a floating toolbar) is open.
    setQuitOnLastWindowClosed(false);
    // Made here, not as a default argument: the help client may ask the application object about itself.
    if (!Help)
        Help = CreateHelpClient();
    Helper = std::make_unique<ContextHelp>(
        *Help, [this] { return Frame; }, HeldKeyProbe::IsF1Down);
    installEventFilter(this);
    AddResponse(Cmd::Exit, [this] {
        if (Frame)
            Frame->close();
    });
    AddResponse(Cmd::HelpTopics, [this] { RequestMenuHelp(HelpClient::Command::HelpTopics); });
    AddResponse(Cmd::HelpOnHelp, [this] { RequestMenuHelp(HelpClient::Command::HelpOnHelp); });
    AddResponse(Cmd::About, [this] { TPacequillAboutDlg(Frame).exec(); });
}

TPacequillApp::~TPacequillApp() {
    removeEventFilter(this);
    delete Frame;
}

QString TPacequillApp::RawCommandLine(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(PathBytes::Decode(QByteArray(argv[i])));
    return arguments.join(QLatin1Char(' '));
}

bool TPacequillApp::HasUnregisterOption(const QString &rawCommandLine) {
    const QString &text = rawCommandLine;
    const qsizetype length = text.size();
    qsizetype position = 0;
    for (;;) {
        while (position < length && IsBlank(text[position]))
            ++position;
        if (position >= length)
            return false;
        const bool isOption = IsOptionPrefix(text[position]);
        if (isOption) {
            ++position;
            while (position < length && IsBlank(text[position]))
                ++position;
        } else if (text[position] == QLatin1Char('=')) {
            ++position;
        }
        const qsizetype start = position;
        while (position < length && !EndsToken(text[position]))
            ++position;
        const qsizetype tokenLength = position - start;
        // Any leading abbreviation matches, the empty one included; a longer word does not.
        if (isOption && tokenLength <= UnregisterOption.size() &&
            QStringView(text)
                    .mid(start, tokenLength)
                    .compare(QStringView(UnregisterOption).left(tokenLength), Qt::CaseInsensitive) == 0)
            return true;
    }
}

void TPacequillApp::ProcessCommandLine(const QString &rawCommandLine) {
    if (HasUnregisterOption(rawCommandLine))
        FileTypeRegistration::UnregisterFileType();
    else
        FileTypeRegistration::RegisterFileType();
}

int TPacequillApp::Run() {
    StartInstance();
    return exec();
}

void TPacequillApp::StartInstance() {
    // The log is read on other threads while the window is built.
    std::unique_ptr<pq::LogPreload> preload = TPacequillDlgClient::PreloadCommandLine(CommandLine);
    CreateMainWindow();
    // The frame is always shown normally: the desktop hands the program no show command.
    Frame->CentreAndFixSize();
    Frame->show();
    Client->SetupWindow(CommandLine, std::move(preload));
    ProcessCommandLine(CommandLine);
}

void TPacequillApp::CreateMainWindow() {
    // The splash lives by itself from here on: it closes and deletes itself.
    auto *splash = new SplashWindow(Resources::Bitmap(Resources::SplashBitmap));
    splash->Start();

    Client = NewDocumentClient();
    Frame = new TSDIDecFrame(Client, this);
    Frame->setWindowTitle(AppName);
    Frame->SetCloseQuery([this] { return QueryClose(); });
    connect(Frame, &TSDIDecFrame::Closed, this, &QCoreApplication::quit, Qt::QueuedConnection);
    DockHost = Frame->DockHost();
}

bool TPacequillApp::QueryClose() {
    if (Client && !Client->CanClose())
        return false;
    if (HelpActive)
        Help->Request(Frame, ContextHelp::MenuHelpFile, HelpClient::Command::Quit, 0);
    return true;
}

void TPacequillApp::RequestMenuHelp(HelpClient::Command command) {
    HelpActive = Help->Request(Frame, ContextHelp::MenuHelpFile, command);
}

bool TPacequillApp::event(QEvent *event) {
    if (event->type() == CommandEvent::EventType()) {
        if (Frame)
            Frame->Router().Route(static_cast<CommandEvent *>(event)->Command());
        return true;
    }
    return QApplication::event(event);
}

// A failure thrown by a handler must not cross the event loop, which would end the program with the log unsaved:
// it is reported, and the program goes on with the log as the handler left it.
bool TPacequillApp::notify(QObject *receiver, QEvent *event) {
    QString cause;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        cause = NotEnoughMemory;
    } catch (const std::exception &error) {
        cause = QString::fromLocal8Bit(error.what());
    }
    try {
        Prompts::Error(Frame, AppName, CommandFailedText.arg(cause));
    } catch (const std::exception &) {
        std::fprintf(stderr, "pacequill: %s\n", qPrintable(cause));
    }
    return true;
}

bool TPacequillApp::eventFilter(QObject *watched, QEvent *event) {
    return PreprocessAppMessage(watched, event);
}

bool TPacequillApp::PreprocessAppMessage(QObject *receiver, QEvent *event) {
    return Helper->Preprocess(receiver, event);
}

bool TPacequillApp::IsContextHelpMode() const {
    return Helper->IsContextHelpMode();
}

const std::optional<QCursor> &TPacequillApp::GetHelpCursor() const {
    return Helper->GetHelpCursor();
}
