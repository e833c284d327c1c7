// SPDX-License-Identifier: GPL-3.0-or-later
// The series that only read the printer: backup and compare.
#include "service/printer_reading.h"
#include "service/series_common.h"
#include "service/series_operations.h"

#include <QFileInfo>
#include <functional>

using namespace platform;
using namespace printerlink;

namespace service {

namespace {

const QString kBackupTitle = QStringLiteral("Резервная копия Маркиратора");
const QString kCompareTitle = QStringLiteral("Сравнение с резервной копией");

QString programName() {
    return QStringLiteral("inkwick ") + QStringLiteral(INKWICK_VERSION);
}

ServiceReport takeBackupNamed(Session& s, const std::function<QString(const QString&)>& folderFor) {
    ServiceReport report;
    SeriesSteps steps(s, kBackupTitle, QStringLiteral("Чтение"));
    const QDateTime taken = s.clock.now();
    const qint64 start = s.clock.elapsedMs();
    const MemoryRead read = readPrinterMemory(s, steps, true);
    steps.end();
    if (read.stopped) {
        report.outcome = Outcome::Stopped;
        report.message = {kSystemTitle,
                          QStringLiteral("Резервная копия не создана: чтение остановлено.\n\r"
                                         "На диск ничего не записано.")};
        return report;
    }
    if (!read.memory) {
        report.outcome = Outcome::LinkFailed;
        report.failed.append(read.failedItem);
        report.message =
            errorMessage(QStringLiteral("Резервная копия не создана: не прочитано - ") +
                         read.failedItem + QStringLiteral("."));
        return report;
    }
    const PrinterMemory& m = *read.memory;
    BackupManifest manifest;
    manifest.model = m.model;
    manifest.version = m.version;
    manifest.taken = taken;
    manifest.durationMs = s.clock.elapsedMs() - start;
    manifest.program = programName();
    report.folder = folderFor(m.model);
    if (const QString error = writeBackupFolder(report.folder, m, manifest); !error.isEmpty()) {
        report.outcome = Outcome::FileError;
        report.message = errorMessage(QStringLiteral("Резервная копия не создана.\n\r") + error);
        return report;
    }
    for (const auto& [n, file] : m.marks)
        report.marks.append(n);
    for (const auto& [n, file] : m.logos)
        report.logos.append(n);
    report.notes = read.unknownCodes;
    QString text = QStringLiteral("Резервная копия Маркиратора %1 создана:\n\r%2\n\r"
                                  "Марок: %3, логотипов: %4.")
                       .arg(m.model, QDir::toNativeSeparators(report.folder))
                       .arg(report.marks.size())
                       .arg(report.logos.size());
    if (!report.notes.isEmpty())
        text += QStringLiteral("\r\n\nНеизвестный код функции (в копии и при восстановлении - "
                               "Текст):\n\r") +
                report.notes.join(QStringLiteral("\n\r"));
    report.message = {kSystemTitle, text,
                      report.notes.isEmpty() ? MessageIcon::Information : MessageIcon::Warning};
    return report;
}

} // namespace

SeriesMessage errorMessage(const QString& text) {
    return {QStringLiteral("ОШИБКА"), text, MessageIcon::Error};
}

std::optional<LoadedBackup> checkedBackup(const QString& folder, const QString& what,
                                          ServiceReport& report) {
    LoadedBackup loaded = loadBackupFolder(folder);
    report.folder = folder;
    if (loaded.ok())
        return loaded;
    report.outcome = Outcome::FileError;
    report.failed = loaded.problems;
    report.message = errorMessage(
        what + QStringLiteral("\n\rРезервная копия '") + QDir::toNativeSeparators(folder) +
        QStringLiteral("' не годится:\n\r") + loaded.problems.join(QStringLiteral("\n\r")));
    return std::nullopt;
}

ServiceReport takeBackup(Session& s, const QString& folder) {
    if (QFileInfo::exists(folder)) {
        ServiceReport report;
        report.outcome = Outcome::FileError;
        report.folder = folder;
        report.message =
            errorMessage(QStringLiteral("Резервная копия не создана: папка '%1' уже существует.")
                             .arg(QDir::toNativeSeparators(folder)));
        return report;
    }
    return takeBackupNamed(s, [&](const QString&) { return folder; });
}

ServiceReport takeBackupInto(Session& s, const QDir& parent) {
    const QDateTime taken = s.clock.now();
    return takeBackupNamed(
        s, [&](const QString& model) { return parent.filePath(backupFolderName(model, taken)); });
}

ServiceReport compareBackup(Session& s, const QString& folder) {
    ServiceReport report;
    const auto backup = checkedBackup(folder, QStringLiteral("Сравнение невозможно."), report);
    if (!backup)
        return report;
    SeriesSteps steps(s, kCompareTitle, QStringLiteral("Чтение"));
    const MemoryRead read = readPrinterMemory(s, steps, false);
    steps.end();
    if (read.stopped) {
        report.outcome = Outcome::Stopped;
        report.message = {kSystemTitle, QStringLiteral("Сравнение остановлено.")};
        return report;
    }
    if (!read.memory) {
        report.outcome = Outcome::LinkFailed;
        report.failed.append(read.failedItem);
        report.message = errorMessage(QStringLiteral("Сравнение прервано: не прочитано - ") +
                                      read.failedItem + QStringLiteral("."));
        return report;
    }
    if (read.memory->model != backup->manifest.model)
        report.differences.append(QStringLiteral("Модель: в копии %1, подключён %2")
                                      .arg(backup->manifest.model, read.memory->model));
    report.differences += memoryDifferences(*read.memory, backup->memory);
    report.message = {kSystemTitle, report.differences.isEmpty()
                                        ? QStringLiteral("Маркиратор совпадает с резервной копией.")
                                        : QStringLiteral("Отличия от резервной копии:\n\r") +
                                              report.differences.join(QStringLiteral("\n\r"))};
    return report;
}

} // namespace service
