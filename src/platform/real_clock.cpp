// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/real_clock.h"

#include <QCoreApplication>
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

void serviceEvents() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && app->thread() == QThread::currentThread())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void RealClock::waitMs(int ms) {
    if (ms <= 0)
        return;
    // Events are served at least once a millisecond, so a long wait never freezes the window and
    // a painting turn makes a wait overshoot by its own length only.
    const qint64 deadlineNs = timer_.nsecsElapsed() + qint64(ms) * 1000000;
    for (;;) {
        serviceEvents();
        const qint64 leftNs = deadlineNs - timer_.nsecsElapsed();
        if (leftNs <= 0)
            return;
        QThread::usleep(ulong(qMin<qint64>(leftNs, 1000000) / 1000));
    }
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
