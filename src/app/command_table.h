// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_id.h"

#include <QList>

namespace printerlink {
struct Session;
}
namespace logos {
class PictureImportDialog;
}

namespace app {

// What the commands of the shell itself need from the main window.
class Shell {
public:
    virtual ~Shell() = default;
    virtual printerlink::Session& session() = 0;
    virtual void openPort() = 0;
    virtual void closePort() = 0;
    virtual void changeBaud(int rate) = 0;
    // From the window list (entries 7 and 8) or a shortcut (Ctrl+M / Ctrl+G, which act only
    // from the other mode).
    virtual void showMarkWindow(bool fromShortcut) = 0;
    virtual void showGraphicWindow(bool fromShortcut) = 0;
    // Asks the exit question; the program ends on Yes.
    virtual void requestExit() = 0;
    virtual void showProtocolLog() = 0;
    virtual logos::PictureImportDialog& pictureImportDialog() = 0;
};

using Command = void (*)(Shell&);

// The command an id runs; nullptr for ids that do nothing (None, SaveLogo, WriteGraphicMark).
Command commandFor(CommandId id);
// Every id with a command, for checks that the menus and the table agree.
QList<CommandId> commandIds();

// Runs one menu or shortcut command: the not-connected guard first for printer commands.
void dispatch(Shell& shell, CommandId id);

// "Соединение с Маркиратором не установлено!..." as an error box.
void showNotConnected(printerlink::Session& s);

} // namespace app
