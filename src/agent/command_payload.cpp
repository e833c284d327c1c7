// SPDX-License-Identifier: GPL-3.0-or-later
#include "agent/command_payload.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace agent {

bool isCommandId(const QString& id) {
    if (id.isEmpty() || id.size() > 128)
        return false;
    for (const QChar c : id) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                        (u >= '0' && u <= '9') || u == '.' || u == '_' || u == ':' || u == '-';
        if (!ok)
            return false;
    }
    return true;
}

CommandPayload parseCommandPayload(const QByteArray& body) {
    CommandPayload c;
    if (body.size() > MaxPayloadBytes) {
        c.problem = QStringLiteral("команда длиннее %1 байт").arg(MaxPayloadBytes);
        return c;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        c.problem = QStringLiteral("команда - не объект JSON {\"id\": ..., \"args\": {...}}");
        return c;
    }
    const QJsonObject o = doc.object();
    const QJsonValue id = o.value(QLatin1String("id"));
    if (!id.isString() || !isCommandId(id.toString())) {
        c.problem = QStringLiteral("\"id\" - строка от 1 до 128 знаков A-Z a-z 0-9 . _ : -");
        return c;
    }
    c.id = id.toString();
    const QJsonValue args = o.value(QLatin1String("args"));
    if (!args.isUndefined() && !args.isNull() && !args.isObject()) {
        c.problem = QStringLiteral("\"args\" - объект JSON");
        return c;
    }
    for (auto it = o.begin(); it != o.end(); ++it)
        if (it.key() != QLatin1String("id") && it.key() != QLatin1String("args")) {
            c.problem = QStringLiteral("неизвестное поле команды \"%1\"").arg(it.key());
            return c;
        }
    c.args = args.toObject();
    return c;
}

QString operationOfTopic(const QString& prefix, const QString& topic) {
    const QString head = prefix + QStringLiteral("/cmd/");
    if (!topic.startsWith(head))
        return {};
    const QString name = topic.mid(head.size());
    return name.contains(QLatin1Char('/')) ? QString() : name;
}

} // namespace agent
