// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/column_packing.h"
#include "logos/dot_test.h"
#include "logos/logo_document.h"
#include "logos/zoom_picture.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace logos;

namespace {

QImage wholeZoom(const LogoDocument& logo) {
    return zoomPicture(logo.dotImage(), logo.size(), QRect(0, 0, ZoomWidth, ZoomHeight));
}

QImage whiteColumn(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

class TestLogoBitmap : public QObject {
    Q_OBJECT
private slots:
    void dotTestThresholds_data() {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<bool>("dot");
        QTest::newRow("red just dark") << qRgb(169, 255, 255) << true;
        QTest::newRow("green just dark") << qRgb(255, 169, 255) << true;
        QTest::newRow("blue just dark") << qRgb(255, 255, 169) << true;
        QTest::newRow("all at 170") << qRgb(170, 170, 170) << false;
        QTest::newRow("unset zoom colour") << qRgb(200, 200, 210) << false;
        QTest::newRow("dark grey") << qRgb(60, 60, 60) << true;
        QTest::newRow("white") << qRgb(255, 255, 255) << false;
    }
    void dotTestThresholds() {
        QFETCH(QRgb, pixel);
        QFETCH(bool, dot);
        QCOMPARE(isDotPixel(pixel), dot);
    }

    // One column with a single dot, at each edge height: where the bit lands.
    void singleDotPacking_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("packed");
        QTest::newRow("16 high, bottom dot") << 16 << 15 << QByteArray::fromHex("0100");
        QTest::newRow("16 high, top dot") << 16 << 0 << QByteArray::fromHex("0080");
        QTest::newRow("20 high, top dot") << 20 << 0 << QByteArray::fromHex("000008");
        QTest::newRow("20 high, row 3") << 20 << 3 << QByteArray::fromHex("000001");
        QTest::newRow("20 high, row 4") << 20 << 4 << QByteArray::fromHex("008000");
        QTest::newRow("1 high") << 1 << 0 << QByteArray::fromHex("01");
        QTest::newRow("7 high, top") << 7 << 0 << QByteArray::fromHex("40");
        QTest::newRow("8 high, top") << 8 << 0 << QByteArray::fromHex("80");
        QTest::newRow("9 high, top") << 9 << 0 << QByteArray::fromHex("0001");
        QTest::newRow("15 high, top") << 15 << 0 << QByteArray::fromHex("0040");
        QTest::newRow("17 high, top") << 17 << 0 << QByteArray::fromHex("000001");
        QTest::newRow("31 high, top") << 31 << 0 << QByteArray::fromHex("00000040");
        QTest::newRow("32 high, top") << 32 << 0 << QByteArray::fromHex("00000080");
        QTest::newRow("32 high, bottom") << 32 << 31 << QByteArray::fromHex("01000000");
    }
    void singleDotPacking() {
        QFETCH(int, height);
        QFETCH(int, row);
        QFETCH(QByteArray, packed);
        QImage image = whiteColumn(1, height);
        image.setPixel(0, row, qRgb(0, 0, 0));
        QCOMPARE(packLogoColumns(image, 0, 1, height), packed);
    }

    void aShortLogoFullyDarkLeavesTheTopBitsClear() {
        QImage image(3, 20, QImage::Format_RGB32);
        image.fill(qRgb(10, 10, 10));
        QCOMPARE(packLogoColumns(image, 0, 3, 20), QByteArray::fromHex("ffff0f ffff0f ffff0f"));
        // The split packs from row 8R - 1: the rows below the logo read as unset.
        QCOMPARE(packColumns(image, 1, 1, 20, 3, 23), QByteArray::fromHex("f0ffff"));
    }

    void columnsOutsideThePictureAreEmpty() {
        QImage image(2, 8, QImage::Format_RGB32);
        image.fill(Qt::black);
        QCOMPARE(packLogoColumns(image, 1, 3, 8), QByteArray::fromHex("ff0000"));
    }

    // Any dots, any width and byte rows: packing what was drawn gives back the same bytes.
    void drawThenPackRoundTrips_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("rows");
        for (int width : {1, 7, 8, 9, 63, 250, 819, 1664})
            for (int rows = 1; rows <= 4; ++rows)
                QTest::addRow("%dx%d", width, 8 * rows) << width << rows;
    }
    void drawThenPackRoundTrips() {
        QFETCH(int, width);
        QFETCH(int, rows);
        QByteArray packed(width * rows, '\0');
        QRandomGenerator random(width * 7 + rows);
        for (char& byte : packed)
            byte = char(random.bounded(256));
        LogoDocument logo;
        logo.drawPackedLogo(packed, width, rows);
        QCOMPARE(logo.size(), QSize(width, 8 * rows));
        QCOMPARE(logo.pendingSize(), QSize(width, 8 * rows));
        QCOMPARE(logo.packColumns(0, width), packed);
        // The zoom picture agrees with the dot image where it shows the logo.
        const QImage zoom = wholeZoom(logo);
        for (int x = 0; x < std::min(width, ZoomColumns); x += 13)
            for (int y = 0; y < 8 * rows; ++y)
                QCOMPARE(zoom.pixel(10 * x + 5, 10 * y + 5),
                         logo.isDot(x, y) ? DotColour : LogoAreaColour);
    }

    void drawingShortDataLeavesTheRestUnset() {
        LogoDocument logo;
        logo.drawPackedLogo(QByteArray::fromHex("ff"), 3, 1);
        QCOMPARE(logo.packColumns(0, 3), QByteArray::fromHex("ff0000"));
    }

    void clearLogoPaintsTheEmptyPictures() {
        LogoDocument logo;
        logo.setDot(3, 3, true);
        logo.clearLogo(5, 8);
        const QImage& dots = logo.dotImage();
        QCOMPARE(dots.pixel(4, 7), NoDotColour);
        QCOMPARE(dots.pixel(5, 0), BackgroundColour);
        QCOMPARE(dots.pixel(0, 8), BackgroundColour);
        QCOMPARE(dots.pixel(779, 31), BackgroundColour);
        const QImage zoom = zoomPicture(dots, QSize(5, 8), QRect(0, 0, ZoomWidth, ZoomHeight));
        QCOMPARE(zoom.pixel(35, 35), LogoAreaColour); // dot (3, 3), cleared
        QCOMPARE(zoom.pixel(55, 5), BackgroundColour);
        QCOMPARE(zoom.pixel(50, 5), GridColour);
        QCOMPARE(zoom.pixel(8190, 320), GridColour);
        QCOMPARE(zoom.pixel(8191, 325), BackgroundColour);
        QCOMPARE(zoom.pixel(5, 90), GridColour);
    }

    void aDotReportsOnlyItsCell() {
        LogoDocument logo;
        QSignalSpy zoom(&logo, &LogoDocument::zoomChanged);
        QSignalSpy dots(&logo, &LogoDocument::dotImageChanged);
        logo.setDot(63, 23, true);
        logo.setDot(64, 0, true); // outside the 64 x 24 logo
        QCOMPARE(zoom.size(), 1);
        QCOMPARE(zoom.first().first().toRect(), QRect(630, 230, 10, 10));
        QCOMPARE(dots.first().first().toRect(), QRect(63, 23, 1, 1));
        const QImage picture = wholeZoom(logo);
        QCOMPARE(picture.pixel(631, 231), DotColour);
        QCOMPARE(picture.pixel(639, 239), DotColour);
        QCOMPARE(picture.pixel(640, 239), GridColour);
    }

    void aColourPictureKeepsItsColours() {
        QImage picture(900, 20, QImage::Format_RGB32);
        picture.fill(qRgb(250, 240, 180));
        picture.setPixel(0, 19, qRgb(200, 0, 0));
        picture.setPixel(899, 0, qRgb(0, 0, 90));
        LogoDocument logo;
        QSignalSpy home(&logo, &LogoDocument::scrollHomeRequested);
        logo.setPendingSize(QSize(7, 8));
        logo.loadPicture(picture);
        QCOMPARE(logo.size(), QSize(900, 20));
        QCOMPARE(logo.byteRows(), 3);
        QCOMPARE(logo.pendingSize(), QSize(7, 8));
        QCOMPARE(logo.dotImage().pixel(0, 19), qRgb(200, 0, 0));
        QCOMPARE(logo.dotImage().pixel(899, 0), qRgb(0, 0, 90));
        QCOMPARE(wholeZoom(logo).pixel(5, 195), DotColour);
        QCOMPARE(wholeZoom(logo).pixel(15, 195), LogoAreaColour);
        QCOMPARE(logo.packColumns(0, 1), QByteArray::fromHex("010000"));
        QCOMPARE(logo.packColumns(899, 1), QByteArray::fromHex("000008"));
        QCOMPARE(home.size(), 1);
    }
};

QTEST_MAIN(TestLogoBitmap)
#include "tst_logo_bitmap.moc"
