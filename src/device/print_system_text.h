// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace device {

// The print-system settings reply as the read-out shows it. Bytes beyond the reply read as 0.
QString printSystemSettingsText(const QByteArray& reply, const QString& modelName, bool wideLayout);

// Single rendering rules, shared with the tests' tables.
QString dropFrequencyText(qint8 code);
QString converterFrequencyText(quint8 value);

} // namespace device
