// SPDX-License-Identifier: GPL-3.0-or-later
#include "agent/command_payload.h"

#include <QTest>

using namespace agent;

class CommandPayloadTest : public QObject {
    Q_OBJECT
private slots:
    void bodiesAreTakenOrRefused_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("refused");
        QTest::newRow("whole") << QByteArray("{\"id\": \"s-1:2_3.x\", \"args\": {\"days\": 3}}")
                               << "s-1:2_3.x" << false;
        QTest::newRow("no args") << QByteArray("{\"id\": \"a\"}") << "a" << false;
        QTest::newRow("null args") << QByteArray("{\"id\": \"a\", \"args\": null}") << "a" << false;
        QTest::newRow("empty") << QByteArray() << "" << true;
        QTest::newRow("not json") << QByteArray("set 3") << "" << true;
        QTest::newRow("array") << QByteArray("[{\"id\": \"a\"}]") << "" << true;
        QTest::newRow("id a number") << QByteArray("{\"id\": 5}") << "" << true;
        QTest::newRow("id a topic") << QByteArray("{\"id\": \"a/#\"}") << "" << true;
        QTest::newRow("id empty") << QByteArray("{\"id\": \"\"}") << "" << true;
        QTest::newRow("id too long")
            << QByteArray("{\"id\": \"" + QByteArray(129, 'a') + "\"}") << "" << true;
        QTest::newRow("args a list") << QByteArray("{\"id\": \"a\", \"args\": [3]}") << "a" << true;
        QTest::newRow("stray field") << QByteArray("{\"id\": \"a\", \"arg\": {}}") << "a" << true;
        QTest::newRow("huge") << QByteArray("{\"id\": \"a\", \"args\": {\"t\": \"" +
                                            QByteArray(MaxPayloadBytes, 'x') + "\"}}")
                              << "" << true;
    }
    void bodiesAreTakenOrRefused() {
        QFETCH(QByteArray, body);
        QFETCH(QString, id);
        QFETCH(bool, refused);
        const CommandPayload c = parseCommandPayload(body);
        QCOMPARE(c.id, id);
        QCOMPARE(!c.problem.isEmpty(), refused);
    }

    void onlyACommandTopicOfThisPrinterNamesAnOperation() {
        const QString p = QStringLiteral("inkwick/line1");
        QCOMPARE(operationOfTopic(p, QStringLiteral("inkwick/line1/cmd/hours")),
                 QStringLiteral("hours"));
        QCOMPARE(operationOfTopic(p, QStringLiteral("inkwick/line10/cmd/hours")), QString());
        QCOMPARE(operationOfTopic(p, QStringLiteral("inkwick/line1/cmd/a/b")), QString());
        QCOMPARE(operationOfTopic(p, QStringLiteral("inkwick/line1/result/x")), QString());
    }
};

QTEST_GUILESS_MAIN(CommandPayloadTest)
#include "tst_command_payload.moc"
