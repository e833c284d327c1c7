// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/version_query.h"

#include "link/link_messages.h"
#include "link/operation_scope.h"
#include "link/request_exchange.h"
#include "link/requests.h"
#include "platform/codepage.h"
#include "platform/number_text.h"

using namespace platform;

namespace printerlink {

namespace {
// The most a version reply is read to; the printer's own is under 20 characters.
constexpr qint64 kLongestVersion = 256;
} // namespace

bool endsInDate(const QByteArray& reply) {
    if (reply.size() < 6)
        return false;
    const QByteArray d = reply.right(6);
    for (char c : d) {
        if (c < '0' || c > '9')
            return false;
    }
    return QDate(2000 + d.mid(4, 2).toInt(), d.mid(2, 2).toInt(), d.left(2).toInt()).isValid();
}

VersionReply decodeVersionReply(const QByteArray& reply) {
    VersionReply out;
    out.received = reply.size();
    // The reply is a text: it ends at its first zero byte.
    const qsizetype end = reply.indexOf('\0');
    out.text = fromCp1251(end < 0 ? reply : reply.left(end));
    out.empty = out.text.isEmpty();
    if (out.empty)
        return out;
    out.modelName = out.text.mid(1, 4);
    const QString d = out.text.right(6);
    out.firmware = readDecimal(d.mid(4, 2) + d.mid(2, 2) + d.mid(0, 2));
    out.dated = endsInDate(toCp1251(out.text));
    out.oldFirmware = out.dated && out.firmware < kOldFirmwareLimit;
    return out;
}

QString versionMessage(const VersionReply& reply) {
    QString text = QStringLiteral("Версия Программы Системы Печати:\n\r'") + reply.text.mid(1) +
                   QLatin1Char('\'');
    if (!reply.dated)
        return text + QStringLiteral("\r\n\n") + incompleteReplyText(reply.received, 0);
    if (reply.oldFirmware) {
        text += QStringLiteral("\r\n\nПРЕДУПРЕЖДЕНИЕ:\n\r") +
                QStringLiteral("Устаревшая Программа печати - ранее 01.10.2010.\n\r") +
                QStringLiteral("Функции управления Марками не поддерживается!");
    }
    return text;
}

QString emptyVersionMessage(const QString& portName) {
    return readErrorText(portName) +
           QStringLiteral("\n\r(возможно Маркиратор не включен или не подключен)");
}

Result<VersionReply> readVersion(Session& s) {
    OperationScope scope(s);
    setLamp(s, Lamp::Transfer);
    if (!requestExchange(s, versionRequest()))
        return scope.failure();
    // A reply in packets may settle before its end: read on until it ends in its date (or in a
    // zero byte, which ends the text).
    auto whole = [](const QByteArray& got) { return got.contains('\0') || endsInDate(got); };
    const auto bytes = readReplyUntil(s, whole, kLongestVersion, kLongestVersion);
    if (!bytes)
        return scope.failure();
    if (bytes->bytes.isEmpty()) {
        reportReadError(s);
        return scope.failure();
    }

    const VersionReply reply = decodeVersionReply(bytes->bytes);
    if (reply.empty) {
        s.link.error = true;
        setLamp(s, Lamp::Error);
        return linkFailure(emptyVersionMessage(s.link.portName));
    }
    setLamp(s, Lamp::Idle);
    // Characters 2-5 of a cut reply may be anything but the model.
    if (reply.dated)
        s.link.modelName = reply.modelName;
    return reply;
}

std::optional<VersionReply> fetchVersion(Session& s) {
    auto reply = readVersion(s);
    if (!reply) {
        reportFailure(s, reply.failure());
        return std::nullopt;
    }
    return std::move(reply).value();
}

bool queryVersion(Session& s) {
    const auto reply = readVersion(s);
    if (!reply) {
        showFailure(s.dialogs, reply.failure());
        return false;
    }
    s.dialogs.messageBox(QStringLiteral("Информация Системы Печати"), versionMessage(*reply),
                         reply->oldFirmware || !reply->dated ? MessageIcon::Warning
                                                             : MessageIcon::Information,
                         MessageButtons::Ok);
    return true;
}

} // namespace printerlink
