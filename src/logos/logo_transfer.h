// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/result.h"
#include "link/session.h"
#include "logos/picture_files.h"

#include <QByteArray>
#include <optional>

namespace logos {

// "Чтение Логотипа из Маркиратора": a printer slot (0..255) becomes the logo and the file
// "logoNNN.bin" in the working directory.
void readLogoSlot(printerlink::Session& s);
// "Записать Логотип в Маркиратор": the logo into a slot (0..127), split first when too wide.
void writeLogoSlot(printerlink::Session& s);
// "Удалить Логотип..": a slot (0..127) is overwritten with zeros after a confirmation.
void deleteLogoSlot(printerlink::Session& s);

// What a slot read found.
struct SlotRead {
    enum State { Empty, OneByte, BadWidth, BadRows, Data };
    State state = Empty;
    int slot = 0;
    int width = 0;
    int byteRows = 0;
    QByteArray reply;      // for Data: the lead byte, X, R and the stored bytes
    bool complete = false; // for Data: every column the header announces came
    bool overrun = false;  // for Data: more came than a slot holds (the line went on talking)
    // The BIN file of a Data read: every byte received, as the printer sent it.
    QByteArray binFile() const;
    // The packed columns the header announces, zero-filled where the reply stopped short.
    QByteArray columns() const;
};

// The operations under them. A slot read gives its data, or refuses an empty slot or one whose
// header no logo has, with the window's texts; a cut reply is Data, not complete.
printerlink::Result<SlotRead> readLogoSlot(printerlink::Session& s, int slot);
// A logo that fits a slot whole (fitsSlot) into slot 0..127.
printerlink::Result<void> writeLogoSlot(printerlink::Session& s, int slot,
                                        const PackedPicture& logo);
// Slot 0..127 overwritten with zeros.
printerlink::Result<void> deleteLogoSlot(printerlink::Session& s, int slot);

// Why a logo cannot go into a slot; the window's words.
QString slotTooSmallText(int width, int height, int bytes);
// "Передача Логотипа #007 завершена." and "Очистка Логотипа #007 завершена."
QString slotWrittenText(int slot);
QString slotClearedText(int slot);
QString slotWriteTitle();

// The steps without the refusals; a link failure has been reported (shown, or kept by the
// operation under way) when they give nothing or false.
std::optional<SlotRead> fetchLogoSlot(printerlink::Session& s, int slot);
// Writes X, R and the packed columns (zero-filled to the slot's 256 bytes) into a slot.
bool sendSlotPayload(printerlink::Session& s, int slot, const QByteArray& payload);
// Overwrites a slot with zeros.
bool clearSlot(printerlink::Session& s, int slot);

} // namespace logos
