// SPDX-License-Identifier: GPL-3.0-or-later
// Host overhead per printer command in real time: the commands run through the Qt serial port
// and the real clock against printer-sim on a pseudo-terminal, and each is compared with the
// same command against the same printer model in virtual time, where every wait lasts exactly
// what it asks and every host step costs nothing. The difference is what the host adds to the
// waits the protocol mandates and the reply's wire time. (A pseudo-terminal takes the host's
// bytes at once, so the virtual line does too; replies keep the line's pace in both.)
#include "device/mark_bitmap_view.h"
#include "device/print_system_readout.h"
#include "emulator_process.h"
#include "fixed_port_catalogue.h"
#include "link/version_query.h"
#include "logos/logo_document.h"
#include "logos/logo_transfer.h"
#include "marks/mark_document.h"
#include "marks/mark_transfer.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "recording_status_view.h"
#include "scripted_dialogs.h"
#include "test_rig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace platform;
using namespace device;
using namespace logos;
using namespace printerlink;

namespace {

constexpr int kRuns = 10;

struct Command {
    const char* name;
    std::function<void(ScriptedDialogs&)> script;
    std::function<void(Session&)> run;
};

struct Documents {
    marks::MarkDocument marks;
    logos::LogoDocument logo;
    QTemporaryDir dir;
    void attach(Session& s) {
        s.marks = &marks;
        s.logo = &logo;
        s.workDir = QDir(dir.path());
        logo.newLogo(60, 32);
        for (int k = 0; k < 32; ++k)
            logo.setDot(k, k, true);
    }
};

struct RealLine : Documents {
    QtSerialPort port;
    RealClock clock;
    ScriptedDialogs dialogs;
    FixedPortCatalogue catalogue;
    RecordingStatusView status;
    Session s{port, clock, dialogs, catalogue, status};
    explicit RealLine(const QString& device) {
        port.open(device, 115200);
        s.link.open = true;
        s.link.portName = QStringLiteral("COM1");
        s.link.device = device;
        attach(s);
    }
};

struct VirtualLine : Documents {
    TestRig rig;
    VirtualLine() {
        rig.port.instantOutput = true;
        rig.connect();
        attach(rig.session);
    }
};

// Median milliseconds of a command over kRuns runs.
template <typename Now>
double median(const Command& c, Session& s, ScriptedDialogs& dialogs, Now now) {
    QList<double> times;
    for (int i = 0; i < kRuns; ++i) {
        dialogs.shown.clear();
        c.script(dialogs);
        const double start = now();
        c.run(s);
        times.append(now() - start);
    }
    std::sort(times.begin(), times.end());
    return (times[kRuns / 2 - 1] + times[kRuns / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EmulatorProcess sim;
    if (!sim.start()) {
        std::fprintf(stderr, "printer-sim did not start\n");
        return 1;
    }
    RealLine real(sim.device());
    VirtualLine ideal;
    if (!real.port.isOpen()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(sim.device()));
        return 1;
    }

    QTemporaryDir memoryDir(QStringLiteral("/dev/shm/inkwick-bench-XXXXXX"));
    auto number = [](const char* n) {
        return [n](ScriptedDialogs& d) { d.answer(QString::fromLatin1(n)); };
    };
    const QList<Command> commands{
        {"version query", [](ScriptedDialogs&) {}, [](Session& s) { queryVersion(s); }},
        {"print-system settings", [](ScriptedDialogs&) {}, readPrintSystemSettings},
        {"write mark n", number("42"), marks::writeMarkByNumber},
        {"read mark n", number("42"), marks::readMarkByNumber},
        {"read current mark", [](ScriptedDialogs&) {}, marks::readCurrentMark},
        {"write logo slot 60 x 32", number("9"), [](Session& s) { writeLogoSlot(s); }},
        {"read logo slot", number("9"), [](Session& s) { readLogoSlot(s); }},
        // The same with the working folder in memory: what is left is the host's own work, not
        // the disk's flush of the saved slot file.
        {"read logo slot, tmpfs", number("9"),
         [&memoryDir](Session& s) {
             const QDir disk = s.workDir;
             s.workDir = QDir(memoryDir.path());
             readLogoSlot(s);
             s.workDir = disk;
         }},
        {"mark bitmap", [](ScriptedDialogs&) {}, viewMarkBitmap},
    };

    QElapsedTimer wall;
    wall.start();
    VirtualClock& virtualClock = ideal.rig.clock;
    std::printf("%-26s %12s %12s %12s\n", "command", "real ms", "mandated ms", "overhead ms");
    int status = 0;
    for (const Command& c : commands) {
        const double r =
            median(c, real.s, real.dialogs, [&] { return double(wall.nsecsElapsed()) / 1e6; });
        const double v = median(c, ideal.rig.session, ideal.rig.dialogs,
                                [&] { return double(virtualClock.nowUs()) / 1e3; });
        const bool clean = real.dialogs.unexpected.isEmpty() && !real.s.link.error &&
                           ideal.rig.dialogs.unexpected.isEmpty() && !ideal.rig.session.link.error;
        std::printf("%-26s %12.2f %12.2f %12.2f%s\n", c.name, r, v, r - v,
                    clean ? "" : "  (a run failed)");
        if (!clean)
            status = 1;
    }
    return status;
}
