// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"
#include "marks/mark_model.h"
#include "marks/mark_record.h"

#include <QByteArray>
#include <optional>

namespace marks {

void readCurrentMark(printerlink::Session& s);
void readMarkByNumber(printerlink::Session& s);
void writeMarkByNumber(printerlink::Session& s);

// The steps of those commands without their prompts and boxes. A failure has been reported
// already (lamp and message).
// Mark `number` (0 = the mark being printed) in the zero-filled reply buffer; the reader decides
// the timing, as the two read commands differ in it. `received` tells how many bytes came.
std::optional<QByteArray> fetchMarkReply(printerlink::Session& s, int number, MarkReader reader,
                                         qint64* received = nullptr);
bool sendMark(printerlink::Session& s, int number, const MarkRows& rows);

} // namespace marks
