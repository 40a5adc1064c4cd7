#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The bytes of a file; empty when it cannot be read.
inline QByteArray FileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
