// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editor_commands.h"
#include "logos/logo_document.h"
#include "logos/zoom_picture.h"
#include "test_rig.h"

#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

using namespace platform;
using namespace printerlink;

using logos::LogoDocument;

namespace {

constexpr QRgb Black = 0xff000000u;
constexpr QRgb White = 0xffffffffu;

struct Fixture {
    TestRig rig;
    LogoDocument logo;
    Fixture() { rig.session.logo = &logo; }
    Session& s() { return rig.session; }
    QString sizeField() const { return rig.status.field(GraphicField::Size); }
    // Dots at the logo's four corners.
    void markCorners() {
        const int x = logo.width() - 1, y = logo.height() - 1;
        for (QPoint p : {QPoint(0, 0), QPoint(x, 0), QPoint(0, y), QPoint(x, y)})
            logo.setDot(p.x(), p.y(), true);
    }
    QList<QPoint> dots() const {
        QList<QPoint> out;
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < logo.width(); ++x)
                if (logo.isDot(x, y))
                    out.append(QPoint(x, y));
        return out;
    }
    bool zoomAgrees() const {
        const QImage zoom = logos::zoomPicture(logo.dotImage(), logo.size(),
                                               QRect(0, 0, logos::ZoomWidth, logos::ZoomHeight));
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < std::min(logo.width(), logos::ZoomColumns); ++x)
                if (zoom.pixel(10 * x + 5, 10 * y + 5) !=
                    (logo.isDot(x, y) ? Black : logos::LogoAreaColour))
                    return false;
        return true;
    }
};

using Points = QList<QPoint>;

} // namespace

class TestEditorCommands : public QObject {
    Q_OBJECT
private slots:
    void heightChangesAnchorTheLogoBottomLeft_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Points>("dots");
        QTest::newRow("24 to 32: rows move down")
            << "32" << QSize(64, 32) << Points{{0, 8}, {63, 8}, {0, 31}, {63, 31}};
        QTest::newRow("24 to 16: top rows dropped")
            << "16" << QSize(64, 16) << Points{{0, 15}, {63, 15}};
        QTest::newRow("20 rounds to 24")
            << "20" << QSize(64, 24) << Points{{0, 0}, {63, 0}, {0, 23}, {63, 23}};
    }
    void heightChangesAnchorTheLogoBottomLeft() {
        QFETCH(QString, answer);
        QFETCH(QSize, size);
        QFETCH(Points, dots);
        Fixture f;
        f.markCorners();
        f.rig.dialogs.answer(answer);
        editor::changeLogoHeight(f.s());
        QCOMPARE(f.rig.dialogs.shown[0].title, QStringLiteral("Изменение Размеров Логотипа"));
        QCOMPARE(f.rig.dialogs.shown[0].text,
                 QStringLiteral("Введите размер 'Y', точек (не более 32)"));
        QCOMPARE(f.rig.dialogs.shown[0].extra, QStringLiteral("24"));
        QCOMPARE(f.logo.size(), size);
        QCOMPARE(f.logo.byteRows(), size.height() / 8);
        QCOMPARE(f.logo.pendingSize(), size);
        QCOMPARE(f.dots(), dots);
        QVERIFY(f.zoomAgrees());
        QCOMPARE(f.logo.isModified(), size != QSize(64, 24)); // the same size changes nothing
        QCOMPARE(f.sizeField(),
                 QStringLiteral("XY-size = %1:%2").arg(size.width()).arg(size.height()));
    }

    void refusedSizesChangeNothing_data() {
        QTest::addColumn<bool>("width");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("status");
        QTest::newRow("width 300") << true << "300"
                                   << "XY-size = 64:24";
        QTest::newRow("width 0") << true << "0"
                                 << "XY-size = 64:24";
        QTest::newRow("width -5") << true << "-5"
                                  << "XY-size = 64:24";
        QTest::newRow("width cancelled") << true << ""
                                         << "";
        QTest::newRow("height 33") << false << "33"
                                   << "";
        QTest::newRow("height 0") << false << "0"
                                  << "";
        QTest::newRow("height cancelled") << false << ""
                                          << "";
    }
    void refusedSizesChangeNothing() {
        QFETCH(bool, width);
        QFETCH(QString, answer);
        QFETCH(QString, status);
        Fixture f;
        f.markCorners();
        f.rig.dialogs.answer(answer);
        width ? editor::changeLogoWidth(f.s()) : editor::changeLogoHeight(f.s());
        QCOMPARE(f.logo.size(), QSize(64, 24));
        QCOMPARE(f.dots().size(), 4);
        QVERIFY(!f.logo.isModified());
        QVERIFY(!f.logo.canUndo());
        QCOMPARE(f.sizeField(), status);
    }

    void narrowingAndWideningAgain() {
        Fixture f;
        f.markCorners();
        f.logo.setDot(9, 5, true);
        f.logo.setDot(10, 5, true);
        f.rig.dialogs.answer("10").answer("64");
        editor::changeLogoWidth(f.s());
        QCOMPARE(f.rig.dialogs.shown[0].text,
                 QStringLiteral("Введите размер 'X', точек (не более 256)"));
        QCOMPARE(f.rig.dialogs.shown[0].extra, QStringLiteral("64"));
        QCOMPARE(f.sizeField(), QStringLiteral("XY-size = 10:24"));
        editor::changeLogoWidth(f.s());
        QCOMPARE(f.logo.size(), QSize(64, 24));
        QCOMPARE(f.dots(), (Points{{0, 0}, {9, 5}, {0, 23}}));
        QVERIFY(f.zoomAgrees());
    }

    void resizingAColourPicture() {
        QImage picture(8000, 32, QImage::Format_RGB32);
        picture.fill(qRgb(250, 250, 200));
        picture.setPixel(0, 31, qRgb(60, 60, 60));
        picture.setPixel(255, 0, qRgb(0, 0, 150));
        picture.setPixel(256, 0, qRgb(0, 0, 150));
        Fixture f;
        f.logo.loadPicture(picture);
        // The same size keeps the picture's own colours.
        f.rig.dialogs.answer("32").answer("256");
        editor::changeLogoHeight(f.s());
        QCOMPARE(f.logo.dotImage().pixel(0, 31), qRgb(60, 60, 60));
        // Any real change keeps the dots, in black and white, however wide the picture was.
        editor::changeLogoWidth(f.s());
        QCOMPARE(f.logo.size(), QSize(256, 32));
        QCOMPARE(f.dots(), (Points{{255, 0}, {0, 31}}));
        QCOMPARE(f.logo.dotImage().pixel(0, 31), Black);
        QCOMPARE(f.logo.dotImage().pixel(1, 31), White);
    }

    void invertingTwiceGivesTheSameDots() {
        Fixture f;
        f.markCorners();
        editor::invertLogo(f.s());
        QCOMPARE(f.dots().size(), 64 * 24 - 4);
        QVERIFY(!f.logo.isDot(63, 23));
        QVERIFY(f.zoomAgrees());
        editor::invertLogo(f.s());
        QCOMPARE(f.dots(), (Points{{0, 0}, {63, 0}, {0, 23}, {63, 23}}));
        QVERIFY(f.logo.isModified());
    }

    void clearingEmptiesTheCurrentArea() {
        Fixture f;
        f.markCorners();
        f.logo.setPendingSize(QSize(5, 8));
        editor::clearLogoArea(f.s());
        QCOMPARE(f.logo.size(), QSize(64, 24));
        QVERIFY(f.dots().isEmpty());
        QVERIFY(f.logo.isModified());
        QCOMPARE(f.logo.dotImage().pixel(63, 23), White);
        QVERIFY(f.zoomAgrees());
    }

    void dotCountTakesOnlyPureBlack_data() {
        QTest::addColumn<QRgb>("ink");
        QTest::addColumn<QString>("text");
        QTest::newRow("black") << qRgb(0, 0, 0) << "Число активных капель в бит-карте:  3  ";
        QTest::newRow("dark grey") << qRgb(40, 40, 40) << "Число активных капель в бит-карте:  0  ";
    }
    void dotCountTakesOnlyPureBlack() {
        QFETCH(QRgb, ink);
        QFETCH(QString, text);
        QImage picture(20, 16, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int x : {0, 5, 19})
            picture.setPixel(x, 15, ink);
        Fixture f;
        f.logo.loadPicture(picture);
        editor::countLogoDots(f.s());
        QCOMPARE(f.rig.dialogs.last().title, QStringLiteral("Параметры Марки"));
        QCOMPARE(f.rig.dialogs.last().text, text);
        QCOMPARE(f.rig.dialogs.last().icon, MessageIcon::Information);
    }

    void undoTakesBackOneStepAtATime() {
        Fixture f;
        f.markCorners();
        f.logo.paintDot(5, 5, true);
        f.logo.paintDot(6, 5, true);
        f.rig.dialogs.answer("16");
        editor::changeLogoHeight(f.s());
        editor::invertLogo(f.s());
        editor::clearLogoArea(f.s());
        QVERIFY(f.dots().isEmpty());

        editor::undoLogoChange(f.s()); // the clear
        QCOMPARE(f.dots().size(), 64 * 16 - 2);
        editor::undoLogoChange(f.s()); // the invert
        QCOMPARE(f.dots(), (Points{{0, 15}, {63, 15}}));
        editor::undoLogoChange(f.s()); // the resize
        QCOMPARE(f.logo.size(), QSize(64, 24));
        QCOMPARE(f.sizeField(), QStringLiteral("XY-size = 64:24"));
        QCOMPARE(f.dots(), (Points{{0, 0}, {63, 0}, {5, 5}, {6, 5}, {0, 23}, {63, 23}}));
        QVERIFY(f.zoomAgrees());
        editor::undoLogoChange(f.s()); // the stroke
        QCOMPARE(f.dots().size(), 4);
        QVERIFY(f.zoomAgrees());

        f.rig.status.clearFields();
        editor::undoLogoChange(f.s()); // nothing left
        QCOMPARE(f.dots().size(), 4);
        QVERIFY(f.rig.status.noFields());
    }

    // Modified means "away from the state last loaded or saved", whichever way the history went.
    void theModifiedFlagFollowsTheSavedState() {
        Fixture f;
        QSignalSpy modified(&f.logo, &LogoDocument::modifiedChanged);
        f.logo.paintDot(0, 0, true);
        f.logo.paintDot(0, 0, false); // a stroke that ends where it began is no change
        f.logo.endStroke();
        QVERIFY(!f.logo.isModified() && !f.logo.canUndo());
        f.logo.paintDot(1, 1, true);
        f.logo.markSaved();
        QVERIFY(!f.logo.isModified());
        f.rig.dialogs.answer("16");
        editor::changeLogoHeight(f.s());
        editor::invertLogo(f.s());
        QVERIFY(f.logo.isModified());
        editor::undoLogoChange(f.s());
        editor::undoLogoChange(f.s());
        QVERIFY(!f.logo.isModified()); // back at the saved dots
        editor::undoLogoChange(f.s());
        QVERIFY(f.logo.isModified()); // before the save
        QVERIFY(!f.logo.isDot(1, 1));
        // Redo works again from the state before each step.
        f.logo.undoStack()->redo();
        f.logo.undoStack()->redo();
        f.logo.undoStack()->redo();
        QCOMPARE(f.logo.size(), QSize(64, 16));
        QCOMPARE(f.dots().size(), 64 * 16);
        QCOMPARE(modified.size(), 9); // every crossing of the saved state, both ways
        QCOMPARE(modified.last().first().toBool(), true);
    }

    void anotherLogoStartsAFreshHistory() {
        Fixture f;
        editor::invertLogo(f.s());
        QVERIFY(f.logo.canUndo());
        f.logo.drawPackedLogo(QByteArray(4, '\x01'), 4, 1);
        QVERIFY(!f.logo.canUndo());
        editor::undoLogoChange(f.s());
        QCOMPARE(f.dots().size(), 4);
        f.logo.paintDot(0, 0, true);
        f.logo.newLogo(8, 8);
        QVERIFY(!f.logo.canUndo());
    }
};

QTEST_MAIN(TestEditorCommands)
#include "tst_editor_commands.moc"
