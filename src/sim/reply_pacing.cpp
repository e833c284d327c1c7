// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/reply_pacing.h"

namespace sim {

QList<TimedByte> paceReply(const QByteArray& bytes, qint64 startUs, qint64 byteTimeUs,
                           const Faults& faults) {
    QList<TimedByte> out;
    const int n = int(bytes.size());
    out.reserve(n);
    for (int j = 0; j < n; ++j) {
        qint64 at = startUs + qint64(j + 1) * byteTimeUs;
        if (faults.chunkBytes > 0) {
            const int packet = j / faults.chunkBytes;
            const int packetEnd = qMin((packet + 1) * faults.chunkBytes, n);
            at = startUs + qint64(packet) * faults.chunkGapMs * 1000 +
                 qint64(packetEnd) * byteTimeUs;
        }
        out.append({at, bytes[j]});
    }
    return out;
}

} // namespace sim
