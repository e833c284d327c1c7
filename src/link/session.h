// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/link_monitor.h"
#include "link/protocol_log.h"
#include "link/result.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/port_catalogue.h"
#include "platform/serial_port.h"
#include "platform/status_view.h"

#include <QDir>
#include <QString>
#include <optional>

namespace marks {
class MarkDocument;
}
namespace logos {
class LogoDocument;
}

namespace printerlink {

enum class WindowMode { Mark, Logo };

// The printer link as the commands see it.
struct PrinterLink {
    // True from a successful opening until "close port". A device that vanished underneath
    // stays "open" until the command that met it has ended; the window then closes the link.
    bool open = false;
    QString portName = QStringLiteral("COM?");
    // The device of the port open or last opened; before any opening, the one remembered from
    // the last run, which the port prompt offers first.
    QString device;
    int baudRate = 115200;
    bool error = false;
    QString modelName = QStringLiteral("K309");

    bool isK309() const { return modelName == QLatin1String("K309"); }
    // ": baud=115200 parity=N Data=8 stop=1"
    QString settingsText() const;
    // "COM5: 115200,n,8,1"
    QString statusText() const;
};

// Everything a command works on. Owned by the main window (or a test) and passed by reference.
// Commands reach the device through the monitor, so every byte is logged.
struct Session {
    Session(platform::SerialPort& device, platform::Clock& clock, platform::Dialogs& dialogs,
            platform::PortCatalogue& catalogue, platform::StatusView& status)
        : monitor(device, clock, log), port(monitor), clock(clock), dialogs(dialogs),
          catalogue(catalogue), status(status) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ProtocolLog log;
    LinkMonitor monitor;
    platform::SerialPort& port;
    platform::Clock& clock;
    platform::Dialogs& dialogs;
    platform::PortCatalogue& catalogue;
    platform::StatusView& status;

    PrinterLink link;
    bool wideLayout = false;
    QDir workDir;
    WindowMode mode = WindowMode::Mark;
    // True while a command runs: nothing else may start until it ends.
    bool busy = false;
    // Set while an operation runs (OperationScope): where the link's failures go instead of
    // their message boxes.
    std::optional<Failure>* failureSink = nullptr;

    // Owned by the shell; tests set them to their own.
    marks::MarkDocument* marks = nullptr;
    logos::LogoDocument* logo = nullptr;
};

// The session is busy for as long as this lives, however the command ends.
class BusyScope {
public:
    explicit BusyScope(Session& s) : s_(s) { s_.busy = true; }
    ~BusyScope() { s_.busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Session& s_;
};

} // namespace printerlink
