// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <memory>

namespace sim {

// What the simulated printer holds. Tests set it directly, in a line or two.
struct PrinterState {
    QString model = QStringLiteral("K309");
    QString firmware = QStringLiteral("011010"); // DDMMYY at the end of the version reply
    QByteArray versionMiddle = QByteArrayLiteral(" v4.12 "); // between model and date
    QByteArray settings; // print-system settings block (47 bytes by default)
    quint8 modeByte = 0x03;
    std::array<quint8, 4> hoursPairs{0, 1, 23, 45};
    std::array<quint8, 6> marksPairs{0, 0, 0, 1, 2, 3};
    quint8 printLines = 2;
    QByteArray clockDate; // last DDMMYY set
    QByteArray clockTime; // last hhmmss set
    QByteArray dateOffset = QByteArrayLiteral("0000");
    std::array<QByteArray, 86> marks;  // 1536 bytes each, empty = free place; 0 = being printed
    std::array<QByteArray, 128> logos; // slot payload as stored (X, R, data), empty = free
    QByteArray bitmap;                 // reply to the bitmap request (header + columns)

    PrinterState();
};

// Faults the printer can be told to inject; all off by default.
struct Faults {
    bool silent = false;       // never answers
    bool growing = false;      // the reply keeps coming, never settles
    int shortReply = -1;       // >= 0: replies are cut to this many bytes
    int chunkBytes = 0;        // > 0: replies leave in packets of this size...
    int chunkGapMs = 0;        // ...with this gap between packets
    bool garbage = false;      // replies are replaced by random bytes of the same length
    QByteArray stale;          // bytes already waiting in the input before the next request
    bool refuseWrite = false;  // the host's writes fail
    int vanishAfterBytes = -1; // >= 0: the device disappears after the host wrote this many
    int latencyMs = 2;         // time from the end of a request to the first reply byte
};

// One reply: bytes that leave the printer after a delay from the end of the request.
struct Reply {
    QByteArray bytes;
    int delayMs = 0;
};

// The protocol model of a K307 / K309 as the host sees it. Feed it what the host writes; it
// parses requests across arbitrary splits and queues replies.
class Printer {
public:
    Printer();
    PrinterState state;
    Faults faults;

    // Every complete request as received (a mark or logo write counts with its data blocks).
    QList<QByteArray> requests;
    // Every byte received, in order.
    QByteArray received;

    void feed(const QByteArray& bytes);
    // Replies produced since the last call.
    QList<Reply> takeReplies();
    // Forgets a request cut off half-way (the line went quiet or the host went away), as the
    // printer's own receive time-out does.
    void dropPartial();
    // True while a request has begun but is not complete.
    bool expectsMore() const;

    // Memory persistence for the emulator: marks and logo slots in a folder. A file that cannot
    // be written whole keeps its old content; the first such path goes to `failedFile`.
    bool save(const QString& folder, QString* failedFile = nullptr) const;
    bool load(const QString& folder);

private:
    void handle(const QByteArray& request);
    void reply(const QByteArray& bytes);

    struct Impl;
    std::shared_ptr<Impl> d;
};

} // namespace sim
