// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/request_exchange.h"
#include "link/result.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace device {

// Sends a read-out request and reads its reply of `needed` bytes (more are taken, up to
// `bufferSize`), with the transfer lamp around it. Nothing when the exchange failed (already
// reported).
std::optional<printerlink::Reply> fetchReadout(printerlink::Session& s, const QByteArray& request,
                                               qint64 needed, qint64 bufferSize);

// The read-out text, with the incompleteness note under it when the reply stopped short.
QString withCompleteness(const QString& text, const printerlink::Reply& reply);

// The read-out box; a reply that stopped short says so under the decoded text, with a warning.
void showSystemInformation(printerlink::Session& s, const QString& text,
                           const printerlink::Reply& reply);

struct Readout;
// A read-out in its box, or its failure in the error box.
void showReadout(printerlink::Session& s, const printerlink::Result<Readout>& readout);

} // namespace device
