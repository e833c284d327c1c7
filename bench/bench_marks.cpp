// SPDX-License-Identifier: GPL-3.0-or-later
// The mark preview's redraw time and the host overhead of the mark commands. The printer is
// simulated in virtual time, so the protocol's waits and the wire time cost no wall time: the
// measured time per command is what the host spends (the simulator's own work included). The
// virtual time each command took is printed beside it as protocol_ms.
#include "marks/fragment_transfer.h"
#include "marks/mark_document.h"
#include "marks/mark_preview.h"
#include "marks/mark_record.h"
#include "marks/mark_transfer.h"
#include "marks/widgets/mark_window.h"
#include "test_rig.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <functional>

using namespace platform;
using namespace printerlink;

namespace {

using namespace marks;

MarkRows fullMark() {
    MarkRows rows = initialRows();
    const QString text = QStringLiteral("Годен до 31.12.2027 Партия №0417 «ОТК» Lot A-1");
    for (int r = 0; r < kFragmentCount; ++r) {
        rows[r][TextColumn] = text.left(kMaxTextLength - r % 7);
        rows[r][FreeColumn] = freePlacesText(rows[r][TextColumn]);
    }
    return rows;
}

struct MarkBenchRig {
    TestRig rig;
    MarkDocument doc;
    MarkBenchRig() {
        rig.session.marks = &doc;
        rig.connect();
        doc.model().setRows(fullMark());
        rig.printer.state.marks[7] = encodeMarkData(fullMark());
        rig.printer.state.marks[0] = encodeMarkData(fullMark());
    }
};

void BM_PreviewDraw(benchmark::State& state) {
    const MarkRows rows = fullMark();
    QImage image = blankPreview();
    for (auto _ : state) {
        drawMarkPreview(image, rows);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PreviewDraw)->Unit(benchmark::kMillisecond);

// Every text new, as after a mark read or a file load: nothing laid out before.
void BM_PreviewDrawNewTexts(benchmark::State& state) {
    const MarkRows base = fullMark();
    MarkRows rows = base;
    QImage image = blankPreview();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        for (int r = 0; r < kFragmentCount; ++r)
            rows[r][TextColumn] =
                QString::number(round).rightJustified(6) + base[r][TextColumn].mid(6);
        state.ResumeTiming();
        drawMarkPreview(image, rows);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PreviewDrawNewTexts)->Unit(benchmark::kMillisecond);

// The redraw as the change button runs it: draw, then the window shows the new picture.
void BM_PreviewRedrawShown(benchmark::State& state) {
    MarkBenchRig m;
    MarkWindow window(m.rig.session);
    for (auto _ : state)
        m.doc.redrawPreview();
}
BENCHMARK(BM_PreviewRedrawShown)->Unit(benchmark::kMillisecond);

void runCommand(benchmark::State& state, const std::function<void(MarkBenchRig&)>& prepare,
                const std::function<void(Session&)>& command) {
    MarkBenchRig m;
    qint64 virtualUs = 0;
    qint64 commands = 0;
    for (auto _ : state) {
        state.PauseTiming();
        m.rig.dialogs.shown.clear();
        m.rig.printer.requests.clear();
        m.rig.printer.received.clear();
        prepare(m);
        const qint64 before = m.rig.clock.nowUs();
        state.ResumeTiming();

        command(m.rig.session);

        state.PauseTiming();
        virtualUs += m.rig.clock.nowUs() - before;
        ++commands;
        if (!m.rig.dialogs.unexpected.isEmpty())
            state.SkipWithError("unexpected dialog");
        state.ResumeTiming();
    }
    state.counters["protocol_ms"] = double(virtualUs) / 1000.0 / double(qMax<qint64>(commands, 1));
}

void BM_ReadMarkByNumber(benchmark::State& state) {
    runCommand(
        state, [](MarkBenchRig& m) { m.rig.dialogs.answer("7"); }, readMarkByNumber);
}
BENCHMARK(BM_ReadMarkByNumber)->Unit(benchmark::kMillisecond);

void BM_ReadCurrentMark(benchmark::State& state) {
    runCommand(
        state, [](MarkBenchRig&) {}, readCurrentMark);
}
BENCHMARK(BM_ReadCurrentMark)->Unit(benchmark::kMillisecond);

void BM_WriteMarkByNumber(benchmark::State& state) {
    runCommand(
        state, [](MarkBenchRig& m) { m.rig.dialogs.answer("9"); }, writeMarkByNumber);
}
BENCHMARK(BM_WriteMarkByNumber)->Unit(benchmark::kMillisecond);

void BM_ReadFragment(benchmark::State& state) {
    runCommand(
        state, [](MarkBenchRig& m) { m.rig.dialogs.answer("2").answer("5"); },
        [](Session& s) { readFragment(s); });
}
BENCHMARK(BM_ReadFragment)->Unit(benchmark::kMillisecond);

void BM_WriteFragment(benchmark::State& state) {
    runCommand(
        state,
        [](MarkBenchRig& m) {
            m.doc.clickRow(10);
            m.rig.dialogs.answer(MessageAnswer::Yes);
        },
        [](Session& s) { writeFragment(s); });
}
BENCHMARK(BM_WriteFragment)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
