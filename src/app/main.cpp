#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"

#include <QApplication>
#include <QDir>
#include <QProxyStyle>

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

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(new ShellStyle);
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
