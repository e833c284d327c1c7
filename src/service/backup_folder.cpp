// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/backup_folder.h"

#include "logos/picture_files.h"
#include "marks/mark_file.h"
#include "marks/text_check.h"
#include "platform/file_access.h"
#include "platform/plain_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>
#include <QUuid>

namespace service {

namespace {

// Larger than any file a backup holds; bounds what a broken folder makes us read.
constexpr qint64 kFileReadLimit = 1 << 20;

QString writeOne(const QDir& dir, const QString& relative, const QByteArray& bytes) {
    const QString path = dir.filePath(relative);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("Не создаётся папка для файла '%1'.").arg(relative);
    // The system's words: "No space left on device" tells the user what to do.
    if (QString why; !platform::saveFileAtomically(path, bytes, &why))
        return QStringLiteral("Файл '%1' записать невозможно: %2.").arg(relative, why);
    return {};
}

// Held by the backup that builds a folder; gone (or stale) once that process ended.
const QString kLockName = QStringLiteral(".lock");

// Folders that a backup killed part-way left behind (SIGXFSZ, a crash, a power cut). One that
// another backup is still building holds a live lock and stays.
void removeAbandonedParts(const QDir& parent) {
    static const QRegularExpression partName(QStringLiteral("^\\..+\\.part-[0-9a-f]{8}$"));
    const QStringList names =
        parent.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString& name : names) {
        if (!partName.match(name).hasMatch())
            continue;
        QDir part(parent.filePath(name));
        QLockFile lock(part.filePath(kLockName));
        lock.setStaleLockTime(0); // stale only when its process is gone, however long it runs
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        part.removeRecursively();
    }
}

} // namespace

QString writeBackupFolder(const QString& folder, const PrinterMemory& memory,
                          BackupManifest manifest) {
    const QFileInfo target(folder);
    if (target.exists())
        return QStringLiteral("Папка '%1' уже существует.").arg(folder);
    QDir parent = target.absoluteDir();
    if (!parent.exists() && !QDir().mkpath(parent.absolutePath()))
        return QStringLiteral("Не создаётся папка '%1'.").arg(parent.absolutePath());
    removeAbandonedParts(parent);
    const QString partialName = QStringLiteral(".") + target.fileName() + QStringLiteral(".part-") +
                                QUuid::createUuid().toString(QUuid::Id128).left(8);
    if (!parent.mkdir(partialName))
        return QStringLiteral("Не создаётся папка в '%1'.").arg(parent.absolutePath());
    QDir partial(parent.filePath(partialName));
    // Without it (a disk already full) the writes below fail and say why.
    QLockFile lock(partial.filePath(kLockName));
    lock.tryLock(0);

    QMap<QString, QByteArray> files;
    manifest.marks.clear();
    manifest.logos.clear();
    for (const auto& [n, bytes] : memory.marks) {
        files.insert(markFilePath(n), bytes);
        manifest.marks.append(n);
    }
    for (const auto& [n, bytes] : memory.logos) {
        files.insert(logoFilePath(n), bytes);
        manifest.logos.append(n);
    }
    files.insert(readoutsFilePath(), platform::plainText(memory.readouts).toUtf8());
    manifest.sha256.clear();
    QString error;
    for (auto it = files.cbegin(); it != files.cend() && error.isEmpty(); ++it) {
        error = writeOne(partial, it.key(), it.value());
        manifest.sha256.insert(it.key(), sha256Hex(it.value()));
    }
    if (error.isEmpty())
        error = writeOne(partial, manifestFilePath(), manifest.toJson());
    // The restore's own check, before the folder is there to be trusted.
    if (const LoadedBackup check =
            error.isEmpty() ? loadBackupFolder(partial.path()) : LoadedBackup{};
        !check.ok())
        error = QStringLiteral("Копию не восстановить: ") +
                check.problems.join(QStringLiteral("; ")) + QLatin1Char('.');
    lock.unlock();
    if (error.isEmpty() && !parent.rename(partialName, target.fileName()))
        error = QStringLiteral("Папка '%1' не создана.").arg(folder);
    if (!error.isEmpty())
        partial.removeRecursively();
    return error;
}

LoadedBackup loadBackupFolder(const QString& folder) {
    LoadedBackup out;
    const QDir dir(folder);
    const auto read = [&](const QString& relative, QByteArray* bytes) {
        const QString path = dir.filePath(relative);
        if (!QFileInfo(path).isFile()) {
            out.problems.append(relative + QStringLiteral(": файла нет"));
            return false;
        }
        QString error;
        *bytes = logos::readFileStart(path, kFileReadLimit, &error);
        if (!error.isEmpty()) {
            out.problems.append(relative + QStringLiteral(": файл не читается"));
            return false;
        }
        return true;
    };

    QByteArray json;
    if (!read(manifestFilePath(), &json))
        return out;
    QString why;
    const auto manifest = BackupManifest::fromJson(json, &why);
    if (!manifest) {
        out.problems.append(manifestFilePath() + QStringLiteral(": ") + why);
        return out;
    }
    out.manifest = *manifest;
    out.memory.model = manifest->model;
    out.memory.version = manifest->version;

    // The manifest names the files of its lists and the read-outs, nothing else: a file left
    // out of a list would read as "clear that slot", and a path outside the folder is no
    // part of the backup.
    QSet<QString> expected{readoutsFilePath()};
    for (int n : manifest->marks)
        expected.insert(markFilePath(n));
    for (int n : manifest->logos)
        expected.insert(logoFilePath(n));
    for (auto it = manifest->sha256.cbegin(); it != manifest->sha256.cend(); ++it)
        if (!expected.contains(it.key()))
            out.problems.append(it.key() + QStringLiteral(": нет в списках марок и логотипов "
                                                          "описания копии"));
    if (!out.problems.isEmpty())
        return out;

    // Every file the manifest names, then the ones its lists need, must be there unaltered.
    QMap<QString, QByteArray> contents;
    for (auto it = manifest->sha256.cbegin(); it != manifest->sha256.cend(); ++it) {
        QByteArray bytes;
        if (!read(it.key(), &bytes))
            continue;
        if (sha256Hex(bytes) != it.value().toLower())
            out.problems.append(it.key() + QStringLiteral(": файл изменён после создания копии"));
        else
            contents.insert(it.key(), bytes);
    }
    const auto listed = [&](const QString& relative) {
        if (!manifest->sha256.contains(relative))
            out.problems.append(relative + QStringLiteral(": нет в описании копии"));
        return contents.value(relative);
    };
    for (int n : manifest->marks) {
        const QString relative = markFilePath(n);
        const QByteArray bytes = listed(relative);
        if (!contents.contains(relative))
            continue;
        const auto rows =
            marks::decodeMarkFile(bytes, marks::initialRows(), marks::FileFonts::Keep);
        if (!rows) {
            out.problems.append(relative + QStringLiteral(": не файл марки"));
            continue;
        }
        // What no mark can hold, by fragment, as the backup itself refuses it.
        QStringList fonts;
        for (int row = 0; row < marks::kFragmentCount; ++row)
            if (marks::fontNumberOfText((*rows)[row][marks::FontColumn]) >= marks::kFontCount)
                fonts.append(marks::fragmentNumberOfRow(row));
        const marks::TextProblems texts = marks::checkTexts(*rows, true);
        QStringList why;
        if (!fonts.isEmpty())
            why.append(QStringLiteral("шрифт больше 15 во фрагментах ") +
                       fonts.join(QStringLiteral(", ")));
        if (texts.any())
            why.append(
                QStringLiteral("текст не для Маркиратора во фрагментах ") +
                (texts.tooLong + texts.unencodable + texts.lineBreaks).join(QStringLiteral(", ")));
        if (!why.isEmpty())
            out.problems.append(relative + QStringLiteral(": не файл марки: ") +
                                why.join(QStringLiteral("; ")));
        else
            out.memory.marks[n] = bytes;
    }
    for (int n : manifest->logos) {
        const QString relative = logoFilePath(n);
        const QByteArray bytes = listed(relative);
        if (!contents.contains(relative))
            continue;
        const logos::PackedDecode d = logos::decodeBin(bytes);
        if (!d.ok() || d.picture.width > 254 ||
            d.picture.width * d.picture.byteRows > logos::SlotStoredBytes)
            out.problems.append(relative + QStringLiteral(": не файл логотипа"));
        else
            out.memory.logos[n] = bytes;
    }
    if (contents.contains(readoutsFilePath()))
        out.memory.readouts = QString::fromUtf8(contents.value(readoutsFilePath()));
    return out;
}

} // namespace service
