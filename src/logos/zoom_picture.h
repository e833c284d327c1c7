// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// The zoom picture, 10 pixels per dot: background, the logo area, grid lines every 10 pixels down
// to row 320, and each dot as the 9 x 9 square inside its cell (black when set, the logo-area
// colour when not). It is painted from the dot image wherever it is needed, never kept.
namespace logos {

// Paints `area` (zoom-picture coordinates, clipped to 8192 x 330) with `painter` already placed
// at the picture's origin. Only the cells inside `area` are looked at.
void paintZoom(QPainter& painter, const QRect& area, const QImage& dots, QSize logoSize);

// `area` of the zoom picture as an image of its own (top-left pixel = area.topLeft()).
QImage zoomPicture(const QImage& dots, QSize logoSize, const QRect& area);

} // namespace logos
