// SPDX-License-Identifier: GPL-3.0-or-later
#include "mqtt/broker_url.h"

#include <QUrl>

namespace mqtt {

QString BrokerUrl::display() const {
    return QStringLiteral("%1://%2:%3")
        .arg(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), host)
        .arg(port);
}

std::optional<BrokerUrl> parseBrokerUrl(const QString& text, QString* error) {
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts"))) {
        *error = QStringLiteral("адрес брокера - mqtt://узел[:порт] или mqtts://узел[:порт]: '%1'")
                     .arg(text);
        return std::nullopt;
    }
    if (url.host().isEmpty() || (!url.path().isEmpty() && url.path() != QLatin1String("/")) ||
        url.hasQuery() || url.hasFragment()) {
        *error = QStringLiteral("в адресе брокера нужен только узел и порт: '%1'").arg(text);
        return std::nullopt;
    }
    BrokerUrl b;
    b.tls = scheme == QLatin1String("mqtts");
    b.host = url.host();
    b.port = url.port(b.tls ? 8883 : 1883);
    if (b.port < 1 || b.port > 65535) {
        *error = QStringLiteral("порт брокера - от 1 до 65535: '%1'").arg(text);
        return std::nullopt;
    }
    b.username = url.userName();
    b.password = url.password();
    return b;
}

} // namespace mqtt
