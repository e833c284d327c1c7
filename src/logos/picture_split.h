// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QString>

// Cutting a logo that is too wide for one printer slot into strips saved as files.
namespace logos {

enum class BinSplit { Failed, Written, FirstPartOpened };

// Where part k of a BIN split of `chosenPath` goes: base_k.bin beside it, base being the file
// name without its last four characters, in lower case.
QString binPartPath(const QString& chosenPath, int k);

// Save As of a logo that needs 2..12 slots: writes base_1.bin .. base_n.bin next to `name`
// (base: the file name without ".bin", in lower case), each part a BIN file of the strip
// packed from row 8R - 1 upward; then asks whether to open part 1 and, on Yes, loads it and
// makes it the current logo file. A part that cannot be written stops the split with a
// message (Failed). The current logo file is not changed unless part 1 is opened.
BinSplit splitIntoBinFiles(printerlink::Session& s, const QString& name, int parts);

enum class SlotSplit {
    NotNeeded,        // the logo fits one slot, or its size is outside the split table
    Declined,         // strips written, the user kept the whole logo
    FirstStripOpened, // strips written, strip 1 is now the logo and the current logo file
    Failed            // a strip could not be written; the message has been shown
};

// Run by the slot write before it asks for the slot number. For a logo wider than a slot
// (R = 4: 64..251 columns, R = 3: from 85, R = 2: from 128; never for R = 1) it cuts 2..4
// strips, saves strip k as "<current logo file>_k.bmp" (24-bit, last strip first), asks
// whether to open the first one, and on Yes loads strip 1 as the logo (status fields 0 and 2
// updated). The caller must still check that what it sends fits a slot: a logo outside the
// table, or a declined split, is left as wide as it was.
SlotSplit splitForSlot(printerlink::Session& s);

} // namespace logos
