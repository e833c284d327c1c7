// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Every modal dialog the commands open. An empty text result means the user cancelled.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer messageBox(const QString& title, const QString& text, MessageIcon icon,
                                     MessageButtons buttons) = 0;
    // 300 x 130 requester with an OK button; Escape and the close box give "".
    virtual QString inputRequester(const QString& title, const QString& prompt,
                                   const QString& defaultText) = 0;
    // 357 x 110 prompt with OK and Cancel.
    virtual QString promptDialog(const QString& title, const QString& prompt,
                                 const QString& defaultText) = 0;
    // 420 x 140 prompt with the list of ports above it.
    virtual QString portPromptDialog(const QString& title, const QString& listText,
                                     const QString& prompt, const QString& defaultText) = 0;
    // filter in the form "Description|*.a;*.b|Other|*.c"; "" on cancel.
    virtual QString openFile(const QString& title, const QString& defaultName,
                             const QString& filter) = 0;
    // A command that asks its own overwrite question passes OverwriteCheck::ByCaller, so the
    // user is not asked twice.
    enum class OverwriteCheck { ByDialog, ByCaller };
    virtual QString saveFile(const QString& title, const QString& defaultName,
                             const QString& filter, OverwriteCheck overwrite) = 0;

    // A series of items (a backup, a restore) shows how far it has got: `done` of `total`
    // items, `item` the one under way. A total of 0 ends the display.
    virtual void showSteps(const QString& /*title*/, int /*done*/, int /*total*/,
                           const QString& /*item*/) {}
    // Whether the user has asked to stop the series shown. Asked only between items: an item
    // once begun (a mark, a slot) always goes whole to the printer.
    virtual bool stopRequested() { return false; }

    MessageAnswer error(const QString& text) {
        return messageBox(QStringLiteral("ОШИБКА"), text, MessageIcon::Error, MessageButtons::Ok);
    }
    bool askRetry(const QString& text) {
        return messageBox(QStringLiteral("ОШИБКА"), text, MessageIcon::Error,
                          MessageButtons::YesNo) == MessageAnswer::Yes;
    }
};

} // namespace platform
