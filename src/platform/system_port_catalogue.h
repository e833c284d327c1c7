// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/com_numbers.h"
#include "platform/port_catalogue.h"

#include <QSerialPortInfo>
#include <QStringList>

namespace platform {

// The serial ports of this computer. The device paths in INKWICK_EXTRA_PORTS (colon-separated;
// pseudo-terminals of the simulator, socat pairs) come first, in the order given, then the ports
// the system enumerates. Off Windows they are named COM1, COM2, ... in that order and the
// settings column shows the device path, so the user can tell which number is which device.
// A device keeps its number for the whole run, so a replugged adapter is found where it was.
class SystemPortCatalogue : public PortCatalogue {
public:
    QList<PortEntry> ports() override;
    // A device named on the command line, listed with the extra ports.
    void addExtraPort(const QString& device) { extra_.append(device); }

private:
    QStringList extra_;
    ComNumbers numbers_;
};

// The naming rule on its own, for any list of extra paths and discovered ports. `discovered`
// need not be sorted; ports that also appear among the extra paths are listed once.
QList<PortEntry> namePorts(const QStringList& extraPaths, const QList<QSerialPortInfo>& discovered);

// A ttyS port that the kernel registered without any UART behind it.
bool isPhantomPort(const QSerialPortInfo& info);

} // namespace platform
