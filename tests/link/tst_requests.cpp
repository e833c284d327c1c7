// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/requests.h"

#include <QTest>

using namespace printerlink;

class TestRequests : public QObject {
    Q_OBJECT
private slots:
    void everyRequestIsExactlyItsBytes_data() {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("version") << versionRequest() << QByteArray::fromHex("11690E");
        QTest::newRow("print-system settings")
            << printSystemSettingsRequest() << QByteArray::fromHex("115C0E");
        QTest::newRow("print mode") << printModeRequest() << QByteArray::fromHex("114D0E");
        QTest::newRow("running hours") << runningHoursRequest() << QByteArray::fromHex("11770E");
        QTest::newRow("printed marks") << printedMarksRequest() << QByteArray::fromHex("116D0E");
        QTest::newRow("read print lines") << printLinesRequest() << QByteArray::fromHex("11530E");
        QTest::newRow("text-mark area") << textMarkAreaRequest() << QByteArray::fromHex("0F780E");
        QTest::newRow("graphic area") << graphicAreaRequest() << QByteArray::fromHex("0F610E");
        QTest::newRow("mark bitmap") << markBitmapRequest() << QByteArray::fromHex("0F620E");
        QTest::newRow("set date") << setDateRequest("030226")
                                  << QByteArray::fromHex("1A443033303232360E");
        QTest::newRow("set time") << setTimeRequest("090507")
                                  << QByteArray::fromHex("1A543039303530370E");
        QTest::newRow("date offset")
            << setDateOffsetRequest("0030") << QByteArray::fromHex("1D44303033300E");
        QTest::newRow("set print lines")
            << setPrintLinesRequest(3) << QByteArray::fromHex("0C53330E");
        QTest::newRow("read mark 0") << markReadRequest(0) << QByteArray::fromHex("0F7230300E");
        QTest::newRow("read mark 7") << markReadRequest(7) << QByteArray::fromHex("0F7230370E");
        QTest::newRow("read mark 85") << markReadRequest(85) << QByteArray::fromHex("0F7238350E");
        QTest::newRow("write mark 12") << markWriteHeader(12) << QByteArray::fromHex("0F7431320E");
        QTest::newRow("read fragment 2 5")
            << fragmentReadRequest(2, 5) << QByteArray::fromHex("1132350E");
        QTest::newRow("write fragment, font 12")
            << fragmentWriteRequest(0x18, "11", 12, "x") << QByteArray::fromHex("1831313C780E");
        QTest::newRow("write fragment, no position")
            << fragmentWriteRequest(0x10, "", 0, "") << QByteArray::fromHex("103030300E");
        QTest::newRow("read slot 7") << logoSlotRequest(7) << QByteArray::fromHex("0F693030370E");
        QTest::newRow("read slot 255")
            << logoSlotRequest(255) << QByteArray::fromHex("0F693235350E");
        QTest::newRow("write slot 9, 252 bytes")
            << logoWriteHeader(9, 252) << QByteArray::fromHex("0F6C30303900");
        QTest::newRow("write slot 9, 258 bytes")
            << logoWriteHeader(9, 258) << QByteArray::fromHex("0F6C30303901");
        QTest::newRow("delete slot 127")
            << logoDeleteHeader(127) << QByteArray::fromHex("0F6C3132370E");
    }
    void everyRequestIsExactlyItsBytes() {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, bytes);
        QCOMPARE(built.toHex(' '), bytes.toHex(' '));
    }
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
