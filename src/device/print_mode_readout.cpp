#include "device/print_mode_readout.h"

#include "device/print_mode_text.h"
#include "device/readout_common.h"

using namespace printerlink;

std::optional<QString> printModeReadout(Session& s) {
    const auto reply = device::fetchReadout(s, QByteArrayLiteral("\x11M\x0E"), 256);
    if (!reply)
        return std::nullopt;
    return device::printModeText(*reply, s.wideLayout);
}

void readPrintModeSettings(Session& s) {
    if (const auto text = printModeReadout(s))
        device::showSystemInformation(s, *text);
}
