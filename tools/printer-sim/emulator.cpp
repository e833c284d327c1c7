// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr qint64 kIdleResetUs = 1'000'000;
// Faster than any host poll, so the reply never looks settled.
constexpr qint64 kGrowingStepUs = 200;

QElapsedTimer& monotonic() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

qint64 nowUs() {
    return monotonic().nsecsElapsed() / 1000;
}

// Requests that change the memory worth keeping: a mark, a logo slot, a fragment of mark 0.
bool changesMemory(const QByteArray& r) {
    if (r.size() < 2)
        return false;
    const quint8 lead = quint8(r[0]);
    if (lead == 0x0F)
        return r[1] == 't' || r[1] == 'l';
    const bool settingsWrite = (lead == 0x1A || lead == 0x1D) && (r[1] == 'D' || r[1] == 'T');
    return !settingsWrite && (lead == 0x10 || lead == 0x18 || lead == 0x19 || lead == 0x1A ||
                              lead == 0x1C || lead == 0x1D);
}
} // namespace

Emulator::Emulator(sim::Printer& printer, Options options)
    : printer_(printer), options_(std::move(options)) {
    if (!options_.arrivalsFile.isEmpty()) {
        arrivals_.setFileName(options_.arrivalsFile);
        if (!arrivals_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            qWarning("printer-sim: cannot write %s", qPrintable(options_.arrivalsFile));
    }
    if (!options_.requestLog.isEmpty()) {
        requestLog_.setFileName(options_.requestLog);
        if (!requestLog_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            qWarning("printer-sim: cannot write %s", qPrintable(options_.requestLog));
    }
}

void Emulator::receive(const QByteArray& bytes, qint64 now) {
    if (arrivals_.isOpen())
        arrivals_.write(QByteArray::number(now) + ' ' + QByteArray::number(bytes.size()) + '\n');
    for (char b : bytes) {
        if (lastByteUs_ >= 0 && now - lastByteUs_ > kIdleResetUs && printer_.expectsMore())
            printer_.dropPartial();
        lastByteUs_ = now;
        printer_.feed(QByteArray(1, b));
        schedule(now);
    }
    saveIfWritten();
}

void Emulator::schedule(qint64 requestEndUs) {
    const qint64 bt = (10'000'000 + options_.baud - 1) / options_.baud;
    if (options_.growingAfterRequests >= 0 &&
        printer_.requests.size() >= options_.growingAfterRequests)
        printer_.faults.growing = true;
    const sim::Faults& f = printer_.faults;
    for (const sim::Reply& r : printer_.takeReplies()) {
        const qint64 start = qMax(requestEndUs + qint64(r.delayMs) * 1000, printerFreeUs_);
        const QList<sim::TimedByte> paced = sim::paceReply(r.bytes, start, bt, f);
        out_.insert(out_.end(), paced.begin(), paced.end());
        printerFreeUs_ = paced.isEmpty() ? start : paced.last().atUs;
        if (f.growing && growingNextUs_ < 0)
            growingNextUs_ = printerFreeUs_ + kGrowingStepUs;
    }
}

bool Emulator::flushDue(int fd, qint64 now) {
    // A never-ending reply only trickles while nothing else waits, so a host that stopped
    // reading cannot make the queue grow without bound.
    if (growingNextUs_ >= 0 && growingNextUs_ <= now && out_.empty()) {
        for (int i = 0; i < 64 && growingNextUs_ <= now; ++i, growingNextUs_ += kGrowingStepUs)
            out_.push_back({growingNextUs_, char(0x55)});
        growingNextUs_ = qMax(growingNextUs_, now + kGrowingStepUs);
    }
    QByteArray due;
    for (const sim::TimedByte& o : out_) {
        if (o.atUs > now)
            break;
        due += o.byte;
    }
    if (due.isEmpty())
        return true;
    const ssize_t n = ::write(fd, due.constData(), size_t(due.size()));
    if (n < 0)
        return errno == EAGAIN || errno == EINTR; // the host is not reading: try again later
    out_.erase(out_.begin(), out_.begin() + n);
    return true;
}

qint64 Emulator::nextEventUs() const {
    qint64 next = -1;
    if (!out_.empty())
        next = out_.front().atUs;
    if (growingNextUs_ >= 0 && (next < 0 || growingNextUs_ < next))
        next = growingNextUs_;
    return next;
}

void Emulator::saveIfWritten() {
    bool changed = false;
    for (; requestsSeen_ < printer_.requests.size(); ++requestsSeen_) {
        const QByteArray& request = printer_.requests[requestsSeen_];
        changed = changesMemory(request) || changed;
        if (requestLog_.isOpen())
            requestLog_.write(request.toHex() + '\n');
    }
    if (!changed || options_.memoryDir.isEmpty())
        return;
    if (QString failed; !printer_.save(options_.memoryDir, &failed))
        qWarning("printer-sim: cannot save the memory: %s not written", qPrintable(failed));
}

bool Emulator::run(int fd, const volatile int& stop) {
    char buffer[4096];
    while (!stop) {
        const qint64 now = nowUs();
        // Reply bytes are due at sub-millisecond steps, so the wait is in microseconds.
        qint64 waitUs = 200'000;
        if (const qint64 next = nextEventUs(); next >= 0)
            waitUs = qBound(qint64(0), next - now, waitUs);
        const timespec timeout{0, long(waitUs * 1000)};
        pollfd p{fd, POLLIN, 0};
        if (!out_.empty() && out_.front().atUs <= now)
            p.events |= POLLOUT; // due bytes the host's full queue refused last time
        const int ready = ::ppoll(&p, 1, &timeout, nullptr);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                receive(QByteArray(buffer, int(n)), nowUs());
            else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO)
                return false;
        }
        if (!flushDue(fd, nowUs()))
            return false;
        if (p.revents & (POLLHUP | POLLERR)) {
            // No host has the device open; our own slave handle keeps this rare.
            ::usleep(10'000);
        }
    }
    return true;
}
