// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <deque>

namespace printerlink {

enum class Direction { Sent, Received };

// One traffic chunk as log lines of up to 16 bytes each:
// "09:05:07.123 -> 11 69 0E                                         |.i.|"
// The text column is Windows-1251 with control bytes shown as dots.
QStringList trafficLines(const QDateTime& at, Direction direction, const QByteArray& bytes);

// The last lines of the printer traffic, bounded so a long session cannot grow without limit.
// Viewers catch up by sequence number instead of being told of every line, so appending costs
// the transfer nothing beyond the formatting.
class ProtocolLog {
public:
    explicit ProtocolLog(qsizetype capacity = 10000) : capacity_(qMax<qsizetype>(1, capacity)) {}

    void append(const QStringList& lines);
    void clear();

    qsizetype size() const { return qsizetype(lines_.size()); }
    QStringList lines() const;
    // Lines appended since the log was made or cleared, dropped ones included.
    qint64 sequence() const { return sequence_; }
    // The lines after `seen`; `complete` is false when some of them were already dropped.
    QStringList linesAfter(qint64 seen, bool* complete = nullptr) const;

private:
    qsizetype capacity_;
    std::deque<QString> lines_;
    qint64 sequence_ = 0;
};

} // namespace printerlink
