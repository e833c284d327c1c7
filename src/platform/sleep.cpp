// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sleep.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QThread>
#endif

namespace platform {

#ifdef Q_OS_WIN
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

void sleepUs(qint64 us) {
    if (us <= 0)
        return;
    // A high-resolution timer (Windows 10 1803 and later) wakes within tens of microseconds;
    // elsewhere Sleep keeps the 1 ms steps that timeBeginPeriod(1) gives it.
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
    if (timer) {
        LARGE_INTEGER due;
        due.QuadPart = -us * 10; // relative, in 100 ns
        const bool set = SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
        if (set)
            WaitForSingleObject(timer, INFINITE);
        CloseHandle(timer);
        if (set)
            return;
    }
    Sleep(DWORD((us + 999) / 1000));
}
#else
void sleepUs(qint64 us) {
    if (us > 0)
        QThread::usleep(ulong(us));
}
#endif

} // namespace platform
