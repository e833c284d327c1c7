// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/plain_text.h"

namespace platform {

QString plainText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    out.remove(QLatin1Char('\r'));
    return out;
}

} // namespace platform
