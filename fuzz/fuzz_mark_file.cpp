// SPDX-License-Identifier: GPL-3.0-or-later
// The .mrt reader. A file it accepts, written back and read again, must read the same a second
// time round: the writer and the reader agree.
#include "fuzz_support.h"
#include "marks/mark_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto rows = marks::decodeMarkFile(fuzz::bytes(data, size), marks::initialRows());
    if (!rows)
        return 0;
    const auto once = marks::decodeMarkFile(marks::encodeMarkFile(*rows), marks::initialRows());
    if (!once)
        std::abort(); // our own file refused
    const auto twice = marks::decodeMarkFile(marks::encodeMarkFile(*once), marks::initialRows());
    if (!twice || *twice != *once)
        std::abort();
    return 0;
}
