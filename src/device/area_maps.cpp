#include "device/area_maps.h"

#include "device/area_map_text.h"
#include "device/readout_common.h"

using namespace printerlink;

namespace {

std::optional<QByteArray> fetchMap(Session& s, const QByteArray& request, int places) {
    if (!requestExchange(s, request))
        return std::nullopt;
    // The whole table, even when it comes in packets, then whatever else has arrived.
    constexpr qint64 kBufferSize = 256;
    QByteArray reply = readRemainder(s, places);
    reply += s.port.read(qMin(s.port.inputWaiting(), kBufferSize - reply.size()));
    return reply + QByteArray(kBufferSize - reply.size(), '\0');
}

} // namespace

std::optional<QByteArray> fetchTextMarkMap(Session& s) {
    return fetchMap(s, QByteArrayLiteral("\x0Fx\x0E"), 85);
}

std::optional<QByteArray> fetchGraphicMap(Session& s) {
    return fetchMap(s,
                    QByteArrayLiteral("\x0F"
                                      "a\x0E"),
                    128);
}

void showTextMarkAreaMap(Session& s) {
    if (const auto reply = fetchTextMarkMap(s))
        device::showSystemInformation(s, device::textMarkAreaText(*reply, s.wideLayout));
}

void showGraphicAreaMap(Session& s) {
    if (const auto reply = fetchGraphicMap(s))
        device::showSystemInformation(s, device::graphicAreaText(*reply));
}
