#include "logos/logo_document.h"

#include "logos/column_packing.h"
#include "logos/dot_test.h"

#include <QHash>
#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>
#include <vector>

namespace logos {

namespace {

QImage filledImage(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void fillRect(QImage& image, int x, int y, int w, int h, QRgb colour) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, image.width()), y1 = std::min(y + h, image.height());
    for (int row = y0; row < y1; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::fill(line + x0, line + x1, colour);
    }
}

QRect fullZoomRect() {
    return {0, 0, ZoomWidth, ZoomHeight};
}

} // namespace

// A whole-picture step (resize, invert, clear): the states before and after.
class SnapshotCommand : public QUndoCommand {
public:
    SnapshotCommand(LogoDocument& doc, LogoDocument::Snapshot before, const QString& text)
        : QUndoCommand(text), doc_(doc), before_(std::move(before)), after_(doc.snapshot()) {}
    void undo() override { doc_.restore(before_); }
    void redo() override {
        if (first_)
            first_ = false; // already applied when pushed
        else
            doc_.restore(after_);
    }

private:
    LogoDocument& doc_;
    LogoDocument::Snapshot before_;
    LogoDocument::Snapshot after_;
    bool first_ = true;
};

// A painting stroke: the first old and the last new pixel of every dot it touched.
class StrokeCommand : public QUndoCommand {
public:
    explicit StrokeCommand(LogoDocument& doc) : QUndoCommand(QStringLiteral("stroke")), doc_(doc) {}

    void record(int column, int row, QRgb before, QRgb after) {
        const qint64 key = qint64(column) << 32 | quint32(row);
        const auto found = index_.constFind(key);
        if (found != index_.constEnd()) {
            changes_[*found].after = after;
            return;
        }
        index_.insert(key, changes_.size());
        changes_.push_back({column, row, before, after});
    }
    bool changesAnything() const {
        return std::any_of(changes_.begin(), changes_.end(),
                           [](const Change& c) { return c.before != c.after; });
    }
    void undo() override {
        for (auto it = changes_.rbegin(); it != changes_.rend(); ++it)
            doc_.paintDotPixels(it->column, it->row, it->before);
        doc_.setModified(true);
    }
    void redo() override {
        if (first_) {
            first_ = false;
            return;
        }
        for (const Change& c : changes_)
            doc_.paintDotPixels(c.column, c.row, c.after);
        doc_.setModified(true);
    }

private:
    struct Change {
        int column;
        int row;
        QRgb before;
        QRgb after;
    };
    LogoDocument& doc_;
    std::vector<Change> changes_;
    QHash<qint64, size_t> index_; // dot -> its entry in changes_
    bool first_ = true;
};

LogoDocument::LogoDocument(QObject* parent) : QObject(parent), undo_(new QUndoStack(this)) {
    dots_ = filledImage(DotImageWidth, DotImageHeight, BackgroundColour);
    zoom_ = filledImage(ZoomWidth, ZoomHeight, BackgroundColour);
    clearLogo(width_, height_);
}

LogoDocument::~LogoDocument() {
    delete stroke_;
}

int LogoDocument::byteRows() const {
    return byteRowsFor(height_);
}

void LogoDocument::setSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::clamp(height, 0, MaxLogoHeight);
    emit sizeChanged();
}

bool LogoDocument::isDot(int x, int y) const {
    if (x < 0 || y < 0 || x >= dots_.width() || y >= dots_.height())
        return false;
    return isDotPixel(reinterpret_cast<const QRgb*>(dots_.constScanLine(y))[x]);
}

QRect LogoDocument::zoomCell(int column, int row) {
    return {ZoomScale * column, ZoomScale * row, ZoomScale, ZoomScale};
}

void LogoDocument::ensureDotImage(int width) {
    const int w = std::max(width, DotImageWidth);
    if (dots_.width() != w || dots_.height() != DotImageHeight ||
        dots_.format() != QImage::Format_RGB32)
        dots_ = filledImage(w, DotImageHeight, BackgroundColour);
}

void LogoDocument::clearZoom(int width, int height) {
    const int gridBottom = MaxLogoHeight * ZoomScale; // 320
    fillRect(zoom_, 0, 0, ZoomWidth, ZoomHeight, BackgroundColour);
    fillRect(zoom_, 0, 0, ZoomScale * std::max(width, 0), ZoomScale * std::max(height, 0),
             LogoAreaColour);
    for (int y = 0; y <= gridBottom; y += ZoomScale)
        fillRect(zoom_, 0, y, ZoomWidth, 1, GridColour);
    for (int y = 0; y <= gridBottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(zoom_.scanLine(y));
        for (int x = 0; x < ZoomWidth; x += ZoomScale)
            line[x] = GridColour;
    }
}

void LogoDocument::fillZoomSquare(int column, int row, QRgb colour) {
    if (column < 0 || column >= ZoomColumns || row < 0 || row >= MaxLogoHeight)
        return;
    fillRect(zoom_, ZoomScale * column + 1, ZoomScale * row + 1, ZoomScale - 1, ZoomScale - 1,
             colour);
}

void LogoDocument::redrawZoomDots() {
    clearZoom(width_, height_);
    const int columns = std::min(width_, ZoomColumns);
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(dots_.constScanLine(y));
        for (int x = 0; x < columns; ++x) {
            if (isDotPixel(line[x]))
                fillZoomSquare(x, y, DotColour);
        }
    }
}

void LogoDocument::emitAllChanged() {
    emit sizeChanged();
    emit dotImageChanged(dots_.rect());
    emit zoomChanged(fullZoomRect());
}

void LogoDocument::clearLogo(int width, int height) {
    ensureDotImage(width);
    dots_.fill(BackgroundColour);
    fillRect(dots_, 0, 0, width, height, NoDotColour);
    clearZoom(width, height);
    emit dotImageChanged(dots_.rect());
    emit zoomChanged(fullZoomRect());
}

void LogoDocument::newLogo(int width, int height) {
    endStroke();
    setSize(width, height);
    pending_ = size();
    clearLogo(width_, height_);
    startFreshHistory();
}

QByteArray LogoDocument::packColumns(int first, int count) const {
    return packLogoColumns(dots_, first, count, height_);
}

void LogoDocument::drawPackedLogo(const QByteArray& packed, int width, int byteRows) {
    endStroke();
    const int rows = std::clamp(byteRows, 1, MaxLogoHeight / 8);
    width_ = std::max(width, 0);
    height_ = 8 * rows;
    pending_ = size();
    clearLogo(width_, height_);
    for (int x = 0; x < width_; ++x) {
        for (int y = 0; y < height_; ++y) {
            if (packedDot(packed, rows, x, y)) {
                reinterpret_cast<QRgb*>(dots_.scanLine(y))[x] = DotColour;
                fillZoomSquare(x, y, DotColour);
            }
        }
    }
    startFreshHistory();
    emitAllChanged();
}

void LogoDocument::loadPicture(const QImage& picture) {
    endStroke();
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    width_ = rgb.width();
    height_ = std::min(rgb.height(), MaxLogoHeight);
    ensureDotImage(width_);
    dots_.fill(BackgroundColour);
    for (int y = 0; y < height_; ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(rgb.constScanLine(y)), width_,
                    reinterpret_cast<QRgb*>(dots_.scanLine(y)));
    redrawZoomDots();
    startFreshHistory();
    emit scrollHomeRequested();
    emitAllChanged();
}

QImage LogoDocument::logoPicture() const {
    return dots_.copy(0, 0, width_, height_);
}

void LogoDocument::paintDotPixels(int column, int row, QRgb dotPixel) {
    if (column < 0 || row < 0 || column >= dots_.width() || row >= dots_.height())
        return;
    reinterpret_cast<QRgb*>(dots_.scanLine(row))[column] = dotPixel;
    fillZoomSquare(column, row, isDotPixel(dotPixel) ? DotColour : LogoAreaColour);
    emit dotImageChanged(QRect(column, row, 1, 1));
    emit zoomChanged(zoomCell(column, row));
}

void LogoDocument::setDot(int column, int row, bool set) {
    if (column < 0 || row < 0 || column >= width_ || row >= height_)
        return;
    paintDotPixels(column, row, set ? DotColour : NoDotColour);
}

void LogoDocument::paintDot(int column, int row, bool set) {
    if (column < 0 || row < 0 || column >= width_ || row >= height_)
        return;
    if (!stroke_)
        stroke_ = new StrokeCommand(*this);
    const QRgb before = reinterpret_cast<const QRgb*>(dots_.constScanLine(row))[column];
    const QRgb after = set ? DotColour : NoDotColour;
    stroke_->record(column, row, before, after);
    if (before != after)
        paintDotPixels(column, row, after);
}

void LogoDocument::endStroke() {
    StrokeCommand* stroke = std::exchange(stroke_, nullptr);
    if (!stroke)
        return;
    if (stroke->changesAnything())
        undo_->push(stroke);
    else
        delete stroke;
}

LogoDocument::Snapshot LogoDocument::snapshot() const {
    return {width_, height_, pending_, dots_};
}

void LogoDocument::restore(const Snapshot& s) {
    width_ = s.width;
    height_ = s.height;
    pending_ = s.pending;
    dots_ = s.dots;
    redrawZoomDots();
    setModified(true);
    emitAllChanged();
}

void LogoDocument::pushSnapshotStep(const Snapshot& before, const QString& text) {
    undo_->push(new SnapshotCommand(*this, before, text));
}

void LogoDocument::startFreshHistory() {
    delete std::exchange(stroke_, nullptr);
    undo_->clear();
}

void LogoDocument::resizeLogo(QSize size) {
    endStroke();
    if (size.width() < 1 || size.height() < 1)
        return;
    const int newWidth = size.width();
    const int newHeight = std::min(size.height(), MaxLogoHeight);
    pending_ = QSize(newWidth, newHeight);
    if (newWidth == width_ && newHeight == height_)
        return;
    const Snapshot before = snapshot();
    const QImage old = dots_.copy(0, 0, width_, height_);
    const int oldHeight = height_;
    clearLogo(newWidth, newHeight);
    const int shift = newHeight - oldHeight;
    const int columns = std::min(old.width(), newWidth);
    for (int y = std::max(0, shift); y < newHeight && y - shift < oldHeight; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(old.constScanLine(y - shift));
        auto* dst = reinterpret_cast<QRgb*>(dots_.scanLine(y));
        for (int x = 0; x < columns; ++x) {
            const bool dot = isDotPixel(src[x]);
            dst[x] = dot ? DotColour : NoDotColour;
            if (dot)
                fillZoomSquare(x, y, DotColour);
        }
    }
    width_ = newWidth;
    height_ = newHeight;
    pushSnapshotStep(before, QStringLiteral("resize"));
    emitAllChanged();
}

void LogoDocument::invert() {
    endStroke();
    const Snapshot before = snapshot();
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(dots_.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const bool wasDot = isDotPixel(line[x]);
            line[x] = wasDot ? NoDotColour : DotColour;
            fillZoomSquare(x, y, wasDot ? LogoAreaColour : DotColour);
        }
    }
    pushSnapshotStep(before, QStringLiteral("invert"));
    emit dotImageChanged(QRect(0, 0, width_, height_));
    emit zoomChanged(QRect(0, 0, ZoomScale * width_ + 1, ZoomScale * height_ + 1));
}

void LogoDocument::clearArea() {
    endStroke();
    const Snapshot before = snapshot();
    clearLogo(width_, height_);
    pushSnapshotStep(before, QStringLiteral("clear"));
}

int LogoDocument::countBlackDots() const {
    int count = 0;
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(dots_.constScanLine(y));
        count += int(std::count_if(line, line + width_, isPureBlack));
    }
    return count;
}

bool LogoDocument::canUndo() const {
    return (stroke_ && stroke_->changesAnything()) || undo_->canUndo();
}

void LogoDocument::undo() {
    endStroke();
    if (undo_->canUndo())
        undo_->undo();
}

void LogoDocument::setModified(bool modified) {
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified_);
}

void LogoDocument::setCurrentFile(const QString& name, const QString& extension) {
    file_ = name;
    extension_ = extension.toLower();
}

} // namespace logos
