// SPDX-License-Identifier: GPL-3.0-or-later
// The read-lines reply that gives the print-lines prompt its default.
#include "fuzz_support.h"
#include "link/printer_settings.h"

using namespace printerlink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)printLinesDefault(fuzz::bytes(data, size));
    return 0;
}
