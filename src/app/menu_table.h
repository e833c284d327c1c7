#pragma once

#include <QList>
#include <QString>

namespace app {

// Ids the loop dispatches that have no menu item of their own.
enum ShortcutId {
    IdLogoMode = 100,
    IdMarkMode = 101,
    IdOpenKey = 102,
    IdExitKey = 103,
    IdInfoKey = 104
};

// What a successful port opening does to an item (closing the port undoes it).
enum class OnOpen { Unchanged, Enable, Grey };

struct MenuItem {
    QString path; // menu titles from the bar down, joined by '/'
    QString text; // as shown; a tab separates the shortcut hint
    int id = 0;
    QString shortcut; // QKeySequence text of the shortcut delivering `shortcutId`
    int shortcutId = 0;
    bool needsPort = false; // the not-connected guard runs while no port is open
    bool enabledAtStart = true;
    OnOpen onOpen = OnOpen::Unchanged;
    bool separatorAfter = false;
    bool checkedAtStart = false;
};

// The five menus of the bar, in order.
QStringList menuTitles();
// Every item of the menu bar in display order (the window list entries included).
const QList<MenuItem>& menuItems();
// Submenus that a separator follows in their parent menu.
QStringList submenusFollowedBySeparator();
// nullptr when no item has this id.
const MenuItem* menuItem(int id);
// The item a shortcut id stands for (102 -> 2, 103 -> 9, 104 -> 55), or the id itself.
int itemIdFor(int id);
// True for commands that need an open port; shortcut ids are mapped first.
bool needsPort(int id);
// The baud rate of items 110..116, or 0.
int baudRateFor(int id);

} // namespace app
