// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/protocol_log.h"

#include "platform/codepage.h"

namespace printerlink {

namespace {

constexpr int kBytesPerLine = 16;

QString textColumn(const QByteArray& bytes) {
    QByteArray shown = bytes;
    for (char& c : shown) {
        const auto b = quint8(c);
        if (b < 0x20 || b == 0x7F)
            c = '.';
    }
    return platform::fromCp1251(shown);
}

} // namespace

QStringList trafficLines(const QDateTime& at, Direction direction, const QByteArray& bytes) {
    QStringList out;
    const QString head =
        at.toString(QStringLiteral("hh:mm:ss.zzz")) +
        (direction == Direction::Sent ? QStringLiteral(" -> ") : QStringLiteral(" <- "));
    for (qsizetype at = 0; at < bytes.size(); at += kBytesPerLine) {
        const QByteArray part = bytes.mid(at, kBytesPerLine);
        const QString hex = QString::fromLatin1(part.toHex(' ').toUpper());
        out << head + hex.leftJustified(kBytesPerLine * 3, u' ') + u'|' + textColumn(part) + u'|';
    }
    return out;
}

void ProtocolLog::append(const QStringList& lines) {
    for (const QString& line : lines)
        lines_.push_back(line);
    while (qsizetype(lines_.size()) > capacity_)
        lines_.pop_front();
    sequence_ += lines.size();
}

void ProtocolLog::clear() {
    lines_.clear();
    sequence_ = 0;
}

QStringList ProtocolLog::lines() const {
    return QStringList(lines_.begin(), lines_.end());
}

QStringList ProtocolLog::linesAfter(qint64 seen, bool* complete) const {
    const qint64 first = sequence_ - qint64(lines_.size()); // sequence of the oldest line kept
    const bool whole = seen >= first && seen <= sequence_;
    if (complete)
        *complete = whole;
    const qint64 from = whole ? seen - first : 0;
    return QStringList(lines_.begin() + from, lines_.end());
}

} // namespace printerlink
