// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"
#include "logos/picture_split.h"
#include "logos/split_plan.h"
#include "test_rig.h"

#include <QFile>
#include <QTest>

using namespace platform;

using namespace logos;

namespace {

struct Fixture {
    TestRig rig;
    LogoDocument logo;
    Fixture() { rig.session.logo = &logo; }
    QString path(const QString& name) const { return rig.session.workDir.filePath(name); }
    QByteArray readFile(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A logo whose column x has its dots at rows x % height and (x * 7) % height.
    void drawPattern(int width, int height) {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, x % height, qRgb(0, 0, 0));
            picture.setPixel(x, (x * 7) % height, qRgb(90, 0, 0));
        }
        logo.loadPicture(picture);
    }
};

QList<int> ints(std::initializer_list<int> l) {
    return QList<int>(l);
}

} // namespace

class TestPictureSplit : public QObject {
    Q_OBJECT
private slots:
    void binPartWidths_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("parts");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("100 x 32") << 100 << 4 << 2 << ints({50, 50});
        QTest::newRow("64 x 32") << 64 << 4 << 2 << ints({32, 32});
        QTest::newRow("250 x 32") << 250 << 4 << 4 << ints({63, 63, 62, 62});
        QTest::newRow("253 x 32") << 253 << 4 << 5 << ints({51, 51, 50, 50, 51});
        QTest::newRow("3000 x 8") << 3000 << 1 << 12 << QList<int>(12, 250);
        // The usual widths would leave a last part of 67 columns (268 bytes): spread evenly.
        QTest::newRow("755 x 32") << 755 << 4 << 12
                                  << ints({63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 62});
    }
    void binPartWidths() {
        QFETCH(int, width);
        QFETCH(int, rows);
        QFETCH(int, parts);
        QFETCH(QList<int>, widths);
        QCOMPARE(binPartCount(width, rows), parts);
        QCOMPARE(logos::binPartWidths(width, rows, parts), widths);
    }

    void slotStripThresholds_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("strips");
        const int table[][3] = {{63, 4, 0},   {64, 4, 2},  {126, 4, 2}, {127, 4, 3}, {189, 4, 3},
                                {190, 4, 4},  {251, 4, 4}, {252, 4, 0}, {84, 3, 0},  {85, 3, 2},
                                {165, 3, 2},  {166, 3, 3}, {252, 3, 3}, {253, 3, 4}, {127, 2, 0},
                                {128, 2, 2},  {254, 2, 2}, {255, 2, 3}, {381, 2, 3}, {382, 2, 4},
                                {5000, 1, 0}, {126, 2, 0}};
        for (const auto& row : table)
            QTest::addRow("%d wide, R=%d", row[0], row[1]) << row[0] << row[1] << row[2];
    }
    void slotStripThresholds() {
        QFETCH(int, width);
        QFETCH(int, rows);
        QFETCH(int, strips);
        QCOMPARE(slotStripCount(width, rows), strips);
    }

    void slotStripWidths_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("64") << 64 << ints({32, 32});
        QTest::newRow("127") << 127 << ints({43, 42, 42});
        QTest::newRow("190") << 190 << ints({48, 47, 48, 47});
        QTest::newRow("251") << 251 << ints({63, 62, 63, 63});
    }
    void slotStripWidths() {
        QFETCH(int, width);
        QFETCH(QList<int>, widths);
        QCOMPARE(logos::slotStripWidths(width, int(widths.size())), widths);
    }

    void binSplitWritesPartsAndOpensTheFirst() {
        Fixture f;
        f.drawPattern(100, 32);
        const QByteArray whole = f.logo.packColumns(0, 100);
        f.logo.invert();
        f.logo.invert(); // the same dots, but unsaved
        f.rig.dialogs.answer("Wide.bin").answer(MessageAnswer::Yes);
        saveLogoAs(f.rig.session);
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        const auto question = f.rig.dialogs.last();
        QCOMPARE(question.title, QStringLiteral("Преобразование файла завершено"));
        QCOMPARE(question.text, QStringLiteral(" Создано 2 файлов:\n\rОткрыть первый из созданных "
                                               "файлов: WIDE_1.BIN?"));
        QCOMPARE(question.icon, MessageIcon::None);
        const QByteArray part1 = f.readFile("wide_1.bin");
        const QByteArray part2 = f.readFile("wide_2.bin");
        QCOMPARE(part1.size(), 204);
        QCOMPARE(part1.left(4), QByteArray::fromHex("ca003204"));
        QCOMPARE(part2.left(4), QByteArray::fromHex("ca003204"));
        QCOMPARE(part1.mid(4) + part2.mid(4), whole);
        QCOMPARE(f.logo.size(), QSize(50, 32));
        QCOMPARE(f.logo.packColumns(0, 50), whole.left(200));
        QCOMPARE(f.logo.currentFile(), f.path("wide_1.bin"));
        QCOMPARE(f.rig.status.field(GraphicField::File), QStringLiteral("Файл: Wide.bin"));
        QVERIFY(!f.logo.isModified());
    }

    void binSplitOfAShortPicturePacksFromTheTop() {
        Fixture f;
        f.drawPattern(300, 20); // R = 3, 900 bytes: 4 parts
        f.logo.invert();
        f.logo.invert(); // the same dots, but unsaved
        f.rig.dialogs.answer("short.bin").answer(MessageAnswer::No);
        saveLogoAs(f.rig.session);
        const QByteArray part = f.readFile("short_1.bin");
        QCOMPARE(part.left(4), QByteArray::fromHex("e3004b03")); // 227 = 3 * 75 + 2, 75 wide
        // Column 0 has dots at row 0 only: the top bit of the third byte.
        QCOMPARE(part.mid(4, 3), QByteArray::fromHex("000080"));
        QVERIFY(QFile::exists(f.path("short_4.bin")));
        QCOMPARE(f.logo.size(), QSize(300, 20));
        QCOMPARE(f.logo.currentFile(), QStringLiteral("short.bin"));
    }

    void slotSplitCutsBmpStrips() {
        Fixture f;
        f.drawPattern(64, 32);
        f.logo.setCurrentFile("pic.bmp", "bmp");
        const QImage whole = f.logo.logoPicture();
        f.rig.dialogs.answer(MessageAnswer::Yes);
        QCOMPARE(splitForSlot(f.rig.session), SlotSplit::FirstStripOpened);
        QCOMPARE(f.rig.dialogs.last().title, QStringLiteral("Преобразование завершено"));
        QCOMPARE(f.rig.dialogs.last().text,
                 QStringLiteral(" Создано 2 файлов:\n\r-  pic.bmp_1.bmp\n\r-  pic.bmp_2.bmp\n\r"
                                "\n\rОткрыть первый из созданных файлов: \n\r_1.BMP?"));
        const QImage strip2(f.path("pic.bmp_2.bmp"));
        QCOMPARE(strip2.convertToFormat(QImage::Format_RGB32),
                 whole.copy(32, 0, 32, 32).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(f.logo.size(), QSize(32, 32));
        QCOMPARE(f.logo.logoPicture(), whole.copy(0, 0, 32, 32));
        QCOMPARE(f.logo.currentFile(), QStringLiteral("pic.bmp_1.bmp"));
        QCOMPARE(f.rig.status.field(GraphicField::File), QStringLiteral(" Файл: pic.bmp_1.bmp"));
        QCOMPARE(f.rig.status.field(GraphicField::Size), QStringLiteral("Размер XY: 32x32"));
    }

    void aStripThatCannotBeWrittenStopsTheSplit() {
        Fixture f;
        f.drawPattern(64, 32);
        f.logo.setCurrentFile("pic.bmp", "bmp");
        QVERIFY(QDir(f.rig.dir.path()).mkdir("pic.bmp_1.bmp"));
        QCOMPARE(splitForSlot(f.rig.session), SlotSplit::Failed);
        QCOMPARE(f.rig.dialogs.last().text,
                 QStringLiteral("Файл 'pic.bmp_1.bmp' записать невозможно!"));
        QCOMPARE(f.rig.dialogs.shown.size(), 1);
        QCOMPARE(f.logo.size(), QSize(64, 32));
    }

    void slotSplitDeclinedOrNotNeeded_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("files");
        QTest::newRow("100 x 24 declined") << QSize(100, 24) << int(SlotSplit::Declined) << 2;
        QTest::newRow("126 x 16 fits") << QSize(126, 16) << int(SlotSplit::NotNeeded) << 0;
        QTest::newRow("300 x 32 beyond the table")
            << QSize(300, 32) << int(SlotSplit::NotNeeded) << 0;
    }
    void slotSplitDeclinedOrNotNeeded() {
        QFETCH(QSize, size);
        QFETCH(int, outcome);
        QFETCH(int, files);
        Fixture f;
        f.drawPattern(size.width(), size.height());
        f.logo.setCurrentFile("p.bmp", "bmp");
        if (files)
            f.rig.dialogs.answer(MessageAnswer::No);
        QCOMPARE(int(splitForSlot(f.rig.session)), outcome);
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(QDir(f.rig.dir.path()).entryList(QDir::Files).size(), files);
        QCOMPARE(f.logo.size(), size);
        QCOMPARE(f.logo.currentFile(), QStringLiteral("p.bmp"));
    }
};

QTEST_MAIN(TestPictureSplit)
#include "tst_picture_split.moc"
