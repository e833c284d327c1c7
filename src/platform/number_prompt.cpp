// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/number_prompt.h"

#include "platform/number_text.h"

namespace platform {

NumberAnswer askNumber(Dialogs& dialogs, const NumberPrompt& p) {
    for (;;) {
        NumberAnswer a;
        a.typed = p.window == NumberPrompt::Window::Requester
                      ? dialogs.inputRequester(p.title, p.text, p.defaultText)
                      : dialogs.promptDialog(p.title, p.text, p.defaultText);
        if ((p.blank == NumberPrompt::Blank::EmptyCancels && a.typed.isEmpty()) ||
            (p.blank == NumberPrompt::Blank::BlankCancels && a.typed.trimmed().isEmpty()))
            return a;
        a.value = readDecimal(a.typed);
        const bool number = !p.numberRequired || startsWithNumber(a.typed);
        if (number && a.value >= p.lowest && a.value <= p.highest) {
            a.end = NumberAnswer::End::Number;
            return a;
        }
        if (p.repeatQuestion.isEmpty()) {
            if (p.fallback) {
                a.value = *p.fallback;
                a.end = NumberAnswer::End::Number;
            } else {
                a.end = NumberAnswer::End::OutOfRange;
            }
            return a;
        }
        if (!dialogs.askRetry(p.repeatQuestion))
            return NumberAnswer{NumberAnswer::End::Cancelled, 0, a.typed};
    }
}

} // namespace platform
