// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"
#include "logos/picture_files.h"
#include "non_regular_files.h"
#include "test_rig.h"

#include <QFile>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTest>

using namespace platform;
using namespace printerlink;

using namespace logos;

namespace {

struct Fixture {
    TestRig rig;
    LogoDocument logo;
    Fixture() { rig.session.logo = &logo; }
    Session& s() { return rig.session; }
    QString path(const QString& name) const { return rig.session.workDir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeImage(const QString& name, const QImage& image) const {
        QImageWriter writer(path(name), "bmp");
        QVERIFY(writer.write(image));
    }
    QString field(GraphicField f) const { return rig.status.field(f); }
    QString lastText() const { return rig.dialogs.shown.last().text; }
    // A change made in the editor, so the logo holds unsaved dots.
    void paint(int column, int row) {
        logo.paintDot(column, row, true);
        logo.endStroke();
    }
    // Queues "Да", "Нет", "Отмена" as buttons and anything else as typed text.
    void answer(const QStringList& answers) {
        for (const QString& a : answers) {
            if (a == u"Да")
                rig.dialogs.answer(MessageAnswer::Yes);
            else if (a == u"Нет")
                rig.dialogs.answer(MessageAnswer::No);
            else if (a == u"Отмена")
                rig.dialogs.answer(MessageAnswer::Cancel);
            else
                rig.dialogs.answer(a);
        }
    }
};

QString unsavedQuestion(const QString& target) {
    return QStringLiteral("Содержание Логотипа изменено. Сохранить Изменения?\n\rФайл: ") + target;
}

QByteArray bin(int width, int rows, const QByteArray& data = {}) {
    QByteArray out = QByteArray::fromHex("0000") + char(width) + char(rows) + data;
    return out;
}

QByteArray pbm(int rows, int width) {
    QByteArray out;
    out.append(char(rows)).append(char(width & 0xff)).append(char(width >> 8));
    out.append(QByteArray(rows * width, '\x55'));
    return out;
}

// A 24-bit BMP whose header claims `width` x `height` pixels (a negative height: stored top
// row first), followed by only 64 bytes of data.
QByteArray hugeBmpHeader(qint32 width, qint32 height = 1) {
    QByteArray b;
    auto le = [&b](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    b.append("BM");
    le(54 + 64, 4); // file size
    le(0, 4);
    le(54, 4); // pixel data offset
    le(40, 4); // info header size
    le(quint32(width), 4);
    le(quint32(height), 4);
    le(1, 2);  // planes
    le(24, 2); // bits per pixel
    le(0, 4);  // no compression
    le(0, 4);
    le(2835, 4);
    le(2835, 4);
    le(0, 4);
    le(0, 4);
    b.append(QByteArray(64, '\x7f'));
    return b;
}

} // namespace

class TestLogoFiles : public QObject {
    Q_OBJECT
private slots:
    void newLogoSizes_data() {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("widthPrompt");
        QTest::newRow("1") << "1"
                           << "5" << QSize(5, 8) << "(1...250)";
        QTest::newRow("8") << "8"
                           << "5" << QSize(5, 8) << "(1...250)";
        QTest::newRow("9") << "9"
                           << "5" << QSize(5, 16) << "(1...126)";
        QTest::newRow("17") << "17"
                            << "5" << QSize(5, 24) << "(1...83)";
        QTest::newRow("25") << "25"
                            << "5" << QSize(5, 32) << "(1...63)";
        QTest::newRow("40") << " 40x"
                            << "5" << QSize(5, 32) << "(1...63)";
        QTest::newRow("1000") << "1000"
                              << "5" << QSize(5, 32) << "(1...63)";
        QTest::newRow("cancelled height") << ""
                                          << "5" << QSize(5, 8) << "(1...250)";
        QTest::newRow("32, width cut") << "32"
                                       << "100" << QSize(63, 32) << "(1...63)";
        QTest::newRow("8, width cut") << "8"
                                      << "252" << QSize(250, 8) << "(1...250)";
        QTest::newRow("16, width cut") << "16"
                                       << "127" << QSize(126, 16) << "(1...126)";
        QTest::newRow("24, width cut") << "24"
                                       << "84" << QSize(83, 24) << "(1...83)";
    }
    void newLogoSizes() {
        QFETCH(QString, height);
        QFETCH(QString, width);
        QFETCH(QSize, size);
        QFETCH(QString, widthPrompt);
        Fixture f;
        f.logo.setDot(0, 0, true);
        f.rig.dialogs.answer(height).answer(width);
        newLogo(f.s());
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(f.rig.dialogs.shown[0].title, QStringLiteral("СОЗДАНИЕ НОВОГО ЛОГОТИПА"));
        QCOMPARE(f.rig.dialogs.shown[0].text,
                 QStringLiteral("Введите размер 'Y' в точках (8...32)"));
        QCOMPARE(f.rig.dialogs.shown[0].extra, QStringLiteral("32"));
        QCOMPARE(f.rig.dialogs.shown[1].text,
                 QStringLiteral("Введите размер 'X' в точках ") + widthPrompt);
        QCOMPARE(f.rig.dialogs.shown[1].extra, QStringLiteral("63"));
        QCOMPARE(f.logo.size(), size);
        QCOMPARE(f.logo.pendingSize(), size);
        QVERIFY(!f.logo.isDot(0, 0));
        QVERIFY(f.rig.status.noFields());
    }

    void newLogoRefusesAWidthBelowOne_data() {
        QTest::addColumn<QString>("width");
        QTest::addColumn<int>("messages");
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("negative") << "-3" << 1;
        QTest::newRow("not a number") << "abc" << 1;
        QTest::newRow("cancelled") << "" << 0;
    }
    void newLogoRefusesAWidthBelowOne() {
        QFETCH(QString, width);
        QFETCH(int, messages);
        Fixture f;
        f.logo.setDot(1, 1, true);
        f.rig.dialogs.answer("16").answer(width);
        newLogo(f.s());
        QCOMPARE(f.rig.dialogs.messages().size(), messages);
        QCOMPARE(f.logo.size(), QSize(64, 24));
        QVERIFY(f.logo.isDot(1, 1));
    }

    // New Logo and Open replace the logo: unsaved dots are offered for saving first, and only
    // a save that happened, or "Нет", lets the command go on.
    void replacingUnsavedDotsAsksFirst_data() {
        QTest::addColumn<bool>("open");    // Open Logo, else New Logo
        QTest::addColumn<QString>("file"); // the logo's current file, "" for none
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("saved"); // the file the dots went to, "" for none
        QTest::addColumn<bool>("replaced");
        const QStringList newSize{"8", "4"};
        QTest::newRow("new, Отмена") << false << "" << QStringList{"Отмена"} << "" << false;
        QTest::newRow("new, Нет") << false << "" << QStringList{"Нет"} + newSize << "" << true;
        QTest::newRow("new, Да without a file")
            << false << "" << QStringList{"Да", "kept.bmp"} + newSize << "kept.bmp" << true;
        QTest::newRow("new, Да, save dialog cancelled")
            << false << "" << QStringList{"Да", ""} << "" << false;
        QTest::newRow("new, Да to its file")
            << false << "old.bin" << QStringList{"Да"} + newSize << "old.bin" << true;
        QTest::newRow("open, Отмена") << true << "old.bin" << QStringList{"Отмена"} << "" << false;
        QTest::newRow("open, Нет")
            << true << "old.bin" << QStringList{"Нет", "next.bin"} << "" << true;
        QTest::newRow("open, Да without a file")
            << true << "" << QStringList{"Да", "kept.bmp", "next.bin"} << "kept.bmp" << true;
    }
    void replacingUnsavedDotsAsksFirst() {
        QFETCH(bool, open);
        QFETCH(QString, file);
        QFETCH(QStringList, answers);
        QFETCH(QString, saved);
        QFETCH(bool, replaced);
        Fixture f;
        f.writeFile("old.bin", bin(2, 1));
        f.writeFile("next.bin", bin(9, 2));
        if (!file.isEmpty())
            QVERIFY(loadPackedLogoFile(f.s(), file, "bin"));
        f.paint(0, 0);
        const QImage before = f.logo.logoPicture();
        f.answer(answers);
        open ? openLogoFile(f.s()) : newLogo(f.s());
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(f.rig.dialogs.pending(), 0);
        QCOMPARE(f.rig.dialogs.shown[0].title, QStringLiteral("Информация"));
        QCOMPARE(f.rig.dialogs.shown[0].text,
                 unsavedQuestion(file.isEmpty() ? "без имени" : f.path(file)));
        QCOMPARE(f.rig.dialogs.shown[0].buttons, MessageButtons::YesNoCancel);
        if (!saved.isEmpty())
            QVERIFY(QFileInfo(f.path(saved)).size() > 0 && f.readFile(saved) != bin(2, 1));
        else
            QCOMPARE(f.readFile("old.bin"), bin(2, 1));
        QCOMPARE(f.logo.logoPicture() != before, replaced);
        QCOMPARE(f.logo.isModified(), !replaced);
        if (replaced && !open)
            QVERIFY(!f.logo.hasCurrentFile());
    }

    void packedFilesAreDecodedOrRefused_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");      // empty: refused
        QTest::addColumn<QString>("message"); // refusal text
        QTest::newRow("BIN 100 x 16") << "bin" << bin(100, 2) << QSize(100, 16) << "";
        QTest::newRow("BIN width 250") << "bin" << bin(250, 1) << QSize(250, 8) << "";
        QTest::newRow("BIN rows 0") << "bin" << bin(10, 0) << QSize() << verticalSizeText();
        QTest::newRow("BIN rows 5") << "bin" << bin(10, 5) << QSize() << verticalSizeText();
        QTest::newRow("BIN width 0") << "bin" << bin(0, 4) << QSize() << zeroWidthText();
        QTest::newRow("BIN of 3 bytes")
            << "bin" << QByteArray(3, '\0') << QSize() << verticalSizeText();
        QTest::newRow("PBM rows 5") << "pbm" << pbm(5, 10) << QSize() << verticalSizeText();
        QTest::newRow("PBM width 1665") << "pbm" << pbm(4, 1665) << QSize() << horizontalSizeText();
        QTest::newRow("PBM width 1664") << "pbm" << pbm(4, 1664) << QSize(1664, 32) << "";
        QTest::newRow("PBM width 0") << "pbm" << pbm(1, 0) << QSize() << zeroWidthText();
    }
    void packedFilesAreDecodedOrRefused() {
        QFETCH(QString, extension);
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        QFETCH(QString, message);
        Fixture f;
        f.logo.setDot(2, 2, true);
        f.writeFile("logo." + extension, file);
        const bool loaded = loadPackedLogoFile(f.s(), "logo." + extension, extension);
        QCOMPARE(loaded, size.isValid());
        if (!loaded) {
            QCOMPARE(f.lastText(), message);
            QCOMPARE(f.rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
            QCOMPARE(f.logo.size(), QSize(64, 24));
            QVERIFY(f.logo.isDot(2, 2));
            QVERIFY(!f.logo.hasCurrentFile());
            return;
        }
        QCOMPARE(f.logo.size(), size);
        QCOMPARE(f.logo.currentFile(), "logo." + extension);
        const int headerBytes = extension == "bin" ? 4 : 3;
        QCOMPARE(f.logo.packColumns(0, size.width()),
                 file.mid(headerBytes).leftJustified(size.width() * size.height() / 8, '\0'));
    }

    void openShowsTheFileAndSize_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        const QString name47 = QString(43, 'a') + ".bin";
        const QString name48 = QString(44, 'b') + ".bin";
        QTest::newRow("47 characters") << name47 << " Файл: " + name47;
        QTest::newRow("48 characters") << name48 << " Файл: .." + name48.right(48);
        QTest::newRow("upper-case extension") << "LOGO.BIN"
                                              << " Файл: LOGO.BIN";
    }
    void openShowsTheFileAndSize() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        Fixture f;
        f.writeFile(name, bin(5, 1));
        f.rig.dialogs.answer(name);
        openLogoFile(f.s());
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(f.rig.dialogs.shown[0].title, QStringLiteral("Открыть Файл Логотипа"));
        QCOMPARE(f.rig.dialogs.shown[0].extra,
                 QStringLiteral("Графика (*bmp,*bin,*pbm)|*.bmp;*.bin;*.pbm|BMP-файлы (*.bmp)|"
                                "*.bmp|Логотипы (*.bin,*.pbm)|*.bin;*.pbm"));
        QCOMPARE(f.field(GraphicField::File), shown);
        QCOMPARE(f.field(GraphicField::Size), QStringLiteral("Размер XY: 5x8"));
        QCOMPARE(f.logo.currentExtension(), QStringLiteral("bin"));
    }

    void openOffersToSaveTheModifiedLogoInItsOwnFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("bin") << "old.bin" << QByteArray::fromHex("06000201 8000");
        QTest::newRow("pbm") << "old.pbm" << QByteArray::fromHex("010200 8000");
    }
    void openOffersToSaveTheModifiedLogoInItsOwnFormat() {
        QFETCH(QString, name);
        QFETCH(QByteArray, saved);
        Fixture f;
        f.writeFile(name, name.endsWith("bin") ? bin(2, 1) : QByteArray::fromHex("010200 0000"));
        f.writeFile("next.bin", bin(9, 2));
        QVERIFY(loadPackedLogoFile(f.s(), name, name.right(3)));
        f.paint(0, 0);
        f.rig.dialogs.answer(MessageAnswer::Yes).answer("next.bin");
        openLogoFile(f.s());
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(f.rig.dialogs.shown[0].title, QStringLiteral("Информация"));
        QCOMPARE(f.rig.dialogs.shown[0].text, unsavedQuestion(f.path(name)));
        QCOMPARE(f.readFile(name), saved);
        QVERIFY(!f.logo.isModified());
        QCOMPARE(f.logo.size(), QSize(9, 16));
    }

    void theSaveOfferRefusesAWidthTheBinCannotHold() {
        Fixture f;
        f.writeFile("old.bin", bin(2, 1));
        QVERIFY(loadPackedLogoFile(f.s(), "old.bin", "bin"));
        f.logo.resizeLogo(QSize(256, 8)); // the width byte would wrap to 0
        f.rig.dialogs.answer(MessageAnswer::Yes);
        openLogoFile(f.s());
        QCOMPARE(f.rig.dialogs.shown.size(), 2); // the failed save ends the command
        QCOMPARE(f.rig.dialogs.shown[1].text,
                 QStringLiteral("Превышение Горизонтального Размера Печати!"));
        QCOMPARE(f.readFile("old.bin"), bin(2, 1));
        QVERIFY(f.logo.isModified());
    }

    void anotherExtensionAsksForAnotherFile() {
        Fixture f;
        f.writeFile("b.bin", bin(3, 1));
        f.rig.dialogs.answer("a.txt").answer(MessageAnswer::Yes).answer("b.bin");
        openLogoFile(f.s());
        QCOMPARE(f.rig.dialogs.shown[1].text,
                 QStringLiteral("Файл типа 'txt открыть невозможно.\n\r Выбрать другой файл?"));
        QCOMPARE(f.logo.size(), QSize(3, 8));
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
    }

    void bmpFilesOfEveryDepthLoadWithTheirColours_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QRgb>("ink");
        QTest::newRow("1 bit") << int(QImage::Format_Mono) << qRgb(0, 0, 0);
        QTest::newRow("8 bit") << int(QImage::Format_Indexed8) << qRgb(120, 0, 0);
        QTest::newRow("24 bit") << int(QImage::Format_RGB888) << qRgb(0, 90, 160);
        QTest::newRow("32 bit") << int(QImage::Format_ARGB32) << qRgb(40, 200, 40);
    }
    void bmpFilesOfEveryDepthLoadWithTheirColours() {
        QFETCH(int, format);
        QFETCH(QRgb, ink);
        QImage image(400, 32, QImage::Format_RGB32);
        image.fill(qRgb(255, 255, 255));
        image.setPixel(399, 31, ink);
        image.setPixel(0, 0, ink);
        image = image.convertToFormat(QImage::Format(format));
        Fixture f;
        f.writeImage("pic.bmp", image);
        f.rig.dialogs.answer("pic.bmp");
        openLogoFile(f.s());
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(f.logo.size(), QSize(400, 32));
        QCOMPARE(f.logo.byteRows(), 4);
        QCOMPARE(f.logo.dotImage().pixel(399, 31), ink);
        QVERIFY(f.logo.isDot(0, 0) && !f.logo.isDot(1, 0));
        QCOMPARE(f.field(GraphicField::Size), QStringLiteral("Размер XY: 400x32"));
    }

    void unusableFilesAreRefusedAndTheOldLogoKept_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("too tall") << "tall.bmp"
                                  << "Файл открыть невозможно. Размер 'Y'>32! (Y=33).";
        QTest::newRow("header claims 20 million columns")
            << "huge.bmp"
            << "Файл открыть невозможно. Размер 'X'>16384! (X=20000000).";
        QTest::newRow("not a bitmap") << "text.bmp"
                                      << "Файл 'text.bmp' не является рисунком BMP или повреждён!";
        QTest::newRow("missing bmp") << "gone.bmp"
                                     << "Файл 'gone.bmp' прочитать невозможно!";
        QTest::newRow("missing bin") << "gone.bin"
                                     << "Файл 'gone.bin' прочитать невозможно!";
        // Stored top row first: a negative height in the header, refused before it is decoded.
        QTest::newRow("top-down, 16384 x 4096") << "down.bmp"
                                                << "Файл открыть невозможно. Размер 'Y'>32! "
                                                   "(Y=4096).";
        const QString notAFile = "Файл '%1' открыть невозможно: это не обычный файл!";
        QTest::newRow("named pipe as bmp") << "pipe.bmp" << notAFile.arg("pipe.bmp");
        QTest::newRow("named pipe as bin") << "pipe.bin" << notAFile.arg("pipe.bin");
        QTest::newRow("device as pbm") << "zero.pbm" << notAFile.arg("zero.pbm");
        QTest::newRow("read fails, bmp") << "mem.bmp"
                                         << "Файл 'mem.bmp' прочитать невозможно!";
        QTest::newRow("read fails, bin") << "mem.bin"
                                         << "Файл 'mem.bin' прочитать невозможно!";
    }
    void unusableFilesAreRefusedAndTheOldLogoKept() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        Fixture f;
        QImage tall(40, 33, QImage::Format_RGB888);
        tall.fill(Qt::black);
        f.writeImage("tall.bmp", tall);
        f.writeFile("text.bmp", "BM not really a bitmap");
        f.writeFile("huge.bmp", hugeBmpHeader(20'000'000));
        f.writeFile("down.bmp", hugeBmpHeader(16384, -4096));
        const bool special = makeSpecialFile(f.path("pipe.bmp"), "pipe") &&
                             makeSpecialFile(f.path("pipe.bin"), "pipe") &&
                             makeSpecialFile(f.path("zero.pbm"), "device") &&
                             makeSpecialFile(f.path("mem.bmp"), "read error") &&
                             makeSpecialFile(f.path("mem.bin"), "read error");
        if (!special && name.contains(QRegularExpression("^(pipe|zero|mem)\\.")))
            QSKIP("no such file on this system");
        f.writeFile("kept.bin", bin(7, 1, "\x01"));
        QVERIFY(loadPackedLogoFile(f.s(), "kept.bin", "bin"));
        f.rig.dialogs.answer(name);
        openLogoFile(f.s());
        QCOMPARE(f.rig.dialogs.last().text, message);
        QCOMPARE(f.rig.dialogs.last().icon, MessageIcon::Error);
        QCOMPARE(f.logo.size(), QSize(7, 8));
        QVERIFY(f.logo.isDot(0, 7));
        QCOMPARE(f.logo.currentFile(), QStringLiteral("kept.bin"));
        QCOMPARE(f.field(GraphicField::File), QStringLiteral(" Файл: kept.bin"));
    }

    void saveAsWritesTheChosenLayout_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("start"); // first bytes of the file; empty: a BMP
        QTest::newRow("BIN 63 x 32") << "one.bin"
                                     << "one.bin" << QByteArray::fromHex("0001 3f04");
        QTest::newRow("BMP") << "one.BMP"
                             << "one.BMP" << QByteArray();
        QTest::newRow("no extension") << "plain"
                                      << "plain.bmp" << QByteArray();
    }
    void saveAsWritesTheChosenLayout() {
        QFETCH(QString, answer);
        QFETCH(QString, file);
        QFETCH(QByteArray, start);
        Fixture f;
        f.logo.newLogo(63, 32);
        f.paint(62, 0);
        f.rig.dialogs.answer(answer);
        saveLogoAs(f.s());
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(f.rig.dialogs.shown[0].title, QStringLiteral("Сохранить Файл Логотипа как..."));
        QCOMPARE(f.rig.dialogs.shown[0].text, QStringLiteral("logo.bmp"));
        const QByteArray bytes = f.readFile(file);
        if (!start.isEmpty()) {
            QCOMPARE(bytes.size(), 256);
            QVERIFY(bytes.startsWith(start));
            QCOMPARE(bytes.right(4), QByteArray::fromHex("00000080"));
        } else {
            QCOMPARE(quint8(bytes[28]), quint8(24)); // bits per pixel
            const QImage saved(f.path(file));
            QCOMPARE(saved.size(), QSize(63, 32));
            QCOMPARE(saved.pixel(62, 0), qRgb(0, 0, 0));
            QCOMPARE(saved.pixel(61, 0), qRgb(255, 255, 255));
        }
        QCOMPARE(f.field(GraphicField::File), "Файл: " + file);
        QCOMPARE(f.logo.currentFile(), file);
        QVERIFY(!f.logo.isModified());
    }

    void saveAsWritesNothingWhenItCannot_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::newRow("txt") << QSize(10, 8) << "x.txt"
                             << "Файл типа 'txt' записать невозможно.\n\r"
                                "Логотип сохраняется в файл BIN или BMP.";
        QTest::newRow("13 logos") << QSize(760, 32) << "x.bin"
                                  << "ПРЕВЫШЕНИЕ РАЗУМНОЙ ДЛИНЫ МАРКИ -\n\rРИСУНОК ЗАЙМЕТ БОЛЕЕ 12 "
                                     "ЛОГОТИПОВ!";
        QTest::newRow("unwritable") << QSize(10, 8) << "no/such/dir/x.bmp"
                                    << "Файл 'x.bmp' записать невозможно!";
    }
    void saveAsWritesNothingWhenItCannot() {
        QFETCH(QSize, size);
        QFETCH(QString, answer);
        QFETCH(QString, message);
        Fixture f;
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::black);
        f.logo.loadPicture(picture);
        f.logo.invert();
        f.rig.status.setField(GraphicField::File, "before");
        f.rig.dialogs.answer(answer);
        saveLogoAs(f.s());
        QCOMPARE(f.rig.dialogs.messages().isEmpty(), message.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(f.rig.dialogs.last().text, message);
        QCOMPARE(QDir(f.rig.dir.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(f.field(GraphicField::File), QStringLiteral("before"));
        QVERIFY(f.logo.isModified());
    }

    // The save dialog only knows the typed name: the command asks about the files it will
    // really write, and "Нет" writes none of them.
    void saveAsAsksAboutTheFilesItWouldReplace_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("question");
        QTest::newRow(".bmp added") << QSize(10, 8) << "plain" << QStringList{"plain.bmp"}
                                    << "Файл 'plain.bmp' уже существует. Перезаписать?";
        QTest::newRow("one part of a split")
            << QSize(100, 32) << "wide.bin" << QStringList{"wide_2.bin"}
            << "Файл 'wide_2.bin' уже существует. Перезаписать?";
        QTest::newRow("both parts of a split")
            << QSize(100, 32) << "wide.bin" << QStringList{"wide_1.bin", "wide_2.bin"}
            << "Файлы уже существуют:\n\r-  wide_1.bin\n\r-  wide_2.bin\n\rПерезаписать?";
    }
    void saveAsAsksAboutTheFilesItWouldReplace() {
        QFETCH(QSize, size);
        QFETCH(QString, typed);
        QFETCH(QStringList, existing);
        QFETCH(QString, question);
        Fixture f;
        f.logo.newLogo(size.width(), size.height());
        f.paint(0, 0);
        for (const QString& name : existing)
            f.writeFile(name, "old");
        f.rig.dialogs.answer(typed).answer(MessageAnswer::No);
        saveLogoAs(f.s());
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(f.rig.dialogs.lastOverwriteCheck, Dialogs::OverwriteCheck::ByCaller);
        QCOMPARE(f.rig.dialogs.last().title, QStringLiteral("ПРЕДУПРЕЖДЕНИЕ"));
        QCOMPARE(f.rig.dialogs.last().text, question);
        QCOMPARE(QDir(f.rig.dir.path()).entryList(QDir::Files), existing);
        for (const QString& name : existing)
            QCOMPARE(f.readFile(name), QByteArray("old"));
        QVERIFY(f.logo.isModified());

        f.rig.dialogs.answer(typed).answer(MessageAnswer::Yes);
        if (size.width() > 63)
            f.rig.dialogs.answer(MessageAnswer::No); // not opening part 1
        saveLogoAs(f.s());
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        for (const QString& name : existing)
            QVERIFY(f.readFile(name) != QByteArray("old"));
        QVERIFY(!f.logo.isModified());
    }

    void nothingToSaveBeforeAnyChange() {
        Fixture f;
        saveLogoAs(f.s());
        QCOMPARE(f.rig.dialogs.shown.size(), 1);
        QCOMPARE(f.rig.dialogs.last().title, QStringLiteral("ПУСТОЙ ЛОГОТИП"));
        QCOMPARE(f.rig.dialogs.last().text, QStringLiteral("Извините, но сохранять пока нечего!"));
    }

    void aFailedSaveKeepsTheOldFileAndTheFlag() {
        Fixture f;
        f.writeFile("kept.bin", bin(7, 1, "\x01"));
        QVERIFY(loadPackedLogoFile(f.s(), "kept.bin", "bin"));
        QVERIFY(QDir(f.rig.dir.path()).mkdir("taken.bin"));
        f.logo.invert();
        f.rig.dialogs.answer("taken.bin");
        saveLogoAs(f.s());
        QCOMPARE(f.rig.dialogs.last().text,
                 QStringLiteral("Файл 'taken.bin' записать невозможно!"));
        QVERIFY(f.logo.isModified());
        QCOMPARE(f.logo.currentFile(), QStringLiteral("kept.bin"));
        QVERIFY(QFileInfo(f.path("taken.bin")).isDir());
    }
};

QTEST_MAIN(TestLogoFiles)
#include "tst_logo_files.moc"
