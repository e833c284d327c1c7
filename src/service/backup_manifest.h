// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace service {

// manifest.json of a backup folder: what was read, from which printer, and a SHA-256 of every
// other file so that a restore can refuse a folder that changed since.
struct BackupManifest {
    QString model;
    QString version; // the version reply as text
    QDateTime taken;
    qint64 durationMs = 0;
    QString program;  // "inkwick 4.0"
    QList<int> marks; // 0 when the mark being printed was kept
    QList<int> logos;
    QMap<QString, QByteArray> sha256; // relative path -> lower-case hex

    QByteArray toJson() const;
    // Nothing, with the reason in `error`, for a text that is no manifest of ours.
    static std::optional<BackupManifest> fromJson(const QByteArray& json, QString* error);
};

QString markFilePath(int number); // "marks/07.mrt"
QString logoFilePath(int slot);   // "logos/012.bin"
QString readoutsFilePath();       // "readouts.txt"
QString manifestFilePath();       // "manifest.json"
// "backup-K309-20261208-203405"
QString backupFolderName(const QString& model, const QDateTime& taken);
QByteArray sha256Hex(const QByteArray& bytes);

} // namespace service
