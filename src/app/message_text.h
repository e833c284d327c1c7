// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace app {

// Lays out a message text for a rich-text label: "\n\r", "\r\n" and "\n" end a line, "\r\n\n"
// ends a paragraph (a blank line follows), a run of lines holding tabs becomes one table whose
// columns are the tab-separated pieces (a run of tabs separates once), and nothing wraps.
QString messageHtml(const QString& text);

// "Desc|*.a;*.b|Other|*.c" -> "Desc (*.a *.b);;Other (*.c)" for the file dialogs.
QString fileDialogFilter(const QString& filter);

} // namespace app
