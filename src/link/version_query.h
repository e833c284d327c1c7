// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/result.h"
#include "link/session.h"

#include <QByteArray>
#include <optional>

namespace printerlink {

// Asks the printer for its software version, shows it and takes the model name from it (from a
// whole reply only). True when a version was read.
bool queryVersion(Session& s);

// --- the pure parts ---

struct VersionReply {
    bool empty = true;   // nothing, or a reply that begins with a zero byte
    QString text;        // the whole reply as text, lead byte included
    QString modelName;   // characters 2-5
    qint64 firmware = 0; // the closing DDMMYY read as YYMMDD
    // Ends in a date: the reply has no length, so only its date shows that it came whole.
    bool dated = false;
    bool oldFirmware = false; // only a whole reply can tell
    qint64 received = 0;      // bytes that came
};

// The last six characters are a calendar date DDMMYY.
bool endsInDate(const QByteArray& reply);

// Firmware older than 01.10.2010 cannot manage marks.
constexpr qint64 kOldFirmwareLimit = 101001;

VersionReply decodeVersionReply(const QByteArray& reply);

// The printer's version: the decoded reply, the model name taken from a whole one.
Result<VersionReply> readVersion(Session& s);
// The same with a failure reported (shown, or kept by the operation under way).
std::optional<VersionReply> fetchVersion(Session& s);
// The message box text for a decoded, non-empty reply; an undated one is said to be cut.
QString versionMessage(const VersionReply& reply);
QString emptyVersionMessage(const QString& portName);

} // namespace printerlink
