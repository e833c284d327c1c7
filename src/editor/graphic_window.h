// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QWidget>

class QScrollArea;

namespace logos {
class LogoDocument;
}

namespace editor {

// The zoom picture inside the scroll area, with a margin; paints only the exposed cells from the
// dots and, in logo mode, turns pointer events into painted dots and the "XY=" status text.
class ZoomCanvas : public QWidget {
    Q_OBJECT
public:
    ZoomCanvas(printerlink::Session& session, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void pointerEvent(QMouseEvent* event);
    printerlink::Session& session_;
};

// The dot image at one pixel per dot.
class DotPicture : public QWidget {
    Q_OBJECT
public:
    DotPicture(logos::LogoDocument& logo, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    logos::LogoDocument& logo_;
};

// The content of the graphic child window: the zoom view in its scroll area at (10, 10) and the
// dot picture at (10, 405). Needs session.logo set. The shell adds the status bar.
class GraphicWindow : public QWidget {
    Q_OBJECT
public:
    GraphicWindow(printerlink::Session& session, QWidget* parent = nullptr);
    QSize sizeHint() const override;

    QScrollArea* scrollArea() const { return scroll_; }
    ZoomCanvas* zoomCanvas() const { return canvas_; }
    DotPicture* dotPicture() const { return dots_; }
    // The first visible dot column: horizontal scroll position / 10.
    int firstVisibleColumn() const;

private:
    QScrollArea* scroll_;
    ZoomCanvas* canvas_;
    DotPicture* dots_;
};

} // namespace editor
