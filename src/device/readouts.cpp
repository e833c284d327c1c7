// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/readouts.h"

#include "device/area_map_text.h"
#include "device/print_mode_text.h"
#include "device/print_system_text.h"
#include "device/readout_common.h"
#include "link/operation_scope.h"
#include "link/requests.h"

using namespace printerlink;

namespace device {

namespace {

constexpr qint64 kReadoutBuffer = 256;
constexpr qint64 kCounterBuffer = 8192;
constexpr int kMarkPlaces = 85;
constexpr int kSlotPlaces = 128;

// One letter per place, then whatever else has arrived, up to the buffer.
Result<AreaMap> readMap(Session& s, const QByteArray& request, int first, int places) {
    OperationScope scope(s);
    std::optional<Reply> reply;
    if (requestExchange(s, request))
        reply = readReply(s, places, kReadoutBuffer);
    if (!reply)
        return scope.failure();
    const QByteArray bytes = reply->padded(kReadoutBuffer);
    const QString text =
        first == 1 ? textMarkAreaText(bytes, s.wideLayout) : graphicAreaText(bytes);
    return AreaMap{occupiedPlaces(bytes, first, places), text, *reply};
}

} // namespace

QString Readout::shownText() const {
    return withCompleteness(text, reply);
}

Result<Readout> readSettings(Session& s) {
    OperationScope scope(s);
    // The block is at least 47 bytes; a newer firmware may send more.
    const auto reply = fetchReadout(s, printSystemSettingsRequest(), 47, kReadoutBuffer);
    if (!reply)
        return scope.failure();
    return Readout{
        printSystemSettingsText(reply->padded(kReadoutBuffer), s.link.modelName, s.wideLayout),
        *reply};
}

Result<Readout> readPrintMode(Session& s) {
    OperationScope scope(s);
    // "M" and the mode byte.
    const auto reply = fetchReadout(s, printModeRequest(), 2, kReadoutBuffer);
    if (!reply)
        return scope.failure();
    return Readout{printModeText(reply->padded(kReadoutBuffer), s.wideLayout), *reply};
}

Result<CounterReading> readCounter(Session& s, Counter counter) {
    OperationScope scope(s);
    // The letter and the counter's digit pairs.
    const auto reply = counter == Counter::RunningHours
                           ? fetchReadout(s, runningHoursRequest(), 5, kCounterBuffer)
                           : fetchReadout(s, printedMarksRequest(), 7, kCounterBuffer);
    if (!reply)
        return scope.failure();
    const QByteArray bytes = reply->padded(kCounterBuffer);
    return CounterReading{counter, counterNumberText(bytes, counter),
                          counterSentence(bytes, counter), *reply};
}

Result<AreaMap> readTextMarkMap(Session& s) {
    return readMap(s, textMarkAreaRequest(), 1, kMarkPlaces);
}

Result<AreaMap> readGraphicMap(Session& s) {
    return readMap(s, graphicAreaRequest(), 0, kSlotPlaces);
}

QList<int> occupiedPlaces(const QByteArray& reply, int first, int count) {
    QList<int> out;
    for (int k = 0; k < count && k < reply.size(); ++k) {
        if (reply.at(k) == 'Y')
            out.append(first + k);
    }
    return out;
}

} // namespace device
