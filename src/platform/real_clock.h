// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

#include <QElapsedTimer>

namespace platform {

// Lets the window paint, timers fire and accessibility queries be answered in the middle of a
// command, without taking user input: clicks and keys stay queued until the command has ended.
void serviceEvents();

// Real waits with 1 ms resolution and the local time. The window stays alive during a wait.
class RealClock : public Clock {
public:
    RealClock();
    ~RealClock() override;
    void waitMs(int ms) override;
    void waitUs(int us) override;
    QDateTime now() const override;
    qint64 elapsedMs() const override;

private:
    QElapsedTimer timer_;
};

} // namespace platform
