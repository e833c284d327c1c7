#include "device/counters_readout.h"

#include "device/readout_common.h"

using namespace printerlink;

std::optional<QByteArray> fetchCounter(Session& s, device::Counter counter) {
    const QByteArray request = counter == device::Counter::RunningHours
                                   ? QByteArrayLiteral("\x11w\x0E")
                                   : QByteArrayLiteral("\x11m\x0E");
    return device::fetchReadout(s, request, 8192);
}

namespace {

void readCounter(Session& s, device::Counter counter) {
    if (const auto reply = fetchCounter(s, counter))
        device::showSystemInformation(s, device::counterSentence(*reply, counter));
}

} // namespace

void readRunningHours(Session& s) {
    readCounter(s, device::Counter::RunningHours);
}

void readPrintedMarks(Session& s) {
    readCounter(s, device::Counter::PrintedMarks);
}
