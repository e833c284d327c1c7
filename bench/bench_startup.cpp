// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to a shown main window, and resident memory after start-up and after opening a
// large logo. Each iteration starts this program again as a child that builds the real main
// window with the production seams, so the time includes loading the program and Qt; the
// child reports when its window is on screen and how much memory it holds.
#include "app/main_window.h"
#include "app/menu_table.h"
#include "app/qt_dialogs.h"
#include "logos/logo_file_commands.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

using namespace platform;

namespace {

const char* const kChildFlag = "--startup-child";

// Resident set of this process in kB, from /proc; -1 where there is no /proc.
qint64 residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The widest picture the program opens whole: 8000 x 32 dots of stripes.
QString writeLargeBmp(const QTemporaryDir& dir) {
    QImage picture(8000, 32, QImage::Format_RGB888);
    picture.fill(Qt::white);
    for (int x = 0; x < picture.width(); ++x) {
        for (int y = (x * 7) % 5; y < 32; y += 5)
            picture.setPixelColor(x, y, Qt::black);
    }
    const QString path = dir.filePath(QStringLiteral("large.bmp"));
    QImageWriter(path, "bmp").write(picture);
    return path;
}

int runChild(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication application(argc, argv);
    QTemporaryDir dir;
    QtSerialPort port;
    RealClock clock;
    app::QtDialogs dialogs;
    SystemPortCatalogue catalogue;
    app::MainWindow window(port, clock, dialogs, catalogue);
    dialogs.setParentWindow(&window);
    window.show();
    window.startUp(dir.path(), dir.path(), false);
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QCoreApplication::processEvents();
    std::printf("shown %lld %lld\n", static_cast<long long>(sinceMain.nsecsElapsed()),
                static_cast<long long>(residentKb()));
    std::fflush(stdout);

    if (!logos::loadBmpLogoFile(window.session(), writeLargeBmp(dir)))
        return 1;
    window.runCommand(app::CommandId::LogoModeKey);
    QCoreApplication::processEvents();
    std::printf("logo %lld\n", static_cast<long long>(residentKb()));
    std::fflush(stdout);
    return 0;
}

QString self;

void BM_StartUpToShownMainWindow(benchmark::State& state) {
    qint64 inProcessNs = 0;
    qint64 startupKb = 0;
    qint64 logoKb = 0;
    for (auto _ : state) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        child.start(self, {QString::fromLatin1(kChildFlag)});
        while (!child.canReadLine() && child.waitForReadyRead(10000)) {
        }
        const qint64 shownNs = timer.nsecsElapsed();
        const QList<QByteArray> shown = child.readLine().trimmed().split(' ');
        while (!child.canReadLine() && child.waitForReadyRead(10000)) {
        }
        const QList<QByteArray> logo = child.readLine().trimmed().split(' ');
        child.waitForFinished(10000);
        if (shown.value(0) != "shown" || logo.value(0) != "logo" || child.exitCode() != 0) {
            state.SkipWithError("the child did not show its window or open the logo");
            return;
        }
        state.SetIterationTime(double(shownNs) / 1e9);
        inProcessNs += shown.value(1).toLongLong();
        startupKb += shown.value(2).toLongLong();
        logoKb += logo.value(1).toLongLong();
    }
    const double n = double(state.iterations());
    state.counters["in_process_ms"] = double(inProcessNs) / n / 1e6;
    state.counters["rss_startup_MB"] = double(startupKb) / n / 1024.0;
    state.counters["rss_large_logo_MB"] = double(logoKb) / n / 1024.0;
}
BENCHMARK(BM_StartUpToShownMainWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kChildFlag) == 0)
            return runChild(argc, argv);
    }
    QCoreApplication application(argc, argv);
    self = QCoreApplication::applicationFilePath();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
