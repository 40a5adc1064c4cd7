#pragma once

#include <QString>

#include <memory>

class QWidget;

// The program's side of the help engine: requests for one help file, each with a command, a context where the
// command takes one, and an owner window. Every request answers whether the engine accepted it; the program
// never waits for a help window.
class HelpClient {
public:
    enum class Command {
        HelpTopics,   // contents, index and find
        HelpOnHelp,   // how to use the help viewer
        Context,      // a context in the secondary window named after ">" in the help file text
        ContextPopup, // a context as a small pop-up near the pointer
        Quit          // close the help viewer
    };

    virtual ~HelpClient() = default;
    // helpFile is the text the program passes: "pacequill.hlp", ".\pacequill.hlp" or "pacequill.hlp>pqhw".
    virtual bool Request(QWidget *owner, const QString &helpFile, Command command, quint32 context = 0) = 0;
};

// A client that accepts nothing and shows nothing, for tests and for a program built without the help viewer.
class NullHelpClient : public HelpClient {
public:
    bool Request(QWidget *, const QString &, Command, quint32) override { return false; }
};

// The program's help client: talks to the help viewer process.
std::unique_ptr<HelpClient> CreateHelpClient();
