// SPDX-License-Identifier: GPL-3.0-or-later
// A mark write through the real window, as the printer sees it: printer-sim notes when each
// read of the host's bytes arrived, and the span from the header's first byte to the last
// block's is compared with the pauses the printer needs (2 ms after the header, 30 ms after
// each of the first five blocks). On a pseudo-terminal the blocks themselves take no time, so
// anything over 152 ms is the window's event turns stretching the waits. Run it on a real
// display (Xvfb) with accessibility on, as scripts/bench does.
#include "app/main_window.h"
#include "emulator_process.h"
#include "fixed_port_catalogue.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "scripted_dialogs.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

using namespace platform;

namespace {

constexpr int kRuns = 8;
constexpr double kMandatedMs = 2 + 5 * 30;
constexpr qint64 kMarkWriteBytes = 5 + 1536;

struct Arrival {
    qint64 atUs;
    qint64 bytes;
};

QList<Arrival> readArrivals(const QString& path) {
    QList<Arrival> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2)
            out.append({parts[0].toLongLong(), parts[1].toLongLong()});
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString arrivalsPath = dir.filePath(QStringLiteral("arrivals.txt"));
    EmulatorProcess sim({QStringLiteral("--arrivals"), arrivalsPath});
    if (!sim.start()) {
        std::fprintf(stderr, "printer-sim did not start\n");
        return 1;
    }
    QtSerialPort port;
    RealClock clock;
    ScriptedDialogs dialogs;
    dialogs.okNeedsNoAnswer = true;
    FixedPortCatalogue catalogue;
    catalogue.entries.append(
        {QStringLiteral("COM1"), sim.device(), QStringLiteral("printer-sim"), sim.device()});
    app::MainWindow window(port, clock, dialogs, catalogue);
    window.show();
    window.startUp(dir.path(), dir.path(), false);
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    dialogs.answer(QStringLiteral("1"));
    window.runCommand(app::CommandId::OpenPort);
    if (!window.session().link.open) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(sim.device()));
        return 1;
    }

    std::printf("mark write through the window on %s, platform %s, %d runs\n",
                qPrintable(sim.device()), qPrintable(QGuiApplication::platformName()), kRuns);
    std::printf("%6s %10s %10s\n", "run", "span_ms", "over_ms");
    QList<double> spans;
    bool clean = true;
    for (int run = 1; run <= kRuns; ++run) {
        const qsizetype before = readArrivals(arrivalsPath).size();
        dialogs.answer(QStringLiteral("42"));
        window.runCommand(app::CommandId::WriteMark);
        // Let the emulator note the last read; the window goes on painting meanwhile.
        clock.waitMs(100);
        const QList<Arrival> all = readArrivals(arrivalsPath);
        const QList<Arrival> mine = all.mid(before);
        qint64 bytes = 0;
        for (const Arrival& a : mine)
            bytes += a.bytes;
        if (mine.isEmpty() || bytes != kMarkWriteBytes || window.session().link.error) {
            std::fprintf(stderr, "run %d: %lld bytes arrived, not %lld\n", run,
                         static_cast<long long>(bytes), static_cast<long long>(kMarkWriteBytes));
            clean = false;
            continue;
        }
        const double span = double(mine.last().atUs - mine.first().atUs) / 1000.0;
        spans.append(span);
        std::printf("%6d %10.2f %10.2f\n", run, span, span - kMandatedMs);
        // Commands a few hundred milliseconds apart, as an operator's are.
        clock.waitMs(200);
    }
    if (spans.isEmpty())
        return 1;
    std::sort(spans.begin(), spans.end());
    const double median = spans.size() % 2
                              ? spans[spans.size() / 2]
                              : (spans[spans.size() / 2 - 1] + spans[spans.size() / 2]) / 2;
    std::printf("median span %.2f ms against the mandated %.0f ms: %+.2f ms (target within 2 ms)\n",
                median, kMandatedMs, median - kMandatedMs);
    return clean && std::abs(median - kMandatedMs) <= 2.0 ? 0 : 1;
}
