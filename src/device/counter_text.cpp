// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/counter_text.h"

namespace device {

QString counterNumberText(const QByteArray& reply, Counter counter) {
    const int pairs = counter == Counter::RunningHours ? 4 : 6;
    auto pairAt = [&](int i) { return i + 1 < reply.size() ? quint8(reply.at(i + 1)) : quint8(0); };
    QString text;
    for (int i = 0; i < pairs - 1; ++i) {
        const quint8 p = pairAt(i);
        if (p > 99)
            text += QStringLiteral("??");
        else if (!text.isEmpty())
            text += QStringLiteral("%1").arg(p, 2, 10, QLatin1Char('0'));
        else if (p > 0)
            text += QString::number(p);
    }
    const quint8 last = pairAt(pairs - 1);
    if (counter == Counter::RunningHours) {
        // The last pair holds whole hours' units and the tenths.
        text += last > 99 ? QStringLiteral("?.?")
                          : QStringLiteral("%1.%2").arg(last / 10).arg(last % 10);
    } else {
        text += last > 99 ? QStringLiteral("??")
                          : QStringLiteral("%1").arg(last, 2, 10, QLatin1Char('0'));
    }
    return text;
}

QString counterSentence(const QByteArray& reply, Counter counter) {
    const QString number = counterNumberText(reply, counter);
    if (counter == Counter::RunningHours)
        return QStringLiteral("  Маркиратор отработал ") + number + QStringLiteral(" часов. ");
    return QStringLiteral("  Маркиратор отпечатал ") + number + QStringLiteral(" марок. ");
}

} // namespace device
