#include "marks/mark_preview.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

namespace marks {

namespace {

const QColor kTextColour(0, 0, 255);
const QColor kCellColour(239, 225, 250);

// Top of line 1 .. line 4.
constexpr std::array<int, 4> kLineTop = {61, 41, 21, 1};

} // namespace

QFont previewFont() {
    static const QFont font = [] {
        const QString arial = QStringLiteral("Arial Narrow");
        const QString family = QFontDatabase::families().contains(arial)
                                   ? arial
                                   : QStringLiteral("Liberation Sans Narrow");
        QFont f(family, 12, QFont::Bold);
        return f;
    }();
    return font;
}

QImage blankPreview() {
    QImage image(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

std::array<int, 8> previewColumnStarts(const MarkRows& rows) {
    const QFontMetrics metrics(previewFont());
    std::array<int, 8> starts{};
    int x = 0;
    for (int f = 0; f < 8; ++f) {
        starts[f] = x;
        int widest = 0;
        for (int line = 0; line < 4; ++line)
            widest = qMax(widest, metrics.horizontalAdvance(rows[8 * line + f][TextColumn]));
        x += widest;
    }
    return starts;
}

void drawMarkPreview(QImage& image, const MarkRows& rows) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(previewFont());
    painter.setPen(kTextColour);
    const QFontMetrics metrics(painter.font());
    const auto starts = previewColumnStarts(rows);
    for (int f = 0; f < 8; ++f) {
        for (int line = 0; line < 4; ++line) {
            const QString& text = rows[8 * line + f][TextColumn];
            if (text.isEmpty())
                continue;
            const int top = kLineTop[line];
            painter.fillRect(
                QRect(starts[f], top, metrics.horizontalAdvance(text), metrics.height()),
                kCellColour);
            painter.drawText(starts[f], top + metrics.ascent(), text);
        }
    }
}

} // namespace marks
