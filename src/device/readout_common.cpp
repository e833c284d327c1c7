#include "device/readout_common.h"

using namespace platform;
using namespace printerlink;

namespace device {

std::optional<QByteArray> fetchReadout(Session& s, const QByteArray& request, qint64 bufferSize) {
    setLamp(s, Lamp::Transfer);
    const std::optional<qint64> length = requestExchange(s, request);
    if (!length)
        return std::nullopt;
    QByteArray reply = readReply(s, *length, bufferSize);
    setLamp(s, Lamp::Idle);
    return reply;
}

void showSystemInformation(Session& s, const QString& text) {
    s.dialogs.messageBox(QStringLiteral("Информация Системы Печати"), text,
                         MessageIcon::Information, MessageButtons::Ok);
}

} // namespace device
