// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

// Records every dialog and answers from a queue. A dialog with no answer queued for it is a
// test failure (recorded in `unexpected`, answered with cancel).
class ScriptedDialogs : public platform::Dialogs {
public:
    enum class Kind { Message, Input, Prompt, PortPrompt, OpenFile, SaveFile };
    struct Shown {
        Kind kind;
        QString title;
        QString text;  // message text or prompt
        QString extra; // default text, port list, file filter
        platform::MessageIcon icon = platform::MessageIcon::None;
        platform::MessageButtons buttons = platform::MessageButtons::Ok;
        QString defaultText = {}; // of the port prompt
    };

    QList<Shown> shown;
    // Called as each dialog is shown, before it is answered: how long the user takes, say.
    std::function<void(const Shown&)> whileShown;
    QStringList unexpected;

    // Queue answers in the order the dialogs will appear.
    ScriptedDialogs& answer(platform::MessageAnswer a);
    ScriptedDialogs& answer(const QString& text); // input, prompt or file dialogs
    // Message boxes with only an OK button need no queued answer.
    bool okNeedsNoAnswer = true;

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
    // Every display of a series' steps, as "done/total item" ("0/0" ends it).
    QStringList steps;
    // Called with each item of a series as it begins ("Чтение: Марка 05").
    std::function<void(const QString&)> onStep;
    // The user asks to stop once this many items of a series have begun; -1 never.
    int stopAfterItems = -1;
    void showSteps(const QString& title, int done, int total, const QString& item) override;
    bool stopRequested() override;

    // The overwrite check of the last save dialog.
    OverwriteCheck lastOverwriteCheck = OverwriteCheck::ByDialog;

    // Convenience for assertions.
    const Shown& last() const { return shown.last(); }
    QList<Shown> messages() const;
    int pending() const { return int(queue_.size()); }

private:
    QString nextText(const QString& what);
    QList<QVariant> queue_;
};
