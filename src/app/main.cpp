// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "app/qt_translation.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"

#include <QApplication>
#include <QDir>
#include <QProxyStyle>
#include <QStandardPaths>
#include <QTextStream>

using namespace platform;

namespace {

// Alt alone moves into the menu bar, as the keyboard user of this program expects.
class ShellStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

app::CommandLine readCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return app::parseCommandLine(arguments);
}

int printAndExit(const app::CommandLine& line) {
    QTextStream(line.exitCode == 0 ? stdout : stderr) << line.output;
    return line.exitCode;
}

} // namespace

int main(int argc, char** argv) {
    app::setApplicationIdentity();
    // Read before the window system is reached, so --help and --version work without a display.
    app::CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.exitNow && commandLine.exitCode == 0)
        return printAndExit(commandLine);

    QApplication application(argc, argv);
    // An option that looked wrong may be Qt's own (-platform, -style, ...), which the
    // application has taken out of argv by now.
    if (commandLine.exitNow) {
        commandLine = readCommandLine(argc, argv);
        if (commandLine.exitNow)
            return printAndExit(commandLine);
    }
    QApplication::setStyle(new ShellStyle);
    app::loadQtTranslation(application);
#ifdef Q_OS_WIN
    const QString startDir = QCoreApplication::applicationDirPath();
    const QString homeDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    // Taken before anything can change the current directory.
    const QString startDir = QDir::currentPath();
    const QString homeDir = QDir::homePath();
#endif

    QtSerialPort port;
    RealClock clock;
    app::AppSettings settings;
    app::QtDialogs dialogs;
    dialogs.setSettings(&settings);
    SystemPortCatalogue catalogue;
    // A device path not found by discovery (a pseudo-terminal, say) is listed with the others.
    if (commandLine.port.contains(QLatin1Char('/')))
        catalogue.addExtraPort(commandLine.port);
    app::MainWindow window(port, clock, dialogs, catalogue);
    window.setSettings(&settings);
    dialogs.setParentWindow(&window);
    window.show();
    window.startUp(startDir, homeDir, true, commandLine.port);
    if (window.exiting())
        return 0;
    return application.exec();
}
