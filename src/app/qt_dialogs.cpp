#include "app/qt_dialogs.h"

#include "app/message_text.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace app {

namespace {

// A release can be missed (it may go to a window that is not ours), so a key counts as held only
// for a while after its press; a key held longer than that auto-repeats, which is recognised
// on its own.
constexpr qint64 kHeldForgetMs = 2000;

class KeyTracker : public QObject {
public:
    KeyTracker() { clock.start(); }
    QHash<int, qint64> pressedAt;
    QHash<int, quint64> releases; // per key, counted wherever the release went
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        switch (e->type()) {
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (!k->isAutoRepeat())
                pressedAt.insert(k->key(), clock.elapsed());
            break;
        }
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (!k->isAutoRepeat()) {
                pressedAt.remove(k->key());
                ++releases[k->key()];
            }
            break;
        }
        case QEvent::ApplicationDeactivate:
            pressedAt.clear(); // releases elsewhere are not seen
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, e);
    }
};

KeyTracker* tracker() {
    static QPointer<KeyTracker> t;
    if (!t && qApp) {
        t = new KeyTracker;
        t->setParent(qApp);
        qApp->installEventFilter(t);
    }
    return t;
}

// Cyrillic letters arrive as their upper-case code point: Д answers Yes, Н answers No.
constexpr int kCyrillicDe = 0x0414;
constexpr int kCyrillicEn = 0x041D;

bool isAnswerKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
           key == Qt::Key_Space || key == Qt::Key_Y || key == Qt::Key_N || key == kCyrillicDe ||
           key == kCyrillicEn;
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

} // namespace

void trackHeldKeys() {
    tracker();
}

QSet<int> keysHeld() {
    QSet<int> held;
    if (KeyTracker* t = tracker()) {
        const qint64 now = t->clock.elapsed();
        for (auto it = t->pressedAt.cbegin(); it != t->pressedAt.cend(); ++it)
            if (now - it.value() < kHeldForgetMs)
                held.insert(it.key());
    }
    return held;
}

KeyGuardedDialog::KeyGuardedDialog(QWidget* parent) : QDialog(parent, dialogFlags) {
    trackHeldKeys();
}

quint64 keyReleases(int key) {
    KeyTracker* t = tracker();
    return t ? t->releases.value(key) : 0;
}

void KeyGuardedDialog::showEvent(QShowEvent* e) {
    heldAtShow_.clear();
    for (int key : keysHeld())
        heldAtShow_.insert(key, keyReleases(key));
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    QDialog::showEvent(e);
}

// A key held at the opening answers only after a release has been seen, in whatever window
// the release went to.
bool KeyGuardedDialog::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (isAnswerKey(k->key())) {
            if (k->isAutoRepeat())
                return true;
            const auto held = heldAtShow_.constFind(k->key());
            if (held != heldAtShow_.cend()) {
                if (keyReleases(k->key()) == held.value())
                    return true;
                heldAtShow_.erase(held);
            }
        }
    }
    return QDialog::eventFilter(watched, e);
}

PromptWindow::PromptWindow(Layout layout, const QString& title, const QString& listText,
                           const QString& prompt, const QString& defaultText, QWidget* parent)
    : KeyGuardedDialog(parent) {
    setWindowTitle(title);
    QSize size;
    // Widgets created later lie on top: the edit field overlaps the prompt's tall text box.
    switch (layout) {
    case Layout::Requester:
        size = {300, 130};
        textLabel(this, prompt, {10, 10, 280, 22});
        edit_ = new QLineEdit(this);
        edit_->setGeometry(10, 32, 275, 21);
        ok_ = new QPushButton(QStringLiteral("OK"), this);
        ok_->setGeometry(110, 67, 80, 25);
        break;
    case Layout::Prompt:
        size = {357, 110};
        beep_ = true;
        textLabel(this, prompt, {10, 8, 265, 73});
        edit_ = new QLineEdit(this);
        edit_->setGeometry(9, 79, 339, 20);
        ok_ = new QPushButton(QStringLiteral("OK"), this);
        ok_->setGeometry(288, 8, 60, 23);
        cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
        cancel_->setGeometry(288, 36, 60, 23);
        break;
    case Layout::PortPrompt: {
        size = {420, 140};
        beep_ = true;
        QLabel* list = textLabel(this, listText, {10, 8, 365, 63});
        // A long port list grows the window instead of being cut off.
        const QSize need = list->sizeHint();
        const int dx = qMax(0, need.width() - 365);
        const int dy = qMax(0, need.height() - 63);
        list->resize(365 + dx, 63 + dy);
        size += QSize(dx, dy);
        textLabel(this, prompt, {10, 75 + dy, 315, 73});
        edit_ = new QLineEdit(this);
        edit_->setGeometry(9, 93 + dy, 300, 20);
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
    body->addWidget(text_, 1);
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

void MessageWindow::keyPressEvent(QKeyEvent* e) {
    const bool yesNo = buttons_ != MessageButtons::Ok;
    switch (e->key()) {
    case Qt::Key_Y:
    case kCyrillicDe:
        if (yesNo)
            return finish(MessageAnswer::Yes);
        break;
    case Qt::Key_N:
    case kCyrillicEn:
        if (yesNo)
            return finish(MessageAnswer::No);
        break;
    default:
        break;
    }
    KeyGuardedDialog::keyPressEvent(e);
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
                                 const QString& filter) {
    QFileDialog d(parent_, title, QDir::current().filePath(defaultName), fileDialogFilter(filter));
    d.setWindowFlag(Qt::WindowStaysOnTopHint);
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!defaultName.isEmpty())
        d.selectFile(defaultName);
    const bool chosen = d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty();
    if (parent_)
        parent_->activateWindow();
    return chosen ? d.selectedFiles().first() : QString();
}

QString QtDialogs::openFile(const QString& title, const QString& defaultName,
                            const QString& filter) {
    return runFileDialog(false, title, defaultName, filter);
}

QString QtDialogs::saveFile(const QString& title, const QString& defaultName,
                            const QString& filter) {
    return runFileDialog(true, title, defaultName, filter);
}

} // namespace app
