// SPDX-License-Identifier: GPL-3.0-or-later
// printer-sim: a K307 / K309 marking printer behind a pseudo-terminal, for trying Inkwick
// without the hardware. Prints the device path to connect to and runs until interrupted.

#include "emulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile int stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

bool intOption(const QCommandLineParser& p, const QString& name, int min, int& into) {
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < min) {
        std::fprintf(stderr, "printer-sim: --%s needs a number of at least %d\n", qPrintable(name),
                     min);
        return false;
    }
    into = v;
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("printer-sim"));

    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Simulated K307/K309 marking printer on a pseudo-terminal."));
    p.addHelpOption();
    p.addOptions({
        {QStringLiteral("model"), QStringLiteral("K307 or K309."), QStringLiteral("model"),
         QStringLiteral("K309")},
        {QStringLiteral("firmware"), QStringLiteral("Firmware date, DDMMYY."),
         QStringLiteral("date"), QStringLiteral("011010")},
        {QStringLiteral("baud"), QStringLiteral("Line rate that paces the replies."),
         QStringLiteral("rate"), QStringLiteral("115200")},
        {QStringLiteral("link"), QStringLiteral("Symbolic link to create to the device."),
         QStringLiteral("path")},
        {QStringLiteral("memory"),
         QStringLiteral("Folder the marks and logo slots are loaded from and saved to."),
         QStringLiteral("dir")},
        {QStringLiteral("request-log"),
         QStringLiteral("File every request received is appended to, in hex, one a line."),
         QStringLiteral("file")},
        {QStringLiteral("silent"), QStringLiteral("Never answer.")},
        {QStringLiteral("growing"), QStringLiteral("Replies never stop coming.")},
        {QStringLiteral("growing-after"),
         QStringLiteral("Replies never stop coming from the N-th request on."),
         QStringLiteral("N")},
        {QStringLiteral("short"), QStringLiteral("Cut every reply to N bytes."),
         QStringLiteral("N")},
        {QStringLiteral("chunk"), QStringLiteral("Deliver replies in packets of N bytes."),
         QStringLiteral("N")},
        {QStringLiteral("chunk-gap"), QStringLiteral("Pause between packets, ms."),
         QStringLiteral("ms")},
        {QStringLiteral("garbage"), QStringLiteral("Replace replies by random bytes.")},
        {QStringLiteral("latency"), QStringLiteral("Time before the first reply byte, ms."),
         QStringLiteral("ms")},
        {QStringLiteral("arrivals"),
         QStringLiteral("Note when the host's bytes arrive, one line per read: microseconds, "
                        "count."),
         QStringLiteral("file")},
    });
    p.process(app);

    sim::Printer printer;
    const QString model = p.value(QStringLiteral("model"));
    if (model != QLatin1String("K307") && model != QLatin1String("K309")) {
        std::fprintf(stderr, "printer-sim: --model is K307 or K309\n");
        return 2;
    }
    const QString firmware = p.value(QStringLiteral("firmware"));
    if (!QRegularExpression(QStringLiteral("^\\d{6}$")).match(firmware).hasMatch()) {
        std::fprintf(stderr, "printer-sim: --firmware is six digits, DDMMYY\n");
        return 2;
    }
    printer.state.model = model;
    printer.state.firmware = firmware;

    Emulator::Options options;
    sim::Faults& f = printer.faults;
    f.silent = p.isSet(QStringLiteral("silent"));
    f.growing = p.isSet(QStringLiteral("growing"));
    f.garbage = p.isSet(QStringLiteral("garbage"));
    if (!intOption(p, QStringLiteral("baud"), 50, options.baud) ||
        !intOption(p, QStringLiteral("short"), 0, f.shortReply) ||
        !intOption(p, QStringLiteral("chunk"), 1, f.chunkBytes) ||
        !intOption(p, QStringLiteral("chunk-gap"), 0, f.chunkGapMs) ||
        !intOption(p, QStringLiteral("latency"), 0, f.latencyMs) ||
        !intOption(p, QStringLiteral("growing-after"), 0, options.growingAfterRequests))
        return 2;

    options.memoryDir = p.value(QStringLiteral("memory"));
    options.arrivalsFile = p.value(QStringLiteral("arrivals"));
    options.requestLog = p.value(QStringLiteral("request-log"));
    // A new folder starts with the factory memory.
    QString failed;
    if (!options.memoryDir.isEmpty() && !printer.load(options.memoryDir) &&
        !printer.save(options.memoryDir, &failed)) {
        std::fprintf(stderr, "printer-sim: cannot keep the memory in %s: %s not written\n",
                     qPrintable(options.memoryDir), qPrintable(failed));
        return 1;
    }

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("printer-sim: openpty");
        return 1;
    }
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave, TCSANOW, &t);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    const QString link = p.value(QStringLiteral("link"));
    if (!link.isEmpty()) {
        const QFileInfo existing(link);
        if (existing.isSymLink())
            ::unlink(QFile::encodeName(link).constData());
        if (::symlink(name, QFile::encodeName(link).constData()) != 0) {
            std::perror("printer-sim: --link");
            return 1;
        }
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", name);
    std::fflush(stdout);

    Emulator emulator(printer, options);
    const bool ok = emulator.run(master, stopRequested);

    if (!link.isEmpty())
        ::unlink(QFile::encodeName(link).constData());
    ::close(master);
    ::close(slave); // held open all along so a host closing the device causes no hang-up
    return ok ? 0 : 1;
}
