// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_preview.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QtMath>

namespace marks {

namespace {

const QColor kTextColour(0, 0, 255);
const QColor kCellColour(239, 225, 250);

// Top of line 1 .. line 4.
constexpr std::array<int, 4> kLineTop = {61, 41, 21, 1};

// A text laid out once: shaping is most of a redraw's cost, and a redraw after one change
// shows 31 texts it has seen before.
struct Shaped {
    QGlyphRun run; // empty when the font lacks a glyph: drawn with font fallback instead
    int width = 0;
};

const QRawFont& rawFont() {
    static const QRawFont font = QRawFont::fromFont(previewFont());
    return font;
}

Shaped shape(const QString& text) {
    static QHash<QString, Shaped> cache;
    if (const auto it = cache.constFind(text); it != cache.cend())
        return *it;
    if (cache.size() > 1024)
        cache.clear();

    Shaped shaped;
    const QRawFont& raw = rawFont();
    bool covered = raw.isValid();
    for (const QChar c : text)
        covered = covered && raw.supportsCharacter(c);
    if (covered && !text.isEmpty()) {
        const QList<quint32> glyphs = raw.glyphIndexesForString(text);
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
        QList<QPointF> positions;
        positions.reserve(glyphs.size());
        qreal x = 0;
        for (const QPointF& advance : advances) {
            positions.append(QPointF(x, raw.ascent()));
            x += advance.x();
        }
        shaped.run.setRawFont(raw);
        shaped.run.setGlyphIndexes(glyphs);
        shaped.run.setPositions(positions);
        shaped.width = qCeil(x);
    } else {
        shaped.width = QFontMetrics(previewFont()).horizontalAdvance(text);
    }
    cache.insert(text, shaped);
    return shaped;
}

} // namespace

QFont previewFont() {
    static const QFont font = [] {
        const QString arial = QStringLiteral("Arial Narrow");
        const QString family = QFontDatabase::families().contains(arial)
                                   ? arial
                                   : QStringLiteral("Liberation Sans Narrow");
        return QFont(family, 12, QFont::Bold);
    }();
    return font;
}

QImage blankPreview() {
    QImage image(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

int previewTextWidth(const QString& text) {
    return text.isEmpty() ? 0 : shape(text).width;
}

std::array<int, 8> previewColumnStarts(const MarkRows& rows) {
    std::array<int, 8> starts{};
    int x = 0;
    for (int f = 0; f < 8; ++f) {
        starts[f] = x;
        int widest = 0;
        for (int line = 0; line < 4; ++line)
            widest = qMax(widest, previewTextWidth(rows[8 * line + f][TextColumn]));
        x += widest;
    }
    return starts;
}

void drawMarkPreview(QImage& image, const MarkRows& rows) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(previewFont());
    painter.setPen(kTextColour);
    const int height = QFontMetrics(previewFont()).height();
    const int ascent = QFontMetrics(previewFont()).ascent();
    int x = 0;
    for (int f = 0; f < 8 && x < image.width(); ++f) {
        int widest = 0;
        for (int line = 0; line < 4; ++line) {
            const QString& text = rows[8 * line + f][TextColumn];
            if (text.isEmpty())
                continue;
            const Shaped shaped = shape(text);
            const int top = kLineTop[line];
            painter.fillRect(QRect(x, top, shaped.width, height), kCellColour);
            if (shaped.run.isEmpty())
                painter.drawText(x, top + ascent, text);
            else
                painter.drawGlyphRun(QPointF(x, top), shaped.run);
            widest = qMax(widest, shaped.width);
        }
        x += widest;
    }
}

} // namespace marks
