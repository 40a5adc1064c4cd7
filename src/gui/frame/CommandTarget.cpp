#include "frame/CommandTarget.h"

#include <utility>

void CommandTarget::AddResponse(int command, Handler handler, Enabler enabler) {
    Response &response = Responses[command];
    response.OnCommand = std::move(handler);
    if (enabler)
        response.IsEnabled = std::move(enabler);
}

void CommandTarget::AddEnabler(int command, Enabler enabler) {
    Responses[command].IsEnabled = std::move(enabler);
}

bool CommandTarget::HasHandler(int command) const {
    const auto found = Responses.find(command);
    return found != Responses.end() && static_cast<bool>(found->second.OnCommand);
}

bool CommandTarget::Handle(int command) {
    const auto found = Responses.find(command);
    if (found == Responses.end() || !found->second.OnCommand)
        return false;
    // Copy the handler: it may replace this target's responses while it runs.
    const Handler handler = found->second.OnCommand;
    handler();
    return true;
}

std::optional<bool> CommandTarget::Enabled(int command) const {
    const auto found = Responses.find(command);
    if (found == Responses.end() || !found->second.IsEnabled)
        return std::nullopt;
    return found->second.IsEnabled();
}
