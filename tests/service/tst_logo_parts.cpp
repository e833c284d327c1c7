// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/picture_files.h"
#include "service/logo_parts.h"
#include "test_rig.h"

#include <QFile>
#include <QImage>
#include <QTest>

using namespace platform;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Part k of three: a 40 x 16 strip filled with byte 0x10 + k, as the BIN split or a BMP.
void writeParts(const QDir& dir, const QString& suffix) {
    for (int k = 1; k <= 3; ++k) {
        const QString path = dir.filePath(QStringLiteral("wide_%1.%2").arg(k).arg(suffix));
        if (suffix == QLatin1String("bin")) {
            writeFile(path, logos::encodeBin(40, 2, QByteArray(80, char(0x10 + k)), 82));
        } else {
            QImage strip(40, 16, QImage::Format_RGB32);
            strip.fill(Qt::white);
            strip.setPixel(k, 15, qRgb(0, 0, 0)); // one dot, bottom row, column k
            QVERIFY(strip.save(path, "BMP"));
        }
    }
}

QByteArray slotOf(const QByteArray& payload) {
    return payload + QByteArray(256 - payload.size(), '\0');
}

} // namespace

class TestLogoParts : public QObject {
    Q_OBJECT
private slots:
    void partsGoIntoConsecutiveSlots_data() {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("BIN split") << "bin";
        QTest::newRow("BMP split") << "bmp";
    }
    void partsGoIntoConsecutiveSlots() {
        QFETCH(QString, suffix);
        TestRig rig;
        rig.connect();
        writeParts(rig.session.workDir, suffix);
        rig.printer.state.logos[11] = slotOf(QByteArray("\x01\x01\x7f", 3));
        rig.dialogs.answer(rig.session.workDir.filePath("wide_1." + suffix))
            .answer(QStringLiteral("10"))
            .answer(MessageAnswer::Yes);

        service::writeLogoParts(rig.session);

        QVERIFY2(rig.dialogs.unexpected.isEmpty(), qPrintable(rig.dialogs.unexpected.join('\n')));
        QVERIFY(rig.dialogs.shown[2].text.contains(
            QStringLiteral("Ячейки: 010, 011, 012.\n\rЗанятые ячейки будут перезаписаны: 011.")));
        for (int k = 1; k <= 3; ++k) {
            QByteArray columns(80, char(0x10 + k));
            if (suffix == QLatin1String("bmp")) {
                columns.fill('\0');
                columns[2 * k] = '\x01'; // bit 0 of the lower byte: the bottom row
            }
            QCOMPARE(rig.printer.state.logos[9 + k], slotOf("\x28\x02" + columns));
        }
        QCOMPARE(rig.dialogs.last().text,
                 QStringLiteral("Части рисунка записаны в ячейки: 010, 011, 012.\n\rВсе "
                                "прочитаны обратно и совпадают с файлами."));
    }

    void aStopLeavesTheNextSlotsAlone() {
        TestRig rig;
        rig.connect();
        writeParts(rig.session.workDir, QStringLiteral("bin"));
        rig.dialogs.answer(rig.session.workDir.filePath("wide_1.bin"))
            .answer(QStringLiteral("10"))
            .answer(MessageAnswer::Yes);
        rig.dialogs.stopAfterItems = 1;

        service::writeLogoParts(rig.session);

        QVERIFY(!rig.printer.state.logos[10].isEmpty());
        QVERIFY(rig.printer.state.logos[11].isEmpty());
        QCOMPARE(rig.dialogs.last().text,
                 QStringLiteral("Запись частей рисунка остановлена.\n\rЗаписаны ячейки: 010.\n\r"
                                "Не записаны: Логотип 011, Логотип 012."));
    }

    // Every part is checked first: one that does not fit a slot sends nothing at all.
    void aPartTooLargeSendsNothing() {
        TestRig rig;
        rig.connect();
        writeParts(rig.session.workDir, QStringLiteral("bin"));
        writeFile(rig.session.workDir.filePath("wide_3.bin"),
                  logos::encodeBin(70, 4, QByteArray(280, '\x01'), 282));
        rig.printer.requests.clear();
        rig.dialogs.answer(rig.session.workDir.filePath("wide_1.bin"));

        service::writeLogoParts(rig.session);

        QCOMPARE(rig.printer.requests.size(), 0);
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QVERIFY(rig.dialogs.last().text.contains(QStringLiteral("wide_3.bin")));
    }
};

QTEST_GUILESS_MAIN(TestLogoParts)
#include "tst_logo_parts.moc"
