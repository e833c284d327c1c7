// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/area_maps.h"

#include "device/area_map_text.h"
#include "device/readout_common.h"
#include "link/requests.h"

using namespace printerlink;

namespace {

// One letter per place, then whatever else has arrived, up to the buffer.
std::optional<Reply> fetchMap(Session& s, const QByteArray& request, int places) {
    if (!requestExchange(s, request))
        return std::nullopt;
    return readReply(s, places, 256);
}

std::optional<QByteArray> padded(const std::optional<Reply>& reply) {
    if (!reply)
        return std::nullopt;
    return reply->padded(256);
}

} // namespace

std::optional<QByteArray> fetchTextMarkMap(Session& s) {
    return padded(fetchMap(s, textMarkAreaRequest(), 85));
}

std::optional<QByteArray> fetchGraphicMap(Session& s) {
    return padded(fetchMap(s, graphicAreaRequest(), 128));
}

void showTextMarkAreaMap(Session& s) {
    if (const auto reply = fetchMap(s, textMarkAreaRequest(), 85))
        device::showSystemInformation(s, device::textMarkAreaText(reply->padded(256), s.wideLayout),
                                      *reply);
}

void showGraphicAreaMap(Session& s) {
    if (const auto reply = fetchMap(s, graphicAreaRequest(), 128))
        device::showSystemInformation(s, device::graphicAreaText(reply->padded(256)), *reply);
}
