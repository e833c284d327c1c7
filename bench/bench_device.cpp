// SPDX-License-Identifier: GPL-3.0-or-later
// Host overhead of the read-outs, the mark bitmap view and the logo slot commands against the
// simulated printer in virtual time (the protocol's waits cost no wall time).
#include "device/area_maps.h"
#include "device/counters_readout.h"
#include "device/mark_bitmap_view.h"
#include "device/print_mode_readout.h"
#include "device/print_system_readout.h"
#include "logos/logo_document.h"
#include "logos/logo_transfer.h"
#include "test_rig.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <functional>

using namespace platform;
using namespace device;
using namespace logos;
using namespace printerlink;

namespace {

struct Rig : TestRig {
    logos::LogoDocument logo;
    Rig() {
        session.logo = &logo;
        logo.newLogo(63, 32);
        connect();
    }
};

// The widest bitmap the view takes: 819 columns of 4 bytes with a diagonal pattern.
QByteArray widestBitmap() {
    QByteArray b;
    b.append(char(819 & 0xFF)).append(char(819 >> 8)).append(char(4));
    for (int i = 0; i < 819 * 4; ++i)
        b.append(char(1 << (i % 8)));
    return b;
}

void run(benchmark::State& state, const std::function<void(Rig&)>& prepare,
         const std::function<void(Session&)>& command) {
    Rig rig;
    qint64 virtualUs = 0;
    qint64 n = 0;
    for (auto _ : state) {
        rig.dialogs.shown.clear();
        rig.printer.requests.clear();
        rig.printer.received.clear();
        prepare(rig);
        const qint64 before = rig.clock.nowUs();
        command(rig.session);
        virtualUs += rig.clock.nowUs() - before;
        ++n;
    }
    state.counters["protocol_ms"] = double(virtualUs) / 1000.0 / double(qMax<qint64>(n, 1));
}

void nothing(Rig&) {}

void BM_PrintModeReadout(benchmark::State& st) {
    run(st, nothing, readPrintModeSettings);
}
void BM_PrintedMarks(benchmark::State& st) {
    run(st, nothing, readPrintedMarks);
}
void BM_TextMarkAreaMap(benchmark::State& st) {
    run(st, nothing, showTextMarkAreaMap);
}
void BM_GraphicAreaMap(benchmark::State& st) {
    run(st, nothing, showGraphicAreaMap);
}

void BM_MarkBitmap819x32(benchmark::State& st) {
    const QByteArray bitmap = widestBitmap();
    run(
        st, [&](Rig& r) { r.printer.state.bitmap = bitmap; }, viewMarkBitmap);
}

void BM_ReadLogoSlot(benchmark::State& st) {
    run(
        st, [](Rig& r) { r.dialogs.answer(QStringLiteral("1")); },
        [](Session& s) { readLogoSlot(s); });
}

void BM_WriteLogoSlot63x32(benchmark::State& st) {
    run(
        st, [](Rig& r) { r.dialogs.answer(QStringLiteral("12")); },
        [](Session& s) { writeLogoSlot(s); });
}

void BM_DeleteLogoSlot(benchmark::State& st) {
    run(
        st,
        [](Rig& r) {
            r.dialogs.answer(QStringLiteral("12"));
            r.dialogs.answer(MessageAnswer::Yes);
        },
        [](Session& s) { deleteLogoSlot(s); });
}

} // namespace

BENCHMARK(BM_PrintModeReadout)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrintedMarks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextMarkAreaMap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GraphicAreaMap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkBitmap819x32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadLogoSlot)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteLogoSlot63x32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteLogoSlot)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // the logo pictures are QImages; fonts need a GUI app
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
