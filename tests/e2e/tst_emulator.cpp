// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator_process.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

int openRaw(const QString& device) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return fd;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

// Writes the request and collects the reply until `expected` bytes came (then a little longer,
// to catch anything extra) or the time is up.
QByteArray exchange(int fd, const QByteArray& request, int expected, int timeoutMs = 2000) {
    if (!request.isEmpty() &&
        ::write(fd, request.constData(), size_t(request.size())) != ssize_t(request.size()))
        return QByteArray("write failed");
    QByteArray reply;
    QElapsedTimer timer;
    timer.start();
    qint64 deadline = timeoutMs;
    while (timer.elapsed() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                reply.append(buffer, int(n));
        }
        if (expected > 0 && reply.size() >= expected && deadline == timeoutMs)
            deadline = timer.elapsed() + 100;
    }
    return reply;
}

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

class TstEmulator : public QObject {
    Q_OBJECT
private slots:
    void versionQueryOverThePseudoTerminal_data();
    void versionQueryOverThePseudoTerminal();
    void linkIsRemovedOnTermination();
    void writtenMarkSurvivesARestart();
};

void TstEmulator::versionQueryOverThePseudoTerminal_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("defaults") << QStringList{} << QByteArray("VK309 v4.12 011010");
    QTest::newRow("model and firmware") << QStringList{"--model", "K307", "--firmware", "300910"}
                                        << QByteArray("VK307 v4.12 300910");
    QTest::newRow("packets with gaps")
        << QStringList{"--chunk", "4", "--chunk-gap", "15", "--baud", "9600"}
        << QByteArray("VK309 v4.12 011010");
    QTest::newRow("short reply") << QStringList{"--short", "3"} << QByteArray("VK3");
    QTest::newRow("silent") << QStringList{"--silent"} << QByteArray();
}

void TstEmulator::versionQueryOverThePseudoTerminal() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, reply);
    EmulatorProcess sim(arguments);
    QVERIFY2(sim.start(), qPrintable(EmulatorProcess::program()));
    Fd port{openRaw(sim.device())};
    QVERIFY(port.fd >= 0);
    const int expected = reply.isEmpty() ? 0 : int(reply.size());
    QCOMPARE(exchange(port.fd, QByteArray("\x11\x69\x0E"), expected, reply.isEmpty() ? 500 : 3000),
             reply);
}

void TstEmulator::linkIsRemovedOnTermination() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyPRINTER"));
    EmulatorProcess sim({QStringLiteral("--link"), link});
    QVERIFY(sim.start());
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.device());
    {
        // The host opening and closing the device must not end the emulator.
        Fd port{openRaw(link)};
        QVERIFY(port.fd >= 0);
    }
    Fd port{openRaw(link)};
    QCOMPARE(exchange(port.fd, QByteArray("\x11\x4D\x0E"), 2), QByteArray("M\x03"));
    QCOMPARE(sim.stop(), 0);
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
}

void TstEmulator::writtenMarkSurvivesARestart() {
    QTemporaryDir dir;
    const QStringList args{QStringLiteral("--memory"), dir.path()};
    QByteArray mark(1536, '\0');
    mark.replace(0, 6,
                 QByteArray("\x19\x04\x03"
                            "123",
                            6));
    {
        EmulatorProcess sim(args);
        QVERIFY(sim.start());
        Fd port{openRaw(sim.device())};
        // Header, then the data in blocks, as the host sends them.
        QVERIFY(exchange(port.fd, QByteArray("\x0F\x74\x34\x32\x0E"), 0, 5).isEmpty());
        for (int i = 0; i < 6; ++i)
            QVERIFY(exchange(port.fd, mark.mid(256 * i, 256), 0, 30).isEmpty());
        QCOMPARE(sim.stop(), 0);
    }
    EmulatorProcess sim(args);
    QVERIFY(sim.start());
    Fd port{openRaw(sim.device())};
    QCOMPARE(exchange(port.fd, QByteArray("\x0F\x72\x34\x32\x0E"), 1536, 3000), mark);
    const QByteArray map = exchange(port.fd, QByteArray("\x0F\x78\x0E"), 85);
    QCOMPARE(map.size(), 85);
    QCOMPARE(map.at(41), 'Y');
}

QTEST_GUILESS_MAIN(TstEmulator)
#include "tst_emulator.moc"
