// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace service {

// The part files of a split picture from its first one: "wide_1.bin" gives wide_1.bin,
// wide_2.bin, ... up to the first number missing (at most 12); a name without "_1" before its
// extension gives nothing.
QStringList logoPartFiles(const QString& firstPart);

// What a slot takes of a BIN, PBM or BMP logo file: X, R and the packed columns; or the
// message that refuses it (unreadable, not a logo, too large for one slot).
struct SlotPayload {
    QByteArray payload;
    QString error;
};
SlotPayload slotPayloadOfFile(const QString& path);

// "СЕРВИС" / "Записать части рисунка в Маркиратор...": the parts of a split picture into
// consecutive slots, each read back, with a stop between two parts.
void writeLogoParts(printerlink::Session& s);

} // namespace service
