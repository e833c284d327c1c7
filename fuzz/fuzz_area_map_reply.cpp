// SPDX-License-Identifier: GPL-3.0-or-later
// The occupancy maps of the text-mark and graphic stores.
#include "device/area_map_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply = fuzz::bytes(data, size);
    for (bool wide : {false, true})
        (void)device::textMarkAreaText(reply, wide);
    (void)device::graphicAreaText(reply);
    return 0;
}
