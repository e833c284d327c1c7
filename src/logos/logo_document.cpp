// SPDX-License-Identifier: GPL-3.0-or-later
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

constexpr int DotCommandId = 1;

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

QRgb pixelAt(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

} // namespace

// Dots painted in one stroke. Each pointer event pushes a one-dot command that merges into the
// open stroke, so the stroke is one undo step; a stroke that ends where it began drops out.
class DotCommand : public QUndoCommand {
public:
    DotCommand(LogoDocument& doc, int stroke, int column, int row, QRgb before, QRgb after)
        : QUndoCommand(QStringLiteral("stroke")), doc_(doc), stroke_(stroke) {
        changes_.push_back({column, row, before, after});
    }
    int id() const override { return DotCommandId; }
    void redo() override {
        for (const Change& c : changes_)
            doc_.paintDotPixel(c.column, c.row, c.after);
    }
    void undo() override {
        for (auto it = changes_.rbegin(); it != changes_.rend(); ++it)
            doc_.paintDotPixel(it->column, it->row, it->before);
    }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const DotCommand*>(other);
        if (next->stroke_ != stroke_)
            return false;
        if (index_.isEmpty())
            index_.insert(key(changes_.front()), 0);
        for (const Change& c : next->changes_) {
            const auto found = index_.constFind(key(c));
            if (found != index_.constEnd()) {
                changes_[*found].after = c.after;
            } else {
                index_.insert(key(c), changes_.size());
                changes_.push_back(c);
            }
        }
        setObsolete(std::none_of(changes_.begin(), changes_.end(),
                                 [](const Change& c) { return c.before != c.after; }));
        return true;
    }

private:
    struct Change {
        int column;
        int row;
        QRgb before;
        QRgb after;
    };
    static qint64 key(const Change& c) { return qint64(c.column) << 32 | quint32(c.row); }
    LogoDocument& doc_;
    int stroke_;
    std::vector<Change> changes_;
    QHash<qint64, size_t> index_; // dot -> its entry in changes_, once the stroke has two
};

// A step over the whole picture: undo puts back the state it started from, redo works again
// from that state.
class WholePictureCommand : public QUndoCommand {
public:
    WholePictureCommand(LogoDocument& doc, const QString& text)
        : QUndoCommand(text), doc_(doc), before_(doc.snapshot()) {}
    void undo() override { doc_.restore(before_); }

protected:
    LogoDocument& doc_;

private:
    LogoDocument::Snapshot before_;
};

class ResizeCommand : public WholePictureCommand {
public:
    ResizeCommand(LogoDocument& doc, QSize size)
        : WholePictureCommand(doc, QStringLiteral("resize")), size_(size) {}
    void redo() override { doc_.applyResize(size_); }

private:
    QSize size_;
};

class InvertCommand : public WholePictureCommand {
public:
    explicit InvertCommand(LogoDocument& doc)
        : WholePictureCommand(doc, QStringLiteral("invert")) {}
    void redo() override { doc_.applyInvert(); }
};

class ClearCommand : public WholePictureCommand {
public:
    explicit ClearCommand(LogoDocument& doc) : WholePictureCommand(doc, QStringLiteral("clear")) {}
    void redo() override { doc_.applyClear(); }
};

class ImportCommand : public WholePictureCommand {
public:
    ImportCommand(LogoDocument& doc, const QImage& picture)
        : WholePictureCommand(doc, QStringLiteral("import")), picture_(picture),
          file_(doc.currentFile()), extension_(doc.currentExtension()) {}
    void redo() override {
        doc_.applyPicture(picture_);
        doc_.setPendingSize(doc_.size());
        doc_.setCurrentFile({}, {});
    }
    void undo() override {
        WholePictureCommand::undo();
        doc_.setCurrentFile(file_, extension_);
    }

private:
    QImage picture_;
    QString file_;
    QString extension_;
};

LogoDocument::LogoDocument(QObject* parent) : QObject(parent), undo_(new QUndoStack(this)) {
    dots_ = filledImage(DotImageWidth, DotImageHeight, BackgroundColour);
    clearLogo(width_, height_);
    connect(undo_, &QUndoStack::cleanChanged, this, [this](bool clean) {
        emit modifiedChanged(!clean);
        updateCanSave();
    });
}

LogoDocument::~LogoDocument() = default;

int LogoDocument::byteRows() const {
    return byteRowsFor(height_);
}

void LogoDocument::setSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::clamp(height, 0, MaxLogoHeight);
    emit sizeChanged(size());
}

bool LogoDocument::isDot(int x, int y) const {
    if (x < 0 || y < 0 || x >= dots_.width() || y >= dots_.height())
        return false;
    return isDotPixel(pixelAt(dots_, x, y));
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

void LogoDocument::emitAllChanged() {
    emit sizeChanged(size());
    emit dotImageChanged(dots_.rect());
    emit zoomChanged(fullZoomRect());
}

void LogoDocument::clearLogo(int width, int height) {
    ensureDotImage(width);
    dots_.fill(BackgroundColour);
    fillRect(dots_, 0, 0, width, height, NoDotColour);
    emit dotImageChanged(dots_.rect());
    emit zoomChanged(fullZoomRect());
}

void LogoDocument::newLogo(int width, int height) {
    endStroke();
    setSize(width, height);
    pending_ = size();
    clearLogo(width_, height_);
    setCurrentFile({}, {});
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
    ensureDotImage(width_);
    dots_.fill(BackgroundColour);
    // A byte at a time into its eight rows: a bitmap read draws up to 26,000 dots, so no test
    // per dot beyond the loop over columns.
    const QRgb colours[2] = {NoDotColour, DotColour};
    const char* bytes = packed.constData();
    for (int byteRow = 0; byteRow < rows; ++byteRow) {
        // Bit k is the dot k rows above the lowest row of the group.
        QRgb* lines[8];
        for (int k = 0; k < 8; ++k)
            lines[k] = reinterpret_cast<QRgb*>(dots_.scanLine(height_ - 1 - 8 * byteRow - k));
        // The columns whose byte is in `packed`; bytes past its end read as zero.
        const qsizetype present =
            packed.size() > byteRow ? (packed.size() - byteRow + rows - 1) / rows : 0;
        const int drawn = int(std::min<qsizetype>(width_, present));
        for (qsizetype x = 0, i = byteRow; x < drawn; ++x, i += rows) {
            const unsigned byte = quint8(bytes[i]);
            for (int k = 0; k < 8; ++k)
                lines[k][x] = colours[(byte >> k) & 1u];
        }
        for (QRgb* line : lines)
            std::fill(line + drawn, line + width_, NoDotColour);
    }
    startFreshHistory();
    emitAllChanged();
}

void LogoDocument::loadPicture(const QImage& picture) {
    endStroke();
    applyPicture(picture);
    startFreshHistory();
}

void LogoDocument::importPicture(const QImage& picture) {
    endStroke();
    undo_->push(new ImportCommand(*this, picture));
}

void LogoDocument::applyPicture(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    width_ = rgb.width();
    height_ = std::min(rgb.height(), MaxLogoHeight);
    ensureDotImage(width_);
    dots_.fill(BackgroundColour);
    for (int y = 0; y < height_; ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(rgb.constScanLine(y)), width_,
                    reinterpret_cast<QRgb*>(dots_.scanLine(y)));
    emit scrollHomeRequested();
    emitAllChanged();
}

QImage LogoDocument::logoPicture() const {
    return dots_.copy(0, 0, width_, height_);
}

void LogoDocument::paintDotPixel(int column, int row, QRgb dotPixel) {
    if (column < 0 || row < 0 || column >= dots_.width() || row >= dots_.height())
        return;
    reinterpret_cast<QRgb*>(dots_.scanLine(row))[column] = dotPixel;
    emit dotImageChanged(QRect(column, row, 1, 1));
    emit zoomChanged(zoomCell(column, row));
}

void LogoDocument::setDot(int column, int row, bool set) {
    if (column < 0 || row < 0 || column >= width_ || row >= height_)
        return;
    paintDotPixel(column, row, set ? DotColour : NoDotColour);
}

void LogoDocument::paintDot(int column, int row, bool set) {
    if (column < 0 || row < 0 || column >= width_ || row >= height_)
        return;
    const QRgb before = pixelAt(dots_, column, row);
    const QRgb after = set ? DotColour : NoDotColour;
    if (before != after)
        undo_->push(new DotCommand(*this, stroke_, column, row, before, after));
}

void LogoDocument::endStroke() {
    ++stroke_;
}

LogoDocument::Snapshot LogoDocument::snapshot() const {
    return {width_, height_, pending_, dots_};
}

void LogoDocument::restore(const Snapshot& s) {
    width_ = s.width;
    height_ = s.height;
    pending_ = s.pending;
    dots_ = s.dots;
    emitAllChanged();
}

void LogoDocument::startFreshHistory() {
    ++stroke_;
    undo_->clear(); // also the clean state
}

void LogoDocument::resizeLogo(QSize size) {
    endStroke();
    if (size.width() < 1 || size.height() < 1)
        return;
    const QSize target(size.width(), std::min(size.height(), MaxLogoHeight));
    if (target == this->size()) {
        pending_ = target;
        return;
    }
    undo_->push(new ResizeCommand(*this, target));
}

void LogoDocument::applyResize(QSize size) {
    const int newWidth = size.width();
    const int newHeight = size.height();
    pending_ = size;
    const QImage old = dots_.copy(0, 0, width_, height_);
    const int oldHeight = height_;
    ensureDotImage(newWidth);
    dots_.fill(BackgroundColour);
    fillRect(dots_, 0, 0, newWidth, newHeight, NoDotColour);
    const int shift = newHeight - oldHeight;
    const int columns = std::min(old.width(), newWidth);
    for (int y = std::max(0, shift); y < newHeight && y - shift < oldHeight; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(old.constScanLine(y - shift));
        auto* dst = reinterpret_cast<QRgb*>(dots_.scanLine(y));
        for (int x = 0; x < columns; ++x)
            dst[x] = isDotPixel(src[x]) ? DotColour : NoDotColour;
    }
    width_ = newWidth;
    height_ = newHeight;
    emitAllChanged();
}

void LogoDocument::invert() {
    endStroke();
    undo_->push(new InvertCommand(*this));
}

void LogoDocument::applyInvert() {
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(dots_.scanLine(y));
        for (int x = 0; x < width_; ++x)
            line[x] = isDotPixel(line[x]) ? NoDotColour : DotColour;
    }
    emit dotImageChanged(QRect(0, 0, width_, height_));
    emit zoomChanged(QRect(0, 0, ZoomScale * width_ + 1, ZoomScale * height_ + 1));
}

void LogoDocument::clearArea() {
    endStroke();
    undo_->push(new ClearCommand(*this));
}

void LogoDocument::applyClear() {
    clearLogo(width_, height_);
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
    return undo_->canUndo();
}

void LogoDocument::undo() {
    endStroke();
    if (undo_->canUndo())
        undo_->undo();
}

bool LogoDocument::isModified() const {
    return !undo_->isClean();
}

void LogoDocument::markSaved() {
    endStroke(); // a later dot starts a new step, not one that merges into the saved state
    undo_->setClean();
}

void LogoDocument::setCurrentFile(const QString& name, const QString& extension) {
    const bool changed = name != file_;
    file_ = name;
    extension_ = extension.toLower();
    if (changed)
        emit currentFileChanged(file_);
    updateCanSave();
}

void LogoDocument::updateCanSave() {
    if (canSave() == canSave_)
        return;
    canSave_ = canSave();
    emit canSaveChanged(canSave_);
}

} // namespace logos
