// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the application icon at the sizes the desktop asks for:
//   make_icons OUTPUT_DIR 32 48 64 128
// writes OUTPUT_DIR/<size>/inkwick.png. Shapes only, so no font is needed.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

// A print head on the left throws a stream of ink drops that land as a dot-matrix mark.
QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);

    // Rounded tile.
    p.setPen(QPen(QColor(30, 60, 110), 3));
    p.setBrush(QColor(235, 240, 250));
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 22, 22);

    // Print head.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 70, 85));
    p.drawRoundedRect(QRectF(14, 30, 26, 68), 6, 6);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(38, 58, 8, 12));

    // Drops in flight, growing towards the mark.
    p.setBrush(QColor(20, 20, 30));
    const qreal drops[][3] = {{54, 64, 3}, {64, 60, 3.5}, {74, 56, 4}};
    for (const auto& d : drops)
        p.drawEllipse(QPointF(d[0], d[1]), d[2], d[2]);

    // A 5 x 7 dot-matrix "K" printed on the right.
    static const char* const kGlyph[7] = {"X...X", "X..X.", "X.X..", "XX...",
                                          "X.X..", "X..X.", "X...X"};
    const qreal dot = 6.0;
    const QPointF origin(84, 38);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
            if (kGlyph[row][col] == 'X')
                p.drawEllipse(origin + QPointF(col * dot, row * dot + 4), dot * 0.45, dot * 0.45);
    p.end();
    return image;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_icons OUTPUT_DIR SIZE...\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString dir = out.filePath(QString::number(size));
        const QString file = dir + QStringLiteral("/inkwick.png");
        if (!QDir().mkpath(dir) || !drawIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
