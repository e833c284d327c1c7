// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace agent {

// Larger bodies are refused unread: the largest argument, a mark file's text, is 2 KB.
inline constexpr qsizetype MaxPayloadBytes = 64 * 1024;

// A command as it came: {"id": "...", "args": {...}}. When `problem` is set the command is
// refused with it; `id` is kept whenever the body had a usable one, so the refusal can be
// answered on result/<id>.
struct CommandPayload {
    QString id;
    QJsonObject args;
    QString problem;
};

CommandPayload parseCommandPayload(const QByteArray& body);

// An id stands in a topic (result/<id>): 1 to 128 of A-Z a-z 0-9 . _ : -
bool isCommandId(const QString& id);

// The operation named by "inkwick/<printer>/cmd/<operation>", or "" when the topic is not one.
QString operationOfTopic(const QString& prefix, const QString& topic);

} // namespace agent
