// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/area_maps.h"

#include "device/readout_common.h"
#include "device/readouts.h"
#include "link/operation_scope.h"

using namespace printerlink;

namespace device {

namespace {

std::optional<QByteArray> reported(Session& s, const Result<AreaMap>& map) {
    if (!map) {
        reportFailure(s, map.failure());
        return std::nullopt;
    }
    return map->reply.padded(256);
}

void showMap(Session& s, const Result<AreaMap>& map) {
    if (!map)
        return showFailure(s.dialogs, map.failure());
    showSystemInformation(s, map->text, map->reply);
}

} // namespace

std::optional<QByteArray> fetchTextMarkMap(Session& s) {
    return reported(s, readTextMarkMap(s));
}

std::optional<QByteArray> fetchGraphicMap(Session& s) {
    return reported(s, readGraphicMap(s));
}

void showTextMarkAreaMap(Session& s) {
    showMap(s, readTextMarkMap(s));
}

void showGraphicAreaMap(Session& s) {
    showMap(s, readGraphicMap(s));
}

} // namespace device
