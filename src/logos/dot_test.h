// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRgb>

namespace logos {

// A pixel is a dot unless all three components are light: colour pictures keep their shades
// and still read back as the same dots.
constexpr bool isDotPixel(QRgb pixel) {
    return qRed(pixel) < 170 || qGreen(pixel) < 170 || qBlue(pixel) < 170;
}

// The dot count of the editor is stricter: only pure black counts.
constexpr bool isPureBlack(QRgb pixel) {
    return (pixel & 0x00ffffffu) == 0;
}

} // namespace logos
