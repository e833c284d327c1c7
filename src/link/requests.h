// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace printerlink {

// Every request the program sends, byte for byte. A request is a lead byte, a command letter,
// parameters as ASCII digits or raw bytes, and 0x0E; numbers are zero-padded to their field.

QByteArray versionRequest();
QByteArray printSystemSettingsRequest();
QByteArray printModeRequest();
QByteArray runningHoursRequest();
QByteArray printedMarksRequest();
QByteArray printLinesRequest();
QByteArray textMarkAreaRequest();
QByteArray graphicAreaRequest();
QByteArray markBitmapRequest();

// Settings written without an answer; the parameters go out as given.
QByteArray setDateRequest(const QByteArray& ddmmyy);
QByteArray setTimeRequest(const QByteArray& hhmmss);
QByteArray setDateOffsetRequest(const QByteArray& fourDigits);
QByteArray setPrintLinesRequest(int lines);

// Marks: 0 is the mark being printed. The write header is followed by the 1536 data bytes.
QByteArray markReadRequest(int number);
QByteArray markWriteHeader(int number);

// Fragments are addressed by line and position digits (1-based).
QByteArray fragmentReadRequest(int line, int fragment);
// Starts with the function code instead of a lead byte; `position` is the two address
// characters as the user chose them, `text` already in the printer's code page.
QByteArray fragmentWriteRequest(quint8 functionCode, const QByteArray& position, int font,
                                const QByteArray& text);

// Logo slots. The write header ends with the high byte of the payload length instead of 0x0E,
// and is followed by a 256-byte block; the delete header is followed by 256 zero bytes.
QByteArray logoSlotRequest(int slot);
QByteArray logoWriteHeader(int slot, int payloadLength);
QByteArray logoDeleteHeader(int slot);

} // namespace printerlink
