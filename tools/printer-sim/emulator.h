// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/printer.h"
#include "sim/reply_pacing.h"

#include <QFile>
#include <QString>
#include <deque>

// The simulated printer served in real time on the master side of a pseudo-terminal: bytes the
// host writes are fed to the model as they come, replies leave at the line's byte rate.
class Emulator {
public:
    struct Options {
        int baud = 115200;
        QString memoryDir; // empty: memory is not kept between runs
        // Where each read from the host is noted as "<microseconds> <bytes>"; empty: nowhere.
        // The time counts from the emulator's start on the system's monotonic clock.
        QString arrivalsFile;
        // >= 0: the replies start growing once this many requests have come (a line that
        // begins to flood part-way into a backup).
        int growingAfterRequests = -1;
        // Every request received, one line of hex each, as it comes (benchmarks count them).
        QString requestLog;
    };

    Emulator(sim::Printer& printer, Options options);

    // Runs until `stop` becomes non-zero. False when the loop failed.
    bool run(int masterFd, const volatile int& stop);

private:
    void receive(const QByteArray& bytes, qint64 nowUs);
    void schedule(qint64 requestEndUs);
    bool flushDue(int fd, qint64 nowUs);
    qint64 nextEventUs() const;
    void saveIfWritten();

    sim::Printer& printer_;
    Options options_;
    std::deque<sim::TimedByte> out_;
    qint64 printerFreeUs_ = 0;
    qint64 growingNextUs_ = -1;
    qint64 lastByteUs_ = -1;
    qsizetype requestsSeen_ = 0;
    QFile arrivals_;
    QFile requestLog_;
};
