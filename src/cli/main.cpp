// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_commands.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("inkwick-cli"));
    platform::QtSerialPort port;
    platform::RealClock clock;
    platform::SystemPortCatalogue catalogue;
    return cli::runCli(QCoreApplication::arguments().mid(1), {port, clock, catalogue});
}
