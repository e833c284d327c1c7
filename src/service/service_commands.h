// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>
#include <map>

namespace service {

enum class Outcome {
    Done,
    LinkFailed,   // the printer did not answer, or what was written did not read back the same
    NotConfirmed, // a question was answered No
    FileError,    // the folder could not be written, or a backup file is missing or altered
    Stopped,      // the user stopped it between two items
};

struct ServiceReport {
    Outcome outcome = Outcome::Done;
    QString folder;
    QList<int> marks;        // read or written
    QList<int> logos;        // read or written
    QList<int> clearedLogos; // restore: slots emptied because the backup has none there
    QStringList failed;      // items that did not verify or were not reached
    QStringList notWritten;  // restore: items left out after a stop
    QStringList differences; // compare
    QStringList notes;       // backup: marks with fragments whose function a file cannot keep
};

// Titles of the questions a restore asks; a caller without a screen answers them by title.
QString otherModelTitle();  // the backup comes from another model
QString restoreTitle();     // the summary to confirm
QString currentMarkTitle(); // whether to write mark 00 too

// Each of these shows its items through the session's dialogs as they begin and stops between
// two items when the user asks.

// Reads version, area maps, marks (00 and every occupied one), occupied logo slots and the
// read-outs into `folder` (which must not exist). Written whole or not at all.
ServiceReport backupTo(printerlink::Session& s, const QString& folder);
// The same into `parent`/backup-<model>-<YYYYMMDD-hhmmss>.
ServiceReport backupInto(printerlink::Session& s, const QDir& parent);
// Checks every file first; then asks, writes and reads back every item.
ServiceReport restoreFrom(printerlink::Session& s, const QString& folder);
// Reads the printer and lists what differs from the backup; writes nothing.
ServiceReport compareWith(printerlink::Session& s, const QString& folder);

// Writes each BIN file (slot -> file) into its slot and reads it back, showing the steps under
// `title`, and stops between two slots when the user asks. Shows no result: `logos` holds the
// slots written, `notWritten` those a stop left out, `failed` those that did not read back.
ServiceReport writeSlotSeries(printerlink::Session& s, const QString& title,
                              const std::map<int, QByteArray>& files);

// The menu commands of "СЕРВИС".
void backupPrinter(printerlink::Session& s);
void restoreFromBackup(printerlink::Session& s);
void compareWithBackup(printerlink::Session& s);

} // namespace service
