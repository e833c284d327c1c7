// SPDX-License-Identifier: GPL-3.0-or-later
#ifdef INKWICK_HAVE_BROKER
#include "cli/cli_broker.h"
#endif
#include "cli/cli_commands.h"
#include "cli/console_text.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"

#include <QGuiApplication>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl+C lets the item under way (a mark, a slot) reach the printer whole and stops
// a series after it; the second one ends the program at once.
extern "C" void onInterrupt(int) {
    interrupted = 1;
#ifndef _WIN32
    static const char note[] = "\ninkwick-cli: остановка после текущего пункта "
                               "(ещё раз Ctrl+C - сразу)\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, note, sizeof note - 1);
#endif
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

int main(int argc, char* argv[]) {
    // The text of an SVG drawing needs the font database, which only a GUI application has;
    // on the offscreen platform it needs no display.
    const bool drawsPictures = std::any_of(
        argv + 1, argv + argc, [](const char* a) { return std::strcmp(a, "import-picture") == 0; });
    if (drawsPictures)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        drawsPictures ? std::make_unique<QGuiApplication>(argc, argv)
                      : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("inkwick-cli"));
    const QStringList arguments = QCoreApplication::arguments().mid(1);
#ifdef INKWICK_HAVE_BROKER
    if (cli::wantsBroker(arguments))
        return cli::runBroker(arguments, stdout, stderr);
#endif
    std::signal(SIGINT, onInterrupt);
    cli::prepareConsole();
    platform::QtSerialPort port;
    platform::RealClock clock;
    platform::SystemPortCatalogue catalogue;
    cli::CliSeams seams{port, clock, catalogue};
    seams.interrupted = [] { return interrupted != 0; };
    return cli::runCli(QCoreApplication::arguments().mid(1), seams);
}
