// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_commands.h"
#include "test_rig.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <cstdio>
#include <functional>

namespace {

// runCli against the simulated printer in virtual time, stdout and stderr caught in files.
struct CliRig {
    TestRig rig;
    QByteArray out;
    QByteArray err;
    std::function<bool()> interrupted;

    CliRig() { rig.printer.requests.clear(); }

    int run(const QStringList& arguments) {
        std::FILE* o = std::tmpfile();
        std::FILE* e = std::tmpfile();
        const int code = cli::runCli(QStringList{"--port", "COM1"} + arguments,
                                     {rig.port, rig.clock, rig.catalogue, o, e, interrupted});
        out = readBack(o);
        err = readBack(e);
        return code;
    }
    static QByteArray readBack(std::FILE* f) {
        QByteArray bytes;
        std::rewind(f);
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.append(buffer, qsizetype(n));
        std::fclose(f);
        return bytes;
    }
    bool wrote() const {
        for (const QByteArray& r : rig.printer.requests)
            if (r.at(0) != 0x11 && r.at(1) != 'r' && r.at(1) != 'i' && r.at(1) != 'x' &&
                r.at(1) != 'a')
                return true;
        return false;
    }
};

} // namespace

class TestCliCommands : public QObject {
    Q_OBJECT
private slots:
    void usageErrorsSendNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"erase-all"};
        QTest::newRow("unknown option") << QStringList{"--fast", "version"};
        QTest::newRow("baud not a number") << QStringList{"--baud", "fast", "version"};
        QTest::newRow("missing file") << QStringList{"read-mark", "3"};
        QTest::newRow("mark 86") << QStringList{"read-mark", "86", "x.mrt"};
        QTest::newRow("mark with letters") << QStringList{"write-mark", "1a", "x.mrt"};
        QTest::newRow("slot 128 for a write") << QStringList{"delete-logo", "128"};
        QTest::newRow("offset 10000") << QStringList{"set-date-offset", "10000"};
        QTest::newRow("clock not ISO") << QStringList{"set-clock", "08.12.2026"};
        QTest::newRow("restore two folders") << QStringList{"restore", "a", "b"};
    }
    void usageErrorsSendNothing() {
        QFETCH(QStringList, arguments);
        CliRig c;
        QCOMPARE(c.run(arguments), 2);
        QVERIFY(c.rig.printer.received.isEmpty());
        QVERIFY(c.err.startsWith("inkwick-cli: "));
    }

    void linesBeyondTheModelAreRefusedAfterAskingIt() {
        CliRig c;
        c.rig.printer.state.model = QStringLiteral("K307");
        QCOMPARE(c.run({"set-lines", "3"}), 2);
        QVERIFY(!c.wrote());
        QCOMPARE(c.run({"set-lines", "2"}), 0);
        QCOMPARE(c.rig.printer.state.printLines, quint8(2));
    }

    void restoreWithoutYesShowsTheSummaryAndWritesNothing() {
        CliRig c;
        const QString folder = c.rig.dir.filePath("b");
        QCOMPARE(c.run({"backup", folder}), 0);
        c.rig.printer.state.logos[5] = c.rig.printer.state.logos[0];
        c.rig.printer.requests.clear();
        QCOMPARE(c.run({"restore", folder}), 2);
        QVERIFY(!c.wrote());
        QVERIFY(c.err.contains("Очищаются ячейки (их нет в копии): 005"));
        QCOMPARE(c.run({"restore", folder, "--yes"}), 0);
        QVERIFY(c.rig.printer.state.logos[5].isEmpty());
    }

    // Ctrl+C during a restore stops it between two items, with the shell's status for it.
    void anInterruptedRestoreSaysWhatWasNotWritten() {
        CliRig c;
        const QString folder = c.rig.dir.filePath("b");
        QCOMPARE(c.run({"backup", folder}), 0);
        int asked = 0;
        c.interrupted = [&asked] { return ++asked > 1; };
        QCOMPARE(c.run({"--json", "restore", folder, "--yes"}), 130);
        const QJsonObject result = QJsonDocument::fromJson(c.out).object();
        QCOMPARE(result.value("marks").toArray(), QJsonArray{1});
        QVERIFY(result.value("not_written").toArray().contains(QStringLiteral("Логотип 000")));
    }

    void partsOfASplitPictureGoIntoConsecutiveSlots() {
        CliRig c;
        for (int k = 1; k <= 2; ++k) {
            QFile f(c.rig.dir.filePath(QStringLiteral("wide_%1.bin").arg(k)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("\x0c\x00\x0a\x01", 4) + QByteArray(10, char(k)));
        }
        QCOMPARE(c.run({"--json", "write-parts", "126", c.rig.dir.filePath("wide_1.bin")}), 0);
        QCOMPARE(QJsonDocument::fromJson(c.out).object().value("logos").toArray(),
                 (QJsonArray{126, 127}));
        QCOMPARE(c.rig.printer.state.logos[127].left(4), QByteArray("\x0a\x01\x02\x02", 4));
        QCOMPARE(c.run({"write-parts", "1", c.rig.dir.filePath("none_1.bin")}), 3);
    }

    void jsonReadoutsCarryDecodedValues() {
        CliRig c;
        QCOMPARE(c.run({"--json", "printed"}), 0);
        const QJsonObject printed = QJsonDocument::fromJson(c.out).object();
        QCOMPARE(printed.value("command").toString(), QStringLiteral("printed"));
        QCOMPARE(printed.value("exit").toInt(), 0);
        QVERIFY(!printed.value("value").toString().isEmpty());

        QCOMPARE(c.run({"--json", "settings"}), 0);
        const QJsonObject values =
            QJsonDocument::fromJson(c.out).object().value("values").toObject();
        QCOMPARE(values.value(QStringLiteral("Задержка старта печати, мс")).toString(),
                 QStringLiteral("150"));

        QCOMPARE(c.run({"--json", "logo-map"}), 0);
        QCOMPARE(QJsonDocument::fromJson(c.out).object().value("occupied").toArray(),
                 (QJsonArray{0, 1}));
    }

    void aSilentPrinterIsALinkFailure() {
        CliRig c;
        c.rig.printer.faults.silent = true;
        QCOMPARE(c.run({"--json", "hours"}), 1);
        QCOMPARE(QJsonDocument::fromJson(c.out).object().value("exit").toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_cli_commands.moc"
