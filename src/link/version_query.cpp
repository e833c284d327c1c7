#include "link/version_query.h"

#include "link/link_messages.h"
#include "link/request_exchange.h"
#include "platform/codepage.h"
#include "platform/number_text.h"

using namespace platform;

namespace printerlink {

VersionReply decodeVersionReply(const QByteArray& reply) {
    VersionReply out;
    // The reply is a text: it ends at its first zero byte.
    const qsizetype end = reply.indexOf('\0');
    out.text = fromCp1251(end < 0 ? reply : reply.left(end));
    out.empty = out.text.isEmpty();
    if (out.empty)
        return out;
    out.modelName = out.text.mid(1, 4);
    const QString d = out.text.right(6);
    out.firmware = readDecimal(d.mid(4, 2) + d.mid(2, 2) + d.mid(0, 2));
    out.oldFirmware = out.firmware < kOldFirmwareLimit;
    return out;
}

QString versionMessage(const VersionReply& reply) {
    QString text = QStringLiteral("Версия Программы Системы Печати:\n\r'") + reply.text.mid(1) +
                   QLatin1Char('\'');
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

std::optional<VersionReply> fetchVersion(Session& s) {
    setLamp(s, Lamp::Transfer);
    const auto length = requestExchange(s, QByteArrayLiteral("\x11i\x0E"));
    if (!length)
        return std::nullopt;

    QByteArray bytes = s.port.read(*length);
    if (bytes.isEmpty() || !s.port.isOpen()) {
        reportReadError(s);
        return std::nullopt;
    }
    // Bytes that did not arrive read as blanks.
    if (bytes.size() < *length)
        bytes.append(QByteArray(*length - bytes.size(), ' '));

    const VersionReply reply = decodeVersionReply(bytes);
    if (reply.empty) {
        s.link.error = true;
        setLamp(s, Lamp::Error);
        s.dialogs.error(emptyVersionMessage(s.link.portName));
        return std::nullopt;
    }
    setLamp(s, Lamp::Idle);
    s.link.modelName = reply.modelName;
    return reply;
}

bool queryVersion(Session& s) {
    const auto reply = fetchVersion(s);
    if (!reply)
        return false;
    s.dialogs.messageBox(QStringLiteral("Информация Системы Печати"), versionMessage(*reply),
                         reply->oldFirmware ? MessageIcon::Warning : MessageIcon::Information,
                         MessageButtons::Ok);
    return true;
}

} // namespace printerlink
