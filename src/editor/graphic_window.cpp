// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/graphic_window.h"

#include "editor/pointer_mapping.h"
#include "logos/logo_document.h"
#include "logos/zoom_picture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

using namespace platform;
using namespace printerlink;

namespace editor {

namespace {

constexpr int ScrollStep = 160;
constexpr QRect ScrollAreaRect{10, 10, 780, 360};
constexpr QRect DotPictureRect{10, 405, logos::DotImageWidth, logos::DotImageHeight};
const QColor WindowColour(logos::BackgroundColour);

} // namespace

ZoomCanvas::ZoomCanvas(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    Q_ASSERT(session.logo);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
    connect(session.logo, &logos::LogoDocument::zoomChanged, this,
            [this](const QRect& r) { update(r.translated(CanvasMargin, CanvasMargin)); });
}

QSize ZoomCanvas::sizeHint() const {
    return {logos::ZoomWidth + CanvasMargin, logos::ZoomHeight + CanvasMargin};
}

void ZoomCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, WindowColour);
    const logos::LogoDocument& logo = *session_.logo;
    painter.translate(CanvasMargin, CanvasMargin);
    logos::paintZoom(painter, exposed.translated(-CanvasMargin, -CanvasMargin), logo.dotImage(),
                     logo.size());
}

void ZoomCanvas::mousePressEvent(QMouseEvent* event) {
    pointerEvent(event);
}

void ZoomCanvas::mouseMoveEvent(QMouseEvent* event) {
    pointerEvent(event);
}

void ZoomCanvas::mouseReleaseEvent(QMouseEvent* event) {
    pointerEvent(event);
    if (event->buttons() == Qt::NoButton)
        session_.logo->endStroke();
}

void ZoomCanvas::pointerEvent(QMouseEvent* event) {
    // Not the window being worked in, or a transfer is using the logo.
    if (session_.mode != WindowMode::Logo || session_.busy)
        return;
    logos::LogoDocument& logo = *session_.logo;
    const PointerSpot spot = spotAt(event->position().toPoint(), logo.size());
    if (!spot.inView)
        return;
    const PaintAction action = paintActionFor(event->buttons(), event->modifiers());
    if (action != PaintAction::None)
        logo.paintDot(spot.column, spot.row, action == PaintAction::Set);
    session_.status.setField(GraphicField::Pointer,
                             QStringLiteral("XY=%1:%2").arg(spot.shownX).arg(spot.shownY));
}

DotPicture::DotPicture(logos::LogoDocument& logo, QWidget* parent) : QWidget(parent), logo_(logo) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
    connect(&logo, &logos::LogoDocument::dotImageChanged, this,
            [this](const QRect& r) { update(r); });
}

QSize DotPicture::sizeHint() const {
    return {logos::DotImageWidth, logos::DotImageHeight};
}

void DotPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, WindowColour);
    const QRect target = exposed & logo_.dotImage().rect();
    if (!target.isEmpty())
        painter.drawImage(target, logo_.dotImage(), target);
}

GraphicWindow::GraphicWindow(Session& session, QWidget* parent)
    : QWidget(parent), scroll_(new QScrollArea(this)), canvas_(new ZoomCanvas(session)),
      dots_(new DotPicture(*session.logo, this)) {
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setGeometry(ScrollAreaRect);
    scroll_->setWidget(canvas_);
    scroll_->setWidgetResizable(false);
    scroll_->horizontalScrollBar()->setSingleStep(ScrollStep);
    scroll_->verticalScrollBar()->setSingleStep(ScrollStep);
    dots_->setGeometry(DotPictureRect);
    canvas_->setAccessibleName(QStringLiteral("Редактор логотипа"));
    canvas_->setAccessibleDescription(QStringLiteral(
        "Точки логотипа в увеличении: левая кнопка мыши ставит точку, правая стирает"));
    scroll_->setAccessibleName(QStringLiteral("Редактор логотипа"));
    dots_->setAccessibleName(QStringLiteral("Логотип в натуральную величину"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, WindowColour);
    setPalette(pal);
    connect(session.logo, &logos::LogoDocument::scrollHomeRequested, this,
            [this] { scroll_->horizontalScrollBar()->setValue(0); });
}

QSize GraphicWindow::sizeHint() const {
    return {ScrollAreaRect.right() + 11, DotPictureRect.bottom() + 11};
}

int GraphicWindow::firstVisibleColumn() const {
    return scroll_->horizontalScrollBar()->value() / logos::ZoomScale;
}

} // namespace editor
