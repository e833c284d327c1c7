#pragma once

#include "link/session.h"

#include <QByteArray>
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
// equal non-zero counts settle the reply once the count has stood still for `quietMs`.
qint64 pollSettled(Session& s, int cycles, int waitMs);

// How long an unchanged count must stand before a reply counts as complete: the wait itself,
// or eight byte times on a slower line.
qint64 quietMs(int baudRate, int waitMs);

// Reads up to `limit` bytes of what is waiting into a zero-filled buffer of `bufferSize`.
QByteArray readReply(Session& s, qint64 available, qint64 bufferSize);

// Reads until `needed` bytes are in, for a reply whose length its header gives: USB adapters
// hand a long reply over in packets with gaps that the settle test takes for its end. Returns
// what came (at most `needed`) once the line has been quiet for `quietMs`, within the line time
// of `needed` bytes plus 1 s.
QByteArray readRemainder(Session& s, qint64 needed, int quietMs = 50);

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
