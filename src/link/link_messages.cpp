// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_messages.h"

namespace printerlink {

QString readErrorText(const QString& portName) {
    return QStringLiteral("Ошибка при чтении данных из Маркиратора (") + portName +
           QStringLiteral(")!");
}

QString writeErrorText(const QString& portName) {
    return QStringLiteral("Ошибка записи данных в порт ") + portName + QStringLiteral("!");
}

QString incompleteReplyText(qint64 received, qint64 needed) {
    QString text =
        QStringLiteral("ОТВЕТ МАРКИРАТОРА НЕПОЛНЫЙ!\n\rПринято байт: ") + QString::number(received);
    if (needed <= 0)
        return text + QStringLiteral(", дата версии не получена.");
    return text + QStringLiteral(" из ") + QString::number(needed) +
           QStringLiteral(".\n\rНедостающие данные показаны нулями.");
}

} // namespace printerlink
