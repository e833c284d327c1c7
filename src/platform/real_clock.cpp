// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/real_clock.h"

#include "platform/sleep.h"

#include <QCoreApplication>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
// After windows.h, whose types it uses.
#include <timeapi.h>
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

void serviceEvents() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && app->thread() == QThread::currentThread())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void RealClock::serve() {
    const qint64 before = timer_.nsecsElapsed();
    serviceEvents();
    lastServedNs_ = timer_.nsecsElapsed();
    // The longest turn of the last moments: a repaint or a slow display answers for the next
    // few turns too, and a stall of the whole process does not keep turns out of short waits
    // for longer than that.
    const qint64 cost = lastServedNs_ - before;
    if (cost >= turnCostNs_ || lastServedNs_ - turnCostAtNs_ > kTurnCostMemoryNs) {
        turnCostNs_ = cost;
        turnCostAtNs_ = lastServedNs_;
    }
}

void RealClock::waitUntil(qint64 deadlineNs) {
    // Waking up from the sleep after a turn costs tens of microseconds.
    constexpr qint64 kMarginNs = 200'000;
    for (;;) {
        qint64 now = timer_.nsecsElapsed();
        if (now >= deadlineNs)
            return;
        // A turn that could not end before the deadline is left to the next wait, so the
        // printer's pauses do not grow by the time a repaint takes; only a window left unserved
        // for too long is served all the same.
        const qint64 sinceTurn = now - lastServedNs_;
        const bool fits = deadlineNs - now > turnCostNs_ + kMarginNs;
        if ((sinceTurn >= kTurnEveryNs && fits) || sinceTurn >= kOverdueNs) {
            serve();
            now = timer_.nsecsElapsed();
        }
        const qint64 leftNs = deadlineNs - now;
        if (leftNs <= 0)
            return;
        const qint64 untilTurnNs = qMax<qint64>(lastServedNs_ + kTurnEveryNs - now, 50'000);
        sleepUs(qMin(leftNs, untilTurnNs) / 1000);
    }
}

void RealClock::waitMs(int ms) {
    if (ms > 0)
        waitUntil(timer_.nsecsElapsed() + qint64(ms) * 1'000'000);
}

void RealClock::waitUs(int us) {
    if (us > 0)
        waitUntil(timer_.nsecsElapsed() + qint64(us) * 1'000);
}

QDateTime RealClock::now() const {
    return QDateTime::currentDateTime();
}

qint64 RealClock::elapsedMs() const {
    return timer_.elapsed();
}

} // namespace platform
