// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// A number typed into a prompt: leading blanks skipped, reading stops at the first non-digit,
// no digits read as 0. A leading minus is taken so that "-1" is out of range rather than 0.
qint64 readDecimal(const QString& text);

// Whether the text holds a number at all: after the leading blanks, a digit (or a sign and one).
bool startsWithNumber(const QString& text);

// n in decimal with zeros after the sign up to `width` characters, after `prefix`:
// 7, 3 -> "007"; -5, 3 -> "-05"; 7, 2, " " -> " 07".
QString zeroPadded(qint64 n, int width, QStringView prefix = {});
// The same written onto the end of `out`, so that a whole table needs no string per number.
void appendZeroPadded(QString& out, qint64 n, int width);

} // namespace platform
