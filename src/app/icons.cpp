// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/icons.h"

#include <QPainter>
#include <QRadialGradient>

using namespace platform;

namespace app {

namespace {

QPixmap drawLamp(const QColor& body, const QColor& highlight) {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(QPointF(6, 6), 8);
    shade.setColorAt(0, highlight);
    shade.setColorAt(1, body);
    g.setBrush(shade);
    g.setPen(QPen(body.darker(160), 1));
    g.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return p;
}

// A sheet of text lines: the mark window.
QPixmap drawMarkIcon(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 48.0;
    g.setPen(QPen(QColor(40, 40, 90), 2 * s));
    g.setBrush(QColor(255, 255, 187));
    g.drawRoundedRect(QRectF(6 * s, 4 * s, 36 * s, 40 * s), 3 * s, 3 * s);
    g.setPen(QPen(QColor(20, 20, 160), 3 * s, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        const qreal y = (13 + i * 8) * s;
        g.drawLine(QPointF(12 * s, y), QPointF((i % 2 ? 30 : 36) * s, y));
    }
    return p;
}

// A dot grid with a few dots set: the graphic window.
QPixmap drawGraphicIcon(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    QPainter g(&p);
    const int cells = 8;
    const qreal cell = size / qreal(cells);
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::white);
    g.drawRect(QRectF(0, 0, size, size));
    static const char* pattern[cells] = {"........", ".######.", ".#....#.", ".#.##.#.",
                                         ".#.##.#.", ".#....#.", ".######.", "........"};
    g.setBrush(Qt::black);
    for (int y = 0; y < cells; ++y)
        for (int x = 0; x < cells; ++x)
            if (pattern[y][x] == '#')
                g.drawRect(QRectF(x * cell, y * cell, cell, cell));
    g.setPen(QPen(QColor(120, 120, 120), 1));
    g.setBrush(Qt::NoBrush);
    g.drawRect(QRectF(0.5, 0.5, size - 1, size - 1));
    return p;
}

} // namespace

Icons Icons::draw() {
    Icons i;
    i.lamps[int(Lamp::Grey)] = drawLamp(QColor(128, 128, 128), QColor(220, 220, 220));
    i.lamps[int(Lamp::Transfer)] = drawLamp(QColor(0, 200, 0), QColor(200, 255, 200));
    i.lamps[int(Lamp::Idle)] = drawLamp(QColor(0, 90, 80), QColor(60, 220, 60));
    i.lamps[int(Lamp::Error)] = drawLamp(QColor(210, 0, 0), QColor(255, 170, 170));
    for (int size : {16, 32, 48})
        i.markWindow.addPixmap(drawMarkIcon(size));
    for (int size : {16, 32})
        i.graphicWindow.addPixmap(drawGraphicIcon(size));
    return i;
}

} // namespace app
