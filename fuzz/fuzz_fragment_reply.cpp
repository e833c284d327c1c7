// SPDX-License-Identifier: GPL-3.0-or-later
// The fragment read reply. The first byte picks the line and fragment asked for.
#include "fuzz_support.h"
#include "marks/mark_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int line = data[0] % 4 + 1;
    const int fragment = (data[0] / 4) % 8 + 1;
    (void)marks::fragmentReportText(line, fragment, fuzz::bytes(data + 1, size - 1));
    return 0;
}
