// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/zoom_picture.h"

#include "logos/dot_test.h"
#include "logos/logo_document.h"

#include <QPainter>

#include <algorithm>

namespace logos {

void paintZoom(QPainter& painter, const QRect& area, const QImage& dots, QSize logoSize) {
    const QRect a = area & QRect(0, 0, ZoomWidth, ZoomHeight);
    if (a.isEmpty())
        return;
    constexpr int gridBottom = MaxLogoHeight * ZoomScale; // 320
    painter.fillRect(a, QColor(BackgroundColour));
    painter.fillRect(a & QRect(0, 0, ZoomScale * std::max(logoSize.width(), 0),
                               ZoomScale * std::max(logoSize.height(), 0)),
                     QColor(LogoAreaColour));

    const QColor grid(GridColour);
    for (int y = (a.top() + ZoomScale - 1) / ZoomScale * ZoomScale;
         y <= std::min(a.bottom(), gridBottom); y += ZoomScale)
        painter.fillRect(a.left(), y, a.width(), 1, grid);
    if (a.top() <= gridBottom) {
        const int bottom = std::min(a.bottom(), gridBottom);
        for (int x = (a.left() + ZoomScale - 1) / ZoomScale * ZoomScale; x <= a.right();
             x += ZoomScale)
            painter.fillRect(x, a.top(), 1, bottom - a.top() + 1, grid);
    }

    const int columns = std::min({logoSize.width(), ZoomColumns, dots.width()});
    const int rows = std::min({logoSize.height(), MaxLogoHeight, dots.height()});
    const int c0 = a.left() / ZoomScale, c1 = std::min(a.right() / ZoomScale, columns - 1);
    const int r0 = a.top() / ZoomScale, r1 = std::min(a.bottom() / ZoomScale, rows - 1);
    const QColor dot(DotColour);
    for (int r = r0; r <= r1; ++r) {
        const auto* line = reinterpret_cast<const QRgb*>(dots.constScanLine(r));
        for (int c = c0; c <= c1; ++c) {
            if (isDotPixel(line[c]))
                painter.fillRect(
                    a & QRect(ZoomScale * c + 1, ZoomScale * r + 1, ZoomScale - 1, ZoomScale - 1),
                    dot);
        }
    }
}

QImage zoomPicture(const QImage& dots, QSize logoSize, const QRect& area) {
    QImage picture(area.size(), QImage::Format_RGB32);
    picture.fill(BackgroundColour);
    QPainter painter(&picture);
    painter.translate(-area.topLeft());
    paintZoom(painter, area, dots, logoSize);
    return picture;
}

} // namespace logos
