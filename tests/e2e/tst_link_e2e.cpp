// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator_process.h"
#include "link/link_messages.h"
#include "link/port_opening.h"
#include "link/printer_settings.h"
#include "link/request_exchange.h"
#include "link/version_query.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"
#include "recording_status_view.h"
#include "scripted_dialogs.h"

#include <QElapsedTimer>
#include <QTest>

using namespace platform;
using namespace printerlink;

namespace {
// The real serial port, the real clock and the system's port list, with the emulator offered
// as the first port the way scripts/run offers it.
struct RealRig {
    QtSerialPort port;
    RealClock clock;
    ScriptedDialogs dialogs;
    SystemPortCatalogue catalogue;
    RecordingStatusView status;
    Session s{port, clock, dialogs, catalogue, status};

    explicit RealRig(const QString& device) {
        qputenv("INKWICK_EXTRA_PORTS", device.toLocal8Bit());
    }
    QStringList messageTexts() const {
        QStringList out;
        for (const auto& m : dialogs.messages())
            out.append(m.text);
        return out;
    }
};
} // namespace

class TestLinkEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void connectAndAskTheVersion() {
        EmulatorProcess sim({QStringLiteral("--model"), QStringLiteral("K307")});
        QVERIFY2(sim.start(), qPrintable(EmulatorProcess::program()));
        RealRig rig(sim.device());
        rig.dialogs.answer(QStringLiteral("1"));

        QVERIFY(openPortInteractive(rig.s));
        QCOMPARE(rig.s.link.device, sim.device());
        QCOMPARE(rig.status.field(MarkField::Port), QStringLiteral("COM1: 115200,n,8,1"));
        QVERIFY(queryVersion(rig.s));
        QCOMPARE(rig.s.link.modelName, QStringLiteral("K307"));
        QVERIFY2(rig.messageTexts().value(0).startsWith(
                     QStringLiteral("Версия Программы Системы Печати:\n\r'K307")),
                 qPrintable(rig.messageTexts().value(0)));
        QCOMPARE(rig.status.textMarkLamp, Lamp::Idle);
        closePort(rig.s);
        QVERIFY(!rig.port.isOpen());
    }

    void printLinesRoundTrip() {
        EmulatorProcess sim({QStringLiteral("--model"), QStringLiteral("K309")});
        QVERIFY(sim.start());
        RealRig rig(sim.device());
        rig.dialogs.answer(QStringLiteral("1")).answer(QStringLiteral("3"));
        QVERIFY(openPortInteractive(rig.s));

        setPrintLines(rig.s);
        QVERIFY(requestExchange(rig.s, QByteArrayLiteral("\x11S\x0E")));
        const auto reply = readReply(rig.s, 2, 256);
        QVERIFY(reply && reply->complete);
        QCOMPARE(int(reply->bytes.at(1)), 3);
        QVERIFY2(rig.dialogs.unexpected.isEmpty(), qPrintable(rig.dialogs.unexpected.join('\n')));
    }

    void secondOpeningOfTheSamePortIsBusy() {
        EmulatorProcess sim;
        QVERIFY(sim.start());
        QtSerialPort first, second;
        QVERIFY(first.open(sim.device(), 115200));
        QVERIFY(!second.open(sim.device(), 115200));
        QCOMPARE(second.lastOpenError(), SerialPort::OpenError::Busy);
        QtSerialPort missing;
        QVERIFY(!missing.open(sim.device() + QStringLiteral("-gone"), 115200));
        QCOMPARE(missing.lastOpenError(), SerialPort::OpenError::NotFound);
    }

    void printerThatGoesAwayIsReportedWithoutAHang() {
        EmulatorProcess sim;
        QVERIFY(sim.start());
        RealRig rig(sim.device());
        rig.dialogs.answer(QStringLiteral("1"));
        QVERIFY(openPortInteractive(rig.s));
        sim.stop();

        QElapsedTimer timer;
        timer.start();
        QVERIFY(!queryVersion(rig.s));
        QVERIFY(!queryVersion(rig.s));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        const QString error = readErrorText(QStringLiteral("COM1"));
        QCOMPARE(rig.messageTexts(), (QStringList{error, error}));
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QVERIFY(rig.s.link.open);
    }
};

QTEST_GUILESS_MAIN(TestLinkEndToEnd)
#include "tst_link_e2e.moc"
