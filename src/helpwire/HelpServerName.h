#pragma once

#include <QString>

// Where the help viewer's local socket lives. A socket is only ever placed in a folder of the user's own that no one
// else may enter (mode 0700, not a symbolic link): the runtime directory when it is such a folder, otherwise a folder
// "pacequill-<uid>" in the temporary directory, made when it is missing. Anywhere else another local user could take
// the name first and answer the program's requests.
struct HelpServerLocation {
    QString path;  // the socket's full path; empty when error is set
    QString error; // why no socket may be placed there

    bool IsValid() const { return error.isEmpty(); }
};

// The private folder itself.
HelpServerLocation HelpPrivateFolder();
// A server name as given to pacequill-help --server or through PACEQUILL_HELP_SERVER: a plain name is placed in the
// private folder, a path is accepted only when it names an entry directly inside that folder.
HelpServerLocation ResolveHelpServerName(const QString &name);
// The user's socket: PACEQUILL_HELP_SERVER when set (tests use an isolated name), otherwise "pacequill-help" in the
// private folder.
HelpServerLocation HelpServerName();
