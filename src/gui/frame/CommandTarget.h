#pragma once

#include <functional>
#include <optional>
#include <unordered_map>

// The response table of a window that takes commands: command number -> handler, with an optional enabler.
// Windows derive from their Qt class and from CommandTarget; routing offers a command to the focus widget, its
// parents, the frame and the application, and the first target with a handler carries it out.
class CommandTarget {
public:
    using Handler = std::function<void()>;
    using Enabler = std::function<bool()>;

    virtual ~CommandTarget() = default;

    void AddResponse(int command, Handler handler, Enabler enabler = {});
    void AddEnabler(int command, Enabler enabler);

    bool HasHandler(int command) const;
    // Runs the handler; false when this target has none.
    bool Handle(int command);
    // The enabler's answer, or nothing when this target has no enabler for the command.
    std::optional<bool> Enabled(int command) const;

private:
    struct Response {
        Handler OnCommand;
        Enabler IsEnabled;
    };
    std::unordered_map<int, Response> Responses;
};
