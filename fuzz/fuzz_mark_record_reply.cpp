// SPDX-License-Identifier: GPL-3.0-or-later
// A mark read from the printer: 32 records of code, font, length and text, decoded by both
// readers over a table that already holds a mark.
#include "fuzz_support.h"
#include "marks/mark_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply = fuzz::bytes(data, size);
    if (marks::isEmptyMarkReply(reply))
        return 0;
    for (auto reader : {marks::MarkReader::ByNumber, marks::MarkReader::Current}) {
        marks::MarkRows rows = marks::initialRows();
        marks::decodeMarkData(reply, reader, rows);
    }
    return 0;
}
