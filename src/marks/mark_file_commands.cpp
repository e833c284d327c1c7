// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_file_commands.h"

#include "marks/mark_document.h"
#include "marks/mark_file.h"
#include "marks/text_check.h"
#include "platform/file_access.h"

#include <QFileInfo>

using namespace platform;
using namespace printerlink;

namespace marks {

namespace {

QString pathOf(const Session& s, const QString& name) {
    return QDir::isAbsolutePath(name) ? name : s.workDir.filePath(name);
}

bool saveBytes(Session& s, const QString& name, const QByteArray& bytes) {
    if (platform::saveFileAtomically(pathOf(s, name), bytes))
        return true;
    s.dialogs.error(QStringLiteral("Ошибка записи файла '") + name + QStringLiteral("'!"));
    return false;
}

} // namespace

bool writeMarkFile(Session& s, const QString& name) {
    if (!s.marks)
        return false;
    const MarkRows& rows = s.marks->model().rows();
    const TextProblems problems = checkTexts(rows, false);
    if (problems.any()) {
        s.dialogs.error(textProblemsMessage(problems, QStringLiteral("Файл '") + name +
                                                          QStringLiteral("' не записан.")));
        return false;
    }
    return saveBytes(s, name, encodeMarkFile(rows));
}

bool loadMarkFile(Session& s, const QString& name) {
    if (!s.marks)
        return false;
    MarkDocument& doc = *s.marks;
    // Only the first 32 lines count; a megabyte holds them with room to spare.
    const platform::FileRead file = platform::readRegularFile(pathOf(s, name), 1 << 20);
    if (file.error == platform::FileReadError::NotRegular) {
        s.dialogs.error(platform::notRegularFileText(name));
        return false;
    }
    if (!file.ok()) {
        s.dialogs.error(QStringLiteral("Ошибка чтения файла '") + name + QStringLiteral("'!"));
        return false;
    }
    const std::optional<MarkRows> rows = decodeMarkFile(file.bytes, doc.model().rows());
    if (!rows) {
        s.dialogs.error(QStringLiteral("ЭТО НЕ ФАЙЛ МАРКИ или ОШИБКА В ДАННЫХ!"));
        return false;
    }
    doc.model().setRows(*rows);
    doc.setCurrentFile(name, FileOrigin::Opened);
    doc.redrawPreview();
    return true;
}

void newMark(Session& s) {
    if (!s.marks)
        return;
    // The scratch file is not the user's: a new mark is saved under a name first.
    const QString name = QString::fromLatin1(kScratchMarkFile);
    if (saveBytes(s, name, newMarkFileBytes()))
        loadMarkFile(s, name);
}

void openMarkFile(Session& s) {
    if (!s.marks)
        return;
    const QString name = s.dialogs.openFile(QStringLiteral("ОТКРЫТЬ ФАЙЛ МАРКИ"), QString(),
                                            QStringLiteral("Текстовые Марки (*.mrt)|*.mrt"));
    if (name.isEmpty())
        return;
    loadMarkFile(s, name);
}

void saveMark(Session& s) {
    if (!s.marks)
        return;
    const QString name = s.marks->currentFile();
    if (name.isEmpty())
        return;
    writeMarkFile(s, name);
}

void saveMarkAs(Session& s) {
    if (!s.marks)
        return;
    QString name =
        s.dialogs.saveFile(QStringLiteral("Сохранить Файл Марки как.."), QStringLiteral("mark.mrt"),
                           QStringLiteral("Файлы Текстовых Марок (*.mrt)|*.mrt"),
                           Dialogs::OverwriteCheck::ByCaller); // the overwrite question is ours
    if (name.isEmpty())
        return;
    if (!QFileInfo(name).fileName().contains(QLatin1Char('.')))
        name += QStringLiteral(".mrt");
    const QFileInfo existing(pathOf(s, name));
    if (existing.exists() && existing.size() > 0 &&
        s.dialogs.messageBox(QStringLiteral("ПРЕДУПРЕЖДЕНИЕ"),
                             QStringLiteral("Файл '") + name +
                                 QStringLiteral("' уже существует. Перезаписать?"),
                             MessageIcon::Warning, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    if (!writeMarkFile(s, name))
        return;
    // The mark now has a file, so "save changes" can write it again.
    s.marks->setCurrentFile(name, FileOrigin::SavedAs);
}

} // namespace marks
