// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/steps_window.h"
#include "platform/dialogs.h"

#include <QDialog>
#include <QPointer>
#include <QSet>

class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

class AppSettings;

// The answer keys (Enter, Escape, and the letters of a question) act when a key that went down
// while the dialog was up comes up again. Auto-repeats, keys already held at the opening and
// presses stamped before it are ignored. Acting on the release also keeps the release here,
// so the next dialog does not take the key for one still held.
class KeyGuardedDialog : public QDialog {
    Q_OBJECT
public:
    explicit KeyGuardedDialog(QWidget* parent);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Whether the key answers this dialog; Enter and Escape always do.
    virtual bool answers(int key) const;
    // One answer key, pressed and released while the dialog was up.
    virtual void answerKey(int key) = 0;

private:
    qint64 shownAt_ = -1; // on the scale of the input events' stamps
    QSet<int> heldAtShow_;
    int armed_ = 0;
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
    QLabel* promptLabel() const { return prompt_; }
    // The edit text after OK or Enter, "" otherwise.
    QString result() const { return result_; }

protected:
    void showEvent(QShowEvent* e) override;
    void answerKey(int key) override;

private:
    QLabel* prompt_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QString result_;
    bool beep_ = false;
};

class MessageWindow : public KeyGuardedDialog {
    Q_OBJECT
public:
    MessageWindow(const QString& title, const QString& text, platform::MessageIcon icon,
                  platform::MessageButtons buttons, QWidget* parent);
    platform::MessageAnswer answer() const { return answer_; }
    QLabel* textLabel() const { return text_; }

protected:
    bool answers(int key) const override;
    void answerKey(int key) override;
    void reject() override;

private:
    void finish(platform::MessageAnswer a);
    QLabel* text_ = nullptr;
    QPushButton* default_ = nullptr;
    platform::MessageButtons buttons_;
    platform::MessageAnswer answer_ = platform::MessageAnswer::Ok;
};

// Every dialog the commands open, on top of the main window.
class QtDialogs : public platform::Dialogs {
public:
    void setParentWindow(QWidget* w) { parent_ = w; }
    // Where the file dialogs remember their folders; without it they start in the current one.
    void setSettings(AppSettings* settings) { settings_ = settings; }

    platform::MessageAnswer messageBox(const QString& title, const QString& text,
                                       platform::MessageIcon icon,
                                       platform::MessageButtons buttons) override;
    QString inputRequester(const QString& title, const QString& prompt,
                           const QString& defaultText) override;
    QString promptDialog(const QString& title, const QString& prompt,
                         const QString& defaultText) override;
    QString portPromptDialog(const QString& title, const QString& listText, const QString& prompt,
                             const QString& defaultText) override;
    QString openFile(const QString& title, const QString& defaultName,
                     const QString& filter) override;
    QString saveFile(const QString& title, const QString& defaultName, const QString& filter,
                     OverwriteCheck overwrite) override;
    void showSteps(const QString& title, int done, int total, const QString& item) override;
    bool stopRequested() override;
    // The window of the series under way, if any.
    StepsWindow* stepsWindow() const { return steps_; }

private:
    QString runPrompt(PromptWindow::Layout layout, const QString& title, const QString& listText,
                      const QString& prompt, const QString& defaultText);
    QString runFileDialog(bool save, const QString& title, const QString& defaultName,
                          const QString& filter,
                          OverwriteCheck overwrite = OverwriteCheck::ByDialog);
    QPointer<QWidget> parent_;
    AppSettings* settings_ = nullptr;
    QPointer<StepsWindow> steps_;
};

// Starts following which keys are down and how the input events' time stamps relate to our
// clock; idempotent. Call it before the first key press.
void followInputTime();
// Keys down now as far as the application saw (a key whose release went elsewhere is
// forgotten after two seconds without repeats).
QSet<int> keysDown();

} // namespace app
