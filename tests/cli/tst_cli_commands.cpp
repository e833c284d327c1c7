// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_commands.h"
#include "test_rig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <cstdio>
#include <functional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

enum class Line { Healthy, Busy, Flood };

} // namespace

Q_DECLARE_METATYPE(Line)

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

    // What scripts rely on: one JSON object whatever the run came to, its exit status, and every
    // line the run wrote to stderr among its messages.
    void everyJsonRunPrintsOneObject_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Line>("line");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const QStringList& a, Line l, int exit,
                            const char* message) {
            QTest::newRow(name) << (QStringList{"--json"} + a) << l << exit
                                << QString::fromUtf8(message);
        };
        row("missing argument", {"read-mark", "3"}, Line::Healthy, 2,
            "inkwick-cli: использование: inkwick-cli read-mark N FILE.mrt");
        row("unknown command", {"erase-all"}, Line::Healthy, 2,
            "inkwick-cli: неизвестная команда erase-all (см. --help)");
        row("baud 0", {"--baud", "0", "version"}, Line::Healthy, 2,
            "inkwick-cli: --baud: скорость - число, например 115200");
        row("port without a value", {"--port"}, Line::Healthy, 2,
            "inkwick-cli: --port: не указано значение");
        row("plus sign", {"read-mark", "+5", "x.mrt"}, Line::Healthy, 2,
            "inkwick-cli: номер марки - от 0 до 85");
        row("minus zero", {"delete-logo", "-0"}, Line::Healthy, 2,
            "inkwick-cli: номер логотипа - от 0 до 127");
        row("leading blank", {"set-date-offset", " 5"}, Line::Healthy, 2,
            "inkwick-cli: смещение даты - от 0 до 9999 дней");
        row("busy port", {"version"}, Line::Busy, 1, "COM-ПОРТ COM1 ЗАНЯТ.");
        row("empty mark", {"read-mark", "7", "m.mrt"}, Line::Healthy, 1, "Марка 07 пуста.");
        row("flood after the hours", {"hours"}, Line::Flood, 1,
            "inkwick-cli: линия продолжает передавать после ответа Маркиратора");
        row("flood after a mark", {"read-mark", "1", "m.mrt"}, Line::Flood, 1,
            "inkwick-cli: линия продолжает передавать после ответа Маркиратора");
        row("flood after a slot", {"read-logo", "0", "l.bin"}, Line::Flood, 1,
            "inkwick-cli: линия продолжает передавать после ответа Маркиратора");
#ifdef Q_OS_UNIX
        row("mark into a pipe", {"read-mark", "1", "fifo"}, Line::Healthy, 3,
            "Файл 'fifo' записать невозможно!");
        row("mark into /dev/full", {"read-mark", "1", "/dev/full"}, Line::Healthy, 3,
            "Файл 'full' записать невозможно!");
        row("logo into /dev/full", {"read-logo", "0", "/dev/full"}, Line::Healthy, 3,
            "Файл 'full' записать невозможно!");
#endif
    }
    void everyJsonRunPrintsOneObject() {
        QFETCH(QStringList, arguments);
        QFETCH(Line, line);
        QFETCH(int, exit);
        QFETCH(QString, message);
        CliRig c;
        QDir::setCurrent(c.rig.dir.path());
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo("fifo", 0600), 0);
#endif
        if (line == Line::Busy)
            c.rig.port.failOpen = platform::SerialPort::OpenError::Busy;
        if (line == Line::Flood) {
            c.rig.printer.faults.growing = true; // as a USB adapter hands it over
            c.rig.printer.faults.chunkBytes = 62;
            c.rig.printer.faults.chunkGapMs = 16;
        }

        QCOMPARE(c.run(arguments), exit);

        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(c.out, &error);
        QVERIFY2(error.error == QJsonParseError::NoError && doc.isObject(), c.out.constData());
        QCOMPARE(c.out.count('\n'), 1);
        QCOMPARE(doc.object().value("exit").toInt(-1), exit);
        const QJsonArray messages = doc.object().value("messages").toArray();
        QVERIFY2(std::any_of(messages.begin(), messages.end(),
                             [&](const QJsonValue& m) { return m.toString().startsWith(message); }),
                 c.out.constData());
        QVERIFY(!QFileInfo(arguments.last()).isFile() || exit == 0);
#ifdef Q_OS_UNIX
        QVERIFY(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
#endif
    }

    void compareExitsNonZeroWhenSomethingDiffers() {
        CliRig c;
        const QString folder = c.rig.dir.filePath("b");
        QCOMPARE(c.run({"backup", folder}), 0);
        QCOMPARE(c.run({"compare", folder}), 0);
        c.rig.printer.state.logos[1] = {};
        QCOMPARE(c.run({"--json", "compare", folder}), 4);
        QCOMPARE(QJsonDocument::fromJson(c.out).object().value("differences").toArray(),
                 QJsonArray{QStringLiteral("Логотип 001: нет в Маркираторе")});
    }

    // --yes confirms the summary; writing another model's memory needs its own word.
    void yesDoesNotAnswerForAnotherModel() {
        CliRig c;
        const QString folder = c.rig.dir.filePath("b");
        QCOMPARE(c.run({"backup", folder}), 0);
        c.rig.printer.state.model = QStringLiteral("K307");
        c.rig.printer.state.logos.fill({});
        c.rig.printer.requests.clear();
        QCOMPARE(c.run({"restore", folder, "--yes"}), 2);
        QVERIFY(!c.wrote());
        QVERIFY(c.err.contains("--other-model"));
        QCOMPARE(c.run({"restore", folder, "--yes", "--other-model"}), 0);
        QVERIFY(!c.rig.printer.state.logos[0].isEmpty());
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
