// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"
#include "service/backup_folder.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <set>

// The series of the service menu as operations: each reads or writes item after item, shows
// each item through the session's dialogs as it begins (showSteps) and stops between two items
// when the user asks (stopRequested), and opens no other dialog. What it came to, and the box
// the window shows for it, is in its report. The link's own failures are reported the link's
// way as they happen.
namespace service {

enum class Outcome {
    Done,
    LinkFailed,   // the printer did not answer, or what was written did not read back the same
    NotConfirmed, // a question was answered No
    FileError,    // the folder could not be written, or a backup file is missing or altered
    Stopped,      // the user stopped it between two items
};

// The box that ends a series in the window; no text when the link's own box said it all.
struct SeriesMessage {
    QString title;
    QString text;
    platform::MessageIcon icon = platform::MessageIcon::Information;
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
    SeriesMessage message;
};

// Reads version, area maps, marks (00 and every occupied one), occupied logo slots and the
// read-outs into `folder`, which must not exist. Written whole or not at all.
ServiceReport takeBackup(printerlink::Session& s, const QString& folder);
// The same into `parent`/backup-<model>-<YYYYMMDD-hhmmss>.
ServiceReport takeBackupInto(printerlink::Session& s, const QDir& parent);

// Reads the printer and lists what differs from the backup; writes nothing.
ServiceReport compareBackup(printerlink::Session& s, const QString& folder);

// What a restore would do, known before anything is written: the backup, every file checked,
// and what the printer holds now.
struct RestorePlan {
    QString folder;
    LoadedBackup backup;
    QString printerModel;
    std::set<int> printerMarks;
    std::set<int> printerSlots;

    bool otherModel() const { return printerModel != backup.manifest.model; }
    bool hasCurrentMark() const { return backup.memory.marks.count(0) > 0; }
    // What is written, overwritten, cleared and kept, for the user to confirm.
    QString summary() const;
};

// Checks the folder and reads the printer's version and maps. Nothing, with `refused` filled
// in, when the folder does not hold a whole backup or the printer did not answer.
std::optional<RestorePlan> planRestore(printerlink::Session& s, const QString& folder,
                                       ServiceReport& refused);
// Writes and reads back every mark of the plan (mark 00 only `withCurrent`), every slot, and
// clears the printer's slots the backup has empty.
ServiceReport restoreBackup(printerlink::Session& s, const RestorePlan& plan, bool withCurrent);

// Writes each BIN file (slot -> file) into its slot and reads it back, showing the steps under
// `title`. Its message is empty: `logos` holds the slots written, `notWritten` those a stop left
// out, `failed` those that did not read back.
ServiceReport writeSlotSeries(printerlink::Session& s, const QString& title,
                              const std::map<int, QByteArray>& files);

} // namespace service
