// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/counter_text.h"
#include "link/request_exchange.h"
#include "link/result.h"

#include <QList>
#include <QString>

namespace device {

// A read-out as the printer sent it and as the window words it.
struct Readout {
    QString text;             // the decoded lines, "Label\t\tvalue"
    printerlink::Reply reply; // what came; a short one is decoded with zeros for the rest
    // The text with the incompleteness note under it when the reply stopped short.
    QString shownText() const;
};

struct CounterReading {
    Counter counter = Counter::RunningHours;
    QString number;   // the counter's digits as the printer keeps them
    QString sentence; // "Время работы Маркиратора: ..."
    printerlink::Reply reply;
};

// Which places of an area are taken: marks 01..85 or logo slots 000..127.
struct AreaMap {
    QList<int> occupied;
    QString text; // the window's table of the places
    printerlink::Reply reply;
};

// The print-system settings, decoded for the link's model and the session's layout.
printerlink::Result<Readout> readSettings(printerlink::Session& s);
printerlink::Result<Readout> readPrintMode(printerlink::Session& s);
printerlink::Result<CounterReading> readCounter(printerlink::Session& s, Counter counter);
printerlink::Result<AreaMap> readTextMarkMap(printerlink::Session& s);
printerlink::Result<AreaMap> readGraphicMap(printerlink::Session& s);

// The places marked 'Y' in an occupancy reply, numbered from `first`.
QList<int> occupiedPlaces(const QByteArray& reply, int first, int count);

} // namespace device
