#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

// The viewer's answer to one request: accepted or refused with a reason, and the windows it shows afterwards,
// each with the address of the topic in it, so that a caller (and a test) can see what the request did.
class HelpAnswer {
public:
    bool accepted = false;
    QString reason;                 // why a request was refused; empty when accepted
    QMap<QString, QString> windows; // visible window name ("main", "pqhw", "popup") -> topic URL

    QByteArray Encode() const;
    // Empty when the line is not an answer of the current protocol version.
    static std::optional<HelpAnswer> Decode(const QByteArray &line);
};
