// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/area_map_text.h"

namespace device {
namespace {

bool occupied(const QByteArray& reply, int offset) {
    return offset < reply.size() && reply.at(offset) == 'Y';
}

QString digits(int n, int width) {
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

} // namespace

QString textMarkAreaText(const QByteArray& reply, bool wideLayout) {
    QString text = QStringLiteral("ЗАПОЛНЕНИЕ ОБЛАСТИ ТЕКСТОВЫХ МАРОК:\r\n\n");
    constexpr int kLastMark = 85;
    for (int first = 0; first <= kLastMark; first += 10) {
        const int last = qMin(first + 9, kLastMark);
        for (int mark = first; mark <= last; ++mark) {
            // Mark 00 is the one being printed; the reply has no byte for it.
            const bool used = mark > 0 && occupied(reply, mark - 1);
            text += used ? digits(mark, 2) + QStringLiteral("   ") : QStringLiteral("--    ");
        }
        const QString range = digits(first, 2) + QLatin1Char(':') + digits(last, 2);
        if (last < kLastMark)
            text += QStringLiteral("\t| ") + range + QStringLiteral("\n\r");
        else if (wideLayout)
            text += QStringLiteral("\t\t\t| ") + range + QStringLiteral("   \n\r");
        else
            text += QStringLiteral("\t\t| ") + range + QStringLiteral("\n\r");
    }
    return text;
}

QString graphicAreaText(const QByteArray& reply) {
    QString text = QStringLiteral("ЗАПОЛНЕНИЕ ГРАФИЧЕСКОЙ ОБЛАСТИ МАРКИРАТОРА:\r\n\n");
    for (int first = 0; first < 128; first += 8) {
        for (int slot = first; slot < first + 8; ++slot)
            text += occupied(reply, slot) ? digits(slot, 3) + QLatin1Char(' ')
                                          : QStringLiteral("---  ");
        text += QStringLiteral("  | ") + digits(first, 3) + QLatin1Char(':') +
                digits(first + 7, 3) + QStringLiteral("\n\r");
    }
    return text;
}

} // namespace device
