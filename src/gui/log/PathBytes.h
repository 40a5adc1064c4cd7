#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

// File paths are byte strings on this system, and a name need not be valid UTF-8. A path is held in a QString
// with each byte that is not part of valid UTF-8 kept as one of the code units U+DC80 to U+DCFF, so that it turns
// back into exactly the bytes it came from. Only what is shown is made readable.
namespace PathBytes {

QString Decode(const QByteArray &bytes);
QByteArray Encode(const QString &path);
// The path as shown to the user: each kept byte becomes the replacement character.
QString Readable(const QString &path);

// A path as a file dialog gives it. Qt decodes a name that is not UTF-8 with replacement characters, and that
// names no file. Each such part of the path is matched against the entries of its folder as Qt decodes them: a
// single match gives the entry's own bytes. A part that matches no entry or several stays as it is.
QString Recover(const QString &shown);

// The path of a local file URL, with the bytes its percent escapes stand for kept, as Recover returns it. Empty for
// a URL that names no local file.
QString FromUrl(const QUrl &url);

} // namespace PathBytes
