// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// Reading and writing the program's files so that no failure passes as success: a save replaces
// the old file only when every byte reached the new one, and only regular files are read (a
// named pipe would block the program forever, a device would be read as endless zeros).
namespace platform {

// Writes the whole file through a temporary one and renames it over the old file only when
// every byte was written; otherwise the old file stays as it was. False on any failure, with
// the system's wording in `why` when given.
bool saveFileAtomically(const QString& path, const QByteArray& bytes, QString* why = nullptr);

enum class FileReadError { None, NotRegular, Unreadable };

// Opens `file` (its name set) for reading when it is a regular file, or a link to one.
FileReadError openRegularFile(QFile& file);

struct FileRead {
    QByteArray bytes;
    FileReadError error = FileReadError::None;
    bool ok() const { return error == FileReadError::None; }
};

// The refusal of a pipe, device or folder chosen as a file; `name` as the user should see it.
QString notRegularFileText(const QString& name);

// At most `limit` bytes of a regular file; a read that fails part-way is Unreadable.
FileRead readRegularFile(const QString& path, qint64 limit);

} // namespace platform
