// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/readout_values.h"

#include "platform/plain_text.h"

#include <QStringList>

namespace operations {

using platform::plainText;

QJsonObject readoutValues(const QString& text) {
    QJsonObject out;
    for (const QString& line : plainText(text).split(QLatin1Char('\n'))) {
        QStringList parts = line.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        if (parts.size() < 2)
            continue;
        QString label = parts.takeFirst().trimmed();
        while (label.endsWith(QLatin1Char(':')) || label.endsWith(QLatin1Char('.')))
            label.chop(1);
        const QString value = parts.join(QLatin1Char(' ')).trimmed();
        if (label.isEmpty() || value.isEmpty())
            continue;
        QString key = label;
        for (int n = 2; out.contains(key); ++n)
            key = label + QStringLiteral(" (%1)").arg(n);
        out.insert(key, value);
    }
    return out;
}

} // namespace operations
