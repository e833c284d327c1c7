// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_commands.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"

#include <QCoreApplication>
#include <csignal>

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
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("inkwick-cli"));
    std::signal(SIGINT, onInterrupt);
    platform::QtSerialPort port;
    platform::RealClock clock;
    platform::SystemPortCatalogue catalogue;
    cli::CliSeams seams{port, clock, catalogue};
    seams.interrupted = [] { return interrupted != 0; };
    return cli::runCli(QCoreApplication::arguments().mid(1), seams);
}
