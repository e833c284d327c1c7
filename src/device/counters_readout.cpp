// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/counters_readout.h"

#include "device/readout_common.h"
#include "device/readouts.h"
#include "link/operation_scope.h"

using namespace platform;
using namespace printerlink;

namespace device {

namespace {

void showCounter(Session& s, Counter counter) {
    const auto reading = readCounter(s, counter);
    if (!reading)
        return showFailure(s.dialogs, reading.failure());
    showSystemInformation(s, reading->sentence, reading->reply);
}

} // namespace

std::optional<QByteArray> fetchCounter(Session& s, Counter counter) {
    const auto reading = readCounter(s, counter);
    if (!reading) {
        reportFailure(s, reading.failure());
        return std::nullopt;
    }
    return reading->reply.padded(8192);
}

void readRunningHours(Session& s) {
    showCounter(s, Counter::RunningHours);
}

void readPrintedMarks(Session& s) {
    showCounter(s, Counter::PrintedMarks);
}

} // namespace device
