// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace mqtt {

// mqtt://[user[:password]@]host[:port] or mqtts://... (TLS, port 8883 by default).
struct BrokerUrl {
    bool tls = false;
    QString host;
    int port = 1883;
    QString username;
    QString password;

    // "mqtt://host:1883", without the credentials, for messages and status.
    QString display() const;
};

// Nothing, with the reason in *error, for anything but a whole mqtt:// or mqtts:// URL.
std::optional<BrokerUrl> parseBrokerUrl(const QString& text, QString* error);

} // namespace mqtt
