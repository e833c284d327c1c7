#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

class QUndoStack;

namespace logos {

class StrokeCommand;
class SnapshotCommand;

// Picture geometry and colours of the logo bitmap.
inline constexpr int DotImageWidth = 780; // least width of the dot image; it grows for wider logos
inline constexpr int DotImageHeight = 32;
inline constexpr int MaxLogoHeight = 32;
inline constexpr int ZoomScale = 10; // zoom-image pixels per dot
inline constexpr int ZoomWidth = 8192;
inline constexpr int ZoomHeight = 330;
inline constexpr int ZoomColumns = ZoomWidth / ZoomScale; // 819 columns can be shown zoomed
inline constexpr QRgb BackgroundColour = 0xffe6e6f0u;     // RGB(230,230,240)
inline constexpr QRgb LogoAreaColour = 0xffc8c8d2u; // RGB(200,200,210), also an unset zoom dot
inline constexpr QRgb GridColour = 0xffdcdcdcu;     // RGB(220,220,220)
inline constexpr QRgb DotColour = 0xff000000u;
inline constexpr QRgb NoDotColour = 0xffffffffu;

// The one current logo: its size, the dot image (one pixel per dot, top-left X x Y) and the
// zoom image (a 9 x 9 square per dot at (10x + 1, 10y + 1) on a grid), the modified flag, the
// current logo file and the undo history of the editor's changes.
//
// Views listen to zoomChanged / dotImageChanged and repaint only the rectangle given; painting
// one dot reports its 10 x 10 cell, never the whole picture.
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
    // Sets X and Y (R follows). Pictures are not touched; see clearLogo.
    void setSize(int width, int height);
    QSize pendingSize() const { return pending_; }
    void setPendingSize(QSize size) { pending_ = size; }

    // --- pictures ---
    // RGB32; at least 780 x 32, wider when the logo is. Pixels outside the logo are background.
    const QImage& dotImage() const { return dots_; }
    // RGB32, 8192 x 330; columns from 819 on are not shown.
    const QImage& zoomImage() const { return zoom_; }
    // The dot test on dot-image pixel (x, y); false outside the picture.
    bool isDot(int x, int y) const;
    // The zoom-image rectangle that shows dot (column, row): its 10 x 10 cell.
    static QRect zoomCell(int column, int row);

    // Repaints both pictures for an empty W x H logo. The size fields are not changed.
    void clearLogo(int width, int height);
    // An empty logo of the given size: size, pending size, pictures; starts a fresh history.
    void newLogo(int width, int height);
    // Column packing of the current logo (R = ceil(Y / 8) bytes per column, dot test).
    QByteArray packColumns(int first, int count) const;
    // The logo becomes X x 8R with the dots of `packed` (R * X bytes, missing bytes unset);
    // pending size likewise; fresh history. R is taken within 1..4, X at least 0.
    void drawPackedLogo(const QByteArray& packed, int width, int byteRows);
    // A decoded picture (at most 32 rows) becomes the dot image, colours kept; X x Y become its
    // size, the pending size stays; the zoom image shows its dots; fresh history. Asks the zoom
    // view to scroll back to its left edge.
    void loadPicture(const QImage& picture);
    // The top-left X x Y pixels of the dot image, colours kept.
    QImage logoPicture() const;

    // Draws one dot in both pictures (no history, no modified flag) and reports its cell.
    // Outside the logo nothing happens.
    void setDot(int column, int row, bool set);

    // --- editor changes, each undoable ---
    // One dot of a painting stroke; consecutive calls form one undo step until endStroke().
    void paintDot(int column, int row, bool set);
    void endStroke();
    // Resizes to `size` (also the new pending size), old dots anchored bottom-left and turned
    // black and white; the same size leaves the pictures alone. Sizes below 1 are ignored.
    void resizeLogo(QSize size);
    void invert();
    // Empties the current X x Y area; size and flag unchanged.
    void clearArea();
    // Pixels of the logo area that are exactly RGB(0,0,0).
    int countBlackDots() const;
    bool canUndo() const;
    // Takes back the last step (a stroke, resize, invert or clear); nothing to undo, nothing done.
    void undo();
    QUndoStack* undoStack() const { return undo_; }

    // --- modified flag and current logo file ---
    bool isModified() const { return modified_; }
    void setModified(bool modified);
    bool hasCurrentFile() const { return !file_.isEmpty(); }
    QString currentFile() const { return file_; }
    // Lower-case extension without the dot ("bin", "pbm", "bmp", or what the name had).
    QString currentExtension() const { return extension_; }
    void setCurrentFile(const QString& name, const QString& extension);

signals:
    void zoomChanged(const QRect& zoomRect);
    void dotImageChanged(const QRect& dotRect);
    void sizeChanged();
    void modifiedChanged(bool modified);
    void scrollHomeRequested();

private:
    friend class SnapshotCommand;
    friend class StrokeCommand;
    struct Snapshot {
        int width;
        int height;
        QSize pending;
        QImage dots;
    };
    Snapshot snapshot() const;
    void restore(const Snapshot& s);
    void pushSnapshotStep(const Snapshot& before, const QString& text);
    void startFreshHistory();

    void paintDotPixels(int column, int row, QRgb dotPixel);
    void fillZoomSquare(int column, int row, QRgb colour);
    void clearZoom(int width, int height);
    void redrawZoomDots();
    void ensureDotImage(int width);
    void emitAllChanged();

    int width_ = 64;
    int height_ = 24;
    QSize pending_{64, 24};
    QImage dots_;
    QImage zoom_;
    bool modified_ = false;
    QString file_;
    QString extension_;
    QUndoStack* undo_;
    StrokeCommand* stroke_ = nullptr; // open stroke, owned by the stack once pushed
};

} // namespace logos
