#include "help/HelpBrowser.h"

#include <QHelpEngineCore>

namespace {
constexpr char HelpScheme[] = "qthelp";
}

HelpBrowser::HelpBrowser(QHelpEngineCore &helpEngine, QWidget *parent) : QTextBrowser(parent), engine(helpEngine) {}

QVariant HelpBrowser::loadResource(int type, const QUrl &name) {
    if (name.scheme() == QLatin1String(HelpScheme))
        return engine.fileData(name);
    return QTextBrowser::loadResource(type, name);
}
