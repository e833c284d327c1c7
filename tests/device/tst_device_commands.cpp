// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/area_maps.h"
#include "device/counters_readout.h"
#include "device/mark_bitmap_view.h"
#include "device/print_mode_readout.h"
#include "device/print_system_readout.h"
#include "logos/logo_document.h"
#include "logos/zoom_picture.h"
#include "test_rig.h"

#include <QtTest>

using namespace platform;
using namespace device;
using namespace printerlink;

namespace {

using Command = void (*)(Session&);

struct Readout {
    const char* name;
    Command command;
};

const Readout kReadouts[] = {
    {"settings", readPrintSystemSettings},
    {"mode", readPrintModeSettings},
    {"hours", readRunningHours},
    {"marks", readPrintedMarks},
    {"text-mark map", showTextMarkAreaMap},
    {"graphic map", showGraphicAreaMap},
    {"bitmap", viewMarkBitmap},
};

using LampSteps = QList<QPair<LampTarget, Lamp>>;

// The reply to the bitmap request: header then columns.
QByteArray bitmapReply(int width, int byteRows, const QByteArray& columns) {
    QByteArray out;
    out.append(char(width & 0xFF)).append(char((width >> 8) & 0xFF)).append(char(byteRows));
    return out + columns;
}

// A rig with a logo document, connected to a K309.
struct Rig : TestRig {
    logos::LogoDocument logo;
    Rig() {
        session.logo = &logo;
        logo.newLogo(64, 24);
        connect();
    }
};

} // namespace

Q_DECLARE_METATYPE(LampSteps)

class DeviceCommands : public QObject {
    Q_OBJECT

private slots:
    void readoutsSendTheirRequestAndShowTheReply_data() {
        QTest::addColumn<int>("readout");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("expected"); // a piece of the text shown
        QTest::addColumn<LampSteps>("lamps");
        const LampSteps transferThenIdle{{LampTarget::Both, Lamp::Transfer},
                                         {LampTarget::Both, Lamp::Idle}};
        QTest::newRow("settings") << 0 << QByteArray("\x11\x5C\x0E")
                                  << "Интервал Автопечати по времени, мс\t3000\n\r"
                                  << transferThenIdle;
        QTest::newRow("mode") << 1 << QByteArray("\x11M\x0E") << "Реверс печати\t\t\tДА\n\r"
                              << transferThenIdle;
        QTest::newRow("hours") << 2 << QByteArray("\x11w\x0E")
                               << "  Маркиратор отработал 1234.5 часов. " << transferThenIdle;
        QTest::newRow("marks") << 3 << QByteArray("\x11m\x0E")
                               << "  Маркиратор отпечатал 10203 марок. " << transferThenIdle;
        QTest::newRow("text-mark map")
            << 4 << QByteArray("\x0Fx\x0E")
            << "--    01   --    --    --    --    --    07   --    --    \t| 00:09\n\r"
            << LampSteps{};
        QTest::newRow("graphic map")
            << 5
            << QByteArray("\x0F"
                          "a\x0E")
            << "\n000 001 ---  ---  ---  ---  ---  ---    | 000:007\n\r" << LampSteps{};
    }
    void readoutsSendTheirRequestAndShowTheReply() {
        QFETCH(int, readout);
        QFETCH(QByteArray, request);
        QFETCH(QString, expected);
        QFETCH(LampSteps, lamps);
        Rig rig;
        QByteArray settings(47, '\0');
        settings[1] = 0x2C;
        settings[2] = 0x01;
        rig.printer.state.settings = settings;
        rig.printer.state.modeByte = 0x40;
        rig.printer.state.marks[7] = QByteArray(1536, ' ');
        for (int k = 2; k < 86; ++k) {
            if (k != 7)
                rig.printer.state.marks[k].clear();
        }

        kReadouts[readout].command(rig.session);

        QCOMPARE(rig.requests(), QList<QByteArray>{request});
        QCOMPARE(rig.dialogs.shown.size(), 1);
        const auto& box = rig.dialogs.last();
        QCOMPARE(box.title, QStringLiteral("Информация Системы Печати"));
        QCOMPARE(box.icon, MessageIcon::Information);
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QVERIFY2(box.text.contains(expected), qPrintable(box.text));
        QCOMPARE(rig.status.lampHistory, lamps);
        QVERIFY(!rig.session.link.error);
    }

    void settingsReadoutUsesModelAndLayout() {
        Rig rig;
        rig.connect(QStringLiteral("K307"));
        rig.session.wideLayout = true;
        rig.printer.state.settings = QByteArray(47, '\0');
        readPrintSystemSettings(rig.session);
        const QString text = rig.dialogs.last().text;
        QVERIFY(text.startsWith(QStringLiteral("УСТАВКИ СИСТЕМЫ ПЕЧАТИ  ( K307 ) :\r\n\n")));
        QVERIFY(text.contains(QStringLiteral("\rЧастота каплеобразования\t\t\t100.0 кГц  \n\r")));
        QVERIFY(text.contains(QStringLiteral("обычная (Y=8/16)")));
        QVERIFY(!text.contains(QStringLiteral("Раздвижка строк 2-3")));
    }

    void readoutsReportASilentPrinterOnce_data() {
        QTest::addColumn<int>("readout");
        for (int i = 0; i < int(std::size(kReadouts)); ++i)
            QTest::newRow(kReadouts[i].name) << i;
    }
    void readoutsReportASilentPrinterOnce() {
        QFETCH(int, readout);
        Rig rig;
        rig.printer.faults.silent = true;
        const QImage before = rig.logo.dotImage();

        kReadouts[readout].command(rig.session);

        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
        QCOMPARE(rig.dialogs.last().text,
                 QStringLiteral("Ошибка при чтении данных из Маркиратора (COM1)!"));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QCOMPARE(rig.status.graphicLamp, Lamp::Error);
        QVERIFY(rig.session.link.error);
        QVERIFY(rig.port.isOpen());
        QCOMPARE(rig.logo.dotImage(), before);
    }

    void readoutTakesAReplyThatArrivesInChunks() {
        Rig rig;
        rig.printer.faults.chunkBytes = 10;
        rig.printer.faults.chunkGapMs = 1;
        readRunningHours(rig.session);
        QCOMPARE(rig.dialogs.last().text, QStringLiteral("  Маркиратор отработал 1234.5 часов. "));
    }

    // Packets smaller than the reply, a few milliseconds apart, must not pass for its end.
    void readoutsWaitForTheirWholeReply_data() {
        QTest::addColumn<int>("packet");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<int>("baud");
        QTest::newRow("8 bytes, 20 ms, 115200") << 8 << 20 << 115200;
        QTest::newRow("16 bytes, 3 ms, 9600") << 16 << 3 << 9600;
    }
    void readoutsWaitForTheirWholeReply() {
        QFETCH(int, packet);
        QFETCH(int, gapMs);
        QFETCH(int, baud);
        for (const Readout& r : kReadouts) {
            Rig healthy;
            r.command(healthy.session);
            Rig rig;
            rig.session.link.baudRate = baud;
            rig.port.open(QStringLiteral("/dev/ttySIM0"), baud);
            rig.printer.faults.chunkBytes = packet;
            rig.printer.faults.chunkGapMs = gapMs;
            r.command(rig.session);
            QVERIFY2(!rig.dialogs.shown.isEmpty() || r.command == viewMarkBitmap, r.name);
            QCOMPARE(rig.dialogs.messages().size(), healthy.dialogs.messages().size());
            for (qsizetype i = 0; i < rig.dialogs.messages().size(); ++i)
                QCOMPARE(rig.dialogs.messages()[i].text, healthy.dialogs.messages()[i].text);
        }
    }

    void shortReplySaysHowMuchCame() {
        Rig rig;
        rig.printer.faults.shortReply = 23;
        const qint64 start = rig.clock.elapsedMs();
        readPrintSystemSettings(rig.session);
        QVERIFY(rig.clock.elapsedMs() - start < 1000);
        const auto box = rig.dialogs.last();
        QCOMPARE(box.icon, MessageIcon::Warning);
        QVERIFY2(box.text.endsWith(QStringLiteral("\r\n\nОТВЕТ МАРКИРАТОРА НЕПОЛНЫЙ!\n\r"
                                                  "Принято байт: 23 из 47.\n\r"
                                                  "Недостающие данные показаны нулями.")),
                 qPrintable(box.text));
        // What did come is still decoded.
        QVERIFY(box.text.startsWith(QStringLiteral("УСТАВКИ СИСТЕМЫ ПЕЧАТИ  ( K309 ) :\r\n\n")));
    }

    void bitmapViewLoadsTheMarkBitmap_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("setDot");
        QTest::addColumn<QPoint>("unsetDot");
        QTest::addColumn<QString>("note"); // said after drawing; empty for a whole bitmap
        // Column 0 has only its bottom dot, column 1 only its top dot.
        QByteArray columns16(32, '\0');
        columns16[0] = 0x01;
        columns16[3] = char(0x80);
        QTest::newRow("16 x 16") << bitmapReply(16, 2, columns16) << QSize(16, 16) << QPoint(0, 15)
                                 << QPoint(0, 14) << QString();
        QTest::newRow("16 x 16, top dot") << bitmapReply(16, 2, columns16) << QSize(16, 16)
                                          << QPoint(1, 0) << QPoint(1, 15) << QString();
        // Taken as 4 bytes per column: the top dot of column 818 is its fourth byte.
        QByteArray wide(1024 * 4, '\0');
        wide[818 * 4 + 3] = char(0x80);
        wide[819 * 4 + 3] = char(0x80);
        QTest::newRow("1024 columns of 6 bytes show 819 of 4")
            << bitmapReply(1024, 6, wide) << QSize(819, 32) << QPoint(818, 0) << QPoint(817, 0)
            << QString();
        QByteArray largest(819 * 4, '\0');
        largest[819 * 4 - 1] = char(0x80);
        largest[800 * 4] = 0x01;
        QTest::newRow("largest bitmap read whole")
            << bitmapReply(819, 4, largest) << QSize(819, 32) << QPoint(818, 0) << QPoint(818, 31)
            << QString();
        QTest::newRow("beyond the dot image's first 780 columns")
            << bitmapReply(819, 4, largest) << QSize(819, 32) << QPoint(800, 31) << QPoint(801, 31)
            << QString();
        QTest::newRow("short reply leaves the rest unset")
            << bitmapReply(8, 1, QByteArray(1, char(0xFF))) << QSize(8, 8) << QPoint(0, 0)
            << QPoint(1, 7)
            << QStringLiteral("ОТВЕТ МАРКИРАТОРА НЕПОЛНЫЙ!\n\rПринято байт: 4 из 11.\n\r"
                              "Недостающие данные показаны нулями.");
    }
    void bitmapViewLoadsTheMarkBitmap() {
        QFETCH(QByteArray, reply);
        QFETCH(QSize, size);
        QFETCH(QPoint, setDot);
        QFETCH(QPoint, unsetDot);
        QFETCH(QString, note);
        Rig rig;
        rig.printer.state.bitmap = reply;
        viewMarkBitmap(rig.session);

        QCOMPARE(rig.requests(), QList<QByteArray>{QByteArray("\x0F"
                                                              "b\x0E")});
        if (note.isEmpty()) {
            QVERIFY(rig.dialogs.shown.isEmpty());
        } else {
            QCOMPARE(rig.dialogs.messages().size(), 1);
            QCOMPARE(rig.dialogs.last().text, note);
            QCOMPARE(rig.dialogs.last().icon, MessageIcon::Warning);
        }
        QCOMPARE(rig.logo.size(), size);
        QCOMPARE(rig.logo.pendingSize(), size);
        QCOMPARE(rig.logo.byteRows(), size.height() / 8);
        QVERIFY(!rig.logo.isModified());
        const QImage zoom = logos::zoomPicture(rig.logo.dotImage(), rig.logo.size(),
                                               QRect(0, 0, logos::ZoomWidth, logos::ZoomHeight));
        const auto zoomPixel = [&](QPoint dot) {
            return zoom.pixel(10 * dot.x() + 5, 10 * dot.y() + 5);
        };
        QCOMPARE(zoomPixel(setDot), qRgb(0, 0, 0));
        QCOMPARE(zoomPixel(unsetDot), qRgb(200, 200, 210));
        if (setDot.x() < 780) {
            QVERIFY(rig.logo.isDot(setDot.x(), setDot.y()));
            QVERIFY(!rig.logo.isDot(unsetDot.x(), unsetDot.y()));
        }
        QCOMPARE(rig.status.field(GraphicField::Size),
                 QStringLiteral("Размер XY: %1x%2").arg(size.width()).arg(size.height()));
        QCOMPARE(rig.status.lampHistory, (LampSteps{{LampTarget::Graphic, Lamp::Transfer},
                                                    {LampTarget::Graphic, Lamp::Idle}}));
    }

    void bitmapViewOverUnsavedDotsAsksFirst() {
        Rig rig;
        rig.printer.state.bitmap = bitmapReply(16, 2, QByteArray(32, '\x01'));
        rig.logo.paintDot(1, 1, true);
        rig.dialogs.answer(MessageAnswer::Cancel);
        viewMarkBitmap(rig.session);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.last().text,
                 QStringLiteral("Содержание Логотипа изменено. Сохранить Изменения?\n\r"
                                "Файл: без имени"));
        QVERIFY(rig.requests().isEmpty());
        QVERIFY(rig.logo.isDot(1, 1) && rig.logo.isModified());

        rig.dialogs.answer(MessageAnswer::No);
        viewMarkBitmap(rig.session);
        QCOMPARE(rig.dialogs.unexpected, QStringList());
        QCOMPARE(rig.logo.size(), QSize(16, 16));
    }

    void bitmapViewWithoutABitmapKeepsTheLogo_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("two bytes") << QByteArray(2, '\0');
        QTest::newRow("width 0") << bitmapReply(0, 2, QByteArray(8, '\xFF'));
        QTest::newRow("negative width") << bitmapReply(0xFFF0, 2, QByteArray(8, '\xFF'));
        QTest::newRow("byte rows 0") << bitmapReply(16, 0, QByteArray(8, '\xFF'));
        QTest::newRow("negative byte rows") << bitmapReply(16, 0xFE, QByteArray(8, '\xFF'));
    }
    void bitmapViewWithoutABitmapKeepsTheLogo() {
        QFETCH(QByteArray, reply);
        Rig rig;
        rig.logo.newLogo(40, 16);
        rig.logo.setDot(3, 4, true);
        rig.logo.setPendingSize(QSize(50, 24));
        const QImage dots = rig.logo.dotImage();
        rig.printer.state.bitmap = reply;

        viewMarkBitmap(rig.session);

        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("ПРОСМОТР БИТ-КАРТЫ МАРКИ "));
        QCOMPARE(rig.dialogs.last().text, QStringLiteral("НЕТ БИТ-КАРТЫ МАРКИ (ПУСТАЯ)."));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Information);
        QCOMPARE(rig.logo.size(), QSize(40, 16));
        QCOMPARE(rig.logo.dotImage(), dots);
        QCOMPARE(rig.status.field(GraphicField::Size), QStringLiteral("Размер XY: 50x24"));
        QCOMPARE(rig.status.graphicLamp, Lamp::Idle);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Grey);
    }
};

QTEST_MAIN(DeviceCommands)
#include "tst_device_commands.moc"
