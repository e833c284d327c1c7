// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"
#include "service/series_operations.h"

#include <QDir>
#include <QString>

// The window's service commands: each asks what the user would give, runs its series and shows
// what it came to.
namespace service {

ServiceReport backupTo(printerlink::Session& s, const QString& folder);
ServiceReport backupInto(printerlink::Session& s, const QDir& parent);
// Asks before anything is written: another model's backup, the summary, mark 00.
ServiceReport restoreFrom(printerlink::Session& s, const QString& folder);
ServiceReport compareWith(printerlink::Session& s, const QString& folder);

// The menu commands of "СЕРВИС".
void backupPrinter(printerlink::Session& s);
void restoreFromBackup(printerlink::Session& s);
void compareWithBackup(printerlink::Session& s);

} // namespace service
