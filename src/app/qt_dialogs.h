#pragma once

#include "platform/dialogs.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QSet>

class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

// A key press answers the dialog only when the key went down while the dialog was up:
// auto-repeats and keys already held when it opened are ignored until released.
class KeyGuardedDialog : public QDialog {
    Q_OBJECT
public:
    explicit KeyGuardedDialog(QWidget* parent);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QHash<int, quint64> heldAtShow_; // key -> its release count at the opening
};

// The prompt layouts: the input requester (OK only), the prompt dialog and the port prompt.
class PromptWindow : public KeyGuardedDialog {
    Q_OBJECT
public:
    enum class Layout { Requester, Prompt, PortPrompt };
    PromptWindow(Layout layout, const QString& title, const QString& listText,
                 const QString& prompt, const QString& defaultText, QWidget* parent);

    QLineEdit* edit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The edit text after OK or Enter, "" otherwise.
    QString result() const { return result_; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QString result_;
    bool beep_ = false;
};

class MessageWindow : public KeyGuardedDialog {
    Q_OBJECT
public:
    MessageWindow(const QString& title, const QString& text, MessageIcon icon,
                  MessageButtons buttons, QWidget* parent);
    MessageAnswer answer() const { return answer_; }
    QLabel* textLabel() const { return text_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;

private:
    void finish(MessageAnswer a);
    QLabel* text_ = nullptr;
    QPushButton* default_ = nullptr;
    MessageButtons buttons_;
    MessageAnswer answer_ = MessageAnswer::Ok;
};

// Every dialog the commands open, on top of the main window.
class QtDialogs : public Dialogs {
public:
    void setParentWindow(QWidget* w) { parent_ = w; }

    MessageAnswer messageBox(const QString& title, const QString& text, MessageIcon icon,
                             MessageButtons buttons) override;
    QString inputRequester(const QString& title, const QString& prompt,
                           const QString& defaultText) override;
    QString promptDialog(const QString& title, const QString& prompt,
                         const QString& defaultText) override;
    QString portPromptDialog(const QString& title, const QString& listText, const QString& prompt,
                             const QString& defaultText) override;
    QString openFile(const QString& title, const QString& defaultName,
                     const QString& filter) override;
    QString saveFile(const QString& title, const QString& defaultName,
                     const QString& filter) override;

private:
    QString runPrompt(PromptWindow::Layout layout, const QString& title, const QString& listText,
                      const QString& prompt, const QString& defaultText);
    QString runFileDialog(bool save, const QString& title, const QString& defaultName,
                          const QString& filter);
    QPointer<QWidget> parent_;
};

// Starts following which keys are held down; idempotent. Call it before the first key press.
void trackHeldKeys();
// Keys held down right now, as the application has seen them.
QSet<int> keysHeld();
// How many times a key was released so far.
quint64 keyReleases(int key);

} // namespace app
