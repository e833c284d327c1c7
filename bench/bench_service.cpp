// SPDX-License-Identifier: GPL-3.0-or-later
// A backup of a full printer (85 marks, 128 logo slots) at 115200.
// - In virtual time against the simulated printer: protocol_ms is what the commands' own waits
//   and the wire take, host_ms what the host adds; overhead_pct must stay under 5.
// - In real time against printer-sim on a pseudo-terminal: wall_ms against waits_ms (every wait
//   the commands asked the clock for) plus wire_ms (every byte written and read at 10 bits),
//   and against the line's own limit: wire_ms plus the simulator's reply latency (2 ms before
//   each reply), which it must come within 1.15 times of (limit_ratio). On a loaded machine
//   only a run at real-time priority (`chrt -f 10`, shown as fifo=1) measures the program
//   rather than the scheduler; requests above 221 are replies asked again.
#include "emulator_process.h"
#include "fixed_port_catalogue.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "recording_status_view.h"
#include "scripted_dialogs.h"
#include "service/service_commands.h"
#include "test_rig.h"

#include <QTemporaryDir>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#ifdef Q_OS_LINUX
#include <sched.h>
#endif

namespace {

void fillPrinter(sim::PrinterState& state) {
    for (int n = 0; n <= 85; ++n) {
        QByteArray mark(1536, '\0');
        for (int record = 0; record < 32; ++record) {
            const QByteArray text = QByteArray("MARK ") + QByteArray::number(n) + " FRAGMENT " +
                                    QByteArray::number(record) + " TEXT OF 44 CHARACTERS";
            QByteArray rec = QByteArray(1, '\x18') + '\x02' + char(44) + text.left(44);
            mark.replace(record * 48, rec.size(), rec);
        }
        state.marks[n] = mark;
    }
    for (int slot = 0; slot < 128; ++slot) {
        QByteArray payload = QByteArray(1, char(63)) + char(4);
        for (int i = 0; i < 252; ++i)
            payload.append(char((i * 7 + slot) & 0xFF));
        state.logos[slot] = payload + QByteArray(2, '\0');
    }
}

void BM_BackupFullPrinter(benchmark::State& state) {
    qint64 virtualUs = 0;
    qint64 hostNs = 0;
    qint64 n = 0;
    for (auto _ : state) {
        TestRig rig;
        fillPrinter(rig.printer.state);
        rig.connect();
        const qint64 before = rig.clock.nowUs();
        QElapsedTimer host;
        host.start();
        const auto report = service::backupTo(rig.session, rig.dir.filePath("backup"));
        hostNs += host.nsecsElapsed();
        virtualUs += rig.clock.nowUs() - before;
        ++n;
        if (report.outcome != service::Outcome::Done || report.marks.size() != 86 ||
            report.logos.size() != 128)
            state.SkipWithError("the backup was not complete");
    }
    const double protocolMs = double(virtualUs) / 1000.0 / double(qMax<qint64>(n, 1));
    const double hostMs = double(hostNs) / 1e6 / double(qMax<qint64>(n, 1));
    state.counters["protocol_ms"] = protocolMs;
    state.counters["host_ms"] = hostMs;
    state.counters["overhead_pct"] = 100.0 * hostMs / protocolMs;
}

class CountingClock : public platform::Clock {
public:
    void waitMs(int ms) override {
        waitedUs += 1000 * qint64(qMax(ms, 0));
        real.waitMs(ms);
    }
    void waitUs(int us) override {
        waitedUs += qMax(us, 0);
        real.waitUs(us);
    }
    QDateTime now() const override { return real.now(); }
    qint64 elapsedMs() const override { return real.elapsedMs(); }
    platform::RealClock real;
    qint64 waitedUs = 0;
};

class CountingPort : public platform::QtSerialPort {
public:
    bool write(const QByteArray& bytes) override {
        ++writes;
        bytesMoved += bytes.size();
        return QtSerialPort::write(bytes);
    }
    QByteArray read(qint64 n) override {
        const QByteArray got = QtSerialPort::read(n);
        bytesMoved += got.size();
        return got;
    }
    qint64 bytesMoved = 0;
    qint64 writes = 0;
};

void BM_BackupFullPrinterRealTime(benchmark::State& state) {
    QTemporaryDir dir;
    sim::Printer full;
    fillPrinter(full.state);
    if (!full.save(dir.filePath("memory"))) {
        state.SkipWithError("cannot write the simulator's memory");
        return;
    }
    EmulatorProcess emulator({QStringLiteral("--memory"), dir.filePath("memory")});
    if (!emulator.start()) {
        state.SkipWithError("printer-sim did not start");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        CountingPort port;
        CountingClock clock;
        ScriptedDialogs dialogs;
        RecordingStatusView status;
        FixedPortCatalogue catalogue;
        printerlink::Session s{port, clock, dialogs, catalogue, status};
        port.open(emulator.device(), 115200);
        s.link.open = true;
        QElapsedTimer wall;
        wall.start();
        const auto report =
            service::backupTo(s, dir.filePath(QStringLiteral("backup%1").arg(round++)));
        const double wallMs = double(wall.elapsed());
        if (report.outcome != service::Outcome::Done || report.logos.size() != 128)
            state.SkipWithError("the backup was not complete");
        const double wireMs = double(port.bytesMoved) * 10.0 * 1000.0 / 115200.0;
        state.counters["wall_ms"] = wallMs;
        state.counters["waits_ms"] = double(clock.waitedUs) / 1000.0;
        state.counters["wire_ms"] = wireMs;
        state.counters["wall_pct_of_bound"] =
            100.0 * wallMs / (double(clock.waitedUs) / 1000.0 + wireMs);
        // A backup only reads: every request is answered after the simulator's latency.
        const double latencyMs = double(port.writes) * sim::Faults{}.latencyMs;
        state.counters["latency_ms"] = latencyMs;
        state.counters["limit_ratio"] = wallMs / (wireMs + latencyMs);
        state.counters["requests"] = double(port.writes);
#ifdef Q_OS_LINUX
        state.counters["fifo"] = ::sched_getscheduler(0) == SCHED_FIFO ? 1 : 0;
#endif
    }
}

} // namespace

BENCHMARK(BM_BackupFullPrinter)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BackupFullPrinterRealTime)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
