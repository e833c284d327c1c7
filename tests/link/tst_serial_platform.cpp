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
