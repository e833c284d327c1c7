// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/area_map_text.h"

#include "platform/number_text.h"

using platform::appendZeroPadded;

namespace device {
namespace {

bool occupied(const QByteArray& reply, int offset) {
    return offset < reply.size() && reply.at(offset) == 'Y';
}

} // namespace

QString textMarkAreaText(const QByteArray& reply, bool wideLayout) {
    QString text = QStringLiteral("ЗАПОЛНЕНИЕ ОБЛАСТИ ТЕКСТОВЫХ МАРОК:\r\n\n");
    constexpr int kLastMark = 85;
    text.reserve(text.size() + 9 * 80); // nine rows of ten places and a range
    for (int first = 0; first <= kLastMark; first += 10) {
        const int last = qMin(first + 9, kLastMark);
        for (int mark = first; mark <= last; ++mark) {
            // Mark 00 is the one being printed; the reply has no byte for it.
            if (mark > 0 && occupied(reply, mark - 1)) {
                appendZeroPadded(text, mark, 2);
                text += QStringLiteral("   ");
            } else {
                text += QStringLiteral("--    ");
            }
        }
        if (last < kLastMark)
            text += QStringLiteral("\t| ");
        else if (wideLayout)
            text += QStringLiteral("\t\t\t| ");
        else
            text += QStringLiteral("\t\t| ");
        appendZeroPadded(text, first, 2);
        text += QLatin1Char(':');
        appendZeroPadded(text, last, 2);
        text +=
            last == kLastMark && wideLayout ? QStringLiteral("   \n\r") : QStringLiteral("\n\r");
    }
    return text;
}

QString graphicAreaText(const QByteArray& reply) {
    QString text = QStringLiteral("ЗАПОЛНЕНИЕ ГРАФИЧЕСКОЙ ОБЛАСТИ МАРКИРАТОРА:\r\n\n");
    text.reserve(text.size() + 16 * 56); // sixteen rows of eight slots and a range
    for (int first = 0; first < 128; first += 8) {
        for (int slot = first; slot < first + 8; ++slot) {
            if (occupied(reply, slot)) {
                appendZeroPadded(text, slot, 3);
                text += QLatin1Char(' ');
            } else {
                text += QStringLiteral("---  ");
            }
        }
        text += QStringLiteral("  | ");
        appendZeroPadded(text, first, 3);
        text += QLatin1Char(':');
        appendZeroPadded(text, first + 7, 3);
        text += QStringLiteral("\n\r");
    }
    return text;
}

} // namespace device
