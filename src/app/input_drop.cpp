// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/input_drop.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace app {

namespace {

bool isUserInput(QEvent::Type t) {
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// The dialog a command has opened (a question, a prompt, the steps of a series) and any popup
// of it take input; nothing else does.
bool takesInput(QObject* watched) {
    QWidget* top = QApplication::activePopupWidget();
    if (!top)
        top = QApplication::activeModalWidget();
    if (!top)
        return false;
    if (auto* w = qobject_cast<QWidget*>(watched))
        return w->window() == top || top->isAncestorOf(w);
    if (auto* window = qobject_cast<QWindow*>(watched))
        return window == top->windowHandle();
    return false;
}

} // namespace

InputDrop::InputDrop() {
    qApp->installEventFilter(this);
}

InputDrop::~InputDrop() {
    // What arrived during the command and is still queued reaches this filter now and ends here.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
}

bool InputDrop::eventFilter(QObject* watched, QEvent* e) {
    if (!isUserInput(e->type()) || takesInput(watched))
        return QObject::eventFilter(watched, e);
    // Accepted, so that a key's shortcut override does not go on to run the shortcut.
    e->accept();
    return true;
}

} // namespace app
