// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/split_plan.h"

#include "logos/picture_files.h"

#include <algorithm>

namespace logos {

int binPartCount(int width, int byteRows) {
    return (width * byteRows + SlotBytes - 1) / SlotBytes;
}

QList<int> binPartWidths(int width, int byteRows, int parts) {
    if (parts < 1)
        return {};
    const int wide = (width + parts - 1) / parts;
    const int narrow = width / parts;
    QList<int> widths;
    int used = 0;
    for (int k = 1; k < parts; ++k) {
        widths.append(k <= parts / 2 ? wide : narrow);
        used += widths.last();
    }
    widths.append(width - used);
    const bool fits =
        std::all_of(widths.begin(), widths.end(), [&](int w) { return w * byteRows <= SlotBytes; });
    if (!fits) {
        widths.clear();
        for (int k = 0; k < parts; ++k)
            widths.append(k < width % parts ? wide : narrow);
    }
    return widths;
}

int slotStripCount(int width, int byteRows) {
    switch (byteRows) {
    case 4:
        if (width <= 63 || width >= 252)
            return 0;
        return width <= 126 ? 2 : width <= 189 ? 3 : 4;
    case 3:
        if (width <= 84)
            return 0;
        return width <= 165 ? 2 : width <= 252 ? 3 : 4;
    case 2:
        if (width <= 127)
            return 0;
        return width <= 254 ? 2 : width <= 381 ? 3 : 4;
    default:
        return 0;
    }
}

QList<int> slotStripWidths(int width, int strips) {
    if (strips < 2 || strips > 4)
        return {width};
    const int c = (width + strips - 1) / strips;
    const int f = width / strips;
    switch (strips) {
    case 2:
        return {c, width - c};
    case 3:
        return {c, f, width - c - f};
    default:
        return {c, f, c, width - 2 * c - f};
    }
}

} // namespace logos
