#include "helpwire/HelpAnswer.h"

#include "helpwire/HelpRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

QByteArray HelpAnswer::Encode() const {
    QJsonObject shown;
    for (auto it = windows.cbegin(); it != windows.cend(); ++it)
        shown.insert(it.key(), it.value());
    const QJsonObject object{
        {"v", HelpRequest::ProtocolVersion}, {"ok", accepted}, {"reason", reason}, {"windows", shown}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<HelpAnswer> HelpAnswer::Decode(const QByteArray &line) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value("v").toInt(-1) != HelpRequest::ProtocolVersion || !object.value("ok").isBool())
        return std::nullopt;

    HelpAnswer answer;
    answer.accepted = object.value("ok").toBool();
    answer.reason = object.value("reason").toString();
    const QJsonObject shown = object.value("windows").toObject();
    for (auto it = shown.constBegin(); it != shown.constEnd(); ++it)
        answer.windows.insert(it.key(), it.value().toString());
    return answer;
}
