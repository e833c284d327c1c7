// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/graphic_window.h"
#include "logos/logo_document.h"
#include "test_rig.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

using namespace platform;
using namespace printerlink;

using logos::LogoDocument;

namespace {

constexpr QRgb Black = 0xff000000u;
constexpr QRgb White = 0xffffffffu;
constexpr QRgb Unset = 0xffc8c8d2u;

} // namespace

class TestGraphicWindow : public QObject {
    Q_OBJECT

    struct Fixture {
        TestRig rig;
        LogoDocument logo;
        editor::GraphicWindow window{rig.session};
        Fixture() : window(init(rig, logo)) { window.resize(800, 450); }
        static Session& init(TestRig& rig, LogoDocument& logo) {
            rig.session.logo = &logo;
            rig.session.mode = WindowMode::Logo;
            return rig.session;
        }
        // A pointer event at a position in the window's client area.
        void press(QPoint windowPos, Qt::MouseButton button,
                   Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QTest::mousePress(window.zoomCanvas(), button, mods,
                              window.zoomCanvas()->mapFrom(&window, windowPos));
        }
        void release(QPoint windowPos, Qt::MouseButton button) {
            QTest::mouseRelease(window.zoomCanvas(), button, Qt::NoModifier,
                                window.zoomCanvas()->mapFrom(&window, windowPos));
        }
        void move(QPoint windowPos, Qt::MouseButtons buttons,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
            const QPoint local = window.zoomCanvas()->mapFrom(&window, windowPos);
            QMouseEvent event(QEvent::MouseMove, local, window.zoomCanvas()->mapToGlobal(local),
                              Qt::NoButton, buttons, mods);
            QApplication::sendEvent(window.zoomCanvas(), &event);
        }
        QString pointerField() const { return rig.status.field(GraphicField::Pointer); }
        // The middle of a dot's square as the zoom view paints it.
        QRgb zoomSquare(int column, int row) {
            const QRect cell = LogoDocument::zoomCell(column, row).translated(10, 10);
            return window.zoomCanvas()->grab(cell).toImage().pixel(5, 5);
        }
    };

private slots:
    void leftButtonPaintsTheDotUnderThePointer_data() {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("column"); // -1: nothing painted
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("shown");
        QTest::newRow("first dot") << QPoint(25, 25) << 0 << 0 << "XY=1:1";
        QTest::newRow("column 1 row 2") << QPoint(35, 45) << 1 << 2 << "XY=2:3";
        QTest::newRow("left of the picture") << QPoint(19, 25) << -1 << 0 << "XY=0:1";
        QTest::newRow("last column") << QPoint(20 + 634, 25) << 63 << 0 << "XY=64:1";
        QTest::newRow("last row") << QPoint(25, 20 + 239) << 0 << 23 << "XY=1:24";
    }
    void leftButtonPaintsTheDotUnderThePointer() {
        QFETCH(QPoint, pos);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, shown);
        Fixture f;
        f.press(pos, Qt::LeftButton);
        QCOMPARE(f.pointerField(), shown);
        int painted = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 64; ++x)
                painted += f.logo.isDot(x, y);
        if (column < 0) {
            QCOMPARE(painted, 0);
            return;
        }
        QCOMPARE(painted, 1);
        QCOMPARE(f.logo.dotImage().pixel(column, row), Black);
        QCOMPARE(f.zoomSquare(column, row), Black);
        QVERIFY(f.logo.isModified());
    }

    void outsideTheLogoAreaNothingHappens() {
        Fixture f;
        f.press(QPoint(25, 20 + 240 + 5), Qt::LeftButton); // below row 23 and the margin
        QVERIFY(f.pointerField().isEmpty());
        QVERIFY(!f.logo.isModified());
    }

    void inMarkModeThePointerIsIgnored() {
        Fixture f;
        f.rig.session.mode = WindowMode::Mark;
        f.press(QPoint(25, 25), Qt::LeftButton);
        QVERIFY(!f.logo.isDot(0, 0));
        QVERIFY(f.pointerField().isEmpty());
    }

    void rightButtonClearsASetDot() {
        Fixture f;
        f.logo.setDot(1, 2, true);
        f.press(QPoint(35, 45), Qt::RightButton);
        QCOMPARE(f.logo.dotImage().pixel(1, 2), White);
        QCOMPARE(f.zoomSquare(1, 2), Unset);
    }

    void onlyAnExactButtonStatePaints_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("paints");
        QTest::newRow("left") << int(Qt::LeftButton) << int(Qt::NoModifier) << true;
        QTest::newRow("both buttons")
            << int(Qt::LeftButton | Qt::RightButton) << int(Qt::NoModifier) << false;
        QTest::newRow("left with ctrl") << int(Qt::LeftButton) << int(Qt::ControlModifier) << false;
        QTest::newRow("left with shift") << int(Qt::LeftButton) << int(Qt::ShiftModifier) << false;
        QTest::newRow("middle") << int(Qt::MiddleButton) << int(Qt::NoModifier) << false;
        QTest::newRow("no button") << int(Qt::NoButton) << int(Qt::NoModifier) << false;
    }
    void onlyAnExactButtonStatePaints() {
        QFETCH(int, buttons);
        QFETCH(int, modifiers);
        QFETCH(bool, paints);
        Fixture f;
        for (int x = 25; x < 100; x += 10)
            f.move(QPoint(x, 25), Qt::MouseButtons(buttons), Qt::KeyboardModifiers(modifiers));
        int painted = 0;
        for (int x = 0; x < 64; ++x)
            painted += f.logo.isDot(x, 0);
        QCOMPARE(painted, paints ? 8 : 0);
        QCOMPARE(f.pointerField(), QStringLiteral("XY=8:1"));
    }

    void aDragIsOneUndoStep() {
        Fixture f;
        f.press(QPoint(25, 25), Qt::LeftButton);
        f.move(QPoint(35, 25), Qt::LeftButton);
        f.move(QPoint(45, 35), Qt::LeftButton);
        f.release(QPoint(45, 35), Qt::LeftButton);
        f.press(QPoint(75, 25), Qt::LeftButton);
        f.release(QPoint(75, 25), Qt::LeftButton);
        QVERIFY(f.logo.isDot(5, 0));
        f.logo.undo();
        QVERIFY(!f.logo.isDot(5, 0));
        QVERIFY(f.logo.isDot(0, 0) && f.logo.isDot(1, 0) && f.logo.isDot(2, 1));
        f.logo.undo();
        QVERIFY(!f.logo.isDot(0, 0) && !f.logo.isDot(1, 0) && !f.logo.isDot(2, 1));
        QCOMPARE(f.zoomSquare(2, 1), Unset);
        QVERIFY(!f.logo.canUndo());
    }

    void scrolledViewPaintsTheDotUnderThePointer() {
        Fixture f;
        f.logo.newLogo(200, 32);
        f.window.show();
        f.window.scrollArea()->horizontalScrollBar()->setValue(160);
        QCOMPARE(f.window.firstVisibleColumn(), 16);
        f.press(QPoint(25, 25), Qt::LeftButton);
        QVERIFY(f.logo.isDot(16, 0));
        QCOMPARE(f.pointerField(), QStringLiteral("XY=17:1"));
    }

    void aPaintedDotRepaintsOnlyItsCell() {
        Fixture f;
        QList<QRect> zoomRects;
        QList<QRect> dotRects;
        connect(&f.logo, &LogoDocument::zoomChanged, this, [&](const QRect& r) { zoomRects << r; });
        connect(&f.logo, &LogoDocument::dotImageChanged, this,
                [&](const QRect& r) { dotRects << r; });
        f.press(QPoint(35, 45), Qt::LeftButton);
        QCOMPARE(zoomRects, QList<QRect>{QRect(10, 20, 10, 10)});
        QCOMPARE(dotRects, QList<QRect>{QRect(1, 2, 1, 1)});
    }
};

QTEST_MAIN(TestGraphicWindow)
#include "tst_graphic_window.moc"
