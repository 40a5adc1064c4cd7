#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// One request to the help viewer, as one line of JSON on the viewer's local socket. The line carries a protocol
// version so that a viewer and a program of different builds refuse each other cleanly instead of guessing.
class HelpRequest {
public:
    enum class Kind { Topics, HelpOnHelp, Context, Popup, Quit, Status };

    static constexpr int ProtocolVersion = 1;

    Kind kind = Kind::Status;
    QString collection; // absolute path of the help collection (.qhc); empty for Quit and Status
    quint32 context = 0;
    QString window; // secondary window name for Context, e.g. "pqhw"

    QByteArray Encode() const;
    // Empty when the line is not a request of this protocol version.
    static std::optional<HelpRequest> Decode(const QByteArray &line);
};
