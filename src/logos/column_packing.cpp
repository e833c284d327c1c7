// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/column_packing.h"

#include "logos/dot_test.h"

namespace logos {

QByteArray packColumns(const QImage& dots, int first, int count, int height, int byteRows,
                       int bottomRow) {
    if (count <= 0 || byteRows <= 0)
        return {};
    const QImage rgb =
        dots.format() == QImage::Format_RGB32 || dots.format() == QImage::Format_ARGB32
            ? dots
            : dots.convertToFormat(QImage::Format_RGB32);
    const int rows = qMin(height, rgb.height());
    QByteArray out(qsizetype(count) * byteRows, '\0');
    char* byte = out.data();
    for (int x = first; x < first + count; ++x) {
        const bool inside = x >= 0 && x < rgb.width();
        int y = bottomRow;
        for (int k = 0; k < byteRows; ++k, ++byte) {
            unsigned value = 0;
            for (int bit = 0; bit < 8; ++bit, --y) {
                if (inside && y >= 0 && y < rows &&
                    isDotPixel(reinterpret_cast<const QRgb*>(rgb.constScanLine(y))[x]))
                    value |= 1u << bit;
            }
            *byte = char(value);
        }
    }
    return out;
}

QImage unpackColumns(const QByteArray& packed, int width, int byteRows) {
    const int height = 8 * byteRows;
    QImage out(qMax(width, 1), qMax(height, 1), QImage::Format_RGB32);
    out.fill(Qt::white);
    for (int x = 0; x < width; ++x) {
        for (int r = 0; r < byteRows; ++r) {
            const qsizetype at = qsizetype(x) * byteRows + r;
            const unsigned byte = at < packed.size() ? quint8(packed.at(at)) : 0u;
            for (int k = 0; k < 8; ++k) {
                if ((byte >> k) & 1u)
                    out.setPixel(x, height - 1 - 8 * r - k, qRgb(0, 0, 0));
            }
        }
    }
    return out;
}

} // namespace logos
