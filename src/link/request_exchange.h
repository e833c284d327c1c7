// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QByteArray>
#include <functional>
#include <optional>

namespace printerlink {

// The generic request exchange and the send-only pattern every printer command is made of.
// On failure these functions set the lamp red and have shown their message already.

// Discards stale input, writes the request and polls until two counts agree and are non-zero
// (cycles of `waitMs` + count + `waitMs` + count). Returns the settled reply length, or nothing
// after the read-error message.
std::optional<qint64> requestExchange(Session& s, const QByteArray& request, int cycles = 250,
                                      int waitMs = 1);

// Writes the request after discarding stale input; false (nothing shown) when the write fails.
bool writeRequest(Session& s, const QByteArray& request);

// Polls the settle test only; returns the settled count, or 0 when the cycles ran out. Two
// equal non-zero counts settle the reply once the count has stood still for `quietMs`. A
// reply whose length is known ends the poll as soon as `wholeBytes` (when > 0) have come, and
// the poll lasts that reply's line time longer.
qint64 pollSettled(Session& s, int cycles, int waitMs, qint64 wholeBytes = 0);

// How long an unchanged count must stand before a reply counts as complete: the wait itself,
// or eight byte times on a slower line.
qint64 quietMs(int baudRate, int waitMs);

// A reply as it came off the line.
struct Reply {
    QByteArray bytes;  // what arrived, at most the caller's limit
    qint64 needed = 0; // what the command expects; 0 when only the content tells
    bool complete = false;

    // The bytes zero-filled to `size`: the decoders read missing bytes as 0.
    QByteArray padded(qint64 size) const;
};

// Whether the bytes read so far are the whole reply.
using ReplyComplete = std::function<bool(const QByteArray& got)>;

// The one reader for a reply that may arrive in packets: USB-serial adapters, device servers
// and some firmwares hand a reply over in pieces with gaps that the settle test takes for its
// end. Takes what is waiting, then keeps reading until `complete` says so or the line has been
// quiet for replyQuietMs(); `expectedBytes` bounds the whole read. A whole reply costs no wait
// beyond its arrival. Nothing when the port failed underneath (the read-error message has been
// shown).
std::optional<Reply> readReplyUntil(Session& s, const ReplyComplete& complete, qint64 expectedBytes,
                                    qint64 limit);
// The same for a reply of `needed` bytes.
std::optional<Reply> readReply(Session& s, qint64 needed, qint64 limit);

// Whether bytes still arrive a few byte times after a reply has ended: a printer or a loose
// cable that talks without end. What such a line gave is no reply to keep. `listenMs` longer
// than the default catches a flood that a USB adapter hands over in packets 16 ms apart.
bool lineStillTalking(Session& s, int listenMs = 0);

// How long a line must stay quiet before a reply that is still short counts as ended. The gaps
// between the packets of one reply are usually a few milliseconds, at worst a good part of
// this (a printer pausing between its blocks); on a slow line a full USB packet's line time plus
// an adapter's latency gap. Always below the line time of a reply plus a second.
qint64 replyQuietMs(int baudRate);

// Waits for an empty output queue, bounded by the line time of `bytes` at the rate in force
// plus 1 s. False when the queue did not drain or the port failed.
bool waitOutputDrained(Session& s, qint64 bytes);

// Writes a block and waits for it to leave; false on a refused write or a stalled line.
bool sendBlock(Session& s, const QByteArray& bytes);

void setLamp(Session& s, platform::Lamp lamp,
             platform::LampTarget target = platform::LampTarget::Both);

// Red lamp(s) and the messages the commands share.
void reportReadError(Session& s, platform::LampTarget target = platform::LampTarget::Both);
void reportWriteError(Session& s, platform::LampTarget target = platform::LampTarget::Both);

} // namespace printerlink
