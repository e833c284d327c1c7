// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QDir>
#include <QOperatingSystemVersion>
#include <QString>

namespace app {

// "dd.MM.yyyy  hh:mm:ss": the PC clock field of the text-mark status bar.
QString clockStatusText(const QDateTime& t);

// Read-out labels use the wide tab layout on Windows XP (5.1, and 5.2 on a workstation) only.
bool wideLabelLayout(QOperatingSystemVersion::OSType type, int major, int minor);
bool wideLabelLayout();

struct WorkDir {
    QDir dir;
    bool usable = false;
    // Set when the start directory would not do; shown to the user once.
    QString notice;
};

// "PRINTER FILES" in the start directory, else in the home directory. On Windows these are the
// program's own folder (a portable copy) and the user's documents: an installed copy cannot write
// to Program Files, so the second place is its usual one and is not announced.
WorkDir prepareWorkDir(const QString& startDir, const QString& homeDir);

} // namespace app
