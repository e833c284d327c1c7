// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/printer.h"

#include <QByteArray>
#include <QList>

namespace sim {

struct TimedByte {
    qint64 atUs; // when the byte reaches the host
    char byte;
};

// When each byte of a reply that starts leaving at `startUs` reaches the host: one byte time
// apart, or, with chunked delivery, a packet at a time after the packet's last byte with the
// gap between packets, as a USB-serial adapter hands them over.
QList<TimedByte> paceReply(const QByteArray& bytes, qint64 startUs, qint64 byteTimeUs,
                           const Faults& faults);

} // namespace sim
