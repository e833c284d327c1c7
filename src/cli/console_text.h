// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdio>

namespace cli {

// Writes text as its reader needs it: UTF-16 to a Windows console, which then shows Cyrillic
// whatever its code page, and UTF-8 everywhere else (a pipe, a file, a Unix terminal), so a
// script reads the same bytes on every system.
void writeText(std::FILE* f, const QString& text);

// Lets a Windows console take the escape sequences of the progress line; nothing elsewhere.
void prepareConsole();

} // namespace cli
