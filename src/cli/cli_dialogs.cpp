// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_dialogs.h"

#include "cli/cli_text.h"
#include "cli/console_text.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

using namespace platform;

namespace cli {

CliDialogs::CliDialogs(std::FILE* out, std::function<bool()> interrupted)
    : out_(out), interrupted_(std::move(interrupted)), tty_(isatty(fileno(out))) {}

void CliDialogs::showSteps(const QString&, int done, int total, const QString& item) {
    if (!tty_)
        return;
    if (total == 0) {
        if (stepShown_)
            std::fputc('\n', out_);
        stepShown_ = false;
        return;
    }
    stepShown_ = true;
    // Back to the start of the line and clear it: items differ in length.
    writeText(out_, QStringLiteral("\r\033[K[%1/%2] %3").arg(done + 1).arg(total).arg(item));
    std::fflush(out_);
}

bool CliDialogs::stopRequested() {
    return interrupted_ && interrupted_();
}

MessageAnswer CliDialogs::messageBox(const QString& title, const QString& text, MessageIcon icon,
                                     MessageButtons buttons) {
    if (icon == MessageIcon::Error)
        errorShown_ = true;
    if (icon == MessageIcon::Error || icon == MessageIcon::Warning)
        problems_.append(plainText(text));
    QString shown = plainText(text);
    if (!title.isEmpty())
        shown = title + QStringLiteral(": ") + shown;
    MessageAnswer answer = MessageAnswer::Ok;
    if (buttons != MessageButtons::Ok) {
        if (icon == MessageIcon::Error)
            answer = MessageAnswer::No;
        else if (!answers_.isEmpty())
            answer = answers_.takeFirst();
        else
            answer = MessageAnswer::No;
        shown +=
            answer == MessageAnswer::Yes ? QStringLiteral(" -> Да") : QStringLiteral(" -> Нет");
    }
    note(shown);
    return answer;
}

void CliDialogs::note(const QString& text) {
    messages_.append(text);
    writeText(out_, text + QLatin1Char('\n'));
    std::fflush(out_);
}

QString CliDialogs::nextText() {
    return texts_.isEmpty() ? QString() : texts_.takeFirst();
}

QString CliDialogs::inputRequester(const QString&, const QString&, const QString&) {
    return nextText();
}

QString CliDialogs::promptDialog(const QString&, const QString&, const QString&) {
    return nextText();
}

QString CliDialogs::portPromptDialog(const QString&, const QString&, const QString&,
                                     const QString&) {
    return nextText();
}

QString CliDialogs::openFile(const QString&, const QString&, const QString&) {
    return file_;
}

QString CliDialogs::saveFile(const QString&, const QString&, const QString&, OverwriteCheck) {
    return file_;
}

} // namespace cli
