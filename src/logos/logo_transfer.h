// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QByteArray>
#include <optional>

// "Чтение Логотипа из Маркиратора": a printer slot (0..255) becomes the logo and the file
// "logoNNN.bin" in the working directory.
void readLogoSlot(printerlink::Session& s);
// "Записать Логотип в Маркиратор": the logo into a slot (0..127), split first when too wide.
void writeLogoSlot(printerlink::Session& s);
// "Удалить Логотип..": a slot (0..127) is overwritten with zeros after a confirmation.
void deleteLogoSlot(printerlink::Session& s);

// The steps of those commands without their prompts and boxes; a link failure has been
// reported already (lamp and message) when they give nothing or false.
struct SlotRead {
    enum State { Empty, OneByte, BadWidth, BadRows, Data };
    State state = Empty;
    int width = 0;
    int byteRows = 0;
    QByteArray reply;      // for Data: the lead byte, X, R and the stored bytes
    bool complete = false; // for Data: every column the header announces came
    bool overrun = false;  // for Data: more came than a slot holds (the line went on talking)
    // The BIN file of a Data read: every byte received, as the printer sent it.
    QByteArray binFile() const;
};
std::optional<SlotRead> fetchLogoSlot(printerlink::Session& s, int slot);
// Writes X, R and the packed columns (zero-filled to the slot's 256 bytes) into a slot.
bool sendSlotPayload(printerlink::Session& s, int slot, const QByteArray& payload);
// Overwrites a slot with zeros.
bool clearSlot(printerlink::Session& s, int slot);
