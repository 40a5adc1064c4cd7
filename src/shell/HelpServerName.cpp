#include "shell/HelpServerName.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {
constexpr char OverrideVariable[] = "PACEQUILL_HELP_SERVER";
constexpr char BaseName[] = "pacequill-help";
} // namespace

QString HelpServerName() {
    const QString overridden = qEnvironmentVariable(OverrideVariable);
    if (!overridden.isEmpty())
        return overridden;
    // The runtime directory is the user's own (mode 0700), so no other user can reach a socket inside it.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(QLatin1String(BaseName));
    return QStringLiteral("%1-%2").arg(QLatin1String(BaseName)).arg(::getuid());
}
