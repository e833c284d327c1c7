// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/readout_common.h"

#include "device/readouts.h"
#include "link/link_messages.h"
#include "link/operation_scope.h"

using namespace platform;
using namespace printerlink;

namespace device {

std::optional<Reply> fetchReadout(Session& s, const QByteArray& request, qint64 needed,
                                  qint64 bufferSize) {
    setLamp(s, Lamp::Transfer);
    if (!requestExchange(s, request))
        return std::nullopt;
    auto reply = readReply(s, needed, bufferSize);
    if (reply)
        setLamp(s, Lamp::Idle);
    return reply;
}

QString withCompleteness(const QString& text, const Reply& reply) {
    if (reply.complete)
        return text;
    return text + QStringLiteral("\r\n\n") + incompleteReplyText(reply.bytes.size(), reply.needed);
}

void showSystemInformation(Session& s, const QString& text, const Reply& reply) {
    s.dialogs.messageBox(QStringLiteral("Информация Системы Печати"), withCompleteness(text, reply),
                         reply.complete ? MessageIcon::Information : MessageIcon::Warning,
                         MessageButtons::Ok);
}

void showReadout(Session& s, const Result<Readout>& readout) {
    if (!readout)
        return showFailure(s.dialogs, readout.failure());
    showSystemInformation(s, readout->text, readout->reply);
}

} // namespace device
