#include "helpviewer/HelpBrowser.h"

#include <QGuiApplication>
#include <QHelpEngineCore>

namespace {
constexpr char HelpScheme[] = "qthelp";
const QString TitleSeparator = QStringLiteral(" \u2014 ");
} // namespace

HelpBrowser::HelpBrowser(QHelpEngineCore &helpEngine, QWidget *parent) : QTextBrowser(parent), engine(helpEngine) {}

QVariant HelpBrowser::loadResource(int type, const QUrl &name) {
    if (name.scheme() == QLatin1String(HelpScheme))
        return engine.fileData(name);
    return QTextBrowser::loadResource(type, name);
}

QString HelpBrowser::WindowTitle() const {
    QString name = QGuiApplication::applicationDisplayName();
    const QString topic = documentTitle().trimmed();
    if (topic.isEmpty() || topic == name)
        return name;
    return topic + TitleSeparator + name;
}
