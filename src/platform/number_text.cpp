// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/number_text.h"

#include <algorithm>

namespace platform {

qint64 readDecimal(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        if (value < 1'000'000'000'000LL)
            value = value * 10 + (text[i].unicode() - '0');
    }
    return negative ? -value : value;
}

bool startsWithNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    return i < text.size() && text[i].isDigit() && text[i].unicode() < 0x80;
}

namespace {

struct Decimal {
    char16_t digits[20]; // least significant first
    int count = 0;
    bool negative = false;
};

Decimal decimalOf(qint64 n) {
    Decimal d;
    d.negative = n < 0;
    quint64 magnitude = d.negative ? 0 - quint64(n) : quint64(n);
    do {
        d.digits[d.count++] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    return d;
}

qsizetype paddedLength(const Decimal& d, int width) {
    return qMax<qsizetype>(width, d.count + (d.negative ? 1 : 0));
}

void writePadded(QChar* begin, qsizetype length, const Decimal& d) {
    std::fill(begin, begin + length, QLatin1Char('0'));
    for (int i = 0; i < d.count; ++i)
        begin[length - 1 - i] = QChar(d.digits[i]);
    if (d.negative)
        *begin = QLatin1Char('-');
}

} // namespace

// Strings are made at their final size: these run for every cell of a decoded reply.
QString zeroPadded(qint64 n, int width, QStringView prefix) {
    const Decimal d = decimalOf(n);
    const qsizetype length = paddedLength(d, width);
    QString text(prefix.size() + length, Qt::Uninitialized);
    std::copy(prefix.begin(), prefix.end(), text.begin());
    writePadded(text.data() + prefix.size(), length, d);
    return text;
}

void appendZeroPadded(QString& out, qint64 n, int width) {
    const Decimal d = decimalOf(n);
    const qsizetype length = paddedLength(d, width);
    const qsizetype start = out.size();
    out.resize(start + length);
    writePadded(out.data() + start, length, d);
}

} // namespace platform
