// SPDX-License-Identifier: GPL-3.0-or-later
// The print-mode flag byte.
#include "device/print_mode_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply = fuzz::bytes(data, size);
    for (bool wide : {false, true})
        (void)device::printModeText(reply, wide);
    return 0;
}
