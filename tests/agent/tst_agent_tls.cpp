// SPDX-License-Identifier: GPL-3.0-or-later
// The agent and inkwick-cli --broker over TLS and MQTT 5, against a real mosquitto whose
// certificates the test makes with openssl.
#include "agent/agent.h"
#include "broker_cli_run.h"
#include "broker_process.h"
#include "cli/cli_broker.h"
#include "test_rig.h"

#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>

using namespace agent;

namespace {

// A certificate authority, a broker certificate for 127.0.0.1 and a client certificate, all
// signed by it; and a second authority that signed none of them.
struct Certificates {
    QTemporaryDir dir;
    QString error;

    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    bool openssl(const QStringList& args) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral("openssl"), args);
        if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return true;
        error = QStringLiteral("openssl %1: %2 %3")
                    .arg(args.join(QLatin1Char(' ')), p.errorString(),
                         QString::fromLocal8Bit(p.readAll()));
        return false;
    }
    bool authority(const QString& name) {
        return openssl({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                        QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                        QStringLiteral("-keyout"), name + QStringLiteral(".key"),
                        QStringLiteral("-out"), name + QStringLiteral(".crt"),
                        QStringLiteral("-subj"), QStringLiteral("/CN=") + name,
                        QStringLiteral("-days"), QStringLiteral("2")});
    }
    bool signedBy(const QString& ca, const QString& name, const QString& extensions) {
        QFile ext(dir.filePath(name + QStringLiteral(".ext")));
        if (!ext.open(QIODevice::WriteOnly) || ext.write(extensions.toUtf8()) < 0)
            return false;
        ext.close();
        return openssl({QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"),
                        QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                        QStringLiteral("-keyout"), name + QStringLiteral(".key"),
                        QStringLiteral("-out"), name + QStringLiteral(".csr"),
                        QStringLiteral("-subj"), QStringLiteral("/CN=") + name}) &&
               openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                        name + QStringLiteral(".csr"), QStringLiteral("-CA"),
                        ca + QStringLiteral(".crt"), QStringLiteral("-CAkey"),
                        ca + QStringLiteral(".key"), QStringLiteral("-CAcreateserial"),
                        QStringLiteral("-out"), name + QStringLiteral(".crt"),
                        QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"),
                        name + QStringLiteral(".ext")});
    }
    bool make() {
        return authority(QStringLiteral("ca")) && authority(QStringLiteral("stranger")) &&
               signedBy(QStringLiteral("ca"), QStringLiteral("server"),
                        QStringLiteral("subjectAltName=IP:127.0.0.1\n")) &&
               signedBy(QStringLiteral("ca"), QStringLiteral("client"),
                        QStringLiteral("extendedKeyUsage=clientAuth\n"));
    }
    QString listener(bool requireClientCertificate) const {
        return QStringLiteral("cafile %1\ncertfile %2\nkeyfile %3\nrequire_certificate %4\n"
                              "allow_anonymous true\n")
            .arg(file("ca.crt"), file("server.crt"), file("server.key"),
                 requireClientCertificate ? QStringLiteral("true") : QStringLiteral("false"));
    }
};

QString run(const QStringList& args, int* status) {
    return runBrokerCli(args, status);
}

} // namespace

class AgentTlsTest : public QObject {
    Q_OBJECT

    Certificates certs;

    // The agent as its command line makes it, so the broker options go the way they do there.
    static std::optional<AgentConfig> config(const QStringList& brokerOptions) {
        QString error;
        QString help;
        auto c = agentConfig(QStringList{QStringLiteral("inkwick-agent"), QStringLiteral("--port"),
                                         QStringLiteral("/dev/ttySIM0"), QStringLiteral("--name"),
                                         QStringLiteral("line1"), QStringLiteral("--allow"),
                                         QStringLiteral("set-date-offset")} +
                                 brokerOptions,
                             &error, &help);
        if (c)
            c->broker.firstRetryMs = 50;
        else
            qWarning("%s", qPrintable(error));
        return c;
    }

private slots:
    void initTestCase() { QVERIFY2(certs.make(), qPrintable(certs.error)); }

    void theAgentIsReachedAndAnswers_data() {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<bool>("clientCertificate");
        QTest::addColumn<QString>("version");
        QTest::newRow("mqtts, the broker checked against the CA file") << true << false << "311";
        QTest::newRow("mqtts, a client certificate the broker requires") << true << true << "311";
        QTest::newRow("mqtt 5") << false << false << "5";
    }
    void theAgentIsReachedAndAnswers() {
        QFETCH(bool, tls);
        QFETCH(bool, clientCertificate);
        QFETCH(QString, version);
        BrokerProcess broker(tls ? certs.listener(clientCertificate) : QString());
        const bool up = broker.start();
        QVERIFY2(up, qPrintable(broker.output()));
        QStringList options{QStringLiteral("--broker"), tls ? broker.tlsUrl() : broker.url(),
                            QStringLiteral("--mqtt-version"), version};
        if (tls)
            options += {QStringLiteral("--ca-file"), certs.file("ca.crt")};
        if (clientCertificate)
            options += {QStringLiteral("--cert-file"), certs.file("client.crt"),
                        QStringLiteral("--key-file"), certs.file("client.key")};
        const auto c = config(options);
        QVERIFY(c);
        TestRig rig;
        mqtt::Client client(c->broker);
        QVERIFY2(client.setupError().isEmpty(), qPrintable(client.setupError()));
        Agent agent(*c, rig.session, client);
        QSignalSpy polled(&agent, &Agent::polled);
        agent.start();
        QVERIFY(polled.wait(10000));

        // --all goes by the retained status: an answer means it was published online.
        int status = -1;
        const QString out =
            run(options + QStringList{QStringLiteral("--all"), QStringLiteral("set-date-offset"),
                                      QStringLiteral("4")},
                &status);
        QCOMPARE(status, 0);
        const QJsonObject answer = QJsonDocument::fromJson(out.toUtf8()).object();
        QCOMPARE(answer.value("printer").toString(), QStringLiteral("line1"));
        QCOMPARE(answer.value("ok").toBool(), true);
        QCOMPARE(rig.printer.requests.count(QByteArray("\x1D"
                                                       "D0004\x0E")),
                 1);
        // The protocol asked for is the one spoken (mosquitto logs 3.1.1 as p2).
        const QString log = broker.output();
        QVERIFY2(log.contains(QStringLiteral(" as inkwick-line1 (p%1,")
                                  .arg(version == QLatin1String("5") ? 5 : 2)),
                 qPrintable(log));
    }

    void aBrokerTheCaFileDoesNotVouchForIsRefusedSayingWhy() {
        BrokerProcess broker(certs.listener(false));
        QVERIFY(broker.start());
        const auto c = config({QStringLiteral("--broker"), broker.tlsUrl(),
                               QStringLiteral("--ca-file"), certs.file("stranger.crt")});
        QVERIFY(c);
        TestRig rig;
        mqtt::Client client(c->broker);
        Agent agent(*c, rig.session, client);
        QSignalSpy lost(&client, &mqtt::Client::disconnected);
        agent.start();
        QVERIFY(lost.wait(5000));
        const QString why = lost.first().first().toString();
        QVERIFY2(why.contains(QStringLiteral("certificate verify failed")) &&
                     why.contains(certs.file("stranger.crt")),
                 qPrintable(why));
        QVERIFY(!client.isConnected());
        QVERIFY(!broker.output().contains(QStringLiteral(" as inkwick-line1 ")));
    }
};

QTEST_GUILESS_MAIN(AgentTlsTest)
#include "tst_agent_tls.moc"
