// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

class QUndoStack;

namespace logos {

// Picture geometry and colours of the logo bitmap.
inline constexpr int DotImageWidth = 780; // least width of the dot image; it grows for wider logos
inline constexpr int DotImageHeight = 32;
inline constexpr int MaxLogoHeight = 32;
inline constexpr int ZoomScale = 10; // zoom-picture pixels per dot
inline constexpr int ZoomWidth = 8192;
inline constexpr int ZoomHeight = 330;
inline constexpr int ZoomColumns = ZoomWidth / ZoomScale; // 819 columns can be shown zoomed
inline constexpr QRgb BackgroundColour = 0xffe6e6f0u;     // RGB(230,230,240)
inline constexpr QRgb LogoAreaColour = 0xffc8c8d2u; // RGB(200,200,210), also an unset zoom dot
inline constexpr QRgb GridColour = 0xffdcdcdcu;     // RGB(220,220,220)
inline constexpr QRgb DotColour = 0xff000000u;
inline constexpr QRgb NoDotColour = 0xffffffffu;

// The one current logo: its size, the dot image (one pixel per dot, top-left X x Y), the current
// logo file and the undo history of the editor's changes. The document is modified exactly when
// its history is away from the clean state that loading and saving set.
//
// The zoom picture is not held here: views paint it from the dots (see zoom_picture.h) and
// repaint only the rectangles that zoomChanged reports; one dot reports its 10 x 10 cell.
class LogoDocument : public QObject {
    Q_OBJECT
public:
    explicit LogoDocument(QObject* parent = nullptr);
    ~LogoDocument() override;

    // --- size: X, Y, byte rows R = ceil(Y / 8), and the pending size ---
    int width() const { return width_; }
    int height() const { return height_; }
    int byteRows() const;
    QSize size() const { return {width_, height_}; }
    // Sets X and Y (R follows). The dots are not touched; see clearLogo.
    void setSize(int width, int height);
    QSize pendingSize() const { return pending_; }
    void setPendingSize(QSize size) { pending_ = size; }

    // --- dots ---
    // RGB32; at least 780 x 32, wider when the logo is. Pixels outside the logo are background.
    const QImage& dotImage() const { return dots_; }
    // The dot test on dot-image pixel (x, y); false outside the picture.
    bool isDot(int x, int y) const;
    // The zoom-picture rectangle that shows dot (column, row): its 10 x 10 cell.
    static QRect zoomCell(int column, int row);

    // Repaints the dot image for an empty W x H logo. The size fields are not changed.
    void clearLogo(int width, int height);
    // An empty logo of the given size and pending size, without a file; a fresh, clean history.
    void newLogo(int width, int height);
    // Column packing of the current logo (R = ceil(Y / 8) bytes per column, dot test).
    QByteArray packColumns(int first, int count) const;
    // The logo becomes X x 8R with the dots of `packed` (R * X bytes, missing bytes unset);
    // pending size likewise; fresh, clean history. R is taken within 1..4, X at least 0.
    void drawPackedLogo(const QByteArray& packed, int width, int byteRows);
    // A decoded picture (at most 32 rows) becomes the dot image, colours kept; X x Y become its
    // size, the pending size stays; fresh, clean history. Asks the zoom view to scroll back to
    // its left edge.
    void loadPicture(const QImage& picture);
    // The top-left X x Y pixels of the dot image, colours kept.
    QImage logoPicture() const;

    // Draws one dot outside the history (loaders and tests) and reports its cell. Outside the
    // logo nothing happens.
    void setDot(int column, int row, bool set);

    // --- editor changes, each an undo step ---
    // One dot of a painting stroke; consecutive calls form one undo step until endStroke().
    // A dot that is already as asked records nothing.
    void paintDot(int column, int row, bool set);
    void endStroke();
    // Resizes to `size` (also the new pending size), old dots anchored bottom-left and turned
    // black and white; the same size leaves the dots alone. Sizes below 1 are ignored.
    void resizeLogo(QSize size);
    void invert();
    // Empties the current X x Y area; the size stays.
    void clearArea();
    // An imported picture (at most 32 rows) becomes the logo, its size the logo size and the
    // pending size; the logo has no file until it is saved. One step: undo gives back the old
    // logo and its file.
    void importPicture(const QImage& picture);
    // Pixels of the logo area that are exactly RGB(0,0,0).
    int countBlackDots() const;
    bool canUndo() const;
    // Takes back the last step (a stroke, resize, invert or clear); nothing to undo, nothing done.
    void undo();
    QUndoStack* undoStack() const { return undo_; }

    // --- saved state and current logo file ---
    bool isModified() const;
    // The dots now match the current file (written or just read).
    void markSaved();
    bool hasCurrentFile() const { return !file_.isEmpty(); }
    QString currentFile() const { return file_; }
    // Lower-case extension without the dot ("bin", "pbm", "bmp", or what the name had).
    QString currentExtension() const { return extension_; }
    void setCurrentFile(const QString& name, const QString& extension);
    // Save As has something to offer: a file to write again, or unsaved dots.
    bool canSave() const { return isModified() || hasCurrentFile(); }

signals:
    void zoomChanged(const QRect& zoomRect);
    void dotImageChanged(const QRect& dotRect);
    void sizeChanged(QSize size);
    void modifiedChanged(bool modified);
    void currentFileChanged(const QString& name);
    void canSaveChanged(bool canSave);
    void scrollHomeRequested();

private:
    friend class DotCommand;
    friend class WholePictureCommand;
    friend class ResizeCommand;
    friend class InvertCommand;
    friend class ClearCommand;
    friend class ImportCommand;
    struct Snapshot {
        int width;
        int height;
        QSize pending;
        QImage dots;
    };
    Snapshot snapshot() const;
    void restore(const Snapshot& s);
    void startFreshHistory();
    void applyResize(QSize size);
    void applyInvert();
    void applyClear();
    void applyPicture(const QImage& picture);

    void paintDotPixel(int column, int row, QRgb dotPixel);
    void ensureDotImage(int width);
    void emitAllChanged();
    void updateCanSave();

    int width_ = 64;
    int height_ = 24;
    QSize pending_{64, 24};
    QImage dots_;
    QString file_;
    QString extension_;
    QUndoStack* undo_;
    int stroke_ = 0; // dots painted under one stroke number merge into one undo step
    bool canSave_ = false;
};

} // namespace logos
