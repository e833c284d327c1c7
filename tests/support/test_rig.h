// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fixed_port_catalogue.h"
#include "link/session.h"
#include "recording_status_view.h"
#include "scripted_dialogs.h"
#include "sim/printer.h"
#include "simulated_port.h"
#include "virtual_clock.h"

#include <QTemporaryDir>

// A Session wired to a simulated printer in virtual time, scripted dialogs, a recording status
// view and a fresh temporary working directory. One catalogue entry: COM1 -> /dev/ttySIM0.
struct TestRig {
    sim::Printer printer;
    VirtualClock clock;
    SimulatedPort port{printer, clock};
    ScriptedDialogs dialogs;
    RecordingStatusView status;
    FixedPortCatalogue catalogue;
    QTemporaryDir dir;
    printerlink::Session session{port, clock, dialogs, catalogue, status};

    TestRig() {
        catalogue.entries.append({QStringLiteral("COM1"), QStringLiteral("/dev/ttySIM0"),
                                  QStringLiteral("Simulated printer"),
                                  QStringLiteral("/dev/ttySIM0")});
        session.workDir = QDir(dir.path());
    }

    // Connects without the port dialog, as a successful opening leaves it.
    void connect(const QString& model = QStringLiteral("K309")) {
        printer.state.model = model;
        port.open(QStringLiteral("/dev/ttySIM0"), session.link.baudRate);
        session.link.open = true;
        session.link.portName = QStringLiteral("COM1");
        session.link.device = QStringLiteral("/dev/ttySIM0");
        session.link.modelName = model;
    }

    // The requests the printer received, as bytes.
    QList<QByteArray> requests() const { return printer.requests; }
};
