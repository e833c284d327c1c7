// SPDX-License-Identifier: GPL-3.0-or-later
// The logo editor's response to the pointer and the handling of a very wide picture.
#include "editor/graphic_window.h"
#include "logos/column_packing.h"
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"
#include "logos/split_plan.h"
#include "test_rig.h"

#include <QApplication>
#include <QImageWriter>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

namespace {

// One pointer event over an 819-column logo, from the event to the repainted 10 x 10 cell:
// alternately the left button sets and the right button clears a dot along the top row.
void BM_PointerEventToPaintedDot(benchmark::State& state) {
    TestRig rig;
    logos::LogoDocument logo;
    rig.session.logo = &logo;
    logo.newLogo(819, 32);
    editor::GraphicWindow window(rig.session);
    window.resize(800, 450);
    window.show();
    QCoreApplication::processEvents();
    editor::ZoomCanvas* canvas = window.zoomCanvas();
    int i = 0;
    for (auto _ : state) {
        const QPointF pos(15 + 10 * (i % 70), 15);
        const Qt::MouseButton button = (i / 70) % 2 ? Qt::RightButton : Qt::LeftButton;
        QMouseEvent event(QEvent::MouseMove, pos, canvas->mapToGlobal(pos), Qt::NoButton, button,
                          Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
        QCoreApplication::processEvents(); // the queued repaint of the cell
        ++i;
    }
    logo.endStroke();
    if (logo.countBlackDots() > 70)
        state.SkipWithError("painting went astray");
}
BENCHMARK(BM_PointerEventToPaintedDot)->Unit(benchmark::kMicrosecond);

// Opening an 8000 x 32 BMP (decode, dot image, zoom image), packing it, and cutting it into
// slot-sized parts packed the way split parts are.
void BM_WideBmpLoadPackSplit(benchmark::State& state) {
    TestRig rig;
    logos::LogoDocument logo;
    rig.session.logo = &logo;
    QImage picture(8000, 32, QImage::Format_RGB888);
    picture.fill(Qt::white);
    for (int x = 0; x < 8000; ++x)
        picture.setPixel(x, (x * 7) % 32, qRgb(0, 0, 0));
    const QString name = rig.session.workDir.filePath(QStringLiteral("wide.bmp"));
    QImageWriter(name, "bmp").write(picture);
    qint64 bytes = 0;
    for (auto _ : state) {
        if (!logos::loadBmpLogoFile(rig.session, name)) {
            state.SkipWithError("the picture did not load");
            break;
        }
        const int rows = logo.byteRows();
        bytes += logo.packColumns(0, logo.width()).size();
        const int parts = logos::binPartCount(logo.width(), rows);
        int first = 0;
        for (int w : logos::binPartWidths(logo.width(), rows, parts)) {
            bytes +=
                logos::packColumns(logo.dotImage(), first, w, logo.height(), rows, 8 * rows - 1)
                    .size();
            first += w;
        }
    }
    benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_WideBmpLoadPackSplit)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
