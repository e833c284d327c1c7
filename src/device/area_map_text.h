// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace device {

// Occupancy replies (one byte per place, "Y" = occupied) drawn as the read-outs' tables.
QString textMarkAreaText(const QByteArray& reply, bool wideLayout);
QString graphicAreaText(const QByteArray& reply);

} // namespace device
