// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/print_mode_readout.h"

#include "device/readout_common.h"
#include "device/readouts.h"
#include "link/operation_scope.h"

using namespace printerlink;

namespace device {

std::optional<QString> printModeReadout(Session& s) {
    const auto readout = readPrintMode(s);
    if (!readout) {
        reportFailure(s, readout.failure());
        return std::nullopt;
    }
    return readout->shownText();
}

void readPrintModeSettings(Session& s) {
    showReadout(s, readPrintMode(s));
}

} // namespace device
