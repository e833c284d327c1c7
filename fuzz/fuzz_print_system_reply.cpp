// SPDX-License-Identifier: GPL-3.0-or-later
// The print-system settings block, under both models and both label layouts.
#include "device/print_system_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply = fuzz::bytes(data, size);
    for (const char* model : {"K309", "K307"})
        for (bool wide : {false, true})
            (void)device::printSystemSettingsText(reply, QString::fromLatin1(model), wide);
    return 0;
}
