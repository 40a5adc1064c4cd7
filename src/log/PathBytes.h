#pragma once

#include <QByteArray>
#include <QString>

// File paths are byte strings on this system, and a name need not be valid UTF-8. A path is held in a QString
// with each byte that is not part of valid UTF-8 kept as one of the code units U+DC80 to U+DCFF, so that it turns
// back into exactly the bytes it came from. Only what is shown is made readable.
namespace PathBytes {

QString Decode(const QByteArray &bytes);
QByteArray Encode(const QString &path);
// The path as shown to the user: each kept byte becomes the replacement character.
QString Readable(const QString &path);

} // namespace PathBytes
