// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/pointer_mapping.h"

#include "logos/logo_document.h"

namespace editor {

namespace {

int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

PointerSpot spotAt(QPoint canvasPos, QSize logoSize) {
    constexpr int scale = logos::ZoomScale;
    // The position as the window would see it with the view scrolled fully left: the view's
    // own offset (10) plus the canvas margin.
    const int mx = canvasPos.x() + CanvasMargin;
    const int my = canvasPos.y() + CanvasMargin;
    PointerSpot spot;
    spot.inView = mx > 10 && mx < scale * logoSize.width() + 15 && my > 10 &&
                  my < scale * logoSize.height() + 20;
    spot.column = floorDiv(canvasPos.x() - CanvasMargin, scale);
    spot.row = floorDiv(canvasPos.y() - CanvasMargin, scale);
    // Integer division toward zero, as the status bar has always counted.
    spot.shownX = (mx - 12) / scale;
    spot.shownY = (my - 10) / scale;
    return spot;
}

PaintAction paintActionFor(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier))
        return PaintAction::None;
    if (buttons == Qt::LeftButton)
        return PaintAction::Set;
    if (buttons == Qt::RightButton)
        return PaintAction::Clear;
    return PaintAction::None;
}

} // namespace editor
