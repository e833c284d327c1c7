// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <optional>

namespace device {

// "ИНФО: Уставки Режима Печати".
void readPrintModeSettings(printerlink::Session& s);
// Its text without the message box; nothing after a failure (already reported).
std::optional<QString> printModeReadout(printerlink::Session& s);

} // namespace device
