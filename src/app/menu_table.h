// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_id.h"

#include <QKeySequence>
#include <QList>
#include <QString>

namespace app {

// What a successful port opening does to an item (closing the port undoes it).
enum class OnOpen { Unchanged, Enable, Grey };

struct MenuItem {
    QString path; // menu titles from the bar down, joined by '/'
    QString text; // as shown; a tab separates the shortcut hint
    CommandId id = CommandId::None;
    CommandId shortcutId = CommandId::None; // the shortcut that stands for this item
    bool needsPort = false;                 // the not-connected guard runs while no port is open
    bool enabledAtStart = true;
    OnOpen onOpen = OnOpen::Unchanged;
    bool separatorAfter = false;
    bool checkedAtStart = false;
};

// The menus of the bar, in order.
QStringList menuTitles();
// Every item of the menu bar in display order (the window list entries included).
const QList<MenuItem>& menuItems();
// Submenus that a separator follows in their parent menu.
QStringList submenusFollowedBySeparator();
// nullptr when no item has this id.
const MenuItem* menuItem(CommandId id);
// The item a shortcut stands for (OpenPortKey -> OpenPort, ...), or the id itself.
CommandId itemIdFor(CommandId id);
// True for commands that need an open port; shortcut ids are mapped first.
bool needsPort(CommandId id);
// The baud rate of a baud item, or 0.
int baudRateFor(CommandId id);

// A window-wide shortcut: Ctrl with the Latin letter or the Cyrillic letter on the same key, so
// it works in either keyboard layout.
struct Shortcut {
    CommandId id;
    QList<QKeySequence> keys;
};
const QList<Shortcut>& shortcuts();

} // namespace app
