// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogs.h"

#include <QHash>
#include <QStringList>
#include <cstdio>
#include <functional>

namespace cli {

// The dialogs of a run without a screen: prompts are answered from the command's arguments,
// questions in order, every box is written to stderr. A retry question
// after a refused answer is always No: the arguments will not change.
class CliDialogs : public platform::Dialogs {
public:
    explicit CliDialogs(std::FILE* out = stderr, std::function<bool()> interrupted = {});

    // Answers for the input requesters and prompts, in order; "" (cancel) when they run out.
    void queueText(const QString& text) { texts_.append(text); }
    // Answers for questions in order; No when they run out.
    void queueAnswer(platform::MessageAnswer answer) { answers_.append(answer); }
    void setOpenFile(const QString& path) { file_ = path; }

    // An error box was shown: the command refused something or the printer failed.
    bool errorShown() const { return errorShown_; }
    // The texts of the error and warning boxes.
    const QStringList& problems() const { return problems_; }
    // Every text the run wrote to stderr, boxes and notes alike, for the JSON report.
    const QStringList& messages() const { return messages_; }
    // A line of the command's own (not a box): written to stderr and kept among the messages.
    void note(const QString& text);

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
    // "[5/87] Марка 05" on one line of a terminal; nothing when stderr is not one.
    void showSteps(const QString& title, int done, int total, const QString& item) override;
    // After Ctrl+C (or what `interrupted` reports).
    bool stopRequested() override;

private:
    QString nextText();

    std::FILE* out_;
    std::function<bool()> interrupted_;
    bool tty_ = false;
    bool stepShown_ = false;
    QStringList texts_;
    QList<platform::MessageAnswer> answers_;
    QString file_;
    bool errorShown_ = false;
    QStringList problems_;
    QStringList messages_;
};

} // namespace cli
