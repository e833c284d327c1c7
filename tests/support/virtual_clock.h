// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

// Virtual time: a wait advances the clock at once; the simulated port reads it to deliver bytes.
class VirtualClock : public platform::Clock {
public:
    void waitMs(int ms) override { nowUs_ += qint64(qMax(ms, 0)) * 1000; }
    void waitUs(int us) override { nowUs_ += qMax(us, 0); }
    QDateTime now() const override { return start_.addMSecs(nowUs_ / 1000); }
    qint64 elapsedMs() const override { return nowUs_ / 1000; }

    qint64 nowUs() const { return nowUs_; }
    void advanceUs(qint64 us) { nowUs_ += us; }
    void setDateTime(const QDateTime& t) { start_ = t.addMSecs(-(nowUs_ / 1000)); }

private:
    qint64 nowUs_ = 0;
    QDateTime start_{QDate(2026, 2, 3), QTime(9, 5, 7)};
};
