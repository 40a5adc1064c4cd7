#include "helpwire/HelpRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <limits>
#include <utility>

namespace {
constexpr std::array<std::pair<HelpRequest::Kind, const char *>, 6> KindNames{{
    {HelpRequest::Kind::Topics, "topics"},
    {HelpRequest::Kind::HelpOnHelp, "helponhelp"},
    {HelpRequest::Kind::Context, "context"},
    {HelpRequest::Kind::Popup, "popup"},
    {HelpRequest::Kind::Quit, "quit"},
    {HelpRequest::Kind::Status, "status"},
}};
} // namespace

QByteArray HelpRequest::Encode() const {
    QString name;
    for (const auto &[k, text] : KindNames) {
        if (k == kind)
            name = QString::fromLatin1(text);
    }
    const QJsonObject object{{"v", ProtocolVersion},
                             {"cmd", name},
                             {"collection", collection},
                             {"context", static_cast<qint64>(context)},
                             {"window", window}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<HelpRequest> HelpRequest::Decode(const QByteArray &line) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value("v").toInt(-1) != ProtocolVersion)
        return std::nullopt;

    HelpRequest request;
    const QString name = object.value("cmd").toString();
    bool known = false;
    for (const auto &[k, text] : KindNames) {
        if (name == QLatin1String(text)) {
            request.kind = k;
            known = true;
        }
    }
    if (!known)
        return std::nullopt;

    const qint64 context = object.value("context").toInteger(-1);
    if (context < 0 || context > std::numeric_limits<quint32>::max())
        return std::nullopt;
    request.context = static_cast<quint32>(context);
    request.collection = object.value("collection").toString();
    request.window = object.value("window").toString();
    return request;
}
