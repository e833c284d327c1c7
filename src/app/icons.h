// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/status_view.h"

#include <QIcon>
#include <QPixmap>

namespace app {

// Drawn once at start; nothing is loaded from files.
struct Icons {
    QPixmap
        lamps[4]; // indexed by platform::Lamp: grey, bright green, dark green with a teal body, red
    QIcon markWindow;    // 48 x 48 and smaller
    QIcon graphicWindow; // 32 x 32 and smaller

    static Icons draw();
    const QPixmap& lamp(platform::Lamp l) const { return lamps[int(l)]; }
};

} // namespace app
