// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifndef INKWICK_CLI
#error "INKWICK_CLI must name the built inkwick-cli"
#endif

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

CliRun cli(const QString& device, const QStringList& arguments, int baud = 115200) {
    QProcess p;
    p.start(QStringLiteral(INKWICK_CLI),
            QStringList{QStringLiteral("--port"), device, QStringLiteral("--baud"),
                        QString::number(baud), QStringLiteral("--json")} +
                arguments);
    constexpr int timeoutMs = 60000;
    CliRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QMap<QString, QByteArray> folderContents(const QString& path) {
    QMap<QString, QByteArray> out;
    for (const QFileInfo& f : QDir(path).entryInfoList(QDir::Files)) {
        QFile file(f.filePath());
        if (file.open(QIODevice::ReadOnly))
            out.insert(f.fileName(), file.readAll());
    }
    return out;
}

// A mark file that differs from the simulator's factory marks: fragment 11 text "SHIFT 2".
QByteArray shiftMarkFile() {
    QByteArray file;
    for (int line = 1; line <= 4; ++line)
        for (int fragment = 1; fragment <= 8; ++fragment)
            file += QByteArray::number(line) + QByteArray::number(fragment) + '\x18' + "02" +
                    (line == 1 && fragment == 1 ? "SHIFT 2" : "") + "\r\n";
    return file;
}

} // namespace

class TestCliEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void backupWipeRestoreCompare() {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first-memory"));
        const QString backup = dir.filePath(QStringLiteral("backup"));
        {
            EmulatorProcess sim({QStringLiteral("--memory"), first});
            QVERIFY(sim.start());
            QFile mark(dir.filePath(QStringLiteral("shift.mrt")));
            QVERIFY(mark.open(QIODevice::WriteOnly));
            mark.write(shiftMarkFile());
            mark.close();
            QCOMPARE(cli(sim.device(), {"write-mark", "7", mark.fileName()}).exitCode, 0);

            const CliRun b = cli(sim.device(), {"backup", backup});
            QVERIFY2(b.exitCode == 0, b.err.constData());
            QVERIFY(b.json().value("marks").toVariant().toList().contains(7));
        }
        // A fresh simulator memory: the factory marks and logos, without mark 07.
        EmulatorProcess sim({QStringLiteral("--memory"), dir.filePath(QStringLiteral("fresh"))});
        QVERIFY(sim.start());
        const CliRun before = cli(sim.device(), {"compare", backup});
        QCOMPARE(before.exitCode, 4); // something differs
        QCOMPARE(before.json().value("differences").toVariant().toStringList(),
                 QStringList{QStringLiteral("Марка 07: нет в Маркираторе")});

        const CliRun r = cli(sim.device(), {"restore", backup, "--yes"});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const CliRun after = cli(sim.device(), {"compare", backup});
        QCOMPARE(after.exitCode, 0);
        QCOMPARE(after.json().value("differences").toVariant().toStringList(), QStringList());

        const CliRun read = cli(sim.device(), {"read-mark", "7", dir.filePath("back.mrt")});
        QCOMPARE(read.exitCode, 0);
        QFile back(dir.filePath("back.mrt"));
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), shiftMarkFile());
    }

    void anAlteredFileRefusesTheRestoreWithNothingSent() {
        QTemporaryDir dir;
        const QString memory = dir.filePath(QStringLiteral("memory"));
        const QString backup = dir.filePath(QStringLiteral("backup"));
        EmulatorProcess sim({QStringLiteral("--memory"), memory});
        QVERIFY(sim.start());
        QCOMPARE(cli(sim.device(), {"backup", backup}).exitCode, 0);
        QCOMPARE(cli(sim.device(), {"delete-logo", "0"}).exitCode, 0);
        QFile logo(backup + QStringLiteral("/logos/001.bin"));
        QVERIFY(logo.open(QIODevice::ReadWrite));
        logo.seek(10);
        logo.write("\xFF");
        logo.close();
        const auto memoryBefore = folderContents(memory);

        const CliRun r = cli(sim.device(), {"restore", backup, "--yes"});

        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.contains("logos/001.bin"), r.err.constData());
        QCOMPARE(folderContents(memory), memoryBefore);
    }

    void exitStatusesAndJson() {
        QTemporaryDir dir;
        // A single read-out has no second attempt: on a busy machine a pause inside a reply at
        // 115200 can pass for its end, which is not what this test is about.
        EmulatorProcess sim({QStringLiteral("--baud"), QStringLiteral("9600")});
        QVERIFY(sim.start());
        const CliRun hours = cli(sim.device(), {"hours"}, 9600);
        QCOMPARE(hours.exitCode, 0);
        QCOMPARE(hours.json().value("command").toString(), QStringLiteral("hours"));
        QCOMPARE(hours.json().value("value").toString(), QStringLiteral("1234.5"));
        QCOMPARE(cli(sim.device(), {"read-mark", "86", dir.filePath("x.mrt")}).exitCode, 2);
        QCOMPARE(cli(sim.device(), {"no-such-command"}).exitCode, 2);
        QCOMPARE(cli(sim.device(), {"write-mark", "3", dir.filePath("missing.mrt")}).exitCode, 3);
    }

    // What a plant script does most: one fragment's text, then a look at what the printer holds.
    void aWrittenFragmentReadsBackAndStandsInTheMarkBeingPrinted() {
        QTemporaryDir dir;
        EmulatorProcess sim;
        QVERIFY(sim.start());
        const CliRun w = cli(sim.device(), {"write-fragment", "2", "3", "--function", "number",
                                            "--font", "07", "Партия 815"});
        QVERIFY2(w.exitCode == 0, w.err.constData());

        const CliRun r = cli(sim.device(), {"read-fragment", "2", "3"});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(r.json().value("function").toString(), QStringLiteral("number"));
        QCOMPARE(r.json().value("font").toInt(), 7);
        QCOMPARE(r.json().value("text").toString(), QStringLiteral("Партия 815"));

        const QString mark = dir.filePath(QStringLiteral("current.mrt"));
        QCOMPARE(cli(sim.device(), {"read-mark", "0", mark}).exitCode, 0);
        const CliRun shown = cli(sim.device(), {"show-mark", mark});
        QCOMPARE(shown.exitCode, 0);
        const QJsonObject f23 = shown.json().value("fragments").toArray().at(10).toObject();
        QCOMPARE(f23.value("function").toString(), QStringLiteral("number"));
        QCOMPARE(f23.value("font").toInt(), 7);
        QCOMPARE(f23.value("text").toString(), QStringLiteral("Партия 815"));

        const CliRun refused = cli(sim.device(), {"write-fragment", "2", "3", "--function", "text",
                                                  "--font", "0", QString(45, QLatin1Char('x'))});
        QCOMPARE(refused.exitCode, 2);
    }

    void aSilentPrinterFailsWithinSeconds() {
        EmulatorProcess sim({QStringLiteral("--silent")});
        QVERIFY(sim.start());
        QElapsedTimer t;
        t.start();
        const CliRun r = cli(sim.device(), {"version"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestCliEndToEnd)
#include "tst_cli_e2e.moc"
