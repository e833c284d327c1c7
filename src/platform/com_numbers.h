// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/port_catalogue.h"

#include <QHash>

namespace platform {

// COM numbers that stay with their device for as long as the program runs. A device is known by
// a stable key (its by-id name where it has one, else its path): an adapter pulled out and
// plugged back in gets its old number again, and the others keep theirs while it is away.
class ComNumbers {
public:
    // Names `ports` (listed in the catalogue's order) COM1, COM2, ...; `keys` holds one key per
    // port. A device seen before keeps its number; a new one takes the lowest number no device
    // has ever had.
    void assign(QList<PortEntry>& ports, const QStringList& keys);

private:
    QHash<QString, int> known_;
};

// COM1, COM2, ... in number order, so a device that keeps its number keeps its place in the list.
void sortByNumber(QList<PortEntry>& ports);

// The stable name of a device: the /dev/serial/by-id link that resolves to it, else its path.
QString stableDeviceKey(const QString& device, const QString& byIdDir);

} // namespace platform
