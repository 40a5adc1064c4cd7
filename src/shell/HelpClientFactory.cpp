#include "shell/HelpClient.h"

std::unique_ptr<HelpClient> CreateHelpClient() { return std::make_unique<NullHelpClient>(); }
