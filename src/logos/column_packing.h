// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// The one byte layout that files and printer slots share: columns left to right, each column
// `byteRows` bytes from the bottom up, bit 0 the lowest dot of its group of eight.
namespace logos {

constexpr int byteRowsFor(int height) {
    return height <= 0 ? 0 : (height + 7) / 8;
}

// Packs `count` columns from `first` of `dots`, reading each column upward from `bottomRow`.
// Rows outside 0 .. height-1 and columns beyond the picture are unset dots, so a column whose
// height is not a multiple of eight ends in zero bits.
QByteArray packColumns(const QImage& dots, int first, int count, int height, int byteRows,
                       int bottomRow);

// The usual packing of a logo height Y: byteRowsFor(Y) bytes, starting at the bottom row.
inline QByteArray packLogoColumns(const QImage& dots, int first, int count, int height) {
    return packColumns(dots, first, count, height, byteRowsFor(height), height - 1);
}

// Packed columns of `byteRows` bytes as a picture of 8 * byteRows rows: black dots on white, bit
// k of a byte the dot k rows above the lowest row of its group. Missing bytes are no dots.
QImage unpackColumns(const QByteArray& packed, int width, int byteRows);

} // namespace logos
