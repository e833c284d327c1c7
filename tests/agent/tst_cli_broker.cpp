// SPDX-License-Identifier: GPL-3.0-or-later
// inkwick-cli --broker against agents of this process and a real mosquitto.
#include "agent/agent.h"
#include "broker_cli_run.h"
#include "broker_process.h"
#include "cli/cli_broker.h"
#include "test_rig.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>

using namespace agent;

namespace {

struct Plant {
    TestRig rig;
    std::unique_ptr<mqtt::Client> client;
    std::unique_ptr<Agent> agent;

    Plant(const QString& url, const QString& name) {
        AgentConfig c;
        c.port = QStringLiteral("/dev/ttySIM0");
        c.name = name;
        c.allowed = {QStringLiteral("set-date-offset")};
        QString error;
        c.broker.broker = *mqtt::parseBrokerUrl(url, &error);
        c.broker.clientId = QStringLiteral("inkwick-") + name;
        c.broker.firstRetryMs = 50;
        client = std::make_unique<mqtt::Client>(c.broker);
        agent = std::make_unique<Agent>(c, rig.session, *client);
        agent->start();
    }
};

// Runs the command line and gives its standard output.
QString run(const QStringList& args, int* status) {
    return runBrokerCli(args, status);
}

} // namespace

class CliBrokerTest : public QObject {
    Q_OBJECT
private slots:
    void allReachesEveryOnlinePrinterOnceAndSaysWhatEachAnswered() {
        BrokerProcess broker;
        QVERIFY(broker.start());
        Plant line1(broker.url(), QStringLiteral("line1"));
        Plant line2(broker.url(), QStringLiteral("line2"));
        // A printer whose agent has gone: its last will stays on the broker.
        mqtt::ClientOptions other = line1.client->options();
        other.clientId = QStringLiteral("test-watcher");
        mqtt::Client gone(other);
        // Both statuses on the broker say online before the command line looks.
        QStringList online;
        QObject::connect(&gone, &mqtt::Client::messageReceived,
                         [&](const QString& topic, const QByteArray& payload) {
                             if (QJsonDocument::fromJson(payload).object().value("online").toBool())
                                 online.append(topic);
                         });
        gone.subscribe(QStringLiteral("inkwick/+/status"), 1);
        gone.start();
        QTRY_VERIFY_WITH_TIMEOUT(online.contains(QStringLiteral("inkwick/line1/status")) &&
                                     online.contains(QStringLiteral("inkwick/line2/status")),
                                 10000);
        QTRY_VERIFY(gone.isConnected());
        gone.publish(QStringLiteral("inkwick/line3/status"), "{\"online\":false}", 1, true);

        int status = -1;
        const QString out = run({QStringLiteral("--broker"), broker.url(), QStringLiteral("--all"),
                                 QStringLiteral("set-date-offset"), QStringLiteral("3")},
                                &status);
        QCOMPARE(status, 0);
        const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QStringList printers;
        for (const QString& line : lines) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            QCOMPARE(o.value("ok").toBool(), true);
            printers.append(o.value("printer").toString());
        }
        QCOMPARE(printers, QStringList({QStringLiteral("line1"), QStringLiteral("line2")}));
        for (const Plant* p : {&line1, &line2})
            QCOMPARE(p->rig.printer.requests.count(QByteArray("\x1D"
                                                              "D0003\x0E")),
                     1);

        // Checked before anything is sent: exit 2, no printer touched.
        run({QStringLiteral("--broker"), broker.url(), QStringLiteral("--all"),
             QStringLiteral("set-date-offset"), QStringLiteral("10000")},
            &status);
        QCOMPARE(status, 2);
        // A refusal by one agent is that printer's answer and the run's status.
        const QString refused =
            run({QStringLiteral("--broker"), broker.url(), QStringLiteral("--printer"),
                 QStringLiteral("line2"), QStringLiteral("set-lines"), QStringLiteral("2")},
                &status);
        QCOMPARE(status, 1);
        QCOMPARE(QJsonDocument::fromJson(refused.toUtf8()).object().value("kind").toString(),
                 QStringLiteral("refused"));
    }
};

QTEST_GUILESS_MAIN(CliBrokerTest)
#include "tst_cli_broker.moc"
