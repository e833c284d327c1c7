// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/counter_text.h"
#include "link/session.h"

#include <optional>

namespace device {

// "ИНФО: Время работы Маркиратора".
void readRunningHours(printerlink::Session& s);
// "ИНФО: Число отпечатанных марок".
void readPrintedMarks(printerlink::Session& s);
// The counter's reply without the message box; nothing after a failure (already reported).
std::optional<QByteArray> fetchCounter(printerlink::Session& s, Counter counter);

} // namespace device
