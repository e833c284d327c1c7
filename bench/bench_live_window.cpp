// SPDX-License-Identifier: GPL-3.0-or-later
// The window during long transfers, in real time: printer-sim on a pseudo-terminal paces its
// replies at the line rate, the host's output queue drains at the line rate as a UART's does
// (see line_paced_port.h), and a zero-interval timer counts the event-loop turns the commands'
// waits serve. The longest gap between two turns is how long the window could not paint or
// answer the desktop.
#include "emulator_process.h"
#include "fixed_port_catalogue.h"
#include "line_paced_port.h"
#include "link/session.h"
#include "logos/logo_document.h"
#include "logos/logo_transfer.h"
#include "marks/mark_document.h"
#include "marks/mark_transfer.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "recording_status_view.h"
#include "scripted_dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace platform;

namespace {

struct Command {
    const char* name;
    const char* answer; // the number prompt's answer, if it asks
    std::function<void(printerlink::Session&)> run;
};

} // namespace

int main(int argc, char** argv) {
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    // bench_live_window [baud]: 9600 unless given.
    const int argBaud = argc > 1 ? QByteArray(argv[1]).toInt() : 0;
    const int kBaud = argBaud > 0 ? argBaud : 9600;
    constexpr int kRuns = 5;

    EmulatorProcess sim({QStringLiteral("--baud"), QString::number(kBaud)});
    if (!sim.start()) {
        std::fprintf(stderr, "printer-sim did not start\n");
        return 1;
    }
    QtSerialPort pty;
    LinePacedPort port(pty);
    RealClock clock;
    ScriptedDialogs dialogs;
    FixedPortCatalogue catalogue;
    RecordingStatusView status;
    printerlink::Session s(port, clock, dialogs, catalogue, status);
    marks::MarkDocument doc;
    logos::LogoDocument logo;
    QTemporaryDir dir;
    s.marks = &doc;
    s.logo = &logo;
    s.workDir = QDir(dir.path());
    logo.newLogo(60, 32);
    for (int k = 0; k < 32; ++k)
        logo.setDot(k, k, true);
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

    const QList<Command> commands{
        {"read current mark", nullptr, marks::readCurrentMark},
        {"write mark n (6 blocks)", "42", marks::writeMarkByNumber},
        {"write logo slot 60 x 32", "9", [](printerlink::Session& s) { logos::writeLogoSlot(s); }},
    };
    std::printf("at %d baud against printer-sim, output draining at the line rate, %d runs\n",
                kBaud, kRuns);
    std::printf("%-26s %6s %12s %8s %16s\n", "command", "run", "command_ms", "turns",
                "longest_gap_ms");
    double worstGapMs = 0;
    for (const Command& c : commands) {
        for (int run = 1; run <= kRuns; ++run) {
            dialogs.shown.clear();
            if (c.answer)
                dialogs.answer(QString::fromLatin1(c.answer));
            longestNs = 0;
            turns = 0;
            turn.start();
            sinceTurn.start();
            QElapsedTimer command;
            command.start();
            c.run(s);
            const qint64 commandNs = command.nsecsElapsed();
            longestNs = std::max(longestNs, sinceTurn.nsecsElapsed());
            turn.stop();
            const double gapMs = double(longestNs) / 1e6;
            worstGapMs = std::max(worstGapMs, gapMs);
            // What the command said last: its own result box, or the link's error.
            const QString said =
                dialogs.messages().isEmpty() ? QString() : dialogs.messages().last().title;
            std::printf("%-26s %6d %12.1f %8lld %16.2f  %s%s\n", c.name, run,
                        double(commandNs) / 1e6, static_cast<long long>(turns), gapMs,
                        qPrintable(said), s.link.error ? " (link error)" : "");
        }
    }
    std::printf("longest gap between event-loop turns: %.2f ms (target < 50 ms)\n", worstGapMs);
    return worstGapMs < 50.0 ? 0 : 1;
}
