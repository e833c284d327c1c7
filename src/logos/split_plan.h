// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

// How a logo too wide for one printer slot is cut into strips of whole columns.
namespace logos {

// Logos a BIN save needs: ceil(X * R / 252).
int binPartCount(int width, int byteRows);

// Widths of the BIN parts, left to right: the first n/2 parts ceil(X/n), then floor(X/n), the
// last one the rest. Should that leave a part too wide for a slot, the columns are spread
// evenly instead (the first X mod n parts one column wider).
QList<int> binPartWidths(int width, int byteRows, int parts);

// Strips a slot write cuts the logo into: 0 when it is not split at all.
int slotStripCount(int width, int byteRows);

// Widths of 2..4 slot strips: c, X-c / c, f, X-c-f / c, f, c, X-2c-f.
QList<int> slotStripWidths(int width, int strips);

} // namespace logos
