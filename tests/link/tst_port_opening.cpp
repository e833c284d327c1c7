// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_opening.h"
#include "link_rig.h"

#include <QTest>

using namespace platform;
using namespace printerlink;

Q_DECLARE_METATYPE(SerialPort::OpenError)

namespace {
PortEntry entry(const QString& name, const QString& settings, const QString& friendly,
                const QString& device = {}) {
    return {name, settings, friendly, device.isEmpty() ? QStringLiteral("\\\\.\\") + name : device};
}

// Two adapters, registered as COM3 and COM12.
void twoAdapters(LinkRig& rig) {
    rig.catalogue.entries = {entry(QStringLiteral("COM3"), QStringLiteral("115200,n,8,1"),
                                   QStringLiteral("USB-SERIAL CH340")),
                             entry(QStringLiteral("COM12"), QStringLiteral("9600,n,8,1"),
                                   QStringLiteral("Prolific USB"))};
}
} // namespace

class TestPortOpening : public QObject {
    Q_OBJECT
private slots:
    void listLines_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("line");
        QTest::newRow("short: two tabs") << "COM5"
                                         << "115200,n,8,1"
                                         << "COM5:\t115200,n,8,1\t\tUSB\n";
        QTest::newRow("21 characters: two tabs") << "COM12"
                                                 << "115200,n,8,1."
                                                 << "COM12:\t115200,n,8,1.\t\tUSB\n";
        QTest::newRow("22 characters: one tab") << "COM12"
                                                << "115200,n,8,1.."
                                                << "COM12:\t115200,n,8,1..\tUSB\n";
        QTest::newRow("device path") << "COM1"
                                     << "/dev/serial/by-id/usb-FTDI"
                                     << "COM1:\t/dev/serial/by-id/usb-FTDI\tUSB\n";
    }
    void listLines() {
        QFETCH(QString, name);
        QFETCH(QString, settings);
        QFETCH(QString, line);
        QCOMPARE(portListLine(entry(name, settings, QStringLiteral("USB"))), line);
    }

    void promptDefault_data() {
        QTest::addColumn<QStringList>("devices"); // named COM1, COM2, ... in this order
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("answer");
        const QStringList builtInAndAdapter = {"/dev/ttyS0", "/dev/ttyUSB0"};
        QTest::newRow("the built-in port does not take the adapter's default")
            << builtInAndAdapter << ""
            << "2";
        QTest::newRow("the port used last") << builtInAndAdapter << "/dev/ttyS0"
                                            << "1";
        QTest::newRow("the port used last is gone: the adapter")
            << builtInAndAdapter << "/dev/ttyUSB7"
            << "2";
        QTest::newRow("an ACM adapter")
            << QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyACM0"} << ""
            << "3";
        QTest::newRow("no adapter") << QStringList{"/dev/ttyS0", "/dev/ttyS1"} << ""
                                    << "1";
        QTest::newRow("twelfth port used last")
            << QStringList{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "/dev/pts/4"}
            << "/dev/pts/4"
            << "12";
    }
    void promptDefault() {
        QFETCH(QStringList, devices);
        QFETCH(QString, last);
        QFETCH(QString, answer);
        QList<PortEntry> ports;
        for (qsizetype i = 0; i < devices.size(); ++i)
            ports << entry(QStringLiteral("COM%1").arg(i + 1), devices[i], "", devices[i]);
        QCOMPARE(defaultPortAnswer(ports, last), answer);

        LinkRig rig;
        rig.catalogue.entries = ports;
        rig.s.link.device = last;
        rig.dialogs.answer(QString());
        openPortInteractive(rig.s);
        QCOMPARE(rig.dialogs.shown.first().defaultText, answer);
    }

    void portGivenAtStart_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("opened"); // port name, or "" when not
        QTest::newRow("by name") << "COM12"
                                 << "COM12";
        QTest::newRow("name in lower case") << "com3"
                                            << "COM3";
        QTest::newRow("by device") << "\\\\.\\COM12"
                                   << "COM12";
        QTest::newRow("not there") << "COM4"
                                   << "";
    }
    void portGivenAtStart() {
        QFETCH(QString, given);
        QFETCH(QString, opened);
        LinkRig rig;
        twoAdapters(rig);
        if (opened.isEmpty())
            rig.dialogs.answer(MessageAnswer::No);
        QCOMPARE(openPortNamed(rig.s, given), !opened.isEmpty());
        QVERIFY2(rig.dialogs.unexpected.isEmpty(), qPrintable(rig.dialogs.unexpected.join('\n')));
        if (opened.isEmpty()) {
            QCOMPARE(rig.dialogs.shown.size(), 1);
            QCOMPARE(rig.dialogs.last().text,
                     "ПОРТ " + given + " НЕДОСТУПЕН. ВЫБРАТЬ ДРУГОЙ ПОРТ?");
            QVERIFY(rig.s.link.error);
            QVERIFY(!rig.port.isOpen());
        } else {
            QVERIFY(rig.dialogs.shown.isEmpty()); // no prompt
            QCOMPARE(rig.s.link.portName, opened);
            QVERIFY(rig.s.link.open);
        }
    }

    // A path given at start becomes COM1 in the list; a failure names the path, not a COM
    // number that may be another port to the user.
    void aPathThatDoesNotOpenIsNamedByItself() {
        LinkRig rig;
        rig.catalogue.entries = {entry(QStringLiteral("COM1"), "", "", "/nonexistent")};
        rig.port.devices = {QStringLiteral("/dev/ttyUSB0")};
        QVERIFY(!openPortNamed(rig.s, QStringLiteral("/nonexistent")));
        QVERIFY2(rig.dialogs.last().text.startsWith(
                     QStringLiteral("COM-ПОРТ /nonexistent НЕ ОБНАРУЖЕНЫ.")),
                 qPrintable(rig.dialogs.last().text));
    }

    void typedNumber_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("question"); // empty: the port opens
        QTest::addColumn<QString>("device");
        QTest::newRow("12 opens the listed COM12") << "12"
                                                   << ""
                                                   << "\\\\.\\COM12";
        QTest::newRow("3") << "3"
                           << ""
                           << "\\\\.\\COM3";
        QTest::newRow("4 is not listed") << "4"
                                         << "ПОРТ COM4 НЕДОСТУПЕН. ВЫБРАТЬ ДРУГОЙ ПОРТ?"
                                         << "";
        QTest::newRow("03 is not COM3") << "03"
                                        << "ПОРТ COM03 НЕДОСТУПЕН. ВЫБРАТЬ ДРУГОЙ ПОРТ?"
                                        << "";
        QTest::newRow("255 is a port number") << "255"
                                              << "ПОРТ COM255 НЕДОСТУПЕН. ВЫБРАТЬ ДРУГОЙ ПОРТ?"
                                              << "";
        QTest::newRow("0") << "0"
                           << "ПОРТ СОМ0 НЕ СУЩЕСТВУЕТ. ВЫБРАТЬ ДРУГОЙ ПОРТ?"
                           << "";
        QTest::newRow("256") << "256"
                             << "ПОРТ СОМ256 НЕ СУЩЕСТВУЕТ. ВЫБРАТЬ ДРУГОЙ ПОРТ?"
                             << "";
        QTest::newRow("abc") << "abc"
                             << "ПОРТ СОМabc НЕ СУЩЕСТВУЕТ. ВЫБРАТЬ ДРУГОЙ ПОРТ?"
                             << "";
    }
    void typedNumber() {
        QFETCH(QString, answer);
        QFETCH(QString, question);
        QFETCH(QString, device);
        LinkRig rig;
        twoAdapters(rig);
        rig.dialogs.answer(answer);
        if (!question.isEmpty())
            rig.dialogs.answer(MessageAnswer::No);

        QCOMPARE(openPortInteractive(rig.s), question.isEmpty());
        const auto prompt = rig.dialogs.shown.first();
        QCOMPARE(prompt.kind, ScriptedDialogs::Kind::PortPrompt);
        QCOMPARE(prompt.title, QStringLiteral("Открыть СОМ-порт"));
        QCOMPARE(prompt.text, QStringLiteral("ВВЕДИТЕ НОМЕР COM-ПОРТА (1...255)"));
        QCOMPARE(prompt.extra, QStringLiteral("COM3:\t115200,n,8,1\t\tUSB-SERIAL CH340\n"
                                              "COM12:\t9600,n,8,1\t\tProlific USB\n"));
        if (question.isEmpty()) {
            QCOMPARE(rig.port.openings, QStringList{device + "@115200"});
            QCOMPARE(rig.dialogs.shown.size(), 1);
            QVERIFY(!rig.s.link.error);
        } else {
            QVERIFY(rig.port.openings.isEmpty());
            QCOMPARE(rig.dialogs.shown.size(), 2);
            QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
            QCOMPARE(rig.dialogs.last().text, question);
            QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
            QCOMPARE(rig.dialogs.last().buttons, MessageButtons::YesNo);
            QVERIFY(rig.s.link.error);
            QVERIFY(!rig.s.link.open);
        }
        QVERIFY(rig.dialogs.unexpected.isEmpty());
    }

    void yesAsksAgainWithTheSameList() {
        LinkRig rig;
        twoAdapters(rig);
        rig.dialogs.answer(QStringLiteral("4"))
            .answer(MessageAnswer::Yes)
            .answer(QStringLiteral("12"));
        QVERIFY(openPortInteractive(rig.s));
        QCOMPARE(rig.dialogs.shown.size(), 3);
        QCOMPARE(rig.dialogs.shown[2].kind, ScriptedDialogs::Kind::PortPrompt);
        QCOMPARE(rig.dialogs.shown[2].extra, rig.dialogs.shown[0].extra);
        QCOMPARE(rig.s.link.portName, QStringLiteral("COM12"));
    }

    void moreThanSeventeenPortsAreAllListedAndOpen() {
        LinkRig rig;
        rig.catalogue.entries.clear();
        for (int i = 1; i <= 20; ++i)
            rig.catalogue.entries.append(
                entry(QStringLiteral("COM%1").arg(i), QStringLiteral("115200,n,8,1"), "USB"));
        rig.dialogs.answer(QStringLiteral("20"));
        QVERIFY(openPortInteractive(rig.s));
        QCOMPARE(rig.dialogs.shown.first().extra.count('\n'), 20);
        QCOMPARE(rig.port.openings, QStringList{QStringLiteral("\\\\.\\COM20@115200")});
    }

    void cancelEndsWithoutAMessage() {
        LinkRig rig;
        twoAdapters(rig);
        rig.dialogs.answer(QString());
        QVERIFY(!openPortInteractive(rig.s));
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QVERIFY(rig.s.link.error);
        QVERIFY(rig.port.openings.isEmpty());
        QVERIFY(rig.status.lampHistory.isEmpty());
    }

    void nothingFound() {
        LinkRig rig;
        rig.catalogue.entries.clear();
        QVERIFY(!openPortInteractive(rig.s));
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("СООБЩЕНИЕ СИСТЕМЫ"));
        QCOMPARE(rig.dialogs.last().text, QStringLiteral("  ДОСТУПНЫЕ COM-ПОРТЫ НЕ ОБНАРУЖЕНЫ!  "));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QCOMPARE(rig.dialogs.last().buttons, MessageButtons::Ok);
        QCOMPARE(rig.status.field(MarkField::Port), QStringLiteral("COM?"));
        QCOMPARE(rig.status.field(GraphicField::Port), QStringLiteral("COM?"));
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QCOMPARE(rig.status.graphicLamp, Lamp::Error);
        QVERIFY(rig.s.link.error);
    }

    void openFailureNamesTheReason_data() {
        QTest::addColumn<SerialPort::OpenError>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not present") << SerialPort::OpenError::NotFound
                                     << "COM-ПОРТ COM3 НЕ ОБНАРУЖЕНЫ.\n\rУстройство отсутствует";
        QTest::newRow("busy") << SerialPort::OpenError::Busy
                              << "COM-ПОРТ COM3 ЗАНЯТ.\n\rПорт открыт другой программой";
#ifdef Q_OS_LINUX
        QTest::newRow("no permission") << SerialPort::OpenError::NoPermission << "группу dialout";
#endif
        QTest::newRow("other") << SerialPort::OpenError::Other << "COM-ПОРТ COM3 НЕ ОТКРЫТ.";
    }
    void openFailureNamesTheReason() {
        QFETCH(SerialPort::OpenError, error);
        QFETCH(QString, reason);
        LinkRig rig;
        twoAdapters(rig);
        rig.port.failOpen = error;
        rig.dialogs.answer(QStringLiteral("3"));

        QVERIFY(!openPortInteractive(rig.s));
        QCOMPARE(rig.dialogs.shown.size(), 2);
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("СООБЩЕНИЕ СИСТЕМЫ"));
        QVERIFY2(rig.dialogs.last().text.contains(reason), qPrintable(rig.dialogs.last().text));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QCOMPARE(rig.dialogs.last().buttons, MessageButtons::Ok);
        QCOMPARE(rig.status.field(MarkField::Port), QStringLiteral("COM?"));
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QVERIFY(rig.s.link.error);
        QVERIFY(!rig.s.link.open);
    }

    void openedPortShowsNameAndRate_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("field");
        QTest::newRow("default") << 115200 << "COM12: 115200,n,8,1";
        QTest::newRow("after a change to 9600") << 9600 << "COM12: 9600,n,8,1";
    }
    void openedPortShowsNameAndRate() {
        QFETCH(int, baud);
        QFETCH(QString, field);
        LinkRig rig;
        twoAdapters(rig);
        rig.s.link.baudRate = baud;
        rig.dialogs.answer(QStringLiteral("12"));

        QVERIFY(openPortInteractive(rig.s));
        QCOMPARE(rig.port.openings, QStringList{QStringLiteral("\\\\.\\COM12@%1").arg(baud)});
        QCOMPARE(rig.status.field(MarkField::Port), field);
        QCOMPARE(rig.status.field(GraphicField::Port), field);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Idle);
        QCOMPARE(rig.status.graphicLamp, Lamp::Idle);
        QVERIFY(rig.s.link.open);
        QCOMPARE(rig.s.link.portName, QStringLiteral("COM12"));
    }

    void reopenAtAnotherRate() {
        LinkRig rig;
        twoAdapters(rig);
        rig.dialogs.answer(QStringLiteral("3"));
        QVERIFY(openPortInteractive(rig.s));

        rig.s.link.baudRate = 19200;
        QVERIFY(reopenPort(rig.s));
        QCOMPARE(rig.port.openings.last(), QStringLiteral("\\\\.\\COM3@19200"));
        QCOMPARE(rig.port.baudRate(), 19200);
        QVERIFY(rig.s.link.open);

        rig.port.failOpen = SerialPort::OpenError::Busy;
        rig.s.link.baudRate = 9600;
        QVERIFY(!reopenPort(rig.s));
        QVERIFY(!rig.s.link.open);
        QVERIFY(!rig.port.isOpen());
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QCOMPARE(rig.dialogs.shown.size(), 1); // no dialog of its own
    }

    void closeLeavesNotConnected() {
        LinkRig rig;
        rig.connect();
        closePort(rig.s);
        QVERIFY(!rig.port.isOpen());
        QVERIFY(!rig.s.link.open);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Grey);
        QCOMPARE(rig.status.graphicLamp, Lamp::Grey);
        QCOMPARE(rig.status.field(MarkField::Port), QStringLiteral("COM?"));
        QCOMPARE(rig.status.field(GraphicField::Port), QStringLiteral("COM?"));
    }
};

QTEST_GUILESS_MAIN(TestPortOpening)
#include "tst_port_opening.moc"
