// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

namespace service {

// The part files of a split picture from its first one: "wide_1.bin" gives wide_1.bin,
// wide_2.bin, ... up to the first number missing (at most 12); a name without "_1" before its
// extension gives nothing.
QStringList logoPartFiles(const QString& firstPart);

// A BIN, PBM or BMP logo file as the BIN file of the slot it goes into (as the slot reads
// back); or the message that refuses it (unreadable, not a logo, too large for one slot).
struct SlotPayload {
    QByteArray bin;
    QString error;
    bool unreadable = false; // the error is the file's, not its content's
};
SlotPayload slotPayloadOfFile(const QString& path);

// Every part of a split picture, read and checked before anything is sent.
struct LogoParts {
    QStringList files;
    QList<QByteArray> bins; // each as the slot reads back: length word, X, R, columns
    QString error;          // the first part that cannot go into a slot, or the wrong first name
    bool unreadable = false;
    bool ok() const { return error.isEmpty(); }
    // Part k into slot first + k.
    std::map<int, QByteArray> inSlots(int first) const;
};
LogoParts readLogoParts(const QString& firstPart);

// "СЕРВИС" / "Записать части рисунка в Маркиратор...": the parts of a split picture into
// consecutive slots, each read back, with a stop between two parts.
void writeLogoParts(printerlink::Session& s);

} // namespace service
