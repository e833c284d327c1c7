// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogs.h"

#include <QString>
#include <optional>
#include <utility>

namespace platform {

// A prompt for a whole number in lowest..highest, as the commands ask it: the number is read
// from the start of the answer, so "12abc" is 12 and a blank answer reads as 0 unless the
// prompt treats it as a cancel.
struct NumberPrompt {
    enum class Window { Requester, Prompt };
    enum class Blank { EmptyCancels, BlankCancels, ReadsAsZero };

    NumberPrompt(QString title, QString text, qint64 lowest, qint64 highest)
        : title(std::move(title)), text(std::move(text)), lowest(lowest), highest(highest) {}

    QString title;
    QString text;
    qint64 lowest;
    qint64 highest;
    QString defaultText;
    Window window = Window::Requester;
    Blank blank = Blank::EmptyCancels;
    // Asked (Yes / No) after a number outside the range; Yes asks again. Without it a number
    // outside the range is answered by `fallback`, or ends the prompt.
    QString repeatQuestion;
    std::optional<qint64> fallback;
    // An answer that does not start with a number ("o7", " ") counts as outside the range
    // instead of reading as 0.
    bool numberRequired = false;
};

struct NumberAnswer {
    enum class End { Number, Cancelled, OutOfRange };
    End end = End::Cancelled;
    qint64 value = 0;
    QString typed; // the answer as given
    explicit operator bool() const { return end == End::Number; }
};

NumberAnswer askNumber(Dialogs& dialogs, const NumberPrompt& prompt);

} // namespace platform
