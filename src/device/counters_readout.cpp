// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/counters_readout.h"

#include "device/readout_common.h"
#include "link/requests.h"

using namespace printerlink;

namespace {

// The letter and the counter's digit pairs.
std::optional<Reply> readCounterReply(Session& s, device::Counter counter) {
    return counter == device::Counter::RunningHours
               ? device::fetchReadout(s, runningHoursRequest(), 5, 8192)
               : device::fetchReadout(s, printedMarksRequest(), 7, 8192);
}

void readCounter(Session& s, device::Counter counter) {
    if (const auto reply = readCounterReply(s, counter))
        device::showSystemInformation(s, device::counterSentence(reply->padded(8192), counter),
                                      *reply);
}

} // namespace

std::optional<QByteArray> fetchCounter(Session& s, device::Counter counter) {
    const auto reply = readCounterReply(s, counter);
    if (!reply)
        return std::nullopt;
    return reply->padded(8192);
}

void readRunningHours(Session& s) {
    readCounter(s, device::Counter::RunningHours);
}

void readPrintedMarks(Session& s) {
    readCounter(s, device::Counter::PrintedMarks);
}
