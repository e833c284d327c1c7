// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_access.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace platform {

bool saveFileAtomically(const QString& path, const QByteArray& bytes, QString* why) {
    // A device or pipe in the file's place is no file: a temporary renamed over it would
    // replace the device itself.
    if (const QFileInfo existing(path); existing.exists() && !existing.isFile()) {
        if (why)
            *why = QStringLiteral("not a regular file");
        return false;
    }
    QSaveFile file(path);
    auto fail = [&](int code) {
        if (why)
            *why = code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : file.errorString();
        file.cancelWriting();
        return false; // the temporary file goes with `file`; the old one is untouched
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(0);
    // Qt 6.4 words a failed write or flush "Unknown error"; the system's own words tell the
    // user what to do ("No space left on device").
    errno = 0;
    // write() only fills Qt's buffer, and commit() in Qt 6.4 ignores a failed flush of it: on a
    // full disk it would rename a truncated file over the old one. Flush and check first.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError)
        return fail(errno);
    if (!file.commit()) {
        if (why)
            *why = file.errorString();
        return false;
    }
    return true;
}

FileReadError openRegularFile(QFile& file) {
    // Checked before opening: opening a pipe without a writer never returns.
    if (!QFileInfo(file.fileName()).isFile())
        return QFileInfo::exists(file.fileName()) ? FileReadError::NotRegular
                                                  : FileReadError::Unreadable;
    return file.open(QIODevice::ReadOnly) ? FileReadError::None : FileReadError::Unreadable;
}

QString notRegularFileText(const QString& name) {
    return QStringLiteral("Файл '%1' открыть невозможно: это не обычный файл!").arg(name);
}

FileRead readRegularFile(const QString& path, qint64 limit) {
    FileRead result;
    QFile file(path);
    result.error = openRegularFile(file);
    if (!result.ok())
        return result;
    result.bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError) {
        result.bytes.clear();
        result.error = FileReadError::Unreadable;
    }
    return result;
}

} // namespace platform
