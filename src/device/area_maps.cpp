#include "device/area_maps.h"

#include "device/area_map_text.h"
#include "device/readout_common.h"

namespace {

std::optional<QByteArray> fetchMap(Session& s, const QByteArray& request) {
    if (!requestExchange(s, request))
        return std::nullopt;
    // Whatever has arrived by now, not only the settled count.
    return readReply(s, s.port.inputWaiting(), 256);
}

} // namespace

void showTextMarkAreaMap(Session& s) {
    if (const auto reply = fetchMap(s, QByteArrayLiteral("\x0Fx\x0E")))
        device::showSystemInformation(s, device::textMarkAreaText(*reply, s.wideLayout));
}

void showGraphicAreaMap(Session& s) {
    if (const auto reply = fetchMap(s, QByteArrayLiteral("\x0F"
                                                         "a\x0E")))
        device::showSystemInformation(s, device::graphicAreaText(*reply));
}
