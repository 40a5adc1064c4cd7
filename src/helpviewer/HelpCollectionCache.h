#pragma once

#include <QString>

// The viewer shows copies of the help collections it is asked for, kept in its cache: the search index is written
// beside the collection, and an installed collection is read-only. A request may name any file, so only a real help
// collection is copied: a regular file of bounded size that starts as an SQLite database does and holds a
// collection's tables, together with the documentation files it registers beside itself, checked the same way.
// The cache keeps the collections of the few folders used last and removes the rest.
class HelpCollectionCache {
public:
    static constexpr qint64 MaxFileBytes = qint64{64} << 20;
    static constexpr int MaxEntries = 4;

    struct Copy {
        QString path;  // the copy of the collection to open; empty when error is set
        QString error; // why the file was not taken
    };

    // folder: empty for the viewer's cache location
    explicit HelpCollectionCache(QString folder = {});

    Copy Prepare(const QString &collection);
    QString Folder() const { return folder; }

private:
    void Prune(const QString &keep) const;

    QString folder;
};
