#include "device/print_system_readout.h"

#include "device/print_system_text.h"
#include "device/readout_common.h"

using namespace printerlink;

void readPrintSystemSettings(Session& s) {
    const auto reply = device::fetchReadout(s, QByteArrayLiteral("\x11\x5C\x0E"), 256);
    if (!reply)
        return;
    device::showSystemInformation(
        s, device::printSystemSettingsText(*reply, s.link.modelName, s.wideLayout));
}
