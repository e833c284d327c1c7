// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/request_exchange.h"

#include "link/link_messages.h"
#include "link/operation_scope.h"
#include "platform/line_time.h"

using namespace platform;

namespace printerlink {

void setLamp(Session& s, Lamp lamp, LampTarget target) {
    s.status.setLamp(target, lamp);
}

void reportReadError(Session& s, LampTarget target) {
    s.link.error = true;
    setLamp(s, Lamp::Error, target);
    reportFailure(s, linkFailure(readErrorText(s.link.portName)));
}

void reportWriteError(Session& s, LampTarget target) {
    s.link.error = true;
    setLamp(s, Lamp::Error, target);
    reportFailure(s, linkFailure(writeErrorText(s.link.portName)));
}

bool writeRequest(Session& s, const QByteArray& request) {
    // A late answer to an earlier command must not be counted into this reply.
    s.port.discardInput();
    return s.port.write(request) && waitOutputDrained(s, request.size());
}

qint64 quietMs(int baudRate, int waitMs) {
    // Eight byte times: on a slow line the gaps between bytes, and between the packets a USB
    // adapter hands over, are longer than a 1 ms wait and are not the end of the reply. At
    // 115200 baud this is the wait itself.
    return qMax<qint64>(waitMs, lineTimeMs(8, baudRate) + 1);
}

qint64 pollSettled(Session& s, int cycles, int waitMs, qint64 wholeBytes) {
    const qint64 quiet = quietMs(s.port.baudRate(), waitMs);
    // A reply of known length is given its line time on top: on a slow line a long one takes
    // longer to come than the cycles alone last, and never stands still on the way.
    if (wholeBytes > 0)
        cycles += int(lineTimeMs(wholeBytes, s.port.baudRate()) / (2 * qMax(waitMs, 1)));
    // Sleeps may overshoot (a coarse system timer): the cycles are bounded in time as well.
    const qint64 limitMs = qint64(cycles) * 2 * qMax(waitMs, 1) * 2 + 1000;
    const qint64 start = s.clock.elapsedMs();
    qint64 last = -1;
    qint64 changedAt = start;
    auto sample = [&] {
        s.clock.waitMs(waitMs);
        const qint64 n = s.port.inputWaiting();
        if (n != last) {
            last = n;
            changedAt = s.clock.elapsedMs();
        }
        return n;
    };
    // Exactly the known length, and still so a couple of byte times later: a reply that keeps
    // coming past it is not whole, and goes on to the settle test.
    auto whole = [&](qint64 n) {
        if (wholeBytes <= 0 || n != wholeBytes)
            return false;
        s.clock.waitMs(int(qMax<qint64>(1, lineTimeMs(2, s.port.baudRate()))));
        return s.port.inputWaiting() == n;
    };
    for (int i = 0; i < cycles && s.clock.elapsedMs() - start <= limitMs; ++i) {
        const qint64 a = sample();
        if (whole(a))
            return a;
        const qint64 b = sample();
        if ((a == b && b > 0 && s.clock.elapsedMs() - changedAt >= quiet) || whole(b))
            return b;
        if (!s.port.isOpen())
            return 0; // the device vanished: nothing more will come
    }
    return 0;
}

std::optional<qint64> requestExchange(Session& s, const QByteArray& request, int cycles,
                                      int waitMs) {
    s.link.error = false;
    if (writeRequest(s, request)) {
        if (const qint64 n = pollSettled(s, cycles, waitMs); n > 0)
            return n;
    }
    reportReadError(s);
    return std::nullopt;
}

QByteArray Reply::padded(qint64 size) const {
    QByteArray out = bytes.left(size);
    out.append(QByteArray(size - out.size(), '\0'));
    return out;
}

bool lineStillTalking(Session& s, int listenMs) {
    const qint64 limit = qMax<qint64>(listenMs, quietMs(s.port.baudRate(), 2));
    const qint64 start = s.clock.elapsedMs();
    while (s.port.isOpen()) {
        if (s.port.inputWaiting() > 0)
            return true;
        if (s.clock.elapsedMs() - start >= limit)
            return false;
        s.clock.waitMs(1);
    }
    return false;
}

qint64 replyQuietMs(int baudRate) {
    return qMax<qint64>(200, lineTimeMs(64, baudRate) + 20);
}

std::optional<Reply> readReplyUntil(Session& s, const ReplyComplete& complete, qint64 expectedBytes,
                                    qint64 limit) {
    Reply reply;
    // However slowly it comes in packets (at worst 8 bytes every 25 ms, as some device servers
    // hand them over), the read ends; a quiet line ends it much sooner.
    const qint64 boundMs =
        lineTimeMs(expectedBytes, s.port.baudRate()) + (expectedBytes / 8 + 1) * 25 + 1000;
    const qint64 quiet = replyQuietMs(s.port.baudRate());
    const qint64 start = s.clock.elapsedMs();
    qint64 lastArrival = start;
    for (;;) {
        if (const qint64 room = limit - reply.bytes.size(); room > 0) {
            if (const qint64 waiting = s.port.inputWaiting(); waiting > 0) {
                reply.bytes += s.port.read(qMin(waiting, room));
                lastArrival = s.clock.elapsedMs();
            }
        }
        if (!s.port.isOpen()) {
            reportReadError(s);
            return std::nullopt;
        }
        reply.complete = complete(reply.bytes);
        if (reply.complete || reply.bytes.size() >= limit)
            break;
        const qint64 now = s.clock.elapsedMs();
        if (now - lastArrival >= quiet || now - start >= boundMs)
            break;
        s.clock.waitMs(1);
    }
    return reply;
}

std::optional<Reply> readReply(Session& s, qint64 needed, qint64 limit) {
    auto reply = readReplyUntil(
        s, [needed](const QByteArray& got) { return got.size() >= needed; }, needed, limit);
    if (reply)
        reply->needed = needed;
    return reply;
}

bool waitOutputDrained(Session& s, qint64 bytes) {
    // The line time plus a second for the driver and adapter.
    const qint64 limitMs = lineTimeMs(bytes, s.port.baudRate()) + 1000;
    const qint64 start = s.clock.elapsedMs();
    for (qint64 waiting; (waiting = s.port.outputWaiting()) > 0;) {
        if (!s.port.isOpen() || s.clock.elapsedMs() - start > limitMs)
            return false;
        // No longer than the rest surely needs (the first of the bytes counted may be half
        // sent already), so the block costs its line time and no more; on a slow line a long
        // drain is a run of waits that serve the window, not one stall.
        const qint64 surelyUs = lineTimeUs(waiting - 1, s.port.baudRate());
        s.clock.waitUs(int(qBound(qint64(100), surelyUs, qint64(10'000))));
    }
    return s.port.isOpen();
}

bool sendBlock(Session& s, const QByteArray& bytes) {
    return s.port.write(bytes) && waitOutputDrained(s, bytes.size());
}

} // namespace printerlink
