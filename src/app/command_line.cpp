// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace app {

namespace {

// Exit status of a wrong command line, as for the other tools of the project.
constexpr int kUsageError = 2;

} // namespace

void setApplicationIdentity() {
    QCoreApplication::setOrganizationName(QStringLiteral("Inkwick"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("inkwick.org"));
    QCoreApplication::setApplicationName(QStringLiteral("inkwick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(INKWICK_VERSION));
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Inkwick: settings, marks and logos of K307/K309 ink-jet marking printers "
                       "over a serial line."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Connect to PORT at start without asking: a name from the port list "
                       "(COM1, COM2, ...) or a device path such as /dev/ttyUSB0."),
        QStringLiteral("PORT"));
    parser.addOption(port);

    CommandLine line;
    const QString program =
        arguments.isEmpty() ? QStringLiteral("inkwick") : QFileInfo(arguments.first()).fileName();
    if (!parser.parse(arguments)) {
        line.exitNow = true;
        line.exitCode = kUsageError;
        line.output = program + QStringLiteral(": ") + parser.errorText() +
                      QStringLiteral("\nTry '") + program + QStringLiteral(" --help'.\n");
        return line;
    }
    if (parser.isSet(help)) {
        line.exitNow = true;
        // Without an application object yet, Qt does not know the program's name.
        line.output = parser.helpText().replace(QStringLiteral("<executable_name>"), program);
        return line;
    }
    if (parser.isSet(version)) {
        line.exitNow = true;
        line.output = QCoreApplication::applicationName() + QLatin1Char(' ') +
                      QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.exitNow = true;
        line.exitCode = kUsageError;
        line.output = program + QStringLiteral(": unexpected argument '") +
                      parser.positionalArguments().first() + QStringLiteral("'\nTry '") + program +
                      QStringLiteral(" --help'.\n");
        return line;
    }
    line.port = parser.value(port);
    if (parser.isSet(port) && line.port.trimmed().isEmpty()) {
        line.exitNow = true;
        line.exitCode = kUsageError;
        line.port.clear();
        line.output = program + QStringLiteral(": --port needs a port name or a device path.\n");
    }
    return line;
}

} // namespace app
