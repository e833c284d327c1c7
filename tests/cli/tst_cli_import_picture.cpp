// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_commands.h"
#include "logos/picture_files.h"
#include "test_rig.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <cstdio>

namespace {

struct Run {
    int code = 0;
    QByteArray out;
    QByteArray err;
};

QByteArray readBack(std::FILE* f) {
    QByteArray bytes;
    std::rewind(f);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.append(buffer, qsizetype(n));
    std::fclose(f);
    return bytes;
}

Run run(TestRig& rig, const QStringList& arguments) {
    std::FILE* o = std::tmpfile();
    std::FILE* e = std::tmpfile();
    Run r;
    r.code = cli::runCli(arguments, {rig.port, rig.clock, rig.catalogue, o, e, {}});
    r.out = readBack(o);
    r.err = readBack(e);
    return r;
}

// 400 x 100 white with the left quarter black.
QString quarterBlackPng(const TestRig& rig) {
    QImage picture(400, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    const QString name = rig.dir.filePath(QStringLiteral("in.png"));
    picture.save(name);
    return name;
}

} // namespace

class TestCliImportPicture : public QObject {
    Q_OBJECT
private slots:
    void writesTheLogoFileAndSaysItsSizeAndDots() {
        TestRig rig;
        const QString in = quarterBlackPng(rig);
        const QString out = rig.dir.filePath(QStringLiteral("logo.bin"));
        const Run r = run(rig, {"--json", "import-picture", in, out, "--height", "16"});
        QCOMPARE(r.code, 0);
        const QJsonObject json = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(json.value("width").toInt(), 64);
        QCOMPARE(json.value("height").toInt(), 16);
        QCOMPARE(json.value("dots").toInt(), 16 * 16);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const logos::PackedDecode bin = logos::decodeBin(f.readAll());
        QVERIFY(bin.ok());
        QCOMPARE(bin.picture.width, 64);
        QCOMPARE(bin.picture.byteRows, 2);
        QCOMPARE(bin.picture.columns.left(2), QByteArray("\xff\xff"));
        QCOMPARE(bin.picture.columns.mid(32, 2), QByteArray(2, '\0'));
        // Windows cannot replace a file that is still open.
        f.close();

        const Run plain = run(rig, {"import-picture", in, out, "--height", "16", "--invert"});
        QCOMPARE(plain.code, 0);
        QCOMPARE(QString::fromUtf8(plain.out),
                 out + QStringLiteral(": 64 x 16 точек, активных капель: 768\n"));
    }

    void refusalsWriteNothing_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("too wide for one BIN")
            << QStringList{} << "wide.bin" << 2
            << "inkwick-cli: логотип 128x32 не помещается в ячейку Маркиратора (512 байт, "
               "допустимо не более 252): сохраните его в .pbm или .bmp или уменьшите --height\n";
        QTest::newRow("height 33") << QStringList{"--height", "33"} << "a.pbm" << 2
                                   << "inkwick-cli: --height: высота - от 1 до 32 точек\n";
        QTest::newRow("unknown dithering") << QStringList{"--dither", "random"} << "a.pbm" << 2
                                           << "inkwick-cli: --dither: none, fs или bayer\n";
        QTest::newRow("png out") << QStringList{} << "a.png" << 2
                                 << "inkwick-cli: 'OUT': файл результата - .bin, .pbm или .bmp\n";
        QTest::newRow("folder missing") << QStringList{} << "no/such/dir/a.bmp" << 3
                                        << "inkwick-cli: Файл 'a.bmp' записать невозможно!\n";
    }
    void refusalsWriteNothing() {
        QFETCH(QStringList, options);
        QFETCH(QString, out);
        QFETCH(int, code);
        QFETCH(QString, message);
        TestRig rig;
        const QString in = quarterBlackPng(rig);
        const QString path = rig.dir.filePath(out);
        const Run r = run(rig, QStringList{"import-picture", in, path} + options);
        QCOMPARE(r.code, code);
        QCOMPARE(QString::fromUtf8(r.err), QString(message).replace("OUT", path));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestCliImportPicture)
#include "tst_cli_import_picture.moc"
