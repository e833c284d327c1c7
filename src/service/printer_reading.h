// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"
#include "link/version_query.h"
#include "service/printer_memory.h"
#include "service/series_steps.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <set>

// What a backup, a compare and a restore read from the printer. A reply cut short by a stall on
// the line reads as free places or zero columns, and a backup must not keep that: every read-only
// request whose reply is short, malformed or followed by more bytes is asked again, a few times,
// after the line has fallen quiet. Nothing is returned for a reply that never came whole; `why`
// then says why in the words of a result line ("ответ неполный"), empty when the link's own
// error box has said it already.
namespace service {

// The reason given when a reply could not be read at all (the link's error was shown).
QString readFailedReason();

// The numbers marked 'Y' in a map whose first place is `first`.
std::set<int> occupiedNumbers(const QByteArray& map, int first, int count);

// The version, whole: a reply cut short would give a wrong model name to a backup.
std::optional<printerlink::VersionReply> readWholeVersion(printerlink::Session& s,
                                                          QString* why = nullptr);
// The text mark map and the graphic map, every place 'Y' or 'N'.
std::optional<QByteArray> readMarkMap(printerlink::Session& s, QString* why = nullptr);
std::optional<QByteArray> readLogoMap(printerlink::Session& s, QString* why = nullptr);

// One mark as a mark file; `empty` when its place holds none. `unknownCodes` gets the fragments
// whose function a mark file cannot keep.
std::optional<QByteArray> readMarkFile(printerlink::Session& s, int number, bool* empty,
                                       QString* why, QStringList* unknownCodes = nullptr);
// One occupied slot as the BIN file the printer sent.
std::optional<QByteArray> readSlotFile(printerlink::Session& s, int slot, QString* why);

struct MemoryRead {
    std::optional<PrinterMemory> memory;
    QString failedItem; // "Марка 05: ответ неполный"
    bool stopped = false;
    QStringList unknownCodes; // "Марка 05: фрагменты 11, 12"
};

// Version, maps, mark 00 and every occupied mark and slot, and the read-outs when asked, each
// item shown through `steps` as it begins.
MemoryRead readPrinterMemory(printerlink::Session& s, SeriesSteps& steps, bool withReadouts);

} // namespace service
