// SPDX-License-Identifier: GPL-3.0-or-later
#include "mark_rig.h"
#include "marks/mark_file.h"
#include "marks/mark_file_commands.h"
#include "non_regular_files.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace platform;

using namespace marks;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Fonts 14 and 15 do not survive a file; the rest of the rich mark does.
MarkRows fileMark() {
    MarkRows rows = richMark();
    for (int r = 0; r < kFragmentCount; ++r)
        rows[r][FontColumn] = fontCellText(r % 14);
    return rows;
}

using Files = QList<QPair<QString, FileOrigin>>;
using Told = QMap<QString, bool>;

} // namespace

class TestMarkFileCommands : public QObject {
    Q_OBJECT
private slots:
    void newMarkLoadsThirtyTwoRunningNumbers();
    void openLoadsAFile();
    void badOrUnreadableFileChangesNothing_data();
    void badOrUnreadableFileChangesNothing();
    void saveAs_data();
    void saveAs();
    void saveAsRefusesUnencodableText();
    void saveRefusesTextsThatBreakTheFile_data();
    void saveRefusesTextsThatBreakTheFile();
    void saveWithoutFileDoesNothing();
    void failedSaveNamesTheFileAndKeepsTheOld();
};

void TestMarkFileCommands::newMarkLoadsThirtyTwoRunningNumbers() {
    MarkRig m;
    m.doc.model().setRows(richMark());
    QSignalSpy redraws(&m.doc, &MarkDocument::previewChanged);

    newMark(m.session());

    QVERIFY(m.dialogs.shown.isEmpty());
    const QString path = m.rig.dir.filePath("tmpmark.mrt");
    QCOMPARE(readFile(path), newMarkFileBytes());
    for (int r = 0; r < kFragmentCount; ++r)
        QCOMPARE(m.doc.model().rows()[r],
                 (MarkRow{fragmentNumberOfRow(r), "Номер", " 02", "", "44"}));
    QCOMPARE(m.doc.currentFile(), QStringLiteral("tmpmark.mrt"));
    QCOMPARE(m.files, (Files{{"tmpmark.mrt", FileOrigin::Opened}}));
    // Saving the temporary file is not offered; saving under a name is.
    QVERIFY(!m.doc.canSave());
    QVERIFY(m.doc.canSaveAs());
    QCOMPARE(m.told.value("save as"), true);
    QCOMPARE(redraws.count(), 1);
}

void TestMarkFileCommands::openLoadsAFile() {
    MarkRig m;
    // Long enough for the status field to show only its last 60 characters.
    const QString name = m.rig.dir.filePath(QString(70, 'n') + ".mrt");
    QByteArray bytes = encodeMarkFile(fileMark());
    writeFile(name, bytes);
    QSignalSpy redraws(&m.doc, &MarkDocument::previewChanged);
    m.dialogs.answer(name);

    openMarkFile(m.session());

    const auto& dialog = m.dialogs.shown.first();
    QCOMPARE(dialog.kind, ScriptedDialogs::Kind::OpenFile);
    QCOMPARE(dialog.title, QStringLiteral("ОТКРЫТЬ ФАЙЛ МАРКИ"));
    QCOMPARE(dialog.text, QString());
    QCOMPARE(dialog.extra, QStringLiteral("Текстовые Марки (*.mrt)|*.mrt"));
    QCOMPARE(m.doc.model().rows(), fileMark());
    QCOMPARE(m.doc.currentFile(), name);
    QCOMPARE(m.files, (Files{{name, FileOrigin::Opened}}));
    QCOMPARE(m.told, (Told{{"save", true}, {"save as", true}}));
    QCOMPARE(redraws.count(), 1);
    QCOMPARE(m.dialogs.shown.size(), 1);

    // "Save changes" writes the loaded file again, without a question.
    m.doc.model().setCellText(0, TextColumn, "changed");
    saveMark(m.session());
    QCOMPARE(m.dialogs.shown.size(), 1);
    QVERIFY(readFile(name).startsWith("11\x18"
                                      "00changed\r\n"));
}

void TestMarkFileCommands::badOrUnreadableFileChangesNothing_data() {
    // "<none>": the file does not exist; "<pipe>", "<device>", "<read error>": special files
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QString bad = QStringLiteral("ОШИБКА | ЭТО НЕ ФАЙЛ МАРКИ или ОШИБКА В ДАННЫХ!");
    QByteArray fifth = "11\x18"
                       "02a\r\n12\x18"
                       "02b\r\n13\x18"
                       "02c\r\n14\x18"
                       "02d\r\n"
                       "51\x18"
                       "02e\r\n";
    QTest::newRow("fifth line starts with 5") << fifth << bad;
    QTest::newRow("a picture") << QByteArray("BM\x36\x00\x00\x00", 6) << bad;
    QTest::newRow("missing file") << QByteArray("<none>") << QString();
    const QString notAFile = "ОШИБКА | Файл '%1' открыть невозможно: это не обычный файл!";
    QTest::newRow("named pipe") << QByteArray("<pipe>") << notAFile;
    QTest::newRow("device") << QByteArray("<device>") << notAFile;
    QTest::newRow("read fails") << QByteArray("<read error>") << QString();
}

void TestMarkFileCommands::badOrUnreadableFileChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    MarkRig m;
    const MarkRows before = richMark();
    m.doc.model().setRows(before);
    m.doc.setCurrentFile("previous.mrt", FileOrigin::Opened);
    m.files.clear();
    m.told.clear();
    const QString name = m.rig.dir.filePath("other.mrt");
    if (!bytes.startsWith('<'))
        writeFile(name, bytes);
    else if (bytes != "<none>" && !makeSpecialFile(name, bytes.mid(1, bytes.size() - 2)))
        QSKIP("no such file on this system");
    if (message.isEmpty())
        message = "ОШИБКА | Ошибка чтения файла '" + name + "'!";
    message.replace("%1", name);
    QSignalSpy redraws(&m.doc, &MarkDocument::previewChanged);
    m.dialogs.answer(name);

    openMarkFile(m.session());

    QCOMPARE(m.messageTexts(), QStringList{message});
    QCOMPARE(m.doc.model().rows(), before);
    QCOMPARE(m.doc.currentFile(), QStringLiteral("previous.mrt"));
    QVERIFY(m.files.isEmpty());
    QVERIFY(m.told.isEmpty());
    QCOMPARE(redraws.count(), 0);
}

void TestMarkFileCommands::saveAs_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("existing"); // "<none>": no file there yet
    QTest::addColumn<int>("answer");          // to the overwrite question, -1: not asked
    QTest::addColumn<bool>("saved");

    QTest::newRow("no extension gets .mrt") << "mine"
                                            << "mine.mrt" << QByteArray("<none>") << -1 << true;
    QTest::newRow("other extension kept") << "mine.txt"
                                          << "mine.txt" << QByteArray("<none>") << -1 << true;
    QTest::newRow("dot in the folder only")
        << "sub.d/mine"
        << "sub.d/mine.mrt" << QByteArray("<none>") << -1 << true;
    QTest::newRow("empty file overwritten without asking")
        << "mine.mrt"
        << "mine.mrt" << QByteArray() << -1 << true;
    QTest::newRow("longer file, overwrite: nothing of it left")
        << "mine.mrt"
        << "mine.mrt" << QByteArray(5000, 'o') << int(MessageAnswer::Yes) << true;
    QTest::newRow("existing file kept on No")
        << "mine"
        << "mine.mrt" << QByteArray("keep me") << int(MessageAnswer::No) << false;
}

void TestMarkFileCommands::saveAs() {
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, existing);
    QFETCH(int, answer);
    QFETCH(bool, saved);

    MarkRig m;
    QVERIFY(QDir(m.rig.dir.path()).mkpath("sub.d"));
    const MarkRows mark = fileMark();
    m.doc.model().setRows(mark);
    m.told.clear();
    const QString path = m.rig.dir.filePath(written);
    if (existing != "<none>")
        writeFile(path, existing);
    m.dialogs.answer(m.rig.dir.filePath(typed));
    if (answer >= 0)
        m.dialogs.answer(MessageAnswer(answer));

    saveMarkAs(m.session());

    QVERIFY(m.dialogs.unexpected.isEmpty());
    const auto& dialog = m.dialogs.shown.first();
    QCOMPARE(dialog.kind, ScriptedDialogs::Kind::SaveFile);
    QCOMPARE(dialog.title, QStringLiteral("Сохранить Файл Марки как.."));
    QCOMPARE(dialog.text, QStringLiteral("mark.mrt"));
    QCOMPARE(dialog.extra, QStringLiteral("Файлы Текстовых Марок (*.mrt)|*.mrt"));
    // The overwrite question below is the only one: the file dialog must not ask as well.
    QCOMPARE(m.dialogs.lastOverwriteCheck, Dialogs::OverwriteCheck::ByCaller);
    if (answer >= 0) {
        QCOMPARE(m.messageTexts(),
                 QStringList{"ПРЕДУПРЕЖДЕНИЕ | Файл '" + path + "' уже существует. Перезаписать?"});
        QCOMPARE(m.dialogs.last().icon, MessageIcon::Warning);
    } else {
        QVERIFY(m.dialogs.messages().isEmpty());
    }
    if (!saved) {
        QCOMPARE(readFile(path), existing);
        QCOMPARE(m.doc.currentFile(), QString());
        QVERIFY(m.files.isEmpty());
        QVERIFY(m.told.isEmpty());
        return;
    }
    QCOMPARE(readFile(path), encodeMarkFile(mark));
    QCOMPARE(m.doc.currentFile(), path);
    QCOMPARE(m.files, (Files{{path, FileOrigin::SavedAs}}));
    QCOMPARE(m.told, (Told{{"save", true}}));

    // "Save changes" afterwards writes the same file again.
    m.doc.model().setCellText(31, TextColumn, "last");
    saveMark(m.session());
    QCOMPARE(readFile(path).right(11), QByteArray("48\x19"
                                                  "03last\r\n"));
}

void TestMarkFileCommands::saveAsRefusesUnencodableText() {
    MarkRig m;
    m.doc.model().setCellText(9, TextColumn, QStringLiteral("日付"));
    const QString path = m.rig.dir.filePath("x.mrt");
    m.dialogs.answer(path);
    saveMarkAs(m.session());
    QCOMPARE(m.messageTexts(),
             QStringList{"ОШИБКА | Символы, которых нет в кодировке Windows-1251 (日付), во "
                         "фрагментах: 22.\n\rФайл '" +
                         path + "' не записан."});
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m.doc.currentFile(), QString());
}

void TestMarkFileCommands::saveRefusesTextsThatBreakTheFile_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("line feed") << QStringLiteral("two\nlines");
    QTest::newRow("carriage return") << QStringLiteral("two\rlines");
    QTest::newRow("NUL") << QStringLiteral("nul") + QChar(0) + QStringLiteral("inside");
}

void TestMarkFileCommands::saveRefusesTextsThatBreakTheFile() {
    QFETCH(QString, text);
    MarkRig m;
    const QString path = m.rig.dir.filePath("kept.mrt");
    writeFile(path, newMarkFileBytes());
    m.doc.setCurrentFile(path, FileOrigin::Opened);
    m.doc.model().setCellText(0, TextColumn, text);
    m.doc.model().setCellText(31, TextColumn, text);
    saveMark(m.session());
    QCOMPARE(m.messageTexts(),
             QStringList{"ОШИБКА | Перевод строки или нулевой символ в тексте фрагментов: 11, "
                         "48.\n\rФайл '" +
                         path + "' не записан."});
    QCOMPARE(readFile(path), newMarkFileBytes());
}

void TestMarkFileCommands::saveWithoutFileDoesNothing() {
    MarkRig m;
    saveMark(m.session());
    QVERIFY(m.dialogs.shown.isEmpty());
    QCOMPARE(QDir(m.rig.dir.path()).entryList(QDir::Files), QStringList());
}

void TestMarkFileCommands::failedSaveNamesTheFileAndKeepsTheOld() {
    MarkRig m;
    const QString name = m.rig.dir.filePath("missing-folder/mark.mrt");
    m.doc.setCurrentFile(name, FileOrigin::SavedAs);
    saveMark(m.session());
    QCOMPARE(m.messageTexts(), QStringList{"ОШИБКА | Ошибка записи файла '" + name + "'!"});

    // A folder where the file should be: the save fails and the folder stays.
    m.dialogs.shown.clear();
    const QString folder = m.rig.dir.filePath("taken.mrt");
    QVERIFY(QDir().mkpath(folder));
    m.dialogs.answer(folder).answer(MessageAnswer::Yes);
    writeFile(folder + "/inside", "x");
    saveMarkAs(m.session());
    QCOMPARE(m.messageTexts().last(), "ОШИБКА | Ошибка записи файла '" + folder + "'!");
    QCOMPARE(m.doc.currentFile(), name);
    QCOMPARE(readFile(folder + "/inside"), QByteArray("x"));
}

QTEST_MAIN(TestMarkFileCommands)
#include "tst_mark_file_commands.moc"
