// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/session.h"

namespace printerlink {

QString PrinterLink::settingsText() const {
    return QStringLiteral(": baud=%1 parity=N Data=8 stop=1").arg(baudRate);
}

QString PrinterLink::statusText() const {
    return QStringLiteral("%1: %2,n,8,1").arg(portName).arg(baudRate);
}

} // namespace printerlink
