// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace device {

enum class Counter { RunningHours, PrintedMarks };

// The digit pairs of a counter reply (from offset 1) joined into the number shown. A byte above
// 99 is no digit pair: it shows as question marks rather than a wrong count.
QString counterNumberText(const QByteArray& reply, Counter counter);

// The whole sentence of the message box.
QString counterSentence(const QByteArray& reply, Counter counter);

} // namespace device
