// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace platform {

// Sleeps about `us` microseconds, never less. QThread::usleep on Windows rounds every sleep up to
// the next whole millisecond plus one, which would double a 1 ms wait.
void sleepUs(qint64 us);

} // namespace platform
