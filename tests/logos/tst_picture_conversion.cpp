// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/logo_document.h"
#include "logos/picture_conversion.h"

#include <QPainter>
#include <QTest>

using namespace logos;

namespace {

QImage whitePicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return picture;
}

bool isDot(const QImage& dots, int x, int y) {
    return dots.pixel(x, y) == DotColour;
}

double dotShare(const ConvertedPicture& c) {
    return double(c.dotCount) / (c.dots.width() * c.dots.height());
}

} // namespace

class TestPictureConversion : public QObject {
    Q_OBJECT
private slots:
    // A square covering the middle half of a 320 x 320 picture: every cell wholly inside it is
    // a dot, every cell wholly outside is not, and no pixel is anything but black or white.
    void blackSquareComesOutBlackAndWhiteAtEveryHeight() {
        QImage picture = whitePicture(320, 320);
        QPainter(&picture).fillRect(80, 80, 160, 160, Qt::black);
        const WorkingPicture working = workingPicture(picture);
        for (int height = 1; height <= 32; ++height) {
            ConversionOptions options;
            options.height = height;
            const ConvertedPicture c = convertWorking(working, options);
            QCOMPARE(c.dots.size(), QSize(height, height));
            const double cell = 320.0 / height;
            int dots = 0;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < height; ++x) {
                    const QRgb p = c.dots.pixel(x, y);
                    QVERIFY2(p == DotColour || p == NoDotColour, qPrintable(QString::number(p)));
                    dots += p == DotColour;
                    const bool inside = x * cell >= 80 && (x + 1) * cell <= 240 && y * cell >= 80 &&
                                        (y + 1) * cell <= 240;
                    const bool outside = (x + 1) * cell <= 80 || x * cell >= 240 ||
                                         (y + 1) * cell <= 80 || y * cell >= 240;
                    if (inside)
                        QVERIFY2(
                            isDot(c.dots, x, y),
                            qPrintable(
                                QStringLiteral("height %1 (%2,%3)").arg(height).arg(x).arg(y)));
                    if (outside)
                        QVERIFY2(
                            !isDot(c.dots, x, y),
                            qPrintable(
                                QStringLiteral("height %1 (%2,%3)").arg(height).arg(x).arg(y)));
                }
            }
            QCOMPARE(c.dotCount, dots);
        }
    }

    // Trimmed, the same square fills the whole result.
    void trimDropsWhiteMarginsBeforeScaling() {
        QImage picture = whitePicture(320, 200);
        QPainter(&picture).fillRect(100, 50, 80, 40, Qt::black);
        ConversionOptions options;
        options.height = 16;
        options.trim = true;
        const ConvertedPicture c = convertPicture(picture, options);
        QCOMPARE(c.dots.size(), QSize(32, 16));
        QCOMPARE(c.dotCount, 32 * 16);
        options.invert = true;
        QCOMPARE(convertPicture(picture, options).dotCount, 0);
    }

    void halfGreyDithersToAboutHalfTheDots_data() {
        QTest::addColumn<int>("dithering");
        QTest::addColumn<int>("height");
        QTest::newRow("Floyd-Steinberg 32") << int(Dithering::FloydSteinberg) << 32;
        QTest::newRow("Floyd-Steinberg 7") << int(Dithering::FloydSteinberg) << 7;
        QTest::newRow("Bayer 32") << int(Dithering::Bayer) << 32;
        QTest::newRow("Bayer 13") << int(Dithering::Bayer) << 13;
    }
    void halfGreyDithersToAboutHalfTheDots() {
        QFETCH(int, dithering);
        QFETCH(int, height);
        QImage picture(600, 300, QImage::Format_RGB32);
        picture.fill(qRgb(128, 128, 128));
        ConversionOptions options;
        options.height = height;
        options.dithering = Dithering(dithering);
        const ConvertedPicture c = convertPicture(picture, options);
        QVERIFY2(dotShare(c) >= 0.45 && dotShare(c) <= 0.55,
                 qPrintable(QString::number(dotShare(c))));
        // Without dithering a flat grey is all or nothing.
        options.dithering = Dithering::None;
        const double flat = dotShare(convertPicture(picture, options));
        QVERIFY(flat == 0.0 || flat == 1.0);
    }

    // A one-pixel line in a picture eight times the height leaves a row of dots wherever it
    // falls within its cell; sampling one pixel in eight would miss it seven times in eight.
    void onePixelLineSurvivesEightToOne_data() {
        QTest::addColumn<int>("row");
        for (int row : {0, 3, 7, 100, 131, 255})
            QTest::addRow("row %d", row) << row;
    }
    void onePixelLineSurvivesEightToOne() {
        QFETCH(int, row);
        QImage picture = whitePicture(512, 256);
        QPainter(&picture).fillRect(0, row, 512, 1, Qt::black);
        const ConvertedPicture c = convertPicture(picture, {});
        QCOMPARE(c.dots.size(), QSize(64, 32));
        for (int x = 0; x < 64; ++x)
            QVERIFY2(isDot(c.dots, x, row / 8), qPrintable(QString::number(x)));
        QCOMPARE(c.dotCount, 64);
    }

    // Black pixels made fully transparent are paper, half-transparent black is grey.
    void transparentAreasAreWhite() {
        QImage picture(200, 100, QImage::Format_ARGB32);
        picture.fill(qRgba(0, 0, 0, 0));
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 50; ++x)
                picture.setPixel(x, y, qRgba(0, 0, 0, 255));
        ConversionOptions options;
        options.height = 10;
        options.threshold = 128;
        const ConvertedPicture c = convertPicture(picture, options);
        QCOMPARE(c.dots.size(), QSize(20, 10));
        QCOMPARE(c.dotCount, 5 * 10);
        picture.fill(qRgba(0, 0, 0, 100));
        QCOMPARE(convertPicture(picture, options).dotCount, 0);
        picture.fill(qRgba(0, 0, 0, 160));
        QCOMPARE(convertPicture(picture, options).dotCount, 200);
    }

    void otsuSeparatesTwoLevelsInTheMiddle_data() {
        QTest::addColumn<int>("dark");
        QTest::addColumn<int>("light");
        QTest::addColumn<int>("threshold");
        QTest::newRow("black and white") << 0 << 255 << 128;
        QTest::newRow("two greys") << 100 << 200 << 151;
        QTest::newRow("one level") << 90 << 90 << 128;
    }
    void otsuSeparatesTwoLevelsInTheMiddle() {
        QFETCH(int, dark);
        QFETCH(int, light);
        QFETCH(int, threshold);
        LuminancePlane plane;
        plane.width = 10;
        plane.height = 1;
        for (int i = 0; i < 10; ++i)
            plane.values.push_back(float(i < 3 ? dark : light));
        QCOMPARE(otsuThreshold(plane), threshold);
    }

    void sizeFollowsTheAspectRatioOrTheWidthGiven() {
        const WorkingPicture wide = workingPicture(whitePicture(4000, 250));
        ConversionOptions options;
        options.height = 20;
        QCOMPARE(resultSize(wide, options), QSize(320, 20));
        options.width = 50;
        QCOMPARE(resultSize(wide, options), QSize(50, 20));
        options.width = 0;
        // Squeezed harder across than down in the working picture, still by the source's ratio.
        const WorkingPicture banner = workingPicture(whitePicture(20000, 300));
        QCOMPARE(resultSize(banner, options), QSize(1333, 20));
        const WorkingPicture longer = workingPicture(whitePicture(30000, 150));
        QCOMPARE(resultSize(longer, options), QSize(MaxImportWidth, 20));
        const WorkingPicture tall = workingPicture(whitePicture(30, 3000));
        QCOMPARE(resultSize(tall, options), QSize(1, 20));
    }
};

QTEST_MAIN(TestPictureConversion)
#include "tst_picture_conversion.moc"
