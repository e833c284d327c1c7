// SPDX-License-Identifier: GPL-3.0-or-later
// What every SerialPort promises the commands, checked against the simulated port the command
// tests use and against the Qt port on a pseudo-terminal, so the two cannot drift apart.

#include "platform/qt_serial_port.h"
#include "sim/printer.h"
#include "simulated_port.h"
#include "virtual_clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace platform;

namespace {

const QByteArray kRequest = QByteArray::fromHex("11690E");
const QByteArray kReply = QByteArrayLiteral("VK309 v4.12 011010");

// A port and the printer end of its line.
class Line {
public:
    virtual ~Line() = default;
    virtual SerialPort& port() = 0;
    virtual QString device() const = 0;
    virtual void waitMs(int ms) = 0;
    // What the printer end has received since the last call.
    virtual QByteArray received() = 0;
    // The printer end answers the version request.
    virtual void answer() = 0;
    // The device goes away under the open port.
    virtual void hangUp() = 0;

    // Polls `value` until it gives `want`, at most a second of the line's time.
    qint64 waitFor(const std::function<qint64()>& value, qint64 want) {
        for (int i = 0; i < 1000 && value() != want; ++i)
            waitMs(1);
        return value();
    }
};

class SimulatedLine : public Line {
public:
    SimulatedLine() { port_.devices = {QStringLiteral("/dev/ttySIM0")}; }
    SerialPort& port() override { return port_; }
    QString device() const override { return QStringLiteral("/dev/ttySIM0"); }
    void waitMs(int ms) override { clock_.waitMs(ms); }
    QByteArray received() override {
        const QByteArray got = printer_.received.mid(seen_);
        seen_ = printer_.received.size();
        return got;
    }
    void answer() override {} // the simulated printer answers by itself
    void hangUp() override { port_.vanish(); }

private:
    sim::Printer printer_;
    VirtualClock clock_;
    SimulatedPort port_{printer_, clock_};
    qsizetype seen_ = 0;
};

#ifdef Q_OS_UNIX
class PtyLine : public Line {
public:
    PtyLine() {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return;
        termios t{};
        ::tcgetattr(master_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        ::close(slave);
        device_ = QString::fromLocal8Bit(name);
    }
    ~PtyLine() override {
        port_.close();
        hangUp();
    }
    SerialPort& port() override { return port_; }
    QString device() const override { return device_; }
    void waitMs(int ms) override { QThread::msleep(ulong(ms)); }
    QByteArray received() override {
        // The pty hands bytes over a moment after they left: give them a little time.
        QByteArray got;
        char buffer[256];
        for (int tries = 0; master_ >= 0 && tries < 50; ++tries) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                got.append(buffer, int(n));
                continue;
            }
            if (!got.isEmpty() || (n < 0 && errno != EAGAIN))
                break;
            QThread::msleep(2);
        }
        return got;
    }
    void answer() override {
        QVERIFY(::write(master_, kReply.constData(), size_t(kReply.size())) == kReply.size());
    }
    void hangUp() override {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    // Sends as much as the line takes now; the count sent.
    qint64 chatter(const QByteArray& bytes) {
        const ssize_t n = ::write(master_, bytes.constData(), size_t(bytes.size()));
        return qMax<ssize_t>(n, 0);
    }

private:
    QtSerialPort port_;
    int master_ = -1;
    QString device_;
};
#endif

#ifdef Q_OS_WIN
// The Qt port on a COM port whose far end is a second COM port, the two joined like a null-modem
// cable (under Wine: two pseudo-terminals that socat joins), named by INKWICK_TEST_COM_PAIR as
// "COM5,COM6".
class ComPairLine : public Line {
public:
    ComPairLine() {
        const QStringList pair =
            qEnvironmentVariable("INKWICK_TEST_COM_PAIR").split(QLatin1Char(','));
        if (pair.size() != 2)
            return;
        device_ = pair[0];
        far_.setPortName(pair[1]);
        far_.setBaudRate(115200);
        if (far_.open(QIODevice::ReadWrite))
            far_.clear();
    }
    ~ComPairLine() override {
        port_.close();
        far_.close();
    }
    bool ready() const { return far_.isOpen(); }
    SerialPort& port() override { return port_; }
    QString device() const override { return device_; }
    void waitMs(int ms) override { QThread::msleep(ulong(ms)); }
    QByteArray received() override {
        QByteArray got;
        for (int tries = 0; tries < 25; ++tries) {
            if (far_.waitForReadyRead(20)) {
                got += far_.readAll();
                continue;
            }
            got += far_.readAll();
            if (!got.isEmpty())
                break;
        }
        return got;
    }
    void answer() override {
        QCOMPARE(far_.write(kReply), qint64(kReply.size()));
        QVERIFY(far_.waitForBytesWritten(1000));
    }
    void hangUp() override { far_.close(); }

private:
    QtSerialPort port_;
    QSerialPort far_;
    QString device_;
};
#endif

std::unique_ptr<Line> makeLine(const QString& kind) {
#ifdef Q_OS_UNIX
    if (kind == QLatin1String("qt on a pty"))
        return std::make_unique<PtyLine>();
#endif
#ifdef Q_OS_WIN
    if (kind == QLatin1String("qt on a COM pair")) {
        auto line = std::make_unique<ComPairLine>();
        if (line->ready())
            return line;
        return nullptr;
    }
#endif
    if (kind == QLatin1String("simulated"))
        return std::make_unique<SimulatedLine>();
    return nullptr;
}

} // namespace

class TestSerialPortContract : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Line> openLine() {
        QFETCH_GLOBAL(QString, kind);
        auto line = makeLine(kind);
        if (!line)
            return nullptr;
        if (!line->port().open(line->device(), 115200))
            return nullptr;
        return line;
    }

    // Writes the request and waits until the reply has all come in.
    static bool exchange(Line& line) {
        if (!line.port().write(kRequest))
            return false;
        line.waitFor([&] { return line.port().outputWaiting(); }, 0);
        if (line.received() != kRequest)
            return false;
        line.answer();
        return line.waitFor([&] { return line.port().inputWaiting(); }, kReply.size()) ==
               kReply.size();
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("simulated") << QStringLiteral("simulated");
#ifdef Q_OS_UNIX
        QTest::newRow("qt on a pty") << QStringLiteral("qt on a pty");
#endif
#ifdef Q_OS_WIN
        QTest::newRow("qt on a COM pair") << QStringLiteral("qt on a COM pair");
#endif
    }

    void init() {
#ifdef Q_OS_WIN
        QFETCH_GLOBAL(QString, kind);
        if (kind == QLatin1String("qt on a COM pair") && !makeLine(kind))
            QSKIP("no COM port pair: INKWICK_TEST_COM_PAIR=COM5,COM6 names two joined ports");
#endif
    }

    void opensAtTheRateAsked() {
        const auto line = openLine();
        QVERIFY(line);
        QVERIFY(line->port().isOpen());
        QCOMPARE(line->port().baudRate(), 115200);
        QCOMPARE(line->port().inputWaiting(), qint64(0));
        QCOMPARE(line->port().outputWaiting(), qint64(0));
    }

    void writtenBytesLeaveWholeAndTheQueueDrains() {
        const auto line = openLine();
        QVERIFY(line);
        QVERIFY(line->port().write(kRequest));
        QCOMPARE(line->waitFor([&] { return line->port().outputWaiting(); }, 0), qint64(0));
        QCOMPARE(line->received(), kRequest);
        QVERIFY(line->port().write(QByteArray()));
        QVERIFY(line->received().isEmpty());
    }

    void inputIsCountedThenReadInPieces() {
        const auto line = openLine();
        QVERIFY(line);
        QVERIFY(exchange(*line));
        // Counting does not consume or invent bytes.
        QCOMPARE(line->port().inputWaiting(), qint64(kReply.size()));
        QCOMPARE(line->port().read(5), kReply.left(5));
        QCOMPARE(line->port().inputWaiting(), qint64(kReply.size() - 5));
        QCOMPARE(line->port().read(100), kReply.mid(5));
        QCOMPARE(line->port().inputWaiting(), qint64(0));
        QVERIFY(line->port().read(1).isEmpty());
    }

    void discardedInputIsGone() {
        const auto line = openLine();
        QVERIFY(line);
        QVERIFY(exchange(*line));
        line->port().discardInput();
        QCOMPARE(line->port().inputWaiting(), qint64(0));
        QVERIFY(line->port().read(100).isEmpty());
        // The line still works afterwards.
        QVERIFY(exchange(*line));
        QCOMPARE(line->port().read(100), kReply);
    }

    void closedPortRefusesEverything() {
        const auto line = openLine();
        QVERIFY(line);
        QVERIFY(exchange(*line));
        line->port().close();
        QVERIFY(!line->port().isOpen());
        QVERIFY(!line->port().write(kRequest));
        QCOMPARE(line->port().inputWaiting(), qint64(0));
        QCOMPARE(line->port().outputWaiting(), qint64(0));
        QVERIFY(line->port().read(100).isEmpty());
        QVERIFY(line->received().isEmpty());
    }

    void vanishedDeviceClosesThePort() {
        QFETCH_GLOBAL(QString, kind);
        if (kind == QLatin1String("qt on a COM pair"))
            QSKIP("closing the far end of a COM pair leaves the near port in place");
        const auto line = openLine();
        QVERIFY(line);
        line->hangUp();
        // Polling notices it within a second and never spins on the dead handle.
        QElapsedTimer t;
        t.start();
        while (line->port().isOpen() && t.elapsed() < 1000)
            line->port().inputWaiting();
        QVERIFY(!line->port().isOpen());
        QVERIFY(!line->port().write(kRequest));
        QCOMPARE(line->port().inputWaiting(), qint64(0));
    }

    void aDeviceThatKeepsTalkingBetweenCommandsTakesBoundedMemory() {
        QFETCH_GLOBAL(QString, kind);
#ifdef Q_OS_UNIX
        if (kind != QLatin1String("qt on a pty"))
            QSKIP("only the Qt port reads from the event loop");
        PtyLine line;
        QVERIFY(line.port().open(line.device(), 115200));
        // The program sits idle: the event loop runs while the device sends 2 MB, or as much
        // as the line takes within a second.
        const QByteArray chatter(4096, 'x');
        qint64 sent = 0;
        QElapsedTimer t;
        t.start();
        while (sent < 2 * 1024 * 1024 && t.elapsed() < 1000) {
            sent += line.chatter(chatter);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QVERIFY2(sent > QtSerialPort::kReadBufferBytes, qPrintable(QString::number(sent)));
        QVERIFY(line.port().inputWaiting() <= QtSerialPort::kReadBufferBytes);

        // The next request discards the chatter and gets its own reply.
        line.port().discardInput();
        QVERIFY(line.port().write(kRequest));
        QCOMPARE(line.received().right(kRequest.size()), kRequest);
        line.answer();
        QCOMPARE(line.waitFor([&] { return line.port().inputWaiting(); }, kReply.size()),
                 qint64(kReply.size()));
        QCOMPARE(line.port().read(100), kReply);
#else
        QSKIP("needs a pseudo-terminal");
#endif
    }

    // A path from the current folder (scripts/run's build/sim-port) is that file, not a name
    // under /dev, both for the program that opens it and for the one that finds it taken.
    void aPathFromTheCurrentFolderOpensAndIsBusyByThatName() {
#ifdef Q_OS_UNIX
        QFETCH_GLOBAL(QString, kind);
        if (kind != QLatin1String("qt on a pty"))
            QSKIP("a simulated port has no folders");
        PtyLine line;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("build")));
        QVERIFY(QFile::link(line.device(), dir.filePath(QStringLiteral("build/sim-port"))));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(before); });
        QtSerialPort second;
        QVERIFY(line.port().open(QStringLiteral("build/sim-port"), 115200));
        QVERIFY(exchange(line));
        QVERIFY(!second.open(QStringLiteral("build/sim-port"), 115200));
        QCOMPARE(second.lastOpenError(), SerialPort::OpenError::Busy);
#else
        QSKIP("needs a pseudo-terminal");
#endif
    }

    // A /dev/serial/by-id link and the device's own path are two names of one adapter; root
    // passes the kernel's exclusive open (lifted here, so that any user sees what root sees).
    void aSecondOpenerIsBusyByAnyName_data() {
        QTest::addColumn<bool>("firstByLink");
        QTest::newRow("first by link, second by path") << true;
        QTest::newRow("first by path, second by link") << false;
    }
    void aSecondOpenerIsBusyByAnyName() {
#ifdef Q_OS_UNIX
        QFETCH_GLOBAL(QString, kind);
        QFETCH(bool, firstByLink);
        if (kind != QLatin1String("qt on a pty"))
            QSKIP("a simulated port has one program on it");
        PtyLine line;
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("usb-FTDI_FT232R-if00-port0"));
        QVERIFY(QFile::link(line.device(), link));
        QVERIFY(line.port().open(firstByLink ? link : line.device(), 115200));
        const QByteArray path = line.device().toLocal8Bit();
        for (const QFileInfo& fd :
             QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System)) {
            if (fd.symLinkTarget().toLocal8Bit() == path)
                ::ioctl(fd.fileName().toInt(), TIOCNXCL);
        }

        QtSerialPort second;
        QVERIFY(!second.open(firstByLink ? line.device() : link, 115200));
        QCOMPARE(second.lastOpenError(), SerialPort::OpenError::Busy);
        // The first keeps its line, and the port is free again once it closes.
        QVERIFY(exchange(line));
        line.port().close();
        QVERIFY(second.open(firstByLink ? line.device() : link, 115200));
#else
        QSKIP("needs a pseudo-terminal");
#endif
    }

    void missingDeviceIsNotFound() {
        QFETCH_GLOBAL(QString, kind);
        const auto line = makeLine(kind);
        QVERIFY(line);
#ifdef Q_OS_WIN
        const QString missing = QStringLiteral("COM199");
#else
        const QString missing = QStringLiteral("/dev/inkwick-no-such-port");
#endif
        QVERIFY(!line->port().open(missing, 115200));
        QCOMPARE(line->port().lastOpenError(), SerialPort::OpenError::NotFound);
        QVERIFY(!line->port().isOpen());
        QVERIFY(!line->port().write(kRequest));
    }
};

QTEST_GUILESS_MAIN(TestSerialPortContract)
#include "tst_serial_port_contract.moc"
