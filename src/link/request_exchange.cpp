#include "link/request_exchange.h"

#include "link/link_messages.h"

using namespace platform;

namespace printerlink {

void setLamp(Session& s, Lamp lamp, LampTarget target) {
    s.status.setLamp(target, lamp);
}

void reportReadError(Session& s, LampTarget target) {
    s.link.error = true;
    setLamp(s, Lamp::Error, target);
    s.dialogs.error(readErrorText(s.link.portName));
}

void reportWriteError(Session& s, LampTarget target) {
    s.link.error = true;
    setLamp(s, Lamp::Error, target);
    s.dialogs.error(writeErrorText(s.link.portName));
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
    const qint64 baud = qMax(1, baudRate);
    return qMax<qint64>(waitMs, (8 * 10 * 1000 + baud - 1) / baud);
}

qint64 pollSettled(Session& s, int cycles, int waitMs) {
    const qint64 quiet = quietMs(s.port.baudRate(), waitMs);
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
    for (int i = 0; i < cycles && s.clock.elapsedMs() - start <= limitMs; ++i) {
        const qint64 a = sample();
        const qint64 b = sample();
        if (a == b && b > 0 && s.clock.elapsedMs() - changedAt >= quiet)
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

QByteArray readReply(Session& s, qint64 available, qint64 bufferSize) {
    QByteArray buffer(bufferSize, '\0');
    const QByteArray got = s.port.read(qMin(available, bufferSize));
    std::copy(got.begin(), got.end(), buffer.begin());
    return buffer;
}

QByteArray readRemainder(Session& s, qint64 needed, int quietMs) {
    QByteArray got;
    const qint64 limitMs = needed * 10 * 1000 / qMax(1, s.port.baudRate()) + 1000;
    const qint64 start = s.clock.elapsedMs();
    qint64 lastArrival = start;
    while (got.size() < needed && s.port.isOpen()) {
        if (const qint64 waiting = s.port.inputWaiting(); waiting > 0) {
            const QByteArray chunk = s.port.read(qMin(waiting, needed - got.size()));
            if (chunk.isEmpty())
                break; // the port failed underneath
            got += chunk;
            lastArrival = s.clock.elapsedMs();
            continue;
        }
        const qint64 now = s.clock.elapsedMs();
        if (now - lastArrival >= quietMs || now - start > limitMs)
            break;
        s.clock.waitMs(1);
    }
    return got;
}

bool waitOutputDrained(Session& s, qint64 bytes) {
    // 10 bits per byte on the line, plus a second for the driver and adapter.
    const qint64 limitMs = bytes * 10 * 1000 / qMax(1, s.port.baudRate()) + 1000;
    const qint64 start = s.clock.elapsedMs();
    while (s.port.outputWaiting() > 0) {
        if (!s.port.isOpen() || s.clock.elapsedMs() - start > limitMs)
            return false;
        s.clock.waitMs(1);
    }
    return s.port.isOpen();
}

bool sendBlock(Session& s, const QByteArray& bytes) {
    return s.port.write(bytes) && waitOutputDrained(s, bytes.size());
}

} // namespace printerlink
