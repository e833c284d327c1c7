// SPDX-License-Identifier: GPL-3.0-or-later
// The agent against a real mosquitto on the loopback, its printer simulated in virtual time.
#include "agent/agent.h"
#include "broker_process.h"
#include "test_rig.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace agent;

namespace {

// The test's own client: everything under inkwick/ as it arrives.
struct Watcher {
    mqtt::Client client;
    QList<QPair<QString, QByteArray>> seen;

    explicit Watcher(const QString& url, const QString& user = {}) : client(options(url, user)) {
        QObject::connect(&client, &mqtt::Client::messageReceived,
                         [this](const QString& t, const QByteArray& p) {
                             seen.append({t, p});
                         });
        client.subscribe(QStringLiteral("inkwick/#"), 1);
        client.start();
    }
    static mqtt::ClientOptions options(const QString& url, const QString& user = {}) {
        mqtt::ClientOptions o;
        QString error;
        o.broker = *mqtt::parseBrokerUrl(url, &error);
        o.username = user;
        o.password = user.isEmpty() ? QString() : user + QStringLiteral("-pw");
        o.firstRetryMs = 50;
        o.lastRetryMs = 200;
        return o;
    }
    QList<QJsonObject> on(const QString& topic) const {
        QList<QJsonObject> out;
        for (const auto& [t, p] : seen)
            if (t == topic)
                out.append(QJsonDocument::fromJson(p).object());
        return out;
    }
    QJsonObject last(const QString& topic) const {
        const auto all = on(topic);
        return all.isEmpty() ? QJsonObject() : all.last();
    }
    bool agentOnline() const {
        return last(QStringLiteral("inkwick/line1/status")).value(QLatin1String("online")).toBool();
    }
    void send(const QString& operation, const QByteArray& body) {
        client.publish(QStringLiteral("inkwick/line1/cmd/") + operation, body, 1, false);
    }
};

int dateOffsetWrites(const sim::Printer& printer) {
    int n = 0;
    for (const QByteArray& r : printer.requests)
        n += r.startsWith("\x1D"
                          "D");
    return n;
}

} // namespace

class AgentBrokerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> accessDir;
    std::unique_ptr<BrokerProcess> broker;
    std::unique_ptr<TestRig> rig;
    std::unique_ptr<mqtt::Client> agentClient;
    std::unique_ptr<Agent> agent;

    void startAgent(const QStringList& allowed = {}, const QString& user = {},
                    const QString& backupDir = {}) {
        AgentConfig c;
        c.backupDir = backupDir;
        c.port = QStringLiteral("/dev/ttySIM0");
        c.name = QStringLiteral("line1");
        c.pollPeriodS = 1;
        c.retryPeriodS = 1;
        c.allowed = allowed;
        c.broker = Watcher::options(broker->url(), user);
        c.broker.clientId = QStringLiteral("inkwick-line1");
        c.broker.willTopic = QStringLiteral("inkwick/line1/status");
        c.broker.willPayload = QByteArrayLiteral("{\"online\":false}");
        agentClient = std::make_unique<mqtt::Client>(c.broker);
        agent = std::make_unique<Agent>(c, rig->session, *agentClient);
        QCOMPARE(agent->configError(), QString());
        agent->start();
    }

    // The README's access rules: agents reach their own printer, the dashboard only reads, the
    // shift script sends the shift's commands.
    static QString plantAccess(const QString& folder) {
        const QString passwords = QDir(folder).filePath(QStringLiteral("passwd"));
        for (const char* user : {"line1", "dashboard", "shift"}) {
            QStringList args{QStringLiteral("-b"), passwords, QString::fromLatin1(user),
                             QString::fromLatin1(user) + QStringLiteral("-pw")};
            if (!QFile::exists(passwords))
                args.prepend(QStringLiteral("-c"));
            if (QProcess::execute(QStringLiteral("mosquitto_passwd"), args) != 0)
                return {};
        }
        const QString acl = QDir(folder).filePath(QStringLiteral("acl"));
        QFile f(acl);
        f.open(QIODevice::WriteOnly);
        f.write("pattern readwrite inkwick/%u/#\n\n"
                "user dashboard\ntopic read inkwick/+/status\ntopic read inkwick/+/readouts\n\n"
                "user shift\ntopic read inkwick/+/status\ntopic read inkwick/+/result/#\n"
                "topic write inkwick/+/cmd/set-date-offset\ntopic readwrite inkwick-cli/#\n");
        return QStringLiteral("allow_anonymous false\npassword_file %1\nacl_file %2\n")
            .arg(passwords, acl);
    }

private slots:
    void init() {
        QTemporaryDir* access = new QTemporaryDir;
        accessDir.reset(access);
        const bool guarded = QByteArray(QTest::currentTestFunction()).startsWith("theDashboard");
        broker = std::make_unique<BrokerProcess>(guarded ? plantAccess(access->path()) : QString());
        const bool up = broker->start();
        broker->waitForOutput();
        QVERIFY2(up, qPrintable(broker->output() + broker->config()));
        rig = std::make_unique<TestRig>();
    }
    void cleanup() {
        agent.reset();
        agentClient.reset();
        rig.reset();
        broker.reset();
        accessDir.reset();
    }

    void statusAndReadoutsAreRetainedForALateSubscriber() {
        startAgent();
        QSignalSpy polled(agent.get(), &Agent::polled);
        QVERIFY(polled.wait(5000));
        Watcher late(broker->url());
        QTRY_VERIFY(!late.on(QStringLiteral("inkwick/line1/readouts")).isEmpty());
        QTRY_VERIFY(!late.on(QStringLiteral("inkwick/line1/status")).isEmpty());
        const QJsonObject status = late.last(QStringLiteral("inkwick/line1/status"));
        QCOMPARE(status.value("online").toBool(), true);
        QCOMPARE(status.value("model").toString(), QStringLiteral("K309"));
        QVERIFY(status.value("version").toString().startsWith(QStringLiteral("K309")));
        QVERIFY(!status.value("last_exchange").toString().isEmpty());
        const QJsonObject readouts = late.last(QStringLiteral("inkwick/line1/readouts"));
        for (const char* key : {"settings", "mode", "hours", "printed", "text-map", "logo-map"})
            QVERIFY2(readouts.value(QLatin1String(key)).isObject(), key);
        QCOMPARE(readouts.value("hours").toObject().value("value").toString(),
                 QStringLiteral("1234.5"));
    }

    void aCommandIsAnsweredAndARedeliveredIdRunsOnce() {
        startAgent({QStringLiteral("set-date-offset")});
        Watcher w(broker->url());
        // The agent's status comes after its subscription: from then on commands reach it.
        QTRY_VERIFY_WITH_TIMEOUT(w.agentOnline(), 10000);
        w.send(QStringLiteral("set-date-offset"), R"({"id": "shift-7", "args": {"days": 30}})");
        w.send(QStringLiteral("set-date-offset"), R"({"id": "shift-7", "args": {"days": 30}})");
        QTRY_COMPARE(w.on(QStringLiteral("inkwick/line1/result/shift-7")).size(), 2);
        const auto answers = w.on(QStringLiteral("inkwick/line1/result/shift-7"));
        QCOMPARE(answers[0], answers[1]);
        QCOMPARE(answers[0].value("ok").toBool(), true);
        QCOMPARE(answers[0].value("kind").toString(), QStringLiteral("ok"));
        QCOMPARE(dateOffsetWrites(rig->printer), 1);
        QVERIFY(rig->printer.requests.contains(QByteArray("\x1D"
                                                          "D0030\x0E")));
    }

    // A shift's command does not wait for a whole poll: it goes in after the read-out under way.
    void aCommandArrivingDuringAPollRunsBeforeTheRestOfIt() {
        startAgent({QStringLiteral("set-date-offset")});
        QSignalSpy polled(agent.get(), &Agent::polled);
        QVERIFY(polled.wait(5000));
        bool sent = false;
        rig->port.onWrite = [&](const QByteArray&) {
            // The next poll's first read-out is on its way to the printer.
            if (std::exchange(sent, true))
                return;
            emit agentClient->messageReceived(QStringLiteral("inkwick/line1/cmd/set-date-offset"),
                                              R"({"id": "mid-poll", "args": {"days": 5}})");
        };
        int writesWhenPolled = -1;
        connect(agent.get(), &Agent::polled, this,
                [&] { writesWhenPolled = dateOffsetWrites(rig->printer); });
        QVERIFY(polled.wait(5000));
        QVERIFY(sent);
        QCOMPARE(writesWhenPolled, 1);
    }

    void aMarkFileTravelsAsTextBothWays() {
        startAgent({QStringLiteral("write-mark")});
        Watcher w(broker->url());
        // The agent's status comes after its subscription: from then on commands reach it.
        QTRY_VERIFY_WITH_TIMEOUT(w.agentOnline(), 10000);
        w.send(QStringLiteral("read-mark"), R"({"id": "r1", "args": {"mark": 1}})");
        QTRY_VERIFY(!w.on(QStringLiteral("inkwick/line1/result/r1")).isEmpty());
        const QJsonObject read = w.last(QStringLiteral("inkwick/line1/result/r1"));
        const QString text =
            read.value("data").toObject().value("file").toObject().value("text").toString();
        QVERIFY2(text.contains(QStringLiteral("Годен до")), qPrintable(text));
        QVERIFY(rig->printer.state.marks[7] != rig->printer.state.marks[1]);
        const QJsonObject write{
            {QStringLiteral("id"), QStringLiteral("w1")},
            {QStringLiteral("args"),
             QJsonObject{{QStringLiteral("mark"), 7}, {QStringLiteral("file"), text}}}};
        w.send(QStringLiteral("write-mark"), QJsonDocument(write).toJson());
        QTRY_VERIFY(!w.on(QStringLiteral("inkwick/line1/result/w1")).isEmpty());
        QCOMPARE(w.last(QStringLiteral("inkwick/line1/result/w1")).value("ok").toBool(), true);
        QCOMPARE(rig->printer.state.marks[7], rig->printer.state.marks[1]);
    }

    void aWriteTheConfigDoesNotAllowIsRefusedByName() {
        startAgent();
        Watcher w(broker->url());
        // The agent's status comes after its subscription: from then on commands reach it.
        QTRY_VERIFY_WITH_TIMEOUT(w.agentOnline(), 10000);
        w.send(QStringLiteral("set-date-offset"), R"({"id": "d1", "args": {"days": 3}})");
        QTRY_VERIFY(!w.on(QStringLiteral("inkwick/line1/result/d1")).isEmpty());
        const QJsonObject a = w.last(QStringLiteral("inkwick/line1/result/d1"));
        QCOMPARE(a.value("ok").toBool(), false);
        QCOMPARE(a.value("kind").toString(), QStringLiteral("refused"));
        QVERIFY(a.value("message").toString().contains(QStringLiteral("set-date-offset")));
        QCOMPARE(dateOffsetWrites(rig->printer), 0);
    }

    // A backup is a folder on the agent's machine; a restore writes, so it must be allowed.
    void aBackupIsTakenIntoTheAgentsFolderAndARestoreNeedsItsWord() {
        QTemporaryDir backups;
        startAgent({}, {}, backups.path());
        Watcher w(broker->url());
        QTRY_VERIFY_WITH_TIMEOUT(w.agentOnline(), 10000);
        w.send(QStringLiteral("backup"), R"({"id": "b1", "args": {"folder": "shift-1"}})");
        QTRY_VERIFY_WITH_TIMEOUT(!w.on(QStringLiteral("inkwick/line1/result/b1")).isEmpty(), 20000);
        const QJsonObject b = w.last(QStringLiteral("inkwick/line1/result/b1"));
        QVERIFY2(b.value("ok").toBool(), QJsonDocument(b).toJson().constData());
        const QJsonArray logos = b.value("data").toObject().value("logos").toArray();
        QVERIFY(!logos.isEmpty());
        QDir folder(backups.filePath(QStringLiteral("shift-1")));
        QVERIFY(folder.exists(QStringLiteral("manifest.json")));
        QCOMPARE(folder.entryList({QStringLiteral("*.bin")}, QDir::Files).size(), 0);
        QCOMPARE(QDir(folder.filePath(QStringLiteral("logos"))).entryList(QDir::Files).size(),
                 logos.size());

        // The folder is kept: the same name again is refused, a path is no name.
        w.send(QStringLiteral("backup"), R"({"id": "b2", "args": {"folder": "shift-1"}})");
        w.send(QStringLiteral("backup"), R"({"id": "b3", "args": {"folder": "../etc"}})");
        QTRY_VERIFY_WITH_TIMEOUT(!w.on(QStringLiteral("inkwick/line1/result/b3")).isEmpty(), 20000);
        QCOMPARE(w.last(QStringLiteral("inkwick/line1/result/b2")).value("kind").toString(),
                 QStringLiteral("file"));
        QCOMPARE(w.last(QStringLiteral("inkwick/line1/result/b3")).value("kind").toString(),
                 QStringLiteral("bad_input"));

        rig->printer.state.logos[logos.first().toInt()].clear();
        const auto before = rig->printer.state.logos;
        w.send(QStringLiteral("restore"),
               R"({"id": "r1", "args": {"folder": "shift-1", "yes": true}})");
        QTRY_VERIFY_WITH_TIMEOUT(!w.on(QStringLiteral("inkwick/line1/result/r1")).isEmpty(), 20000);
        const QJsonObject r = w.last(QStringLiteral("inkwick/line1/result/r1"));
        QCOMPARE(r.value("kind").toString(), QStringLiteral("refused"));
        QVERIFY(r.value("message").toString().contains(QStringLiteral("restore")));
        QCOMPARE(rig->printer.state.logos, before);
    }

    void hostilePayloadsAreAnsweredAndChangeNothing() {
        startAgent({QStringLiteral("set-date-offset")});
        Watcher w(broker->url());
        // The agent's status comes after its subscription: from then on commands reach it.
        QTRY_VERIFY_WITH_TIMEOUT(w.agentOnline(), 10000);
        const QList<QPair<QString, QByteArray>> bodies = {
            {QStringLiteral("set-date-offset"), "not json at all"},
            {QStringLiteral("set-date-offset"), "[1, 2, 3]"},
            {QStringLiteral("set-date-offset"), R"({"id": 7, "args": {"days": 1}})"},
            {QStringLiteral("set-date-offset"), R"({"id": "a/b", "args": {"days": 1}})"},
            {QStringLiteral("set-date-offset"), QByteArray(200000, '{')},
        };
        for (const auto& [op, body] : bodies)
            w.send(op, body);
        const QList<QPair<QString, QByteArray>> withIds = {
            {QStringLiteral("no-such-thing"), R"({"id": "h1", "args": {}})"},
            {QStringLiteral("set-date-offset"), R"({"id": "h2", "args": {"days": 10000}})"},
            {QStringLiteral("set-date-offset"), R"({"id": "h3", "args": {"days": "-1"}})"},
            {QStringLiteral("set-date-offset"), R"({"id": "h4", "args": {"days": [30]}})"},
            {QStringLiteral("set-date-offset"), R"({"id": "h5", "args": "days=30"})"},
            {QStringLiteral("set-date-offset"), R"({"id": "h6", "args": {"days": 3, "x": 1}})"},
            {QStringLiteral("set-date-offset"), R"({"id": "h7"})"},
        };
        for (const auto& [op, body] : withIds)
            w.send(op, body);
        QTRY_COMPARE(w.on(QStringLiteral("inkwick/line1/errors")).size(), bodies.size());
        for (int k = 1; k <= withIds.size(); ++k) {
            const QString topic = QStringLiteral("inkwick/line1/result/h%1").arg(k);
            QTRY_VERIFY2(!w.on(topic).isEmpty(), qPrintable(topic));
            QCOMPARE(w.last(topic).value("ok").toBool(), false);
            QCOMPARE(w.last(topic).value("kind").toString(), QStringLiteral("bad_input"));
        }
        QCOMPARE(dateOffsetWrites(rig->printer), 0);
        // Still alive and still answering.
        w.send(QStringLiteral("version"), R"({"id": "alive"})");
        QTRY_VERIFY(!w.on(QStringLiteral("inkwick/line1/result/alive")).isEmpty());
        QCOMPARE(w.last(QStringLiteral("inkwick/line1/result/alive")).value("ok").toBool(), true);
    }

    void aRestartedBrokerGetsTheStatusAgainAndCommandsGoOn() {
        startAgent({QStringLiteral("set-date-offset")});
        QSignalSpy polled(agent.get(), &Agent::polled);
        QVERIFY(polled.wait(5000));
        QVERIFY(broker->restart()); // persistence off: every retained message is gone
        Watcher w(broker->url());
        QTRY_VERIFY_WITH_TIMEOUT(!w.on(QStringLiteral("inkwick/line1/status")).isEmpty(), 10000);
        QCOMPARE(w.last(QStringLiteral("inkwick/line1/status")).value("online").toBool(), true);
        w.send(QStringLiteral("set-date-offset"), R"({"id": "after", "args": {"days": 5}})");
        QTRY_VERIFY(!w.on(QStringLiteral("inkwick/line1/result/after")).isEmpty());
        QCOMPARE(dateOffsetWrites(rig->printer), 1);
    }

    void aVanishedPrinterIsReportedAndFoundAgain() {
        startAgent();
        Watcher w(broker->url());
        QTRY_VERIFY_WITH_TIMEOUT(w.agentOnline(), 10000);
        rig->port.vanish();
        rig->port.failOpen = platform::SerialPort::OpenError::NotFound; // unplugged
        QTRY_VERIFY_WITH_TIMEOUT(
            !w.last(QStringLiteral("inkwick/line1/status")).value("online").toBool(true), 5000);
        QVERIFY(!w.last(QStringLiteral("inkwick/line1/status"))
                     .value("last_error")
                     .toString()
                     .isEmpty());
        w.send(QStringLiteral("hours"), R"({"id": "while-gone"})");
        QTRY_VERIFY(!w.on(QStringLiteral("inkwick/line1/result/while-gone")).isEmpty());
        QCOMPARE(w.last(QStringLiteral("inkwick/line1/result/while-gone")).value("kind").toString(),
                 QStringLiteral("link"));
        rig->port.failOpen = platform::SerialPort::OpenError::None; // plugged back in
        QTRY_VERIFY_WITH_TIMEOUT(
            w.last(QStringLiteral("inkwick/line1/status")).value("online").toBool(), 5000);
    }

    void theDashboardReadsButCannotWriteWhileTheShiftCan() {
        startAgent({QStringLiteral("set-date-offset")}, QStringLiteral("line1"));
        Watcher dashboard(broker->url(), QStringLiteral("dashboard"));
        QTRY_VERIFY(
            dashboard.last(QStringLiteral("inkwick/line1/status")).value("online").toBool());
        QSignalSpy answered(agent.get(), &Agent::answered);
        dashboard.send(QStringLiteral("set-date-offset"), R"({"id": "d1", "args": {"days": 9}})");
        Watcher shift(broker->url(), QStringLiteral("shift"));
        QTRY_VERIFY_WITH_TIMEOUT(shift.agentOnline(), 10000);
        shift.send(QStringLiteral("set-date-offset"), R"({"id": "s1", "args": {"days": 3}})");
        QTRY_VERIFY(!shift.on(QStringLiteral("inkwick/line1/result/s1")).isEmpty());
        // The broker dropped the dashboard's command: the agent never saw it to answer.
        QCOMPARE(answered.size(), 1);
        QCOMPARE(answered.first().first().toString(), QStringLiteral("s1"));
        QCOMPARE(rig->printer.requests.count(QByteArray("\x1D"
                                                        "D0003\x0E")),
                 1);
        QCOMPARE(rig->printer.requests.count(QByteArray("\x1D"
                                                        "D0009\x0E")),
                 0);
        QCOMPARE(dateOffsetWrites(rig->printer), 1);
    }

    void theLastWillSaysOfflineWhenTheAgentVanishes() {
        startAgent();
        Watcher w(broker->url());
        QTRY_VERIFY_WITH_TIMEOUT(w.agentOnline(), 10000);
        agent.reset();
        agentClient.reset(); // no goodbye: the socket just closes
        QTRY_COMPARE(w.last(QStringLiteral("inkwick/line1/status")),
                     QJsonObject({{QStringLiteral("online"), false}}));
    }
};

QTEST_GUILESS_MAIN(AgentBrokerTest)
#include "tst_agent_broker.moc"
