// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/protocol_log.h"

#include "platform/codepage.h"

namespace printerlink {

namespace {

constexpr int kBytesPerLine = 16;
constexpr int kHexColumn = kBytesPerLine * 3;

// How each byte shows in the text column: Windows-1251, control bytes as dots.
const QString& shownBytes() {
    static const QString shown = [] {
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b < 0x20 || b == 0x7F ? '.' : b);
        return platform::fromCp1251(all);
    }();
    return shown;
}

} // namespace

// Each line is written into one string of its final size: a bitmap read logs 8 KB this way.
QStringList trafficLines(const QDateTime& at, Direction direction, const QByteArray& bytes) {
    static constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
    const QChar* shown = shownBytes().constData();
    QStringList out;
    out.reserve((bytes.size() + kBytesPerLine - 1) / kBytesPerLine);
    const QString head =
        at.toString(QStringLiteral("hh:mm:ss.zzz")) +
        (direction == Direction::Sent ? QStringLiteral(" -> ") : QStringLiteral(" <- "));
    for (qsizetype from = 0; from < bytes.size(); from += kBytesPerLine) {
        const qsizetype n = qMin<qsizetype>(kBytesPerLine, bytes.size() - from);
        QString line(head.size() + kHexColumn + n + 2, u' ');
        QChar* hex = std::copy(head.begin(), head.end(), line.begin());
        QChar* text = hex + kHexColumn;
        *text++ = u'|';
        for (qsizetype i = 0; i < n; ++i) {
            const auto b = quint8(bytes[from + i]);
            hex[3 * i] = kHexDigits[b >> 4];
            hex[3 * i + 1] = kHexDigits[b & 0xF];
            *text++ = shown[b];
        }
        *text = u'|';
        out << line;
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
