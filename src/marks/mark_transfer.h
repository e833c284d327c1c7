// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/result.h"
#include "link/session.h"
#include "marks/mark_model.h"
#include "marks/mark_record.h"

#include <QByteArray>
#include <optional>

namespace marks {

void readCurrentMark(printerlink::Session& s);
void readMarkByNumber(printerlink::Session& s);
void writeMarkByNumber(printerlink::Session& s);

// A mark as the printer holds it. The rows of a reply that stopped short are decoded with zeros
// for what did not come.
struct Mark {
    int number = 0; // 0: the mark being printed
    MarkReader reader = MarkReader::Current;
    MarkRows rows;
    qint64 received = 0; // bytes of the 1536 that came
    bool complete() const { return received >= kMarkDataSize; }
};

// Mark 0..85 (0 = the one being printed); refused when the printer's place is empty.
printerlink::Result<Mark> readMark(printerlink::Session& s, int number);
// The same as one of the two window commands reads it (their timing and decoding differ).
printerlink::Result<Mark> readMark(printerlink::Session& s, int number, MarkReader reader);
// Refused as bad input when a text does not fit its record (checkTexts for the printer).
printerlink::Result<void> writeMark(printerlink::Session& s, int number, const MarkRows& rows);
// "МАРКА #07"
QString markTitle(int number);

// The steps of those commands without their prompts and boxes. A failure has been reported
// already (lamp and message).
// Mark `number` (0 = the mark being printed) in the zero-filled reply buffer; the reader decides
// the timing, as the two read commands differ in it. `received` tells how many bytes came.
std::optional<QByteArray> fetchMarkReply(printerlink::Session& s, int number, MarkReader reader,
                                         qint64* received = nullptr);
bool sendMark(printerlink::Session& s, int number, const MarkRows& rows);

} // namespace marks
