#pragma once

#include "platform/clock.h"

#include <QElapsedTimer>

namespace platform {

// Real sleeps with 1 ms resolution and the local time.
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
