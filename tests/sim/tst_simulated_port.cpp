// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/request_exchange.h"
#include "test_rig.h"

#include <QTest>

using namespace platform;
using namespace printerlink;

namespace {
const QByteArray kSettings("\x11\\\x0E");
const QByteArray kVersion("\x11i\x0E");
} // namespace

class TstSimulatedPort : public QObject {
    Q_OBJECT
private slots:
    void replyArrivesAtLineRateAfterLatency_data();
    void replyArrivesAtLineRateAfterLatency();
    void outputLeavesAtLineRate();
    void discardKeepsBytesStillOnTheLine();
    void vanishingDevice_data();
    void vanishingDevice();
    void refusedWriteSendsNothing();
    void cutOffWriteIsForgottenAfterAPause();
    void staleBytesCountIntoTheNextReply();
    void growingReplyNeverSettles_data();
    void growingReplyNeverSettles();
    void opening_data();
    void opening();
};

void TstSimulatedPort::replyArrivesAtLineRateAfterLatency_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("latencyMs");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<qint64>("completeUs"); // 3-byte request out, then 40 bytes back
    QTest::addColumn<int>("countJustBefore");
    QTest::newRow("115200") << 115200 << 2 << 0 << 0 << qint64(3 * 87 + 2000 + 40 * 87) << 39;
    QTest::newRow("115200, no latency") << 115200 << 0 << 0 << 0 << qint64(43 * 87) << 39;
    QTest::newRow("9600") << 9600 << 2 << 0 << 0 << qint64(3 * 1042 + 2000 + 40 * 1042) << 39;
    QTest::newRow("packets of 16, 5 ms apart")
        << 115200 << 2 << 16 << 5 << qint64(3 * 87 + 2000 + 10000 + 40 * 87) << 32;
}

void TstSimulatedPort::replyArrivesAtLineRateAfterLatency() {
    QFETCH(int, baud);
    QFETCH(int, latencyMs);
    QFETCH(int, chunk);
    QFETCH(int, gapMs);
    QFETCH(qint64, completeUs);
    QFETCH(int, countJustBefore);
    TestRig rig;
    rig.printer.faults = {};
    rig.printer.faults.latencyMs = latencyMs;
    rig.printer.faults.chunkBytes = chunk;
    rig.printer.faults.chunkGapMs = gapMs;
    rig.printer.faults.shortReply = 40;
    QVERIFY(rig.port.open(QStringLiteral("/dev/ttySIM0"), baud));
    QVERIFY(rig.port.write(kSettings));
    rig.clock.advanceUs(completeUs - 1);
    QCOMPARE(rig.port.inputWaiting(), countJustBefore);
    rig.clock.advanceUs(1);
    QCOMPARE(rig.port.inputWaiting(), 40);
    QCOMPARE(rig.port.read(100), rig.printer.state.settings.left(40));
}

void TstSimulatedPort::outputLeavesAtLineRate() {
    TestRig rig;
    QVERIFY(rig.port.open(QStringLiteral("/dev/ttySIM0"), 9600)); // 1042 us a byte
    QVERIFY(rig.port.write(QByteArray(100, 'z')));
    QCOMPARE(rig.port.outputWaiting(), 100);
    rig.clock.waitMs(50);
    QCOMPARE(rig.port.outputWaiting(), 100 - 47);
    QVERIFY(rig.port.write(QByteArray(10, 'z'))); // queues behind the first block
    QCOMPARE(rig.port.outputWaiting(), 63);
    rig.clock.advanceUs(110 * 1042 - 50000 - 1);
    QCOMPARE(rig.port.outputWaiting(), 1);
    rig.clock.advanceUs(1);
    QCOMPARE(rig.port.outputWaiting(), 0);
}

void TstSimulatedPort::discardKeepsBytesStillOnTheLine() {
    TestRig rig;
    rig.connect();
    QVERIFY(rig.port.write(QByteArray("\x0Fx\x0E"))); // 85 bytes back
    rig.clock.advanceUs(3 * 87 + 2000 + 30 * 87);
    QCOMPARE(rig.port.inputWaiting(), 30);
    rig.port.discardInput();
    QCOMPARE(rig.port.inputWaiting(), 0);
    rig.clock.waitMs(10);
    QCOMPARE(rig.port.inputWaiting(), 55);
}

void TstSimulatedPort::vanishingDevice_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("gone");
    QTest::newRow("before the first byte") << 0 << false << true;
    QTest::newRow("inside the request") << 2 << false << true;
    QTest::newRow("right after the request") << 3 << true << true;
    QTest::newRow("later") << 5 << true << false;
}

void TstSimulatedPort::vanishingDevice() {
    QFETCH(int, limit);
    QFETCH(bool, written);
    QFETCH(bool, gone);
    TestRig rig;
    rig.connect();
    rig.printer.faults.vanishAfterBytes = limit;
    QCOMPARE(rig.port.write(kVersion), written);
    rig.clock.waitMs(10);
    QCOMPARE(rig.port.isOpen(), !gone);
    QCOMPARE(rig.printer.received, kVersion.left(limit));
    if (!gone)
        return;
    QCOMPARE(rig.port.inputWaiting(), 0); // its answer was lost with it
    QCOMPARE(rig.port.outputWaiting(), 0);
    QVERIFY(!rig.port.write(kVersion));
    // Plugged in again, it works.
    QVERIFY(rig.port.open(QStringLiteral("/dev/ttySIM0"), 115200));
    QVERIFY(rig.port.write(kVersion));
    rig.clock.waitMs(10);
    QCOMPARE(rig.port.read(100), QByteArray("VK309 v4.12 011010"));
}

void TstSimulatedPort::refusedWriteSendsNothing() {
    TestRig rig;
    rig.connect();
    rig.printer.faults.refuseWrite = true;
    QVERIFY(!rig.port.write(kVersion));
    rig.clock.waitMs(10);
    QVERIFY(rig.printer.received.isEmpty());
    QCOMPARE(rig.port.inputWaiting(), 0);
}

void TstSimulatedPort::cutOffWriteIsForgottenAfterAPause() {
    TestRig rig;
    rig.connect();
    QVERIFY(rig.port.write(QByteArray("\x0Ft07\x0E") + QByteArray(100, 'm')));
    rig.clock.waitMs(1100);
    QVERIFY(rig.port.write(kVersion)); // not taken as mark data
    rig.clock.waitMs(10);
    QCOMPARE(rig.port.read(100), QByteArray("VK309 v4.12 011010"));
    QVERIFY(rig.printer.state.marks[7].isEmpty());
}

void TstSimulatedPort::staleBytesCountIntoTheNextReply() {
    TestRig rig;
    rig.connect();
    rig.printer.faults.stale = "old";
    // The reply follows at once: with the printer's usual 2 ms before it, the settle test may
    // take the stale bytes alone for a whole reply, which is the settle test's business.
    rig.printer.faults.latencyMs = 0;
    const auto n = requestExchange(rig.session, kVersion);
    QCOMPARE(n, std::optional<qint64>(3 + 18));
    QCOMPARE(rig.port.read(100), QByteArray("oldVK309 v4.12 011010"));
    QVERIFY(rig.printer.faults.stale.isEmpty()); // once only
}

void TstSimulatedPort::growingReplyNeverSettles_data() {
    QTest::addColumn<int>("waitMs");
    QTest::newRow("1 ms polls") << 1;
    QTest::newRow("2 ms polls") << 2;
    QTest::newRow("5 ms polls") << 5;
}

void TstSimulatedPort::growingReplyNeverSettles() {
    QFETCH(int, waitMs);
    TestRig rig;
    rig.connect();
    rig.printer.faults.growing = true;
    QVERIFY(writeRequest(rig.session, kVersion));
    QCOMPARE(pollSettled(rig.session, 300, waitMs), 0);
    QVERIFY(rig.port.inputWaiting() > 18 + 300 * waitMs);
}

void TstSimulatedPort::opening_data() {
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<int>("failOpen");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<int>("error");
    using E = SerialPort::OpenError;
    QTest::newRow("any name") << QStringList{} << int(E::None) << true << int(E::None);
    QTest::newRow("listed") << QStringList{"/dev/ttyX", "/dev/ttySIM0"} << int(E::None) << true
                            << int(E::None);
    QTest::newRow("not listed") << QStringList{"/dev/ttyX"} << int(E::None) << false
                                << int(E::NotFound);
    QTest::newRow("busy") << QStringList{} << int(E::Busy) << false << int(E::Busy);
    QTest::newRow("no permission")
        << QStringList{} << int(E::NoPermission) << false << int(E::NoPermission);
}

void TstSimulatedPort::opening() {
    QFETCH(QStringList, devices);
    QFETCH(int, failOpen);
    QFETCH(bool, opened);
    QFETCH(int, error);
    TestRig rig;
    rig.port.devices = devices;
    rig.port.failOpen = SerialPort::OpenError(failOpen);
    QCOMPARE(rig.port.open(QStringLiteral("/dev/ttySIM0"), 57600), opened);
    QCOMPARE(int(rig.port.lastOpenError()), error);
    QCOMPARE(rig.port.isOpen(), opened);
    QCOMPARE(rig.port.openings, opened ? QStringList{"/dev/ttySIM0@57600"} : QStringList{});
    QCOMPARE(rig.port.write(kVersion), opened);
}

QTEST_GUILESS_MAIN(TstSimulatedPort)
#include "tst_simulated_port.moc"
