#pragma once

#include <QString>
#include <QStringList>

// Turns the help file texts the program passes ("pacequill.hlp", ".\pacequill.hlp", "pacequill.hlp>pqhw") into the
// help collection the viewer opens and the secondary window the text names.
class HelpFileResolver {
public:
    struct Target {
        QString collection; // absolute path of the .qhc; empty when no directory holds it
        QString window;     // the name after ">", empty for the main window
    };

    // Searches the current directory, the program's directory, the build tree's help directory and the installed
    // data directory, in that order.
    HelpFileResolver();
    explicit HelpFileResolver(QStringList searchDirs);

    Target Resolve(const QString &helpFileText) const;
    // The collection's file name for a help file text, without any directory: "pacequill.hlp>pqhw" -> "pacequill.qhc".
    static QString CollectionFileName(const QString &helpFileText);
    static QString WindowName(const QString &helpFileText);

private:
    QStringList searchDirs;
};
