// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

namespace marks {

void newMark(printerlink::Session& s);
void openMarkFile(printerlink::Session& s);
void saveMark(printerlink::Session& s);
void saveMarkAs(printerlink::Session& s);

// Loads a mark file into the table (relative names are in the working directory). A bad or
// unreadable file changes nothing and is reported; true when the mark was loaded.
bool loadMarkFile(printerlink::Session& s, const QString& name);
// Writes the table to the file atomically; false (reported) when it could not be written.
bool writeMarkFile(printerlink::Session& s, const QString& name);

} // namespace marks
