// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <optional>

namespace device {

// "ИНФО: УСТАВКИ СИСТЕМЫ ПЕЧАТИ" (Ctrl+U).
void readPrintSystemSettings(printerlink::Session& s);
// Its text without the message box; nothing after a failure (already reported).
std::optional<QString> printSystemSettingsReadout(printerlink::Session& s);

} // namespace device
