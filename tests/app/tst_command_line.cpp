// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCoreApplication>
#include <QTest>

using app::CommandLine;
using app::parseCommandLine;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::setApplicationIdentity(); }

    void identity() {
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("inkwick"));
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Inkwick"));
        QVERIFY(!QCoreApplication::applicationVersion().isEmpty());
    }

    void arguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("exitNow");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("output"); // a part of it
        QTest::newRow("nothing") << QStringList{} << false << 0 << ""
                                 << "";
        QTest::newRow("--port COM3") << QStringList{"--port", "COM3"} << false << 0 << "COM3"
                                     << "";
        QTest::newRow("--port=/dev/ttyUSB0")
            << QStringList{"--port=/dev/ttyUSB0"} << false << 0 << "/dev/ttyUSB0"
            << "";
        QTest::newRow("--help") << QStringList{"--help"} << true << 0 << ""
                                << "--port <PORT>";
        QTest::newRow("-h") << QStringList{"-h"} << true << 0 << ""
                            << "--version";
        QTest::newRow("--version") << QStringList{"--version"} << true << 0 << ""
                                   << "inkwick " + QCoreApplication::applicationVersion() + "\n";
        QTest::newRow("unknown option") << QStringList{"--baud", "9600"} << true << 2 << ""
                                        << "inkwick: Unknown option 'baud'.";
        QTest::newRow("--port without a value") << QStringList{"--port"} << true << 2 << ""
                                                << "Missing value after '--port'.";
        QTest::newRow("blank port") << QStringList{"--port", " "} << true << 2 << ""
                                    << "--port needs";
        QTest::newRow("stray argument") << QStringList{"COM1"} << true << 2 << ""
                                        << "unexpected argument 'COM1'";
    }
    void arguments() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, exitNow);
        QFETCH(int, exitCode);
        QFETCH(QString, port);
        QFETCH(QString, output);
        const CommandLine line =
            parseCommandLine(QStringList{QStringLiteral("/usr/bin/inkwick")} + arguments);
        QCOMPARE(line.exitNow, exitNow);
        QCOMPARE(line.exitCode, exitCode);
        QCOMPARE(line.port, port);
        QVERIFY2(line.output.contains(output), qPrintable(line.output));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
