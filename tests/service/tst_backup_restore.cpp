// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_file.h"
#include "service/backup_folder.h"
#include "service/service_commands.h"
#include "test_rig.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace platform;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A mark as the program writes it: every record a text in font 02, one of them with a text.
QByteArray markWith(int record, const QByteArray& text) {
    QByteArray mark;
    for (int k = 0; k < 32; ++k) {
        const QByteArray t = k == record ? text : QByteArray();
        mark += (QByteArray(1, '\x18') + '\x02' + char(t.size()) + t).leftJustified(48, '\0');
    }
    return mark;
}

// X, R and the columns, zero-filled to the 256 bytes a slot keeps.
QByteArray slotWith(int width, int byteRows, char fill) {
    QByteArray payload =
        QByteArray(1, char(width)) + char(byteRows) + QByteArray(width * byteRows, fill);
    return payload + QByteArray(256 - payload.size(), '\0');
}

// One 48-byte record: code, font, length and what follows (text, and bytes after it).
QByteArray record(char code, char font, char length, const QByteArray& rest = {}) {
    return (QByteArray(1, code) + font + length + rest).leftJustified(48, '\0');
}

// Applies `edit` to the manifest of the backup in `folder`.
void editManifest(const QString& folder, const std::function<void(QJsonObject&)>& edit) {
    const QString path = folder + "/manifest.json";
    QJsonObject root = QJsonDocument::fromJson(readAll(path)).object();
    edit(root);
    writeAll(path, QJsonDocument(root).toJson());
}

struct ServiceRig : TestRig {
    ServiceRig() {
        connect();
        printer.state.marks[5] = markWith(0, "LOT 7");
        printer.state.marks[85] = markWith(31, "END");
        printer.state.logos[3] = slotWith(10, 2, '\x5A');
        printer.state.logos[127] = slotWith(126, 2, '\x01');
    }
    QString folder(const QString& name) const { return dir.filePath(name); }
};

} // namespace

class TestBackupRestore : public QObject {
    Q_OBJECT
private slots:
    void backupHoldsWhatThePrinterSent() {
        ServiceRig rig;
        const auto report = service::backupTo(rig.session, rig.folder("b"));
        QVERIFY2(report.outcome == service::Outcome::Done, qPrintable(rig.dialogs.last().text));
        QCOMPARE(report.marks, (QList<int>{0, 1, 5, 85}));
        QCOMPARE(report.logos, (QList<int>{0, 1, 3, 127}));
        // Length word 22, then X, R and every byte of the slot as it came.
        QCOMPARE(readAll(rig.folder("b/logos/003.bin")),
                 QByteArray("\x16\x00", 2) + rig.printer.state.logos[3]);
        QVERIFY(readAll(rig.folder("b/marks/05.mrt"))
                    .startsWith("11\x18"
                                "02LOT 7\r\n"));
        QVERIFY(readAll(rig.folder("b/readouts.txt")).contains("K309"));
        const QByteArray manifest = readAll(rig.folder("b/manifest.json"));
        QVERIFY(manifest.contains("\"model\": \"K309\""));
        QVERIFY(manifest.contains(QCryptographicHash::hash(readAll(rig.folder("b/marks/85.mrt")),
                                                           QCryptographicHash::Sha256)
                                      .toHex()));
        QVERIFY(rig.dialogs.unexpected.isEmpty());
    }

    void restoreIntoAnEmptyPrinterGivesTheSameMemory() {
        ServiceRig rig;
        QCOMPARE(int(service::backupTo(rig.session, rig.folder("b")).outcome),
                 int(service::Outcome::Done));
        const sim::PrinterState before = rig.printer.state;
        rig.printer.state.marks.fill({});
        rig.printer.state.logos.fill({});
        rig.printer.state.logos[44] = slotWith(8, 1, '\x7F'); // not in the backup: cleared
        rig.dialogs.answer(MessageAnswer::Yes).answer(MessageAnswer::Yes);

        const auto report = service::restoreFrom(rig.session, rig.folder("b"));

        QCOMPARE(int(report.outcome), int(service::Outcome::Done));
        QVERIFY2(report.failed.isEmpty(), qPrintable(report.failed.join('\n')));
        QCOMPARE(report.clearedLogos, QList<int>{44});
        for (int n = 0; n < 86; ++n)
            QCOMPARE(rig.printer.state.marks[n], before.marks[n]);
        for (int n = 0; n < 128; ++n)
            QCOMPARE(rig.printer.state.logos[n], before.logos[n]);
        QVERIFY(rig.dialogs.shown[1].text.contains(QStringLiteral("Очищаются ячейки (их нет в "
                                                                  "копии): 044")));
        QVERIFY(rig.dialogs.unexpected.isEmpty());

        QCOMPARE(service::compareWith(rig.session, rig.folder("b")).differences, QStringList());
    }

    // Fonts 14 and 15 become font 02 when a user opens a mark file; a restore must give the
    // printer back its own fonts, every function and a full-length Cyrillic text.
    void aRestoreKeepsEveryFontAndFunction() {
        ServiceRig rig;
        const char codes[] = {0x18, 0x19, 0x1A, 0x1C, 0x1D, 0x10};
        QByteArray mark;
        for (int k = 0; k < 32; ++k) {
            // A bar code always holds its 13 digits.
            const QByteArray text = k % 6 == 5 ? QByteArray("4600000000017")
                                    : k == 4   ? QByteArray(44, '\xC6')
                                               : "PART " + QByteArray::number(k);
            mark += (QByteArray(1, codes[k % 6]) + char(k % 16) + char(text.size()) + text)
                        .leftJustified(48, '\0');
        }
        rig.printer.state.marks[7] = mark;
        service::backupTo(rig.session, rig.folder("b"));
        rig.printer.state.marks.fill({});
        rig.dialogs.answer(MessageAnswer::Yes).answer(MessageAnswer::No);

        const auto report = service::restoreFrom(rig.session, rig.folder("b"));

        QVERIFY2(report.failed.isEmpty(), qPrintable(report.failed.join('\n')));
        QCOMPARE(rig.printer.state.marks[7].toHex(), mark.toHex());
    }

    void theCurrentMarkIsWrittenOnlyWhenAsked() {
        ServiceRig rig;
        service::backupTo(rig.session, rig.folder("b"));
        rig.printer.state.marks[0] = markWith(0, "OTHER");
        rig.dialogs.answer(MessageAnswer::Yes).answer(MessageAnswer::No);
        service::restoreFrom(rig.session, rig.folder("b"));
        QCOMPARE(rig.printer.state.marks[0], markWith(0, "OTHER"));
    }

    void aDamagedBackupIsRefusedBeforeAnythingIsSent_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("remove");
        QTest::newRow("altered mark") << "marks/05.mrt" << false;
        QTest::newRow("missing logo") << "logos/127.bin" << true;
        QTest::newRow("manifest not JSON") << "manifest.json" << false;
    }
    void aDamagedBackupIsRefusedBeforeAnythingIsSent() {
        QFETCH(QString, file);
        QFETCH(bool, remove);
        ServiceRig rig;
        service::backupTo(rig.session, rig.folder("b"));
        const QString path = rig.folder("b/" + file);
        if (remove)
            QVERIFY(QFile::remove(path));
        else
            writeAll(path, readAll(path) + "x");
        rig.printer.requests.clear();

        const auto report = service::restoreFrom(rig.session, rig.folder("b"));

        QCOMPARE(int(report.outcome), int(service::Outcome::FileError));
        QCOMPARE(rig.printer.requests.size(), 0);
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QVERIFY2(rig.dialogs.last().text.contains(file), qPrintable(rig.dialogs.last().text));
    }

    // A record no mark can hold is line noise or something else, never a mark to restore.
    void aMarkNoMarkCanHoldStopsTheBackup_data() {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QString>("why");
        QByteArray noise;
        for (int k = 0; k < 32; ++k)
            noise += record(k == 4 ? '\x18' : 'U', 'U', 'U', QByteArray(45, 'U'));
        QTest::newRow("line noise") << noise
                                    << "шрифт больше 15 во фрагментах 11, 12, 13, 14, 15, 16, "
                                       "17, 18, 21, 22, 23, 24, 25, 26, 27, 28, 31, 32, 33, 34, "
                                       "35, 36, 37, 38, 41, 42, 43, 44, 45, 46, 47, 48; длина "
                                       "текста больше 44 во фрагментах 11, 12, 13, 14, 15, 16, "
                                       "17, 18, 21, 22, 23, 24, 25, 26, 27, 28, 31, 32, 33, 34, "
                                       "35, 36, 37, 38, 41, 42, 43, 44, 45, 46, 47, 48; "
                                       "неизвестный код функции во фрагментах 11, 13, 14, 15, "
                                       "16, 17, 18, 21, 22, 23, 24, 25, 26, 27, 28, 31, 32, 33, "
                                       "34, 35, 36, 37, 38, 41, 42, 43, 44, 45, 46, 47, 48";
        QByteArray fonts = markWith(0, "LOT");
        fonts.replace(48 * 5, 48, record('\x18', 16, 3, "ABC"));                // fragment 22
        fonts.replace(48 * 31, 48, record('\x19', 3, 45, QByteArray(45, '1'))); // 48
        QTest::newRow("font 16, 45 characters")
            << fonts
            << "шрифт больше 15 во фрагментах 22; длина текста больше 44 во фрагментах "
               "48";
    }
    void aMarkNoMarkCanHoldStopsTheBackup() {
        QFETCH(QByteArray, mark);
        QFETCH(QString, why);
        ServiceRig rig;
        rig.printer.state.marks[7] = mark;
        const auto report = service::backupTo(rig.session, rig.folder("b"));
        QCOMPARE(int(report.outcome), int(service::Outcome::LinkFailed));
        QCOMPARE(rig.dialogs.last().text,
                 "Резервная копия не создана: не прочитано - Марка 07: не марка: " + why + ".");
        QVERIFY(!QFileInfo::exists(rig.folder("b")));
    }

    // Unused fragments with zero codes and texts, bytes left after a text: what printers leave
    // is kept; a function code a file cannot keep is named in the report.
    void recordsPrintersLeaveAreKeptAndUnknownCodesNamed() {
        ServiceRig rig;
        QByteArray zeros(32 * 48, '\0');
        zeros.replace(0, 48, record('\x18', 2, 3, "LOT\xFF\x01trailing"));
        rig.printer.state.marks[8] = zeros;
        QByteArray odd = markWith(0, "LOT");
        odd.replace(48 * 4, 48, record('\x22', 2, 2, "AB")); // fragment 12
        rig.printer.state.marks[9] = odd;

        const auto report = service::backupTo(rig.session, rig.folder("b"));

        QCOMPARE(int(report.outcome), int(service::Outcome::Done));
        QCOMPARE(report.notes, QStringList{QStringLiteral("Марка 09: фрагменты 12")});
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Warning);
        QVERIFY(rig.dialogs.last().text.endsWith(
            QStringLiteral("Неизвестный код функции (в копии и при восстановлении - "
                           "Текст):\n\rМарка 09: фрагменты 12")));
        QVERIFY(readAll(rig.folder("b/marks/08.mrt"))
                    .startsWith("11\x18"
                                "02LOT\r\n"));
    }

    // Other software fills a slot to 127 x 2 = 254 bytes: the backup of it restores.
    void aSlotFilledToTheBrimIsBackedUpAndRestored() {
        ServiceRig rig;
        rig.printer.state.logos[9] = slotWith(127, 2, '\x3C');
        QCOMPARE(int(service::backupTo(rig.session, rig.folder("b")).outcome),
                 int(service::Outcome::Done));
        const sim::PrinterState before = rig.printer.state;
        rig.printer.state.logos.fill({});
        rig.dialogs.answer(MessageAnswer::Yes).answer(MessageAnswer::No);

        const auto report = service::restoreFrom(rig.session, rig.folder("b"));

        QVERIFY2(report.outcome == service::Outcome::Done, qPrintable(rig.dialogs.last().text));
        QCOMPARE(rig.printer.state.logos[9], before.logos[9]);
        QCOMPARE(service::compareWith(rig.session, rig.folder("b")).differences, QStringList());
    }

    // What the restore would refuse is never put in place as a backup.
    void aBackupFolderIsCheckedByTheRestoresReaders() {
        ServiceRig rig;
        service::PrinterMemory memory;
        memory.model = QStringLiteral("K309");
        QByteArray mark = marks::encodeMarkFile(marks::initialRows());
        mark.replace(3, 2, "85"); // fragment 11 in font 85
        memory.marks[7] = mark;
        memory.logos[2] = QByteArray("\x02\x01\xFF\x04", 4) + QByteArray(1020, '\x01');
        service::BackupManifest manifest;
        manifest.model = memory.model;

        const QString error = service::writeBackupFolder(rig.folder("b"), memory, manifest);

        QCOMPARE(error, QStringLiteral("Копию не восстановить: marks/07.mrt: не файл марки: "
                                       "шрифт больше 15 во фрагментах 11; logos/002.bin: не "
                                       "файл логотипа."));
        QCOMPARE(
            QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
    }

    // A manifest changed by hand: a slot left out of its list would read as "clear that slot";
    // a path outside the folder is no part of the backup.
    void anEditedManifestIsRefusedBeforeAnythingIsSent_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("problem");
        QTest::newRow("slot left out of the list") << "drop logo 127"
                                                   << "logos/127.bin: нет в списках марок и "
                                                      "логотипов описания копии";
        QTest::newRow("path up and out") << "../outside.bin"
                                         << "../outside.bin: нет в списках марок и логотипов "
                                            "описания копии";
        QTest::newRow("absolute path") << "/etc/hostname"
                                       << "/etc/hostname: нет в списках марок и логотипов "
                                          "описания копии";
    }
    void anEditedManifestIsRefusedBeforeAnythingIsSent() {
        QFETCH(QString, edit);
        QFETCH(QString, problem);
        ServiceRig rig;
        service::backupTo(rig.session, rig.folder("b"));
        writeAll(rig.folder("outside.bin"), "x");
        editManifest(rig.folder("b"), [&](QJsonObject& root) {
            if (edit == "drop logo 127") {
                QJsonArray logos = root["logos"].toArray();
                logos.removeLast();
                root["logos"] = logos;
                return;
            }
            QJsonObject files = root["sha256"].toObject();
            files[edit] = QString::fromLatin1(service::sha256Hex(readAll(rig.folder("b/" + edit))));
            root["sha256"] = files;
        });
        rig.printer.requests.clear();

        const auto report = service::restoreFrom(rig.session, rig.folder("b"));

        QCOMPARE(int(report.outcome), int(service::Outcome::FileError));
        QCOMPARE(report.failed, QStringList{problem});
        QCOMPARE(rig.printer.requests.size(), 0);
    }

    void aFailedReadLeavesNoFolder() {
        ServiceRig rig;
        rig.printer.faults.vanishAfterBytes = 30; // a few requests in, among the marks
        const auto report = service::backupTo(rig.session, rig.folder("b"));
        QCOMPARE(int(report.outcome), int(service::Outcome::LinkFailed));
        QVERIFY2(rig.dialogs.last().text.startsWith(
                     QStringLiteral("Резервная копия не создана: не прочитано - ")),
                 qPrintable(rig.dialogs.last().text));
        QCOMPARE(
            QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
    }

    // A mark file holds a fragment per line: a text with a line break would come back cut, so
    // the backup is not made and says why.
    void aMarkAFileCannotHoldStopsTheBackup() {
        ServiceRig rig;
        rig.printer.state.marks[9] = markWith(2, "LOT\r\n7");
        const auto report = service::backupTo(rig.session, rig.folder("b"));
        QCOMPARE(int(report.outcome), int(service::Outcome::LinkFailed));
        QCOMPARE(rig.dialogs.last().text,
                 QStringLiteral("Резервная копия не создана: не прочитано - Марка 09: перевод "
                                "строки в тексте фрагментов 31, в файл марки не записать."));
        QVERIFY(!QFileInfo::exists(rig.folder("b")));
    }

    void compareListsEveryDifferenceAndWritesNothing() {
        ServiceRig rig;
        service::backupTo(rig.session, rig.folder("b"));
        rig.printer.state.marks[5] = markWith(0, "LOT 8");
        rig.printer.state.logos[3] = {};
        rig.printer.state.logos[9] = slotWith(4, 1, '\x0F');
        rig.printer.state.logos[127][5] = '\x02';
        rig.printer.requests.clear();

        const auto report = service::compareWith(rig.session, rig.folder("b"));

        QCOMPARE(report.differences,
                 (QStringList{QStringLiteral("Марка 05: отличаются фрагменты 11"),
                              QStringLiteral("Логотип 003: нет в Маркираторе"),
                              QStringLiteral("Логотип 009: лишний, нет в копии"),
                              QStringLiteral("Логотип 127: отличается")}));
        for (const QByteArray& r : rig.printer.requests)
            QVERIFY2(r.at(1) != 't' && r.at(1) != 'l', r.toHex().constData());
    }

    // A stop asked for during a restore is taken between two items: what began is written
    // whole, nothing after it, and the result says which is which.
    void aStoppedRestoreWritesOnlyTheItemsBegun() {
        ServiceRig rig;
        service::backupTo(rig.session, rig.folder("b"));
        const sim::PrinterState before = rig.printer.state;
        rig.printer.state.marks.fill({});
        rig.printer.state.logos.fill({});
        rig.dialogs.answer(MessageAnswer::Yes).answer(MessageAnswer::No);
        rig.dialogs.steps.clear();
        rig.dialogs.stopAfterItems = 2;

        const auto report = service::restoreFrom(rig.session, rig.folder("b"));

        QCOMPARE(int(report.outcome), int(service::Outcome::Stopped));
        QCOMPARE(report.marks, (QList<int>{1, 5}));
        QCOMPARE(report.logos, QList<int>());
        QCOMPARE(rig.printer.state.marks[5], before.marks[5]);
        QVERIFY(rig.printer.state.marks[85].isEmpty());
        QVERIFY(rig.printer.state.logos[3].isEmpty());
        QCOMPARE(report.notWritten.first(), QStringLiteral("Марка 85"));
        QCOMPARE(rig.dialogs.steps.first(), QStringLiteral("0/7 Запись и проверка: Марка 01"));
        QCOMPARE(rig.dialogs.steps.last(), QStringLiteral("0/0"));
        QCOMPARE(rig.dialogs.last().text,
                 QStringLiteral("Восстановление из резервной копии остановлено.\n\r"
                                "Записаны: марки 01, 05.\n\r"
                                "Не записаны: марки 85;\n\rлоготипы 000, 001, 003, 127."));
    }

    void aStoppedBackupLeavesNoFolder() {
        ServiceRig rig;
        rig.dialogs.stopAfterItems = 5;
        const auto report = service::backupTo(rig.session, rig.folder("b"));
        QCOMPARE(int(report.outcome), int(service::Outcome::Stopped));
        QCOMPARE(rig.dialogs.steps.size(), 6); // five items and the end of the display
        QCOMPARE(
            QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBackupRestore)
#include "tst_backup_restore.moc"
