// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace platform {

// Milliseconds that `bytes` take on the line at `baudRate`: start bit, 8 data bits, stop bit.
constexpr qint64 lineTimeMs(qint64 bytes, int baudRate) {
    return bytes * 10 * 1000 / (baudRate > 0 ? baudRate : 1);
}

// The same in microseconds, for short polls.
constexpr qint64 lineTimeUs(qint64 bytes, int baudRate) {
    return bytes * 10 * 1000 * 1000 / (baudRate > 0 ? baudRate : 1);
}

} // namespace platform
