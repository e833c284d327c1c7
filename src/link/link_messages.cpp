#include "link/link_messages.h"

namespace printerlink {

QString readErrorText(const QString& portName) {
    return QStringLiteral("Ошибка при чтении данных из Маркиратора (") + portName +
           QStringLiteral(")!");
}

QString writeErrorText(const QString& portName) {
    return QStringLiteral("Ошибка записи данных в порт ") + portName + QStringLiteral("!");
}

} // namespace printerlink
