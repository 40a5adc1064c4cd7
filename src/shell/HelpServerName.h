#pragma once

#include <QString>

// The name of the help viewer's local socket for the current user. PACEQUILL_HELP_SERVER overrides it (tests use
// an isolated name); otherwise it lives in the user's private runtime directory when there is one, and in the
// temporary directory under a name carrying the user id when there is not.
QString HelpServerName();
