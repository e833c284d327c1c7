#include "device/print_system_readout.h"

#include "device/print_system_text.h"
#include "device/readout_common.h"

using namespace printerlink;

std::optional<QString> printSystemSettingsReadout(Session& s) {
    const auto reply = device::fetchReadout(s, QByteArrayLiteral("\x11\x5C\x0E"), 256);
    if (!reply)
        return std::nullopt;
    return device::printSystemSettingsText(*reply, s.link.modelName, s.wideLayout);
}

void readPrintSystemSettings(Session& s) {
    if (const auto text = printSystemSettingsReadout(s))
        device::showSystemInformation(s, *text);
}
