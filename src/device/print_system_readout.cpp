// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/print_system_readout.h"

#include "device/print_system_text.h"
#include "device/readout_common.h"
#include "link/requests.h"

using namespace printerlink;

namespace {

// The block is at least 47 bytes; a newer firmware may send more.
std::optional<Reply> fetchSettings(Session& s) {
    return device::fetchReadout(s, printSystemSettingsRequest(), 47, 256);
}

} // namespace

std::optional<QString> printSystemSettingsReadout(Session& s) {
    const auto reply = fetchSettings(s);
    if (!reply)
        return std::nullopt;
    return device::withCompleteness(
        device::printSystemSettingsText(reply->padded(256), s.link.modelName, s.wideLayout),
        *reply);
}

void readPrintSystemSettings(Session& s) {
    if (const auto reply = fetchSettings(s))
        device::showSystemInformation(
            s, device::printSystemSettingsText(reply->padded(256), s.link.modelName, s.wideLayout),
            *reply);
}
