// SPDX-License-Identifier: GPL-3.0-or-later
// Importing a large picture: opening it to the first preview, redrawing the preview as a control
// moves, and refusing a picture too large before it is decoded.
#include "app/picture_import_window.h"
#include "logos/picture_conversion.h"
#include "logos/picture_reading.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

// A 4000 x 4000 colour logo with a gradient, a ring, lettering and a transparent ground, as
// marketing folders hold them.
QString bigPng() {
    static const QString path = [] {
        QImage picture(4000, 4000, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 4000, 4000);
        g.setColorAt(0, QColor(10, 60, 160));
        g.setColorAt(1, QColor(200, 30, 30));
        p.setBrush(g);
        p.setPen(QPen(Qt::black, 60));
        p.drawEllipse(QRect(300, 300, 3400, 3400));
        p.setBrush(Qt::white);
        p.drawEllipse(QRect(1100, 1100, 1800, 1800));
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(700);
        p.setFont(font);
        p.drawText(QRect(0, 1500, 4000, 1000), Qt::AlignCenter, QStringLiteral("ЗАВОД"));
        p.end();
        const QString name = folder().filePath(QStringLiteral("big.png"));
        picture.save(name);
        return name;
    }();
    return path;
}

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xedb88320u : crc >> 1;
    }
    return ~crc;
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    const QByteArray body = QByteArray(type) + data;
    chunk += body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    return chunk + crc;
}

// Only the header of a 10000 x 10000 picture: what it claims is all that may be looked at.
QString hugePng() {
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(10000, header.data());
    qToBigEndian<quint32>(10000, header.data() + 4);
    header[8] = 8; // 8-bit grey
    QByteArray file("\x89PNG\r\n\x1a\n", 8);
    file +=
        pngChunk("IHDR", header) + pngChunk("IDAT", QByteArray(64, '\0')) + pngChunk("IEND", {});
    const QString name = folder().filePath(QStringLiteral("huge.png"));
    QFile f(name);
    f.open(QIODevice::WriteOnly);
    f.write(file);
    return name;
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Refusal of a 10000 x 10000 picture: time, and the peak memory of the process so far (this
// runs first, before any large picture was decoded).
void BM_RefuseHugePicture(benchmark::State& state) {
    const QString name = hugePng();
    const long before = peakKilobytes();
    bool refused = false;
    for (auto _ : state)
        refused = !logos::readPicture(name).error.isEmpty();
    if (!refused)
        state.SkipWithError("the huge picture was not refused");
    state.counters["peak_growth_MB"] = double(peakKilobytes() - before) / 1024.0;
}
BENCHMARK(BM_RefuseHugePicture)->Unit(benchmark::kMicrosecond);

// Decode, reduction to the working picture and the first conversion at 32 dots.
void BM_OpenAndFirstPreview4000x4000(benchmark::State& state) {
    const QString name = bigPng();
    int dots = 0;
    for (auto _ : state) {
        const logos::PictureRead read = logos::readPicture(name);
        const logos::WorkingPicture working = logos::workingPicture(read.picture);
        dots = logos::convertWorking(working, {}).dotCount;
    }
    if (dots == 0)
        state.SkipWithError("nothing converted");
    state.counters["dots"] = dots;
}
BENCHMARK(BM_OpenAndFirstPreview4000x4000)->Unit(benchmark::kMillisecond)->Iterations(10);

// Of that, the decoding alone (Qt's PNG reader), and the reduction to the working picture.
void BM_DecodeOnly4000x4000(benchmark::State& state) {
    const QString name = bigPng();
    for (auto _ : state)
        benchmark::DoNotOptimize(logos::readPicture(name).picture.width());
}
BENCHMARK(BM_DecodeOnly4000x4000)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_WorkingPicture4000x4000(benchmark::State& state) {
    const QImage picture = logos::readPicture(bigPng()).picture;
    for (auto _ : state)
        benchmark::DoNotOptimize(logos::workingPicture(picture).plane.width);
}
BENCHMARK(BM_WorkingPicture4000x4000)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same through the dialog: its first render and the preview painted on screen.
void BM_OpenDialogFirstPreview4000x4000(benchmark::State& state) {
    const QString name = bigPng();
    for (auto _ : state) {
        const logos::PictureRead read = logos::readPicture(name);
        const logos::WorkingPicture working = logos::workingPicture(read.picture);
        app::PictureImportWindow window(working, QStringLiteral("big.png"), nullptr);
        window.show();
        benchmark::DoNotOptimize(window.preview()->grab());
    }
}
BENCHMARK(BM_OpenDialogFirstPreview4000x4000)->Unit(benchmark::kMillisecond)->Iterations(10);

// One move of a control in the open dialog: the conversion from the working picture and the
// preview repainted. Arg: 0 threshold slider, 1 Floyd-Steinberg with the slider, 2 Bayer,
// 3 height.
void BM_ControlChangeRerender(benchmark::State& state) {
    const logos::PictureRead read = logos::readPicture(bigPng());
    const logos::WorkingPicture working = logos::workingPicture(read.picture);
    app::PictureImportWindow window(working, QStringLiteral("big.png"), nullptr);
    window.show();
    QCoreApplication::processEvents();
    const int mode = int(state.range(0));
    window.automaticThreshold()->setChecked(false);
    if (mode == 1 || mode == 2)
        window.ditheringBox()->setCurrentIndex(mode);
    int i = 0;
    for (auto _ : state) {
        if (mode == 3)
            window.heightBox()->setValue(17 + i % 16);
        else
            window.thresholdSlider()->setValue(60 + i % 120);
        benchmark::DoNotOptimize(window.preview()->grab());
        ++i;
    }
}
BENCHMARK(BM_ControlChangeRerender)
    ->ArgName("control")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

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
