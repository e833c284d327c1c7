// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_monitor.h"

Q_LOGGING_CATEGORY(lcLink, "inkwick.link", QtInfoMsg)

namespace printerlink {

void LinkMonitor::setMeter(Meter meter) {
    flush();
    meter_ = std::move(meter);
    moved_ = 0;
    waiting_ = 0;
}

namespace {
constexpr int kLineBytes = 16;
// A reply that has paused this long is logged as it stands.
constexpr qint64 kPauseMs = 20;
// What a discard shows of the stale bytes; the rest is discarded unseen.
constexpr qint64 kStaleLimit = 4096;
} // namespace

void LinkMonitor::flush() {
    if (pending_.isEmpty())
        return;
    const QStringList lines = trafficLines(pendingSince_, Direction::Received, pending_);
    pending_.clear();
    for (const QString& line : lines)
        qCDebug(lcLink).noquote() << line;
    log_.append(lines);
}

void LinkMonitor::record(Direction direction, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    if (direction == Direction::Received) {
        if (pending_.isEmpty()) {
            pendingSince_ = clock_.now();
            pendingAtMs_ = clock_.elapsedMs();
        }
        pending_ += bytes;
        if (pending_.size() < kLineBytes)
            return;
        const qsizetype whole = pending_.size() - pending_.size() % kLineBytes;
        const QByteArray rest = pending_.mid(whole);
        pending_.truncate(whole);
        flush();
        pending_ = rest;
        pendingSince_ = clock_.now();
        pendingAtMs_ = clock_.elapsedMs();
        return;
    }
    flush();
    const QStringList lines = trafficLines(clock_.now(), direction, bytes);
    for (const QString& line : lines)
        qCDebug(lcLink).noquote() << line;
    log_.append(lines);
}

void LinkMonitor::note(const QString& event) {
    flush();
    const QString line = clock_.now().toString(QStringLiteral("hh:mm:ss.zzz ")) + event;
    qCDebug(lcLink).noquote() << line;
    log_.append({line});
}

void LinkMonitor::measure() {
    if (meter_)
        meter_(moved_ + waiting_);
}

bool LinkMonitor::open(const QString& device, int baudRate) {
    const bool ok = inner_.open(device, baudRate);
    note(QStringLiteral("%1 %2 %3")
             .arg(ok ? QStringLiteral("открыт") : QStringLiteral("не открыт"), device)
             .arg(baudRate));
    return ok;
}

bool LinkMonitor::write(const QByteArray& bytes) {
    const bool ok = inner_.write(bytes);
    record(Direction::Sent, bytes);
    if (!ok)
        note(QStringLiteral("запись не удалась"));
    moved_ += bytes.size();
    measure();
    return ok;
}

qint64 LinkMonitor::inputWaiting() {
    const qint64 n = inner_.inputWaiting();
    if (n == 0 && !pending_.isEmpty() && clock_.elapsedMs() - pendingAtMs_ >= kPauseMs)
        flush();
    if (meter_ && n != waiting_) {
        waiting_ = n;
        measure();
    }
    return n;
}

QByteArray LinkMonitor::read(qint64 n) {
    const QByteArray got = inner_.read(n);
    record(Direction::Received, got);
    if (meter_ && !got.isEmpty()) {
        moved_ += got.size();
        waiting_ = qMax<qint64>(0, waiting_ - got.size());
        measure();
    }
    return got;
}

void LinkMonitor::discardInput() {
    // Stale bytes are part of the story when a reply goes wrong: read them into the log first.
    // Read without asking for the count first: the exchange's polling is the only counting.
    if (const QByteArray stale = inner_.read(kStaleLimit); !stale.isEmpty()) {
        record(Direction::Received, stale);
        note(QStringLiteral("отброшено байт: %1").arg(stale.size()));
    }
    inner_.discardInput();
}

void LinkMonitor::close() {
    if (inner_.isOpen())
        note(QStringLiteral("закрыт"));
    inner_.close();
}

} // namespace printerlink
