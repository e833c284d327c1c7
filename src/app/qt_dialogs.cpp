// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_dialogs.h"

#include "app/app_settings.h"
#include "app/message_text.h"
#include "app/steps_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

using namespace platform;

namespace app {

namespace {

// Input events carry the window system's time stamps. This follows how they relate to our own
// clock, so that a key press can be placed before or after the moment a dialog opened.
class InputClock : public QObject {
public:
    InputClock() { clock.start(); }
    QElapsedTimer clock;
    bool known = false;
    qint64 offset = 0; // our milliseconds minus the stamp
    // Keys down, with when they were last seen pressed (repeats refresh it). A release that
    // went to another window is never seen, so an entry that is not refreshed expires.
    QHash<int, qint64> down;
    // Stamp of each key's last release: a repeat's release and press share their time.
    QHash<int, quint64> releasedAt;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            down.insert(static_cast<QKeyEvent*>(e)->key(), clock.elapsed());
        } else if (e->type() == QEvent::KeyRelease) {
            auto* k = static_cast<QKeyEvent*>(e);
            releasedAt.insert(k->key(), k->timestamp());
            if (!k->isAutoRepeat())
                down.remove(k->key());
        } else if (e->type() == QEvent::ApplicationDeactivate)
            down.clear(); // releases elsewhere are not seen
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: {
            const quint64 stamp = static_cast<QInputEvent*>(e)->timestamp();
            if (stamp == 0)
                break; // synthesised, no time
            // Events are delivered late, never early: the least difference is the true one.
            // A much larger one means the stamps jumped (their 32-bit clock wrapped): start over.
            const qint64 o = clock.elapsed() - qint64(stamp);
            if (!known || o < offset || o > offset + kResyncMs) {
                offset = o;
                known = true;
            }
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, e);
    }

private:
    static constexpr qint64 kResyncMs = 5000;
};

InputClock* inputClock() {
    static QPointer<InputClock> t;
    if (!t && qApp) {
        t = new InputClock;
        t->setParent(qApp);
        qApp->installEventFilter(t);
    }
    return t;
}

// The window system's time now, on the scale of the event stamps; -1 before any stamp was seen.
qint64 inputTimeNow() {
    InputClock* t = inputClock();
    return t && t->known ? t->clock.elapsed() - t->offset : -1;
}

// A press that repeats a held key. Not every repeat is marked as one: the window system sends
// a release and a press with the same stamp, and the pair is not always recognised.
bool repeatsHeldKey(const QKeyEvent* k) {
    if (k->isAutoRepeat())
        return true;
    constexpr quint64 sameMomentMs = 5;
    InputClock* t = inputClock();
    const quint64 stamp = k->timestamp();
    const quint64 released = t ? t->releasedAt.value(k->key(), 0) : 0;
    return stamp != 0 && released != 0 && stamp >= released && stamp - released <= sameMomentMs;
}

// Leeway for the estimate of the opening time, so that no press made after it is lost.
constexpr qint64 kOpeningLeewayMs = 10;

// Cyrillic letters arrive as their upper-case code point: Д answers Yes, Н answers No.
constexpr int kCyrillicDe = 0x0414;
constexpr int kCyrillicEn = 0x041D;

bool isEnterOrEscape(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

void centreOnScreen(QWidget* w) {
    QScreen* screen =
        w->parentWidget() ? w->parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect r = screen->geometry();
    w->move(r.center() - QPoint(w->width() / 2, w->height() / 2));
}

constexpr Qt::WindowFlags dialogFlags = Qt::Dialog | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                        Qt::WindowStaysOnTopHint;

QLabel* textLabel(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::RichText);
    l->setText(messageHtml(text));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(geometry);
    return l;
}

// Widens and heightens a text label to its whole text; returns by how much. `height` is the
// room the text has below the label's top, when that is less than the label's own height.
QSize fitText(QLabel* label, int height = -1) {
    const QSize need = label->sizeHint();
    const QSize box(label->width(), height < 0 ? label->height() : height);
    const QSize more(qMax(0, need.width() - box.width()), qMax(0, need.height() - box.height()));
    label->resize(label->size() + more);
    return more;
}

} // namespace

void followInputTime() {
    inputClock();
}

QSet<int> keysDown() {
    constexpr qint64 forgetMs = 2000;
    QSet<int> keys;
    if (InputClock* t = inputClock()) {
        const qint64 now = t->clock.elapsed();
        for (auto it = t->down.cbegin(); it != t->down.cend(); ++it)
            if (now - it.value() < forgetMs)
                keys.insert(it.key());
    }
    return keys;
}

KeyGuardedDialog::KeyGuardedDialog(QWidget* parent) : QDialog(parent, dialogFlags) {
    followInputTime();
}

void KeyGuardedDialog::showEvent(QShowEvent* e) {
    shownAt_ = inputTimeNow();
    heldAtShow_ = keysDown();
    armed_ = 0;
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    QDialog::showEvent(e);
}

bool KeyGuardedDialog::answers(int key) const {
    return isEnterOrEscape(key);
}

bool KeyGuardedDialog::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)
        return QDialog::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    const int key = k->key();
    if (!answers(key) || (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return QDialog::eventFilter(watched, e);
    if (e->type() == QEvent::KeyRelease) {
        if (k->isAutoRepeat())
            return true;
        heldAtShow_.remove(key);
        if (armed_ != key)
            return true;
        armed_ = 0;
        answerKey(key);
        return true;
    }
    if (repeatsHeldKey(k)) {
        if (armed_ != key)
            heldAtShow_.insert(key); // still held: wait for its real release
        return true;
    }
    const qint64 stamp = qint64(k->timestamp());
    const bool beforeOpening = stamp != 0 && shownAt_ >= 0 && stamp < shownAt_ - kOpeningLeewayMs;
    if (!beforeOpening && !heldAtShow_.contains(key) && armed_ == 0)
        armed_ = key;
    return true;
}

PromptWindow::PromptWindow(Layout layout, const QString& title, const QString& listText,
                           const QString& prompt, const QString& defaultText, QWidget* parent)
    : KeyGuardedDialog(parent) {
    setWindowTitle(title);
    QSize size;
    // Texts longer than their boxes grow the window, and move what lies right of and below
    // them, so that no prompt is cut off. Widgets created later lie on top: the edit field
    // overlaps the prompt's tall text box.
    switch (layout) {
    case Layout::Requester: {
        prompt_ = textLabel(this, prompt, {10, 10, 280, 22});
        const QSize more = fitText(prompt_);
        size = QSize(300, 130) + more;
        edit_ = new QLineEdit(this);
        edit_->setGeometry(10, 32 + more.height(), 275 + more.width(), 21);
        ok_ = new QPushButton(QStringLiteral("OK"), this);
        ok_->setGeometry(110 + more.width() / 2, 67 + more.height(), 80, 25);
        break;
    }
    case Layout::Prompt: {
        beep_ = true;
        prompt_ = textLabel(this, prompt, {10, 8, 265, 73});
        // The text must end above the edit field, 71 pixels down.
        const QSize more = fitText(prompt_, 71);
        size = QSize(357, 110) + more;
        edit_ = new QLineEdit(this);
        edit_->setGeometry(9, 79 + more.height(), 339 + more.width(), 20);
        ok_ = new QPushButton(QStringLiteral("OK"), this);
        ok_->setGeometry(288 + more.width(), 8, 60, 23);
        cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
        cancel_->setGeometry(288 + more.width(), 36, 60, 23);
        break;
    }
    case Layout::PortPrompt: {
        beep_ = true;
        const QSize list = fitText(textLabel(this, listText, {10, 8, 365, 63}));
        prompt_ = textLabel(this, prompt, {10, 75 + list.height(), 315, 73});
        // The prompt has the 18 pixels above the edit field.
        const QSize more = fitText(prompt_, 18);
        const int dx = qMax(list.width(), more.width());
        const int dy = list.height() + more.height();
        size = QSize(420 + dx, 140 + dy);
        edit_ = new QLineEdit(this);
        edit_->setGeometry(9, 93 + dy, 300 + more.width(), 20);
        ok_ = new QPushButton(QStringLiteral("OK"), this);
        ok_->setGeometry(340 + dx, 73 + dy, 60, 23);
        cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
        cancel_->setGeometry(340 + dx, 103 + dy, 60, 23);
        break;
    }
    }
    setFixedSize(size);
    edit_->setText(defaultText);
    edit_->selectAll();
    edit_->setFocus();
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] {
        result_ = edit_->text();
        accept();
    });
    if (cancel_) {
        cancel_->setAutoDefault(false);
        connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    }
    centreOnScreen(this);
}

void PromptWindow::showEvent(QShowEvent* e) {
    KeyGuardedDialog::showEvent(e);
    edit_->setFocus();
    edit_->selectAll();
    if (beep_)
        QApplication::beep();
}

void PromptWindow::answerKey(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        ok_->click();
    else if (key == Qt::Key_Escape)
        reject();
}

namespace {

// A text larger than the screen (a long list of differences, say) scrolls inside the box, so
// the buttons stay on the screen.
QWidget* scrolledIfTooLarge(QLabel* text, QWidget* parent) {
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return text;
    // Room for the icon, the margins, the buttons and the title bar.
    const QSize room = screen->availableGeometry().size() - QSize(120, 140);
    const QSize wanted = text->sizeHint();
    if (wanted.width() <= room.width() && wanted.height() <= room.height())
        return text;
    auto* area = new QScrollArea;
    area->setObjectName(QStringLiteral("scroll"));
    area->setWidget(text);
    area->setFrameShape(QFrame::NoFrame);
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    area->setFixedSize(qMin(wanted.width() + bar, room.width()),
                       qMin(wanted.height() + bar, room.height()));
    return area;
}

} // namespace

MessageWindow::MessageWindow(const QString& title, const QString& text, MessageIcon icon,
                             MessageButtons buttons, QWidget* parent)
    : KeyGuardedDialog(parent), buttons_(buttons) {
    setWindowTitle(title);
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    QStyle::StandardPixmap pixmap = QStyle::SP_CustomBase;
    switch (icon) {
    case MessageIcon::Information:
        pixmap = QStyle::SP_MessageBoxInformation;
        break;
    case MessageIcon::Warning:
        pixmap = QStyle::SP_MessageBoxWarning;
        break;
    case MessageIcon::Error:
        pixmap = QStyle::SP_MessageBoxCritical;
        break;
    case MessageIcon::Question:
        pixmap = QStyle::SP_MessageBoxQuestion;
        break;
    case MessageIcon::None:
        break;
    }
    if (pixmap != QStyle::SP_CustomBase) {
        auto* iconLabel = new QLabel(this);
        iconLabel->setObjectName(QStringLiteral("icon"));
        iconLabel->setPixmap(style()->standardIcon(pixmap).pixmap(32, 32));
        iconLabel->setAlignment(Qt::AlignTop);
        body->addWidget(iconLabel, 0, Qt::AlignTop);
    }
    text_ = new QLabel(this);
    text_->setTextFormat(Qt::RichText);
    text_->setWordWrap(false);
    text_->setText(messageHtml(text));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    body->addWidget(scrolledIfTooLarge(text_, parent), 1);
    outer->addLayout(body);

    auto* row = new QHBoxLayout;
    row->addStretch();
    auto add = [&](const QString& label, MessageAnswer a) {
        auto* b = new QPushButton(label, this);
        b->setMinimumWidth(75);
        connect(b, &QPushButton::clicked, this, [this, a] { finish(a); });
        row->addWidget(b);
        if (!default_) {
            default_ = b;
            b->setDefault(true);
        }
        return b;
    };
    switch (buttons) {
    case MessageButtons::Ok:
        add(QStringLiteral("OK"), MessageAnswer::Ok);
        break;
    case MessageButtons::YesNo:
        add(QStringLiteral("&Да"), MessageAnswer::Yes);
        add(QStringLiteral("&Нет"), MessageAnswer::No);
        break;
    case MessageButtons::YesNoCancel:
        add(QStringLiteral("&Да"), MessageAnswer::Yes);
        add(QStringLiteral("&Нет"), MessageAnswer::No);
        add(QStringLiteral("Отмена"), MessageAnswer::Cancel);
        break;
    }
    row->addStretch();
    outer->addLayout(row);
    default_->setFocus();
}

void MessageWindow::finish(MessageAnswer a) {
    answer_ = a;
    done(QDialog::Accepted);
}

bool MessageWindow::answers(int key) const {
    if (isEnterOrEscape(key))
        return true;
    return buttons_ != MessageButtons::Ok &&
           (key == Qt::Key_Y || key == Qt::Key_N || key == kCyrillicDe || key == kCyrillicEn);
}

void MessageWindow::answerKey(int key) {
    const bool yesNo = buttons_ != MessageButtons::Ok;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        (focused ? focused : default_)->click();
    } else if (key == Qt::Key_Escape) {
        reject();
    } else if (yesNo && (key == Qt::Key_Y || key == kCyrillicDe)) {
        finish(MessageAnswer::Yes);
    } else if (yesNo && (key == Qt::Key_N || key == kCyrillicEn)) {
        finish(MessageAnswer::No);
    }
}

// Escape and the close box: OK for a plain box, No for a question, Cancel where there is one.
void MessageWindow::reject() {
    switch (buttons_) {
    case MessageButtons::Ok:
        return finish(MessageAnswer::Ok);
    case MessageButtons::YesNo:
        return finish(MessageAnswer::No);
    case MessageButtons::YesNoCancel:
        return finish(MessageAnswer::Cancel);
    }
}

MessageAnswer QtDialogs::messageBox(const QString& title, const QString& text, MessageIcon icon,
                                    MessageButtons buttons) {
    MessageWindow box(title, text, icon, buttons, parent_);
    box.adjustSize();
    centreOnScreen(&box);
    box.exec();
    if (parent_)
        parent_->activateWindow();
    return box.answer();
}

void QtDialogs::showSteps(const QString& title, int done, int total, const QString& item) {
    if (total == 0) {
        delete steps_;
        return;
    }
    if (!steps_) {
        steps_ = new StepsWindow(title, parent_);
        steps_->adjustSize();
        centreOnScreen(steps_);
    }
    steps_->show(done, total, item);
}

bool QtDialogs::stopRequested() {
    if (!steps_)
        return false;
    // The only moment user input reaches the window during a series: the steps window is
    // modal, so it can only be the stop button, Escape or its close box.
    QCoreApplication::processEvents();
    return steps_ && steps_->stopRequested();
}

QString QtDialogs::runPrompt(PromptWindow::Layout layout, const QString& title,
                             const QString& listText, const QString& prompt,
                             const QString& defaultText) {
    PromptWindow w(layout, title, listText, prompt, defaultText, parent_);
    w.exec();
    if (parent_) {
        parent_->raise();
        parent_->activateWindow();
    }
    return w.result();
}

QString QtDialogs::inputRequester(const QString& title, const QString& prompt,
                                  const QString& defaultText) {
    return runPrompt(PromptWindow::Layout::Requester, title, {}, prompt, defaultText);
}

QString QtDialogs::promptDialog(const QString& title, const QString& prompt,
                                const QString& defaultText) {
    return runPrompt(PromptWindow::Layout::Prompt, title, {}, prompt, defaultText);
}

QString QtDialogs::portPromptDialog(const QString& title, const QString& listText,
                                    const QString& prompt, const QString& defaultText) {
    return runPrompt(PromptWindow::Layout::PortPrompt, title, listText, prompt, defaultText);
}

// Built by hand rather than with the static helpers so that it, too, stays above the main window.
QString QtDialogs::runFileDialog(bool save, const QString& title, const QString& defaultName,
                                 const QString& filter, OverwriteCheck overwrite) {
    const QString kind = fileKind(filter);
    QString folder = settings_ ? settings_->folder(kind) : QString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::currentPath();
    QFileDialog d(parent_, title, QDir(folder).filePath(defaultName), fileDialogFilter(filter));
    d.setWindowFlag(Qt::WindowStaysOnTopHint);
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (overwrite == OverwriteCheck::ByCaller)
        d.setOption(QFileDialog::DontConfirmOverwrite);
    if (!defaultName.isEmpty())
        d.selectFile(defaultName);
    const bool chosen = d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty();
    if (parent_)
        parent_->activateWindow();
    if (!chosen)
        return {};
    const QString file = d.selectedFiles().first();
    if (settings_)
        settings_->setFolder(kind, QFileInfo(file).absolutePath());
    return file;
}

QString QtDialogs::openFile(const QString& title, const QString& defaultName,
                            const QString& filter) {
    return runFileDialog(false, title, defaultName, filter);
}

QString QtDialogs::saveFile(const QString& title, const QString& defaultName, const QString& filter,
                            OverwriteCheck overwrite) {
    return runFileDialog(true, title, defaultName, filter, overwrite);
}

} // namespace app
