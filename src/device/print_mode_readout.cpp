// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/print_mode_readout.h"

#include "device/print_mode_text.h"
#include "device/readout_common.h"
#include "link/requests.h"

using namespace printerlink;

namespace {

// "M" and the mode byte.
std::optional<Reply> fetchPrintMode(Session& s) {
    return device::fetchReadout(s, printModeRequest(), 2, 256);
}

} // namespace

std::optional<QString> printModeReadout(Session& s) {
    const auto reply = fetchPrintMode(s);
    if (!reply)
        return std::nullopt;
    return device::withCompleteness(device::printModeText(reply->padded(256), s.wideLayout),
                                    *reply);
}

void readPrintModeSettings(Session& s) {
    if (const auto reply = fetchPrintMode(s))
        device::showSystemInformation(s, device::printModeText(reply->padded(256), s.wideLayout),
                                      *reply);
}
