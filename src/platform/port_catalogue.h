// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace platform {

struct PortEntry {
    QString name;         // COM1, COM5, ...
    QString settings;     // stored settings (Windows) or the device path (elsewhere)
    QString friendlyName; // description shown to the user
    QString device;       // what SerialPort::open takes
};

class PortCatalogue {
public:
    virtual ~PortCatalogue() = default;
    virtual QList<PortEntry> ports() = 0;
};

} // namespace platform
