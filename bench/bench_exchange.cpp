// SPDX-License-Identifier: GPL-3.0-or-later
// Host overhead of the printer link's commands. The printer is simulated in virtual time, so
// the protocol's waits and the wire time cost no wall time: the measured time per command is
// what the host itself spends. The virtual time each command took is printed beside it.
#include "link/printer_settings.h"
#include "link/request_exchange.h"
#include "link/version_query.h"
#include "test_rig.h"

#include <benchmark/benchmark.h>

#include <functional>

using namespace platform;
using namespace printerlink;

namespace {

// Counts the bytes that cross the line in either direction.
class CountingPort : public SerialPort {
public:
    explicit CountingPort(SerialPort& inner) : inner_(inner) {}
    qint64 bytesOnWire = 0;

    bool open(const QString& d, int b) override { return inner_.open(d, b); }
    OpenError lastOpenError() const override { return inner_.lastOpenError(); }
    bool isOpen() const override { return inner_.isOpen(); }
    int baudRate() const override { return inner_.baudRate(); }
    bool write(const QByteArray& bytes) override {
        bytesOnWire += bytes.size();
        return inner_.write(bytes);
    }
    qint64 inputWaiting() override { return inner_.inputWaiting(); }
    qint64 outputWaiting() override { return inner_.outputWaiting(); }
    QByteArray read(qint64 n) override {
        QByteArray got = inner_.read(n);
        bytesOnWire += got.size();
        return got;
    }
    void discardInput() override { inner_.discardInput(); }
    void close() override { inner_.close(); }

private:
    SerialPort& inner_;
};

struct BenchRig : TestRig {
    CountingPort counting{port};
    Session s{counting, clock, dialogs, catalogue, status};
    BenchRig() {
        connect();
        s.link = session.link;
    }
};

void runCommand(benchmark::State& state, const std::function<void(BenchRig&)>& prepare,
                const std::function<void(Session&)>& command) {
    BenchRig rig;
    qint64 virtualUs = 0;
    qint64 commands = 0;
    // The bookkeeping between commands is a few list clears: cheaper than pausing the timer.
    for (auto _ : state) {
        rig.dialogs.shown.clear();
        rig.printer.requests.clear();
        rig.printer.received.clear();
        prepare(rig);
        const qint64 before = rig.clock.nowUs();
        command(rig.s);
        virtualUs += rig.clock.nowUs() - before;
        ++commands;
    }
    const double n = double(qMax<qint64>(commands, 1));
    state.counters["protocol_ms"] = double(virtualUs) / 1000.0 / n;
    state.counters["wire_ms"] =
        double(rig.counting.bytesOnWire) * 10.0 * 1000.0 / rig.s.link.baudRate / n;
}

void nothing(BenchRig&) {}

void BM_VersionQuery(benchmark::State& state) {
    runCommand(state, nothing, [](Session& s) { queryVersion(s); });
}

void BM_SettingsReadout47Bytes(benchmark::State& state) {
    runCommand(state, nothing, [](Session& s) {
        if (requestExchange(s, QByteArrayLiteral("\x11\x5C\x0E")))
            benchmark::DoNotOptimize(readReply(s, 47, 256));
    });
}

void BM_SetClockFromComputer(benchmark::State& state) {
    runCommand(
        state, [](BenchRig& r) { r.dialogs.answer(MessageAnswer::Yes); },
        [](Session& s) { setPrinterClock(s); });
}

void BM_SetPrintLines(benchmark::State& state) {
    runCommand(
        state, [](BenchRig& r) { r.dialogs.answer(QStringLiteral("3")); },
        [](Session& s) { setPrintLines(s); });
}

// The longest the exchange polls: 250 cycles against a silent printer.
void BM_SilentPrinter(benchmark::State& state) {
    runCommand(
        state, [](BenchRig& r) { r.printer.faults.silent = true; },
        [](Session& s) { queryVersion(s); });
}

} // namespace

BENCHMARK(BM_VersionQuery)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SettingsReadout47Bytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetClockFromComputer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetPrintLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SilentPrinter)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
