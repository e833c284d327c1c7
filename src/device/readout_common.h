#pragma once

#include "link/request_exchange.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace device {

// Sends a read-out request and returns its reply in a zero-filled buffer of `bufferSize`, with
// the transfer lamp around it. Nothing when the exchange failed (already reported).
std::optional<QByteArray> fetchReadout(printerlink::Session& s, const QByteArray& request,
                                       qint64 bufferSize);

void showSystemInformation(printerlink::Session& s, const QString& text);

} // namespace device
