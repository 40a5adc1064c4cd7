#include "frame/HelpClient.h"
#include "shell/ViewerHelpClient.h"

std::unique_ptr<HelpClient> CreateHelpClient() {
    return std::make_unique<ViewerHelpClient>();
}
