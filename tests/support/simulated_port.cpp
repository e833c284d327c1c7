// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulated_port.h"

#include <limits>
#include <utility>

namespace {
// A request that stalls this long is forgotten by the printer.
constexpr qint64 kPrinterIdleResetUs = 1'000'000;
// A reply that never settles: a byte every half millisecond, so no two counts taken a
// millisecond or more apart ever agree.
constexpr qint64 kGrowingStepUs = 500;
constexpr qint64 kNever = std::numeric_limits<qint64>::max();
} // namespace

SimulatedPort::SimulatedPort(sim::Printer& printer, VirtualClock& clock)
    : printer_(printer), clock_(clock) {}

qint64 SimulatedPort::byteTimeUs() const {
    // Start bit, 8 data bits, stop bit.
    const qint64 baud = qMax(1, baud_);
    return (10'000'000 + baud - 1) / baud;
}

bool SimulatedPort::open(const QString& device, int baudRate) {
    if (failOpen != OpenError::None) {
        lastError_ = failOpen;
        return false;
    }
    if (!devices.isEmpty() && !devices.contains(device)) {
        lastError_ = OpenError::NotFound;
        return false;
    }
    if (open_)
        close();
    open_ = true;
    vanished_ = false;
    baud_ = baudRate;
    lastError_ = OpenError::None;
    writtenBytes_ = 0;
    arrivedBytes_ = 0;
    outputBusyUntilUs_ = clock_.nowUs();
    openings.append(device + QLatin1Char('@') + QString::number(baudRate));
    return true;
}

bool SimulatedPort::write(const QByteArray& bytes) {
    if (onWrite)
        onWrite(bytes);
    deliver();
    if (!isOpen() || printer_.faults.refuseWrite)
        return false;
    if (bytes.isEmpty())
        return true;

    QByteArray sent = bytes;
    bool vanishes = false;
    if (const int limit = printer_.faults.vanishAfterBytes; limit >= 0) {
        const qint64 allowed = qMax<qint64>(0, limit - writtenBytes_);
        if (bytes.size() >= allowed) {
            sent = bytes.left(allowed);
            vanishes = true;
        }
    }
    writtenBytes_ += sent.size();

    if (vanishes) {
        // What left before the plug was pulled still reached the printer; its answers are lost.
        printer_.feed(sent);
        printer_.takeReplies();
        vanish();
        return sent.size() == bytes.size();
    }

    if (!printer_.faults.stale.isEmpty())
        input_ += std::exchange(printer_.faults.stale, {});

    // The printer model takes each byte at once, but answers as of the byte's arrival time on
    // the line; so a test sees what a command sent even when the command ends without waiting,
    // while everything the host can observe keeps the line's timing.
    const qint64 bt = instantOutput ? 0 : byteTimeUs();
    const qint64 start = qMax(clock_.nowUs(), outputBusyUntilUs_);
    for (int k = 0; k < sent.size(); ++k) {
        const qint64 at = start + qint64(k + 1) * bt;
        if (lastArrivalUs_ >= 0 && at - lastArrivalUs_ > kPrinterIdleResetUs &&
            printer_.expectsMore())
            printer_.dropPartial();
        lastArrivalUs_ = at;
        printer_.feed(sent.mid(k, 1));
        scheduleReplies(at);
    }
    if (!sent.isEmpty())
        arrivals.append({start + bt, start + sent.size() * bt});
    outgoing_.append({start, sent});
    outputBusyUntilUs_ = start + sent.size() * bt;
    return true;
}

void SimulatedPort::scheduleReplies(qint64 requestEndUs) {
    const qint64 bt = byteTimeUs();
    const sim::Faults& f = printer_.faults;
    for (const sim::Reply& r : printer_.takeReplies()) {
        const qint64 start = qMax(requestEndUs + qint64(r.delayMs) * 1000, printerFreeUs_);
        const QList<sim::TimedByte> paced = sim::paceReply(r.bytes, start, bt, f);
        incoming_ += paced;
        printerFreeUs_ = paced.isEmpty() ? start : paced.last().atUs;
        if (f.growing && growingNextUs_ < 0)
            growingNextUs_ = printerFreeUs_ + kGrowingStepUs;
    }
}

void SimulatedPort::deliver() {
    if (!isOpen())
        return;
    const qint64 now = clock_.nowUs();
    const qint64 bt = byteTimeUs();

    // Host bytes leave the output queue at the line's rate.
    if (instantOutput)
        outgoing_.clear();
    while (!outgoing_.isEmpty()) {
        auto& [start, bytes] = outgoing_.first();
        const qint64 gone = qMin<qint64>(bytes.size(), (now - start) / bt);
        if (gone < bytes.size()) {
            if (gone > 0) {
                start += gone * bt;
                bytes.remove(0, gone);
            }
            break;
        }
        outgoing_.removeFirst();
    }

    // Printer bytes reach the host in time order, with a never-ending reply's trickle merged in.
    if (!printer_.faults.growing)
        growingNextUs_ = -1;
    int taken = 0;
    for (;;) {
        const qint64 tIn = taken < incoming_.size() ? incoming_[taken].atUs : kNever;
        const qint64 tGrow = growingNextUs_ >= 0 ? growingNextUs_ : kNever;
        if (qMin(tIn, tGrow) > now)
            break;
        if (vanishAfterReplyBytes >= 0 && arrivedBytes_ >= vanishAfterReplyBytes) {
            vanishAfterReplyBytes = -1;
            vanish();
            return;
        }
        ++arrivedBytes_;
        if (tIn <= tGrow) {
            input_ += incoming_[taken++].byte;
        } else if (const int packet = printer_.faults.chunkBytes; packet > 0) {
            // Through a USB adapter the trickle comes in packets, with gaps that settle a count.
            input_ += QByteArray(packet, char(0x55));
            arrivedBytes_ += packet - 1;
            growingNextUs_ += packet * bt + qint64(printer_.faults.chunkGapMs) * 1000;
        } else {
            input_ += char(0x55);
            growingNextUs_ += kGrowingStepUs;
        }
    }
    incoming_.remove(0, taken);
}

qint64 SimulatedPort::inputWaiting() {
    deliver();
    return isOpen() ? input_.size() : 0;
}

qint64 SimulatedPort::outputWaiting() {
    deliver();
    if (!isOpen())
        return 0;
    qint64 n = 0;
    for (const auto& group : outgoing_)
        n += group.second.size();
    return n;
}

QByteArray SimulatedPort::read(qint64 n) {
    deliver();
    if (!isOpen() || n <= 0)
        return {};
    const QByteArray out = input_.left(n);
    input_.remove(0, out.size());
    bytesRead += out.size();
    return out;
}

void SimulatedPort::discardInput() {
    // Only what has reached the host: bytes still on the line arrive afterwards.
    deliver();
    input_.clear();
}

void SimulatedPort::close() {
    open_ = false;
    outgoing_.clear();
    incoming_.clear();
    input_.clear();
    growingNextUs_ = -1;
    printerFreeUs_ = 0;
    printer_.dropPartial();
}

void SimulatedPort::vanish() {
    close();
    vanished_ = true;
    // Plugged back in, the device works again.
    printer_.faults.vanishAfterBytes = -1;
}
