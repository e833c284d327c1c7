// SPDX-License-Identifier: GPL-3.0-or-later
// The window during a long transfer, in real time: printer-sim on a pseudo-terminal paces its
// replies at 9600 baud, and a zero-interval timer counts the event-loop turns the command's
// waits serve. The longest gap between two turns is how long the window could not paint.
#include "emulator_process.h"
#include "fixed_port_catalogue.h"
#include "link/session.h"
#include "marks/mark_document.h"
#include "marks/mark_transfer.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "recording_status_view.h"
#include "scripted_dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace platform;

int main(int argc, char** argv) {
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    // bench_live_window [baud]: 9600 unless given.
    const int kBaud = argc > 1 ? QByteArray(argv[1]).toInt() : 9600;
    constexpr int kRuns = 5;

    EmulatorProcess sim({QStringLiteral("--baud"), QString::number(kBaud)});
    if (!sim.start()) {
        std::fprintf(stderr, "printer-sim did not start\n");
        return 1;
    }
    QtSerialPort port;
    RealClock clock;
    ScriptedDialogs dialogs;
    FixedPortCatalogue catalogue;
    RecordingStatusView status;
    printerlink::Session s(port, clock, dialogs, catalogue, status);
    marks::MarkDocument doc;
    s.marks = &doc;
    // The window draws the preview at start-up; the first drawing loads the fonts.
    doc.redrawPreview();
    if (!s.port.open(sim.device(), kBaud)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(sim.device()));
        return 1;
    }
    s.link.open = true;
    s.link.baudRate = kBaud;
    s.link.portName = QStringLiteral("COM1");

    QElapsedTimer sinceTurn;
    qint64 longestNs = 0;
    qint64 turns = 0;
    QTimer turn;
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, [&] {
        longestNs = std::max(longestNs, sinceTurn.nsecsElapsed());
        sinceTurn.start();
        ++turns;
    });

    std::printf("mark read (1536 bytes) at %d baud against printer-sim, %d runs\n", kBaud, kRuns);
    std::printf("%6s %12s %8s %16s\n", "run", "command_ms", "turns", "longest_gap_ms");
    double worstGapMs = 0;
    for (int run = 1; run <= kRuns; ++run) {
        dialogs.shown.clear();
        longestNs = 0;
        turns = 0;
        turn.start();
        sinceTurn.start();
        QElapsedTimer command;
        command.start();
        marks::readCurrentMark(s);
        const qint64 commandNs = command.nsecsElapsed();
        longestNs = std::max(longestNs, sinceTurn.nsecsElapsed());
        turn.stop();
        const double gapMs = double(longestNs) / 1e6;
        worstGapMs = std::max(worstGapMs, gapMs);
        std::printf("%6d %12.1f %8lld %16.2f%s\n", run, double(commandNs) / 1e6,
                    static_cast<long long>(turns), gapMs,
                    dialogs.shown.isEmpty() ? "" : "  (a message was shown)");
    }
    std::printf("longest gap between event-loop turns: %.2f ms (target < 50 ms)\n", worstGapMs);
    return worstGapMs < 50.0 ? 0 : 1;
}
