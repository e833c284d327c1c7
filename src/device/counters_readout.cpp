#include "device/counters_readout.h"

#include "device/counter_text.h"
#include "device/readout_common.h"

using namespace printerlink;

namespace {

void readCounter(Session& s, const QByteArray& request, device::Counter counter) {
    const auto reply = device::fetchReadout(s, request, 8192);
    if (!reply)
        return;
    device::showSystemInformation(s, device::counterSentence(*reply, counter));
}

} // namespace

void readRunningHours(Session& s) {
    readCounter(s, QByteArrayLiteral("\x11w\x0E"), device::Counter::RunningHours);
}

void readPrintedMarks(Session& s) {
    readCounter(s, QByteArrayLiteral("\x11m\x0E"), device::Counter::PrintedMarks);
}
