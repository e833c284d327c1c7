// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QFileInfo>
#include <QTemporaryFile>

namespace app {

namespace {

const QString kWorkDirName = QStringLiteral("PRINTER FILES");

// Created (or already there) and writable: a probe file proves it, permissions alone do not.
bool makeUsable(const QString& path) {
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir())
        return false;
    QTemporaryFile probe(QDir(path).filePath(QStringLiteral("probe-XXXXXX")));
    return probe.open();
}

} // namespace

QString clockStatusText(const QDateTime& t) {
    return t.toString(QStringLiteral("dd.MM.yyyy  hh:mm:ss"));
}

bool wideLabelLayout(QOperatingSystemVersion::OSType type, int major, int minor) {
    return type == QOperatingSystemVersion::Windows && major == 5 && (minor == 1 || minor == 2);
}

bool wideLabelLayout() {
    const QOperatingSystemVersion v = QOperatingSystemVersion::current();
    return wideLabelLayout(v.type(), v.majorVersion(), v.minorVersion());
}

WorkDir prepareWorkDir(const QString& startDir, const QString& homeDir) {
    WorkDir w;
    const QString first = QDir(startDir).filePath(kWorkDirName);
    if (makeUsable(first)) {
        w.dir = QDir(first);
        w.usable = true;
        return w;
    }
    const QString second = QDir(homeDir).filePath(kWorkDirName);
    if (makeUsable(second)) {
        w.dir = QDir(second);
        w.usable = true;
#ifndef Q_OS_WIN
        w.notice = QStringLiteral("Папку \"") + QDir::toNativeSeparators(first) +
                   QStringLiteral("\" создать не удалось.\n\rФайлы программы хранятся в папке \"") +
                   QDir::toNativeSeparators(second) + QStringLiteral("\".");
#endif
        return w;
    }
    w.dir = QDir(homeDir);
    w.notice = QStringLiteral("Папки \"") + QDir::toNativeSeparators(first) +
               QStringLiteral("\" и \"") + QDir::toNativeSeparators(second) +
               QStringLiteral("\" создать не удалось.\n\rФайлы программы хранятся в папке \"") +
               QDir::toNativeSeparators(homeDir) + QStringLiteral("\".");
    return w;
}

} // namespace app
