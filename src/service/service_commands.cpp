// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/service_commands.h"

#include "service/backup_manifest.h"

#include <QFileInfo>

using namespace platform;
using namespace printerlink;

namespace service {

namespace {

const QString kRestoreTitle = QStringLiteral("Восстановление из резервной копии");

ServiceReport shown(Session& s, ServiceReport report) {
    if (!report.message.text.isEmpty())
        s.dialogs.messageBox(report.message.title, report.message.text, report.message.icon,
                             MessageButtons::Ok);
    return report;
}

bool ask(Session& s, const QString& title, const QString& text) {
    return s.dialogs.messageBox(title, text, MessageIcon::Question, MessageButtons::YesNo) ==
           MessageAnswer::Yes;
}

// The folder of the manifest the user picks; "" when cancelled.
QString chooseBackup(Session& s, const QString& title) {
    const QString manifest =
        s.dialogs.openFile(title, s.workDir.filePath(manifestFilePath()),
                           QStringLiteral("Резервная копия (manifest.json)|manifest.json"));
    return manifest.isEmpty() ? QString() : QFileInfo(manifest).absolutePath();
}

} // namespace

ServiceReport backupTo(Session& s, const QString& folder) {
    return shown(s, takeBackup(s, folder));
}

ServiceReport backupInto(Session& s, const QDir& parent) {
    return shown(s, takeBackupInto(s, parent));
}

ServiceReport compareWith(Session& s, const QString& folder) {
    return shown(s, compareBackup(s, folder));
}

ServiceReport restoreFrom(Session& s, const QString& folder) {
    ServiceReport refused;
    const auto plan = planRestore(s, folder, refused);
    if (!plan)
        return shown(s, refused);
    refused.outcome = Outcome::NotConfirmed;
    if (plan->otherModel() &&
        !ask(s, QStringLiteral("Другая модель"),
             QStringLiteral("Копия снята с Маркиратора %1, а подключён %2.\n\rВсё равно "
                            "восстановить?")
                 .arg(plan->backup.manifest.model, plan->printerModel)))
        return refused;
    if (!ask(s, kRestoreTitle, plan->summary() + QStringLiteral("\n\rВосстановить?")))
        return refused;
    const bool withCurrent =
        plan->hasCurrentMark() &&
        ask(s, QStringLiteral("Текущая марка 00"),
            QStringLiteral("В копии есть текущая марка 00 (та, что печатается).\n\r"
                           "Записать и её?"));
    return shown(s, restoreBackup(s, *plan, withCurrent));
}

void backupPrinter(Session& s) {
    backupInto(s, s.workDir);
}

void restoreFromBackup(Session& s) {
    if (const QString folder = chooseBackup(s, kRestoreTitle); !folder.isEmpty())
        restoreFrom(s, folder);
}

void compareWithBackup(Session& s) {
    if (const QString folder = chooseBackup(s, QStringLiteral("Сравнение с резервной копией"));
        !folder.isEmpty())
        compareWith(s, folder);
}

} // namespace service
