#include "device/print_mode_readout.h"

#include "device/print_mode_text.h"
#include "device/readout_common.h"

using namespace printerlink;

void readPrintModeSettings(Session& s) {
    const auto reply = device::fetchReadout(s, QByteArrayLiteral("\x11M\x0E"), 256);
    if (!reply)
        return;
    device::showSystemInformation(s, device::printModeText(*reply, s.wideLayout));
}
