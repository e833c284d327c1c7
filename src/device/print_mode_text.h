// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace device {

// The print-mode reply (flag byte at offset 1) as the read-out shows it.
QString printModeText(const QByteArray& reply, bool wideLayout);

} // namespace device
