// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

#include <QElapsedTimer>

namespace platform {

// Lets the window paint, timers fire and accessibility queries be answered in the middle of a
// command, without taking user input: clicks and keys wait for the window to drop them once the
// command has ended.
void serviceEvents();

// Real waits with 1 ms resolution and the local time. The window stays alive during every wait,
// short or long: events are served every few milliseconds, and never so close to a wait's end
// that serving them would carry the wait past it.
class RealClock : public Clock {
public:
    // Events are served at most this often during a wait...
    static constexpr qint64 kTurnEveryNs = 1'000'000;
    // ...and at least this often over a run of waits, however short each one is.
    static constexpr qint64 kOverdueNs = 15'000'000;

    RealClock();
    ~RealClock() override;
    void waitMs(int ms) override;
    void waitUs(int us) override;
    QDateTime now() const override;
    qint64 elapsedMs() const override;

private:
    void waitUntil(qint64 deadlineNs);
    void serve();

    QElapsedTimer timer_;
    qint64 lastServedNs_ = -kOverdueNs;
    // What an event turn costs: the longest of those within kTurnCostMemoryNs.
    static constexpr qint64 kTurnCostMemoryNs = 50'000'000;
    qint64 turnCostNs_ = 0;
    qint64 turnCostAtNs_ = 0;
};

} // namespace platform
