// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/logo_document.h"
#include "logos/picture_import.h"
#include "logos/picture_reading.h"
#include "non_regular_files.h"
#include "test_rig.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTest>

using namespace platform;
using namespace logos;

namespace {

// Answers the import dialog with the options queued, and notes what it was shown.
class ChosenOptions : public PictureImportDialog {
public:
    std::optional<ConversionOptions> answer;
    int shown = 0;
    QString name;
    QSize sourceSize;
    std::optional<ConversionOptions> choose(const WorkingPicture& picture,
                                            const QString& fileName) override {
        ++shown;
        name = fileName;
        sourceSize = picture.sourceSize;
        return answer;
    }
};

struct Fixture {
    TestRig rig;
    LogoDocument logo;
    ChosenOptions dialog;
    Fixture() { rig.session.logo = &logo; }
    QString path(const QString& name) const { return rig.session.workDir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray png(const QImage& picture) const {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "png");
        return bytes;
    }
    // A 3 x 16 logo from "old.bin", as an opening leaves it.
    void loadOld() {
        logo.drawPackedLogo(QByteArray(6, '\xff'), 3, 2);
        logo.setCurrentFile(QStringLiteral("old.bin"), QStringLiteral("bin"));
    }
    void import(const QString& name, std::optional<ConversionOptions> options) {
        dialog.answer = options;
        rig.dialogs.answer(path(name));
        importPicture(rig.session, dialog);
    }
};

// A BMP header claiming `width` x `height` at 24 bits, without the pixels.
QByteArray bmpHeader(int width, int height) {
    QByteArray h(54, '\0');
    auto put32 = [&h](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            h[at + i] = char(v >> (8 * i));
    };
    h[0] = 'B';
    h[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    h[26] = 1;
    h[28] = 24;
    return h;
}

} // namespace

class TestPictureImport : public QObject {
    Q_OBJECT
private slots:
    void importIsOneUndoStepThatGivesBackTheOldLogoAndFile() {
        Fixture f;
        f.loadOld();
        QImage picture(400, 100, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter(&picture).fillRect(0, 0, 100, 100, Qt::black);
        f.writeFile(QStringLiteral("firm logo.png"), f.png(picture));
        ConversionOptions options;
        options.height = 16;
        f.import(QStringLiteral("firm logo.png"), options);

        QCOMPARE(f.dialog.shown, 1);
        QCOMPARE(f.dialog.name, QStringLiteral("firm logo.png"));
        QCOMPARE(f.dialog.sourceSize, QSize(400, 100));
        QCOMPARE(f.rig.dialogs.shown.first().kind, ScriptedDialogs::Kind::OpenFile);
        QCOMPARE(f.rig.dialogs.shown.first().title, QStringLiteral("Импорт рисунка"));
        QCOMPARE(f.logo.size(), QSize(64, 16));
        QCOMPARE(f.logo.pendingSize(), QSize(64, 16));
        QCOMPARE(f.logo.countBlackDots(), 16 * 16);
        QVERIFY(f.logo.isModified());
        QVERIFY(!f.logo.hasCurrentFile());
        QCOMPARE(f.rig.status.field(GraphicField::Size), QStringLiteral("Размер XY: 64x16"));
        QVERIFY(f.rig.dialogs.unexpected.isEmpty());

        f.logo.undo();
        QCOMPARE(f.logo.size(), QSize(3, 16));
        QCOMPARE(f.logo.countBlackDots(), 3 * 16);
        QCOMPARE(f.logo.currentFile(), QStringLiteral("old.bin"));
        QVERIFY(!f.logo.isModified());
        QVERIFY(!f.logo.canUndo());
    }

    void unsavedDrawingIsAskedAboutFirst() {
        Fixture f;
        f.logo.paintDot(1, 1, true);
        f.logo.endStroke();
        f.rig.dialogs.answer(MessageAnswer::Cancel);
        importPicture(f.rig.session, f.dialog);
        QCOMPARE(f.rig.dialogs.shown.size(), 1);
        QVERIFY(f.rig.dialogs.shown.first().text.startsWith(
            QStringLiteral("Содержание Логотипа изменено. Сохранить Изменения?")));
        QCOMPARE(f.dialog.shown, 0);
        QVERIFY(f.logo.isDot(1, 1));
    }

    void cancelInTheDialogChangesNothing() {
        Fixture f;
        f.loadOld();
        QImage picture(50, 50, QImage::Format_RGB32);
        picture.fill(Qt::black);
        f.writeFile(QStringLiteral("a.png"), f.png(picture));
        f.import(QStringLiteral("a.png"), std::nullopt);
        QCOMPARE(f.dialog.shown, 1);
        QCOMPARE(f.logo.size(), QSize(3, 16));
        QCOMPARE(f.logo.currentFile(), QStringLiteral("old.bin"));
        QVERIFY(!f.logo.isModified());
    }

    // Each refusal names the file, and nothing is decoded or changed.
    void unusableFilesAreRefusedByName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("truncated PNG") << "cut.png"
                                       << "truncated"
                                       << "Файл 'cut.png' не является рисунком или повреждён!";
        QTest::newRow("too large") << "huge.bmp"
                                   << "huge"
                                   << "Рисунок 'huge.bmp' слишком велик: 10000 x 10000 пикселей!"
                                      "\n\rОткрываются рисунки не более 32 млн пикселей "
                                      "(например, 5600 x 5600).";
        QTest::newRow("text") << "notes.png"
                              << "text"
                              << "Файл 'notes.png' не является рисунком или повреждён!";
#ifdef INKWICK_HAVE_SVG
        QTest::newRow("broken SVG") << "broken.svg"
                                    << "svg"
                                    << "Файл 'broken.svg' не является рисунком или повреждён!";
#else
        QTest::newRow("SVG without Qt SVG")
            << "broken.svg"
            << "svg"
            << "Рисунок 'broken.svg' не открыт: рисунки SVG эта сборка программы не читает.\n\r"
               "Сохраните его как PNG или BMP.";
#endif
        QTest::newRow("pipe") << "fifo.png"
                              << "pipe"
                              << "Файл 'fifo.png' открыть невозможно: это не обычный файл!";
    }
    void unusableFilesAreRefusedByName() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        Fixture f;
        f.loadOld();
        if (kind == u"truncated") {
            QImage picture(300, 300, QImage::Format_RGB32);
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 300; ++x)
                    picture.setPixel(x, y, qRgb(x * 7 % 256, y * 3 % 256, (x ^ y) % 256));
            const QByteArray whole = f.png(picture);
            f.writeFile(name, whole.left(whole.size() / 2));
        } else if (kind == u"huge") {
            f.writeFile(name, bmpHeader(10000, 10000));
        } else if (kind == u"text") {
            f.writeFile(name, "not a picture at all\n");
        } else if (kind == u"svg") {
            f.writeFile(name, "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10");
        } else if (!makeSpecialFile(f.path(name), kind)) {
            QSKIP("no named pipes here");
        }
        f.import(name, ConversionOptions{});
        QCOMPARE(f.dialog.shown, 0);
        QCOMPARE(f.rig.dialogs.shown.last().title, QStringLiteral("ОШИБКА"));
        QCOMPARE(f.rig.dialogs.shown.last().text, message);
        QCOMPARE(f.logo.size(), QSize(3, 16));
        QVERIFY(!f.logo.isModified());
    }

    // The drawing's left half is black: whatever its own size, the result is the height asked
    // and twice as wide, half of it dots.
    void svgRendersAtTheChosenHeight_data() {
        QTest::addColumn<int>("height");
        QTest::newRow("7") << 7;
        QTest::newRow("24") << 24;
        QTest::newRow("32") << 32;
    }
    void svgRendersAtTheChosenHeight() {
#ifndef INKWICK_HAVE_SVG
        QSKIP("this build has no Qt SVG");
#endif
        QFETCH(int, height);
        Fixture f;
        f.writeFile(QStringLiteral("logo.svg"),
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\" "
                    "viewBox=\"0 0 20 10\"><rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" "
                    "fill=\"#000\"/></svg>");
        ConversionOptions options;
        options.height = height;
        f.import(QStringLiteral("logo.svg"), options);
        QCOMPARE(f.dialog.shown, 1);
        QCOMPARE(f.logo.size(), QSize(2 * height, height));
        QCOMPARE(f.logo.countBlackDots(), height * height);
        QVERIFY(f.logo.isDot(0, 0));
        QVERIFY(!f.logo.isDot(2 * height - 1, height - 1));
    }

    // Black under full transparency, as drawing programs leave it, is paper.
    void transparentPngAreasAreWhite() {
        Fixture f;
        QImage picture(100, 50, QImage::Format_ARGB32);
        picture.fill(qRgba(0, 0, 0, 0));
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 25; ++x)
                picture.setPixel(x, y, qRgba(0, 0, 0, 255));
        f.writeFile(QStringLiteral("clear.png"), f.png(picture));
        ConversionOptions options;
        options.height = 8;
        f.import(QStringLiteral("clear.png"), options);
        QCOMPARE(f.logo.size(), QSize(16, 8));
        QCOMPARE(f.logo.countBlackDots(), 4 * 8);
    }

    void wideResultsSayHowTheyWillBeSplit() {
        QCOMPARE(splitNoticeText(QSize(63, 32)), QString());
        QCOMPARE(splitNoticeText(QSize(100, 32)),
                 QStringLiteral("Логотип шире одной ячейки (400 байт, в ячейку входит 252).\n\r"
                                "Запись в Маркиратор разделит его на 2 части: 50 + 50 точек.\n\r"
                                "Сохранение в BIN: 2 файла по 50 + 50 точек."));
        QCOMPARE(splitNoticeText(QSize(1000, 32)),
                 QStringLiteral("Логотип шире одной ячейки (4000 байт, в ячейку входит 252).\n\r"
                                "В файлы BIN не сохранить: более 12 логотипов. "
                                "Уменьшите высоту или сохраните в BMP."));
    }
};

QTEST_MAIN(TestPictureImport)
#include "tst_picture_import.moc"
