#include "platform/real_clock.h"

#include <QThread>

#ifdef Q_OS_WIN
#include <timeapi.h>
#include <windows.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace platform {

RealClock::RealClock() {
#ifdef Q_OS_WIN
    timeBeginPeriod(1); // 1 ms waits must be 1 ms, not a 15.6 ms tick
#endif
#ifdef Q_OS_LINUX
    // The default 50 us of slack on every sleep adds up over the hundreds of short polls of
    // one command.
    prctl(PR_SET_TIMERSLACK, 1000UL);
#endif
    timer_.start();
}

RealClock::~RealClock() {
#ifdef Q_OS_WIN
    timeEndPeriod(1);
#endif
}

void RealClock::waitMs(int ms) {
    if (ms > 0)
        QThread::msleep(ulong(ms));
}

void RealClock::waitUs(int us) {
    if (us > 0)
        QThread::usleep(ulong(us));
}

QDateTime RealClock::now() const {
    return QDateTime::currentDateTime();
}

qint64 RealClock::elapsedMs() const {
    return timer_.elapsed();
}

} // namespace platform
