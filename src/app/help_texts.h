#pragma once

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

// The screen of menu items 40..43; an empty title for any other id.
HelpScreen helpScreen(int id);
void showHelp(printerlink::Session& s, int id);

} // namespace app
