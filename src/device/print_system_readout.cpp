// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/print_system_readout.h"

#include "device/readout_common.h"
#include "device/readouts.h"
#include "link/operation_scope.h"

using namespace printerlink;

namespace device {

std::optional<QString> printSystemSettingsReadout(Session& s) {
    const auto readout = readSettings(s);
    if (!readout) {
        reportFailure(s, readout.failure());
        return std::nullopt;
    }
    return readout->shownText();
}

void readPrintSystemSettings(Session& s) {
    showReadout(s, readSettings(s));
}

} // namespace device
