// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system_port_catalogue.h"

#include <QTest>

using namespace platform;

class TestSerialPlatform : public QObject {
    Q_OBJECT
private slots:
    void extraPortsComeFirstAndAreNumberedInOrder() {
        const QList<PortEntry> ports =
            namePorts({"/tmp/printer", " /dev/pts/7", "/tmp/printer", ""}, {});
        QCOMPARE(ports.size(), 2);
#ifndef Q_OS_WIN
        QCOMPARE(ports[0].name, QStringLiteral("COM1"));
        QCOMPARE(ports[1].name, QStringLiteral("COM2"));
        QCOMPARE(ports[0].settings, QStringLiteral("/tmp/printer"));
        QCOMPARE(ports[1].settings, QStringLiteral("/dev/pts/7"));
#endif
        QCOMPARE(ports[0].device, QStringLiteral("/tmp/printer"));
        QCOMPARE(ports[1].device, QStringLiteral("/dev/pts/7"));
    }

    // Within a run a device keeps its COM number while others come and go.
    void numbersStayWithTheirDevices() {
        auto named = [](const QStringList& devices) {
            QList<PortEntry> out;
            for (const QString& d : devices)
                out.append({QStringLiteral("COM?"), d, QString(), d});
            return out;
        };
        auto names = [](const QList<PortEntry>& ports) {
            QStringList out;
            for (const PortEntry& p : ports)
                out << p.name + '=' + p.device;
            return out;
        };
        ComNumbers numbers;
        auto keepNumbers = [](QList<PortEntry> ports, ComNumbers& numbers) {
            QStringList keys;
            for (const PortEntry& p : ports)
                keys << p.device;
            numbers.assign(ports, keys);
            sortByNumber(ports);
            return ports;
        };
        QCOMPARE(names(keepNumbers(named({"/dev/ttyS0", "/dev/ttyUSB0"}), numbers)),
                 (QStringList{"COM1=/dev/ttyS0", "COM2=/dev/ttyUSB0"}));
        // An adapter plugged in sorts before the one in use: the one in use stays COM2.
        QCOMPARE(names(keepNumbers(named({"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB0"}), numbers)),
                 (QStringList{"COM1=/dev/ttyS0", "COM2=/dev/ttyUSB0", "COM3=/dev/ttyACM0"}));
        // Unplugged: its number is not given to another device.
        QCOMPARE(names(keepNumbers(named({"/dev/ttyS0", "/dev/ttyUSB1", "/dev/ttyUSB0"}), numbers)),
                 (QStringList{"COM1=/dev/ttyS0", "COM2=/dev/ttyUSB0", "COM4=/dev/ttyUSB1"}));
    }

    void systemPortsFollowTheExtraOnesSortedByPath() {
        const QList<QSerialPortInfo> found = QSerialPortInfo::availablePorts();
        qputenv("INKWICK_EXTRA_PORTS", "/tmp/inkwick-a:/tmp/inkwick-b");
        const QList<PortEntry> ports = SystemPortCatalogue().ports();
        qunsetenv("INKWICK_EXTRA_PORTS");
        QVERIFY(ports.size() >= 2);
        QCOMPARE(ports[0].device, QStringLiteral("/tmp/inkwick-a"));
        QCOMPARE(ports[1].device, QStringLiteral("/tmp/inkwick-b"));
        for (qsizetype i = 2; i < ports.size(); ++i) {
            QVERIFY(ports[i - 1].device < ports[i].device || i == 2);
#ifndef Q_OS_WIN
            QCOMPARE(ports[i].name, QStringLiteral("COM%1").arg(i + 1));
            QCOMPARE(ports[i].settings, ports[i].device);
#endif
        }
        QVERIFY(ports.size() <= found.size() + 2);
    }
};

QTEST_GUILESS_MAIN(TestSerialPlatform)
#include "tst_serial_platform.moc"
