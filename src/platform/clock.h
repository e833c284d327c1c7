// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void waitMs(int ms) = 0;
    // A short wait for polls that must not overshoot what they wait for by a whole millisecond.
    virtual void waitUs(int us) = 0;
    // Local date and time.
    virtual QDateTime now() const = 0;
    // Monotonic milliseconds, for bounding polling loops by elapsed time.
    virtual qint64 elapsedMs() const = 0;
};

} // namespace platform
