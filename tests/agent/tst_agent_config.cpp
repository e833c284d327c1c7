// SPDX-License-Identifier: GPL-3.0-or-later
#include "agent/agent_config.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace agent;

class AgentConfigTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& text) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }

private slots:
    void optionsWinOverTheFileAndThePasswordComesFromItsFile() {
        const QString password = write(QStringLiteral("pw"), "s3cret\nignored\n");
        const QString conf = write(QStringLiteral("a.conf"),
                                   "port = /dev/ttyUSB0\nname = line1\npoll_period = 30\n"
                                   "[broker]\nurl = mqtts://plant:9000\nusername = line1\n"
                                   "password_file = " +
                                       password.toUtf8() +
                                       "\nca_file = /etc/ca.pem\nprotocol = 5\n"
                                       "[operations]\nallow = set-date-offset, write-mark\n");
        QString error, help;
        const auto c = agentConfig({QStringLiteral("inkwick-agent"), QStringLiteral("--config"),
                                    conf, QStringLiteral("--name"), QStringLiteral("line2")},
                                   &error, &help);
        QVERIFY2(c, qPrintable(error));
        QCOMPARE(c->name, QStringLiteral("line2"));
        QCOMPARE(c->port, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(c->pollPeriodS, 30);
        QCOMPARE(c->broker.broker.host, QStringLiteral("plant"));
        QCOMPARE(c->broker.broker.port, 9000);
        QVERIFY(c->broker.broker.tls);
        QCOMPARE(c->broker.password, QStringLiteral("s3cret"));
        QCOMPARE(c->broker.protocol, 5);
        QCOMPARE(c->broker.clientId, QStringLiteral("inkwick-line2"));
        QCOMPARE(c->allowed,
                 QStringList({QStringLiteral("set-date-offset"), QStringLiteral("write-mark")}));
    }

    void badSettingsAreRefused_data() {
        QTest::addColumn<QStringList>("options");
        const QStringList base{QStringLiteral("--port"), QStringLiteral("/dev/ttyUSB0"),
                               QStringLiteral("--broker"), QStringLiteral("mqtt://plant")};
        QTest::newRow("no name") << base;
        QTest::newRow("name with a slash")
            << base + QStringList{QStringLiteral("--name"), QStringLiteral("a/b")};
        QTest::newRow("name a wildcard")
            << base + QStringList{QStringLiteral("--name"), QStringLiteral("+")};
        QTest::newRow("http broker") << QStringList{
            QStringLiteral("--port"), QStringLiteral("x"),        QStringLiteral("--name"),
            QStringLiteral("a"),      QStringLiteral("--broker"), QStringLiteral("http://plant")};
        QTest::newRow("poll of 0")
            << base + QStringList{QStringLiteral("--name"), QStringLiteral("a"),
                                  QStringLiteral("--poll-period"), QStringLiteral("0")};
        QTest::newRow("missing password file")
            << base + QStringList{QStringLiteral("--name"), QStringLiteral("a"),
                                  QStringLiteral("--password-file"),
                                  QStringLiteral("/nonexistent")};
        QTest::newRow("missing config")
            << base + QStringList{QStringLiteral("--name"), QStringLiteral("a"),
                                  QStringLiteral("--config"), QStringLiteral("/nonexistent")};
    }
    void badSettingsAreRefused() {
        QFETCH(QStringList, options);
        QString error, help;
        QVERIFY(
            !agentConfig(QStringList{QStringLiteral("inkwick-agent")} + options, &error, &help));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(AgentConfigTest)
#include "tst_agent_config.moc"
