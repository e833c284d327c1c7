// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QSize>
#include <Qt>

// Where the pointer is over the zoom view, in whole dots. The zoom canvas shows the zoom image
// with a margin of CanvasMargin pixels on its top and left; canvas positions include the
// scrolled-away part, so scrolling needs no separate term.
namespace editor {

inline constexpr int CanvasMargin = 10;

enum class PaintAction { None, Set, Clear };

struct PointerSpot {
    bool inView = false; // over the logo area of the view (with its small margin)
    int column = 0;      // dot under the pointer; may lie left of or right of the logo
    int row = 0;
    int shownX = 0; // the position the status bar shows ("XY=" shownX ":" shownY)
    int shownY = 0;
};

// `canvasPos`: pointer position in the zoom canvas.
PointerSpot spotAt(QPoint canvasPos, QSize logoSize);

// Exactly the left button paints, exactly the right one clears; any other combination, or
// Shift or Ctrl held, paints nothing.
PaintAction paintActionFor(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

} // namespace editor
