// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_messages.h"
#include "link/request_exchange.h"
#include "link/version_query.h"
#include "link_rig.h"

#include <QTest>

using namespace platform;
using namespace printerlink;

Q_DECLARE_METATYPE(MessageIcon)

namespace {
const QByteArray kVersionRequest = hex("11690E");
const QByteArray kSettingsRequest = hex("115C0E");

// A line whose output queue never empties (a stalled adapter).
class StalledPort : public TimedPort {
public:
    using TimedPort::TimedPort;
    qint64 outputWaiting() override { return 5; }
};
} // namespace

class TestRequestExchange : public QObject {
    Q_OBJECT
private slots:
    void versionReplyDecoding_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("model");
        QTest::addColumn<qint64>("firmware");
        QTest::addColumn<bool>("dated");
        QTest::addColumn<bool>("old");
        QTest::newRow("K309 current") << QByteArray("VK309 v4.12 011010") << false << "K309"
                                      << qint64(101001) << true << false;
        QTest::newRow("K307 a day too old") << QByteArray("VK307 v4.12 300910") << false << "K307"
                                            << qint64(100930) << true << true;
        // Without its date a reply may be cut anywhere: no verdict on the firmware.
        QTest::newRow("no date at the end")
            << QByteArray("VK309 v4.12 abcdef") << false << "K309" << qint64(0) << false << false;
        QTest::newRow("digits stop at a non-digit")
            << QByteArray("VK309 01x026") << false << "K309" << qint64(26) << false << false;
        QTest::newRow("six digits but no date") << QByteArray("VK309 v4.1 321310") << false
                                                << "K309" << qint64(101332) << false << false;
        QTest::newRow("zero first byte")
            << QByteArray("\0K309 011010", 12) << true << "" << qint64(0) << false << false;
        QTest::newRow("text ends at a zero byte") << QByteArray("VK309 011010\0junk", 17) << false
                                                  << "K309" << qint64(101001) << true << false;
        QTest::newRow("shorter than a model name")
            << QByteArray("VK3") << false << "K3" << qint64(3) << false << false;
    }
    void versionReplyDecoding() {
        QFETCH(bool, empty);
        QFETCH(QString, model);
        QFETCH(qint64, firmware);
        QFETCH(bool, dated);
        QFETCH(bool, old);
        QFETCH(QByteArray, reply);
        const VersionReply v = decodeVersionReply(reply);
        QCOMPARE(v.empty, empty);
        if (!v.empty) {
            QCOMPARE(v.modelName, model);
            QCOMPARE(v.firmware, firmware);
            QCOMPARE(v.dated, dated);
            QCOMPARE(v.oldFirmware, old);
        }
    }

    void versionQueryShowsVersionAndTakesModel_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<MessageIcon>("icon");
        QTest::addColumn<QString>("text");
        const QString warning = QStringLiteral(
            "\r\n\nПРЕДУПРЕЖДЕНИЕ:\n\rУстаревшая Программа печати - ранее 01.10.2010.\n\r"
            "Функции управления Марками не поддерживается!");
        QTest::newRow("K309 from 01.10.2010")
            << "K309"
            << "011010" << MessageIcon::Information
            << QStringLiteral("Версия Программы Системы Печати:\n\r'K309 v4.12 011010'");
        QTest::newRow("K307 from 30.09.2010")
            << "K307"
            << "300910" << MessageIcon::Warning
            << QStringLiteral("Версия Программы Системы Печати:\n\r'K307 v4.12 300910'") + warning;
    }
    void versionQueryShowsVersionAndTakesModel() {
        QFETCH(QString, firmware);
        QFETCH(QString, text);
        QFETCH(MessageIcon, icon);
        QFETCH(QString, model);
        LinkRig rig;
        rig.connect(QStringLiteral("K309"));
        rig.printer.state.model = model;
        rig.printer.state.firmware = firmware;

        QVERIFY(queryVersion(rig.s));
        QCOMPARE(rig.requests(), QList<QByteArray>{kVersionRequest});
        QCOMPARE(rig.s.link.modelName, model);
        QCOMPARE(rig.dialogs.messages().size(), 1);
        const auto box = rig.dialogs.messages().first();
        QCOMPARE(box.title, QStringLiteral("Информация Системы Печати"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, icon);
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QCOMPARE(rig.status.lampHistory.first().second, Lamp::Transfer);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Idle);
        QCOMPARE(rig.status.graphicLamp, Lamp::Idle);
        QVERIFY(rig.dialogs.unexpected.isEmpty());
    }

    // A version reply that settles before its end, or stops short, never warns of old
    // firmware nor changes the model name.
    void versionQueryWaitsForTheDate_data() {
        QTest::addColumn<int>("packet");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<int>("cutTo");
        QTest::addColumn<QString>("text");
        const QString whole =
            QStringLiteral("Версия Программы Системы Печати:\n\r'K307 v4.12 011010'");
        QTest::newRow("8-byte packets 20 ms apart") << 8 << 20 << -1 << whole;
        QTest::newRow("16-byte packets 3 ms apart") << 16 << 3 << -1 << whole;
        QTest::newRow("cut after 9 bytes")
            << 0 << 0 << 9
            << QStringLiteral("Версия Программы Системы Печати:\n\r'K307 v4.'\r\n\n"
                              "ОТВЕТ МАРКИРАТОРА НЕПОЛНЫЙ!\n\rПринято байт: 9, дата версии не "
                              "получена.");
        QTest::newRow("cut after 3 bytes")
            << 0 << 0 << 3
            << QStringLiteral("Версия Программы Системы Печати:\n\r'K3'\r\n\n"
                              "ОТВЕТ МАРКИРАТОРА НЕПОЛНЫЙ!\n\rПринято байт: 3, дата версии не "
                              "получена.");
    }
    void versionQueryWaitsForTheDate() {
        QFETCH(int, packet);
        QFETCH(int, gapMs);
        QFETCH(int, cutTo);
        QFETCH(QString, text);
        LinkRig rig;
        rig.connect(QStringLiteral("K309"));
        rig.printer.state.model = QStringLiteral("K307");
        rig.printer.faults.chunkBytes = packet;
        rig.printer.faults.chunkGapMs = gapMs;
        rig.printer.faults.shortReply = cutTo;
        QVERIFY(queryVersion(rig.s));
        QCOMPARE(rig.dialogs.messages().size(), 1);
        QCOMPARE(rig.dialogs.last().text, text);
        QCOMPARE(rig.s.link.modelName, cutTo < 0 ? QStringLiteral("K307") : QStringLiteral("K309"));
        QCOMPARE(rig.dialogs.last().icon,
                 cutTo < 0 ? MessageIcon::Information : MessageIcon::Warning);
    }

    void replyBeginningWithZeroIsReportedAsEmpty() {
        LinkRig rig;
        rig.connect(QStringLiteral("K307"));
        // Bytes that turn up at the moment the request goes out become the reply's start.
        rig.printer.faults.stale = QByteArray(2, '\0');

        QVERIFY(!queryVersion(rig.s));
        QCOMPARE(rig.messageTexts(),
                 QStringList{QStringLiteral("Ошибка при чтении данных из Маркиратора (COM1)!\n\r"
                                            "(возможно Маркиратор не включен или не подключен)")});
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QCOMPARE(rig.s.link.modelName, QStringLiteral("K307"));
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QVERIFY(rig.s.link.error);
    }

    void silentPrinterGivesUpAfter250CyclesAndPortStaysOpen() {
        LinkRig rig;
        rig.connect();
        rig.printer.faults.silent = true;
        const qint64 start = rig.clock.elapsedMs();

        QVERIFY(!queryVersion(rig.s));
        QCOMPARE(rig.timed.counts.size(), 2 * 250);
        QVERIFY(rig.clock.elapsedMs() - start >= 500);
        QCOMPARE(rig.messageTexts(),
                 QStringList{QStringLiteral("Ошибка при чтении данных из Маркиратора (COM1)!")});
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QCOMPARE(rig.status.graphicLamp, Lamp::Error);
        QVERIFY(rig.s.link.error);
        QVERIFY(rig.s.link.open);
        QVERIFY(rig.port.isOpen());

        // The printer wakes up: the next command simply works.
        rig.printer.faults.silent = false;
        QVERIFY(queryVersion(rig.s));
        QVERIFY(!rig.s.link.error);
        QCOMPARE(rig.requests(), (QList<QByteArray>{kVersionRequest, kVersionRequest}));
    }

    void replyThatKeepsGrowingCountsAsMissing() {
        LinkRig rig;
        rig.connect();
        rig.printer.faults.growing = true;

        QVERIFY(!requestExchange(rig.s, kVersionRequest));
        QCOMPARE(rig.messageTexts(), QStringList{readErrorText(QStringLiteral("COM1"))});
        QVERIFY(rig.s.link.error);
        QVERIFY(rig.port.isOpen());
    }

    void burstSettlesAtTheFirstEqualPair() {
        LinkRig rig;
        rig.connect();
        rig.printer.state.settings = QByteArray(40, '\x07');
        rig.printer.faults.chunkBytes = 40; // all 40 bytes reach the host at one moment

        const auto n = requestExchange(rig.s, kSettingsRequest);
        QCOMPARE(n.value_or(-1), qint64(40));
        const QList<qint64>& c = rig.timed.counts;
        QCOMPARE(c.size() % 2, 0);
        QCOMPARE(c.mid(c.size() - 2), (QList<qint64>{40, 40}));
        for (qsizetype i = 0; i + 2 < c.size(); i += 2)
            QVERIFY2(!(c[i] == 40 && c[i + 1] == 40), "a settled pair was polled past");
    }

    void wholeReplyArrivesAtEveryRate_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("chunkBytes");
        QTest::addColumn<int>("chunkGapMs");
        for (int baud : {115200, 57600, 38400, 28800, 19200, 14400, 9600})
            QTest::addRow("%d, byte by byte", baud) << baud << 0 << 0;
        QTest::newRow("9600 in 4-byte packets") << 9600 << 4 << 1;
        QTest::newRow("9600 in 2-byte packets, 3 ms apart") << 9600 << 2 << 3;
        QTest::newRow("115200 in 8-byte packets") << 115200 << 8 << 0;
    }
    void wholeReplyArrivesAtEveryRate() {
        QFETCH(int, baud);
        QFETCH(int, chunkBytes);
        QFETCH(int, chunkGapMs);
        LinkRig rig;
        rig.connect(QStringLiteral("K309"), baud);
        rig.printer.state.versionMiddle = " v4.12 build 2010-10 (series B) ";
        rig.printer.faults.chunkBytes = chunkBytes;
        rig.printer.faults.chunkGapMs = chunkGapMs;
        const qint64 whole = 1 + 4 + rig.printer.state.versionMiddle.size() + 6;

        QCOMPARE(requestExchange(rig.s, kVersionRequest).value_or(-1), whole);
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    void staleInputIsDiscardedBeforeTheRequest() {
        LinkRig rig;
        rig.connect();
        rig.leaveLateAnswer();

        QVERIFY(queryVersion(rig.s));
        QCOMPARE(rig.s.link.modelName, QStringLiteral("K309"));
        QCOMPARE(
            rig.messageTexts(),
            QStringList{QStringLiteral("Версия Программы Системы Печати:\n\r'K309 v4.12 011010'")});
    }

    void vanishedDeviceIsReportedByEveryLaterCommand_data() {
        QTest::addColumn<int>("afterBytes");
        QTest::newRow("before the request") << 0;
        QTest::newRow("inside the request") << 2;
        QTest::newRow("after the request") << 3;
    }
    void vanishedDeviceIsReportedByEveryLaterCommand() {
        QFETCH(int, afterBytes);
        LinkRig rig;
        rig.connect();
        rig.printer.faults.vanishAfterBytes = afterBytes;
        const qint64 start = rig.clock.elapsedMs();

        QVERIFY(!queryVersion(rig.s));
        QVERIFY(!queryVersion(rig.s));
        const QString error = readErrorText(QStringLiteral("COM1"));
        QCOMPARE(rig.messageTexts(), (QStringList{error, error}));
        QVERIFY(rig.clock.elapsedMs() - start < 2000);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        // Still "connected" for the menus, so the user hears about the failure, not the guard's.
        QVERIFY(rig.s.link.open);
    }

    void refusedWriteIsAReadErrorForAnExchange() {
        LinkRig rig;
        rig.connect();
        rig.printer.faults.refuseWrite = true;
        QVERIFY(!requestExchange(rig.s, kVersionRequest));
        QCOMPARE(rig.messageTexts(), QStringList{readErrorText(QStringLiteral("COM1"))});
        QVERIFY(rig.printer.received.isEmpty());
    }

    void stalledLineEndsAsAWriteFailureAfterItsLineTimeAndASecond() {
        LinkRig rig;
        rig.connect();
        StalledPort stalled(rig.port, rig.clock);
        Session s{stalled, rig.clock, rig.dialogs, rig.catalogue, rig.status};
        s.link = rig.s.link;
        const qint64 start = rig.clock.elapsedMs();

        QVERIFY(!sendBlock(s, QByteArray(256, '\0')));
        const qint64 waited = rig.clock.elapsedMs() - start;
        QVERIFY2(waited >= 1000 && waited <= 1100, qPrintable(QString::number(waited)));
    }

    // The output queue drains at the line rate: a block costs its line time and no more than
    // one short poll over it, at any rate.
    void aBlockCostsItsLineTime_data() {
        QTest::addColumn<int>("baud");
        QTest::newRow("9600") << 9600;
        QTest::newRow("115200") << 115200;
    }
    void aBlockCostsItsLineTime() {
        QFETCH(int, baud);
        LinkRig rig;
        rig.connect(QStringLiteral("K309"), baud);
        const qint64 start = rig.clock.nowUs();
        QVERIFY(sendBlock(rig.s, QByteArray(256, '\x55')));
        const qint64 took = rig.clock.nowUs() - start;
        // The simulated line's byte time, rounded up to whole microseconds.
        const qint64 lineUs = 256 * ((10'000'000 + baud - 1) / baud);
        QVERIFY2(took >= lineUs && took <= lineUs + 100, qPrintable(QString::number(took)));
        QCOMPARE(rig.port.outputWaiting(), 0);
    }

    void quietTimeFollowsTheLine_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("waitMs");
        QTest::addColumn<qint64>("quiet");
        QTest::newRow("115200, 1 ms polls") << 115200 << 1 << qint64(1);
        QTest::newRow("57600") << 57600 << 1 << qint64(2);
        QTest::newRow("9600") << 9600 << 1 << qint64(9);
        QTest::newRow("9600, 10 ms polls") << 9600 << 10 << qint64(10);
    }
    void quietTimeFollowsTheLine() {
        QFETCH(int, baud);
        QFETCH(int, waitMs);
        QFETCH(qint64, quiet);
        QCOMPARE(quietMs(baud, waitMs), quiet);
    }
};

QTEST_GUILESS_MAIN(TestRequestExchange)
#include "tst_request_exchange.moc"
