// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the application icon at the sizes the desktop asks for:
//   make_icons OUTPUT_DIR 32 48 64 128
// writes OUTPUT_DIR/<size>/inkwick.png, and OUTPUT_DIR/inkwick.ico with every size for the
// Windows program and installer. Shapes only, so no font is needed.
#include <QBuffer>
#include <QDir>
#include <QFile>
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

void put16(QByteArray& out, int v) {
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void put32(QByteArray& out, qint64 v) {
    put16(out, int(v & 0xFFFF));
    put16(out, int((v >> 16) & 0xFFFF));
}

// One image of an icon file as a 32-bit bitmap (rows bottom-up, then an all-clear AND mask),
// the form every reader of icons takes.
QByteArray iconBitmap(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    const int maskRow = (w + 31) / 32 * 4;
    QByteArray out;
    put32(out, 40);
    put32(out, w);
    put32(out, 2 * h); // the colours and the mask
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, qint64(w) * h * 4 + qint64(maskRow) * h);
    for (int i = 0; i < 4; ++i)
        put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out.append(char(qBlue(row[x])))
                .append(char(qGreen(row[x])))
                .append(char(qRed(row[x])))
                .append(char(qAlpha(row[x])));
    }
    out.append(QByteArray(qsizetype(maskRow) * h, '\0'));
    return out;
}

// An icon file with every size: bitmaps, and a PNG for 256 as Windows stores that size.
QByteArray iconFile(const QList<QImage>& images) {
    QList<QByteArray> blobs;
    for (const QImage& image : images) {
        QByteArray blob;
        if (image.width() >= 256) {
            QBuffer buffer(&blob);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
        } else {
            blob = iconBitmap(image);
        }
        blobs.append(blob);
    }
    QByteArray out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, int(images.size()));
    qint64 offset = 6 + 16 * images.size();
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int side = images[i].width() >= 256 ? 0 : images[i].width(); // 0 stands for 256
        out.append(char(side)).append(char(side)).append(char(0)).append(char(0));
        put16(out, 1);  // colour planes
        put16(out, 32); // bits per pixel
        put32(out, blobs[i].size());
        put32(out, offset);
        offset += blobs[i].size();
    }
    for (const QByteArray& blob : blobs)
        out.append(blob);
    return out;
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
    QList<QImage> icons;
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size < 16 || size > 256) {
            std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString dir = out.filePath(QString::number(size));
        const QString file = dir + QStringLiteral("/inkwick.png");
        icons.append(drawIcon(size));
        if (!QDir().mkpath(dir) || !icons.last().save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    QFile ico(out.filePath(QStringLiteral("inkwick.ico")));
    const QByteArray bytes = iconFile(icons);
    if (!ico.open(QIODevice::WriteOnly) || ico.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(ico.fileName()));
        return 1;
    }
    return 0;
}
