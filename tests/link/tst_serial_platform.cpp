#include "platform/qt_serial_port.h"
#include "platform/system_port_catalogue.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#ifdef Q_OS_UNIX
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace platform;

namespace {
#ifdef Q_OS_UNIX
// A pseudo-terminal whose master end plays the printer.
struct Pty {
    int master = -1;
    QString slave;
    Pty() {
        int s = -1;
        char name[256] = {};
        if (::openpty(&master, &s, name, nullptr, nullptr) != 0)
            return;
        termios t{};
        ::tcgetattr(master, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
        ::close(s);
        slave = QString::fromLocal8Bit(name);
    }
    ~Pty() { hangUp(); }
    void hangUp() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void send(const QByteArray& bytes) const {
        QVERIFY(::write(master, bytes.constData(), size_t(bytes.size())) == bytes.size());
    }
    QByteArray receive() const {
        QByteArray out(256, '\0');
        const ssize_t n = ::read(master, out.data(), size_t(out.size()));
        return out.left(qMax<ssize_t>(n, 0));
    }
};

// Waits until the port has counted `n` input bytes, at most a second.
qint64 waitForInput(QtSerialPort& port, qint64 n) {
    QElapsedTimer t;
    t.start();
    while (port.inputWaiting() < n && t.elapsed() < 1000)
        QThread::msleep(1);
    return port.inputWaiting();
}
#endif
} // namespace

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

    void lineRoundTripOverAPseudoTerminal() {
#ifndef Q_OS_UNIX
        QSKIP("needs a pseudo-terminal");
#else
        Pty pty;
        QVERIFY(!pty.slave.isEmpty());
        QtSerialPort port;
        QVERIFY(port.open(pty.slave, 115200));
        QCOMPARE(port.baudRate(), 115200);

        QVERIFY(port.write(QByteArrayLiteral("\x11i\x0E")));
        QCOMPARE(port.outputWaiting(), qint64(0));
        QCOMPARE(pty.receive(), QByteArrayLiteral("\x11i\x0E"));

        pty.send("VK309 011010");
        QCOMPARE(waitForInput(port, 12), qint64(12));
        QCOMPARE(port.inputWaiting(), qint64(12)); // counting twice does not lose or add bytes
        QCOMPARE(port.read(5), QByteArray("VK309"));
        QCOMPARE(port.read(100), QByteArray(" 011010"));

        pty.send("late");
        QCOMPARE(waitForInput(port, 4), qint64(4));
        port.discardInput();
        QCOMPARE(port.inputWaiting(), qint64(0));
#endif
    }

    void hungUpLineClosesThePortInsteadOfSpinning() {
#ifndef Q_OS_UNIX
        QSKIP("needs a pseudo-terminal");
#else
        Pty pty;
        QtSerialPort port;
        QVERIFY(port.open(pty.slave, 115200));
        pty.hangUp();
        QElapsedTimer t;
        t.start();
        while (port.isOpen() && t.elapsed() < 1000)
            port.inputWaiting();
        QVERIFY(!port.isOpen());
        QCOMPARE(port.inputWaiting(), qint64(0));
        QVERIFY(!port.write(QByteArrayLiteral("x")));
        QVERIFY(port.read(1).isEmpty());
#endif
    }

    void missingDeviceIsNotFound() {
        QtSerialPort port;
        QVERIFY(!port.open(QStringLiteral("/dev/inkwick-no-such-port"), 115200));
        QCOMPARE(port.lastOpenError(), SerialPort::OpenError::NotFound);
        QVERIFY(!port.isOpen());
        QVERIFY(!port.write("x"));
    }
};

QTEST_GUILESS_MAIN(TestSerialPlatform)
#include "tst_serial_platform.moc"
