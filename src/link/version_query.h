#pragma once

#include "link/session.h"

#include <QByteArray>
#include <optional>

namespace printerlink {

// Asks the printer for its software version, shows it and takes the model name from it.
// True when a version was read.
bool queryVersion(Session& s);

// --- the pure parts ---

struct VersionReply {
    bool empty = true;   // nothing, or a reply that begins with a zero byte
    QString text;        // the whole reply as text, lead byte included
    QString modelName;   // characters 2-5
    qint64 firmware = 0; // the closing DDMMYY read as YYMMDD
    bool oldFirmware = true;
};

// Firmware older than 01.10.2010 cannot manage marks.
constexpr qint64 kOldFirmwareLimit = 101001;

VersionReply decodeVersionReply(const QByteArray& reply);

// The exchange of queryVersion without its message box: the decoded reply, the model name
// taken; nothing after a failure (already reported).
std::optional<VersionReply> fetchVersion(Session& s);
// The message box text for a decoded, non-empty reply.
QString versionMessage(const VersionReply& reply);
QString emptyVersionMessage(const QString& portName);

} // namespace printerlink
