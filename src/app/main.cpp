#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Taken before anything can change the current directory.
    const QString startDir = QDir::currentPath();

    QtSerialPort port;
    RealClock clock;
    app::QtDialogs dialogs;
    SystemPortCatalogue catalogue;
    app::MainWindow window(port, clock, dialogs, catalogue);
    dialogs.setParentWindow(&window);
    window.show();
    window.startUp(startDir, QDir::homePath());
    if (window.exiting())
        return 0;
    return application.exec();
}
