// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// Files that are not what a file dialog suggests:
//   "pipe"        a named pipe without a writer: opening it waits forever
//   "device"      a link to /dev/zero: endless zeros
//   "read error"  a link to this process's own memory, a regular file in /proc whose read
//                 fails at once (address 0 is never mapped)
// False where the system cannot make one.
inline bool makeSpecialFile(const QString& path, const QString& kind) {
#ifdef Q_OS_LINUX
    if (kind == QLatin1String("pipe"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == QLatin1String("device"))
        return QFile::link(QStringLiteral("/dev/zero"), path);
    if (kind == QLatin1String("read error"))
        return QFile::link(QStringLiteral("/proc/self/mem"), path);
#else
    Q_UNUSED(path);
    Q_UNUSED(kind);
#endif
    return false;
}
