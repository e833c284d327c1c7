// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_id.h"
#include "platform/dialogs.h"

#include <QString>

namespace printerlink {
struct Session;
}

namespace app {

struct HelpScreen {
    QString title;
    QString text;
    platform::MessageIcon icon = platform::MessageIcon::Information;
};

HelpScreen aboutHelp();
HelpScreen connectionHelp();
HelpScreen shortcutHelp();
HelpScreen pictureFormatsHelp();

// The screen of a help item; an empty title for any other id.
HelpScreen helpScreen(CommandId id);
void showHelp(printerlink::Session& s, CommandId id);

} // namespace app
