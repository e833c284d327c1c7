// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "service/backup_manifest.h"
#include "service/printer_memory.h"

#include <QStringList>

namespace service {

// Writes the memory's files and the manifest (the file hashes filled in here) into `folder`,
// which must not exist yet. Everything is built under a temporary name beside it and renamed at
// the end, so the folder appears whole or not at all. "" or the message naming what failed.
QString writeBackupFolder(const QString& folder, const PrinterMemory& memory,
                          BackupManifest manifest);

struct LoadedBackup {
    BackupManifest manifest;
    PrinterMemory memory;
    // Every file that is missing, altered or unreadable; a restore refuses the folder if any.
    QStringList problems;
    bool ok() const { return problems.isEmpty(); }
};

// Reads a backup folder and checks every file against the manifest and its own format.
LoadedBackup loadBackupFolder(const QString& folder);

} // namespace service
