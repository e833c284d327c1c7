// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/protocol_log.h"
#include "link/version_query.h"
#include "platform/com_numbers.h"
#include "test_rig.h"

#include <QFile>
#include <QTest>

using namespace platform;
using namespace printerlink;

class TestProtocolLog : public QObject {
    Q_OBJECT
private slots:
    void trafficLines_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const QString pad(16 * 3 - 8, u' ');
        QTest::newRow("request") << int(Direction::Sent) << QByteArray("\x11i\x0E", 3)
                                 << QStringList{"09:05:07.042 -> 11 69 0E" + pad + "|.i.|"};
        QTest::newRow("cyrillic and DEL")
            << int(Direction::Received) << QByteArray("\xCA\x33\x30\x39\x7F", 5)
            << QStringList{"09:05:07.042 <- CA 33 30 39 7F" + QString(16 * 3 - 14, u' ') +
                           "|К309.|"};
        QTest::newRow("17 bytes make two lines")
            << int(Direction::Received) << QByteArray(17, 'A')
            << QStringList{"09:05:07.042 <- " + QStringLiteral("41 ").repeated(16) + "|" +
                               QString(16, u'A') + "|",
                           "09:05:07.042 <- 41" + QString(16 * 3 - 2, u' ') + "|A|"};
        QTest::newRow("nothing") << int(Direction::Received) << QByteArray() << QStringList{};
    }
    void trafficLines() {
        QFETCH(int, direction);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        const QDateTime at(QDate(2026, 2, 3), QTime(9, 5, 7, 42));
        QCOMPARE(printerlink::trafficLines(at, Direction(direction), bytes), expected);
    }

    // The oldest lines go first; a viewer that fell behind learns that it must reload.
    void logIsBoundedAndViewersCatchUp() {
        ProtocolLog log(3);
        log.append({"a", "b"});
        bool complete = false;
        QCOMPARE(log.linesAfter(0, &complete), QStringList({"a", "b"}));
        QVERIFY(complete);
        log.append({"c", "d", "e"});
        QCOMPARE(log.lines(), QStringList({"c", "d", "e"}));
        QCOMPARE(log.sequence(), 5);
        QCOMPARE(log.linesAfter(3, &complete), QStringList({"d", "e"}));
        QVERIFY(complete);
        QCOMPARE(log.linesAfter(1, &complete), QStringList({"c", "d", "e"}));
        QVERIFY(!complete);
        log.clear();
        QCOMPARE(log.size(), 0);
        QCOMPARE(log.linesAfter(5, &complete), QStringList());
        QVERIFY(!complete);
    }

    // Every byte of an exchange, both ways, in the session's log; nothing on stderr unless the
    // category is switched on.
    void sessionLogsTheExchange() {
        TestRig rig;
        rig.connect();
        rig.printer.faults.stale = QByteArray("\x55", 1);
        QVERIFY(!lcLink().isDebugEnabled());
        QCOMPARE(QByteArray(lcLink().categoryName()), QByteArray("inkwick.link"));
        queryVersion(rig.session);
        rig.session.monitor.flush(); // the window does this when a command ends
        QByteArray sent, received;
        for (const QString& line : rig.session.log.lines()) {
            const QByteArray hex = line.mid(16, 16 * 3).toLatin1();
            if (line.mid(12, 4) == QLatin1String(" -> "))
                sent += QByteArray::fromHex(hex);
            else if (line.mid(12, 4) == QLatin1String(" <- "))
                received += QByteArray::fromHex(hex);
        }
        QCOMPARE(sent, QByteArray("\x11i\x0E", 3));
        // The stale byte thrown away before the request is in the log too.
        QVERIFY(received.startsWith('\x55'));
        QVERIFY(received.contains("K309"));
        QVERIFY(received.endsWith("011010"));
    }

    void comNumbersStayWithTheirDevice() {
        ComNumbers numbers;
        auto names = [&](const QStringList& keys) {
            QList<PortEntry> ports(keys.size());
            numbers.assign(ports, keys);
            QStringList out;
            for (const PortEntry& e : ports)
                out << e.name;
            return out;
        };
        QCOMPARE(names({"/tmp/sim", "usb-A", "usb-B"}), QStringList({"COM1", "COM2", "COM3"}));
        // A pulled out: B keeps its number, a new device does not take A's.
        QCOMPARE(names({"/tmp/sim", "usb-B", "usb-C"}), QStringList({"COM1", "COM3", "COM4"}));
        // A plugged back in, listed first now: its own number again.
        QCOMPARE(names({"usb-A", "/tmp/sim", "usb-B", "usb-C"}),
                 QStringList({"COM2", "COM1", "COM3", "COM4"}));
    }

    void stableKeyIsTheByIdName() {
#ifdef Q_OS_WIN
        QSKIP("Windows ports keep their own COM names; by-id links are a Linux naming");
#endif
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("ttyUSB1"));
        QFile f(device);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QDir(dir.path()).mkdir(QStringLiteral("by-id"));
        const QString byId = dir.filePath(QStringLiteral("by-id"));
        QVERIFY(QFile::link(device, byId + QStringLiteral("/usb-FTDI_A1-if00-port0")));
        QCOMPARE(stableDeviceKey(device, byId), byId + QStringLiteral("/usb-FTDI_A1-if00-port0"));
        const QString other = dir.filePath(QStringLiteral("ttyS0"));
        QCOMPARE(stableDeviceKey(other, byId), other);
    }
};

QTEST_MAIN(TestProtocolLog)
#include "tst_protocol_log.moc"
