// SPDX-License-Identifier: GPL-3.0-or-later
// Running hours and printed marks: digit pairs joined into one number.
#include "device/counter_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply = fuzz::bytes(data, size);
    for (auto counter : {device::Counter::RunningHours, device::Counter::PrintedMarks})
        (void)device::counterSentence(reply, counter);
    return 0;
}
