// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_file.h"
#include "marks/mark_model.h"
#include "operations/registry.h"
#include "test_rig.h"

#include <QJsonArray>
#include <QtTest>

using namespace printerlink;
using namespace operations;

class TestRegistry : public QObject {
    Q_OBJECT

    static const Operation& op(const char* name) {
        const Operation* found = find(QString::fromLatin1(name));
        if (!found)
            qFatal("no operation %s", name);
        return *found;
    }

private slots:
    void commandLineArgumentsAreCheckedAgainstTheirTypes_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("refusal"); // "" = accepted
        QTest::newRow("in range") << "read-mark" << QStringList{"85", "a.mrt"} << "";
        QTest::newRow("above range")
            << "read-mark" << QStringList{"86", "a.mrt"} << "номер марки - от 0 до 85";
        QTest::newRow("a sign is no digit")
            << "read-mark" << QStringList{"+5", "a.mrt"} << "номер марки - от 0 до 85";
        QTest::newRow("a space is no digit")
            << "delete-logo" << QStringList{" 5"} << "номер логотипа - от 0 до 127";
        QTest::newRow("missing positional")
            << "read-mark" << QStringList{"5"} << "использование: read-mark N FILE.mrt";
        QTest::newRow("one too many")
            << "delete-logo" << QStringList{"5", "6"} << "использование: delete-logo SLOT";
        QTest::newRow("unknown option") << "delete-logo" << QStringList{"5", "--force"}
                                        << "delete-logo: лишний аргумент '--force'";
        QTest::newRow("option without its value")
            << "write-fragment" << QStringList{"1", "2", "ABC", "--function"}
            << "--function: не указано значение";
        QTest::newRow("choice outside its list")
            << "write-fragment"
            << QStringList{"1", "2", "--function", "barcode", "--font", "1", "A"}
            << "--function - одно из: text, number, date, logo, postdate, ean";
        QTest::newRow("options anywhere")
            << "write-fragment" << QStringList{"--font", "15", "4", "8", "--function", "ean", "X"}
            << "";
        QTest::newRow("required option missing")
            << "write-fragment" << QStringList{"4", "8", "--function", "ean", "X"}
            << "использование: write-fragment LINE FRAGMENT --function FUNCTION --font NN TEXT";
    }
    void commandLineArgumentsAreCheckedAgainstTheirTypes() {
        QFETCH(QString, operation);
        QFETCH(QStringList, words);
        QFETCH(QString, refusal);
        const auto args = argumentsFromCommandLine(op(operation.toLatin1()), words);
        QCOMPARE(args.ok(), refusal.isEmpty());
        if (!args.ok()) {
            QCOMPARE(args.failure().kind, FailureKind::BadInput);
            QCOMPARE(args.failure().text, refusal);
        }
    }

    void jsonArgumentsTakeNumbersAndDigitStrings_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("slot"); // -1 = refused
        QTest::newRow("number") << QByteArray(R"({"slot": 7})") << 7;
        QTest::newRow("digits") << QByteArray(R"({"slot": "007"})") << 7;
        QTest::newRow("fraction") << QByteArray(R"({"slot": 7.5})") << -1;
        QTest::newRow("out of range") << QByteArray(R"({"slot": 128})") << -1;
        QTest::newRow("wrong type") << QByteArray(R"({"slot": [7]})") << -1;
        QTest::newRow("unknown key") << QByteArray(R"({"slot": 7, "force": true})") << -1;
        QTest::newRow("missing") << QByteArray(R"({})") << -1;
    }
    void jsonArgumentsTakeNumbersAndDigitStrings() {
        QFETCH(QByteArray, json);
        QFETCH(int, slot);
        const auto args =
            argumentsFromJson(op("delete-logo"), QJsonDocument::fromJson(json).object());
        QCOMPARE(args.ok(), slot >= 0);
        if (args.ok())
            QCOMPARE(args->integer(QStringLiteral("slot")), slot);
        else
            QCOMPARE(args.failure().kind, FailureKind::BadInput);
    }

    void anOptionalArgumentTakesItsDefault() {
        const auto args = argumentsFromCommandLine(op("set-clock"), {});
        QVERIFY(args.ok());
        QCOMPARE(args->text(QStringLiteral("time")), QStringLiteral("now"));
        QCOMPARE(usageLine(op("set-clock")), QStringLiteral("set-clock [now|YYYY-MM-DDThh:mm:ss]"));
    }

    void describeListsRangesAndWhetherAnOperationWrites() {
        const QJsonObject d = describe(op("write-fragment"));
        QCOMPARE(d.value("changesPrinter").toBool(), true);
        const QJsonArray args = d.value("arguments").toArray();
        QCOMPARE(args.size(), 5);
        QCOMPARE(args.at(0).toObject().value("high").toInt(), 4);
        QCOMPARE(args.at(3).toObject().value("name").toString(), QStringLiteral("font"));
        QCOMPARE(args.at(3).toObject().value("high").toInt(), 15);
        QCOMPARE(describe(op("read-fragment")).value("changesPrinter").toBool(), false);
        // An agent allows writes by name: the series that write must say so.
        QCOMPARE(describe(op("restore")).value("changesPrinter").toBool(), true);
        QCOMPARE(describe(op("write-parts")).value("changesPrinter").toBool(), true);
        QCOMPARE(describe(op("backup")).value("changesPrinter").toBool(), false);
    }

    void aWrittenFragmentReadsBackAndStandsInThePrintersMark() {
        TestRig rig;
        rig.connect();
        const auto write =
            argumentsFromCommandLine(op("write-fragment"), {"3", "5", "--function", "postdate",
                                                            "--font", "12", "Срок годности"});
        QVERIFY(write.ok());
        const Outcome written = invoke(rig.session, op("write-fragment"), *write);
        QVERIFY2(written.ok(), qPrintable(written.failure ? written.failure->text : QString()));

        const auto read = argumentsFromCommandLine(op("read-fragment"), {"3", "5"});
        const Outcome back = invoke(rig.session, op("read-fragment"), *read);
        QVERIFY(back.ok());
        QCOMPARE(back.text, QStringLiteral("postdate\t12\tСрок годности"));
        QCOMPARE(back.json, written.json);
        QCOMPARE(back.json.value("font").toInt(), 12);

        // Record of fragment 5 in line 3: code, font, length, Windows-1251 text.
        const QByteArray record = rig.printer.state.marks[0].mid((4 * 4 + 2) * 48, 48);
        QCOMPARE(record.left(3), QByteArray::fromHex("1D0C0D"));
        QCOMPARE(record.mid(3, 13), QByteArray::fromHex("D1F0EEEA20E3EEE4EDEEF1F2E8"));
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    void aFragmentTextThePrinterCannotHoldIsRefusedUnsent_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("45 characters")
            << QString(45, 'x')
            << "Текст фрагмента длиннее 44 символов (45).\n\rФрагмент не записан.";
        QTest::newRow("outside Windows-1251")
            << "A€☃"
            << "Символы, которых нет в кодировке Windows-1251: ☃.\n\rФрагмент не записан.";
        QTest::newRow("line break")
            << "A\nB"
            << "Текст фрагмента содержит перевод строки.\n\rФрагмент не записан.";
    }
    void aFragmentTextThePrinterCannotHoldIsRefusedUnsent() {
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        TestRig rig;
        rig.connect();
        const auto args = argumentsFromCommandLine(
            op("write-fragment"), {"1", "1", "--function", "text", "--font", "0", text});
        QVERIFY(args.ok());
        const Outcome out = invoke(rig.session, op("write-fragment"), *args);
        QVERIFY(out.failure);
        QCOMPARE(out.failure->kind, FailureKind::BadInput);
        QCOMPARE(out.failure->text, refusal);
        QCOMPARE(exitStatusOf(out), 2);
        QVERIFY(rig.printer.requests.isEmpty());
    }

    void failuresCarryTheirKindAndOpenNoDialog_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("exit");
        QTest::newRow("silent printer")
            << "hours" << QStringList{} << true << int(FailureKind::Link)
            << "Ошибка при чтении данных из Маркиратора (COM1)!" << 1;
        QTest::newRow("empty mark") << "read-mark" << QStringList{"40", "m.mrt"} << false
                                    << int(FailureKind::Refused) << "    ПУСТАЯ МАРКА!      " << 1;
        QTest::newRow("empty slot") << "read-logo" << QStringList{"100", "l.bin"} << false
                                    << int(FailureKind::Refused) << "    LOGO#100 EMPTY.     " << 1;
        QTest::newRow("unreadable file") << "write-mark" << QStringList{"3", "missing.mrt"} << false
                                         << int(FailureKind::File) << "" << 3;
        QTest::newRow("backup into a folder that exists")
            << "backup" << QStringList{"."} << false << int(FailureKind::File) << "" << 3;
        QTest::newRow("restore from no backup") << "restore" << QStringList{"none", "--yes"}
                                                << false << int(FailureKind::File) << "" << 3;
        // The link's own failure is kept, not shown, and the series' closing words are the text.
        QTest::newRow("backup of a silent printer")
            << "backup" << QStringList{"b"} << true << int(FailureKind::Link)
            << "Резервная копия не создана: не прочитано - версия." << 1;
    }
    void failuresCarryTheirKindAndOpenNoDialog() {
        QFETCH(QString, operation);
        QFETCH(QStringList, words);
        QFETCH(bool, silent);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(int, exit);
        TestRig rig;
        rig.connect();
        rig.printer.faults.silent = silent;
        QDir::setCurrent(rig.dir.path());
        const auto args = argumentsFromCommandLine(op(operation.toLatin1()), words);
        QVERIFY(args.ok());
        const Outcome out = invoke(rig.session, op(operation.toLatin1()), *args);
        QVERIFY(out.failure);
        QCOMPARE(int(out.failure->kind), kind);
        if (!text.isEmpty())
            QCOMPARE(out.failure->text, text);
        QCOMPARE(exitStatusOf(out), exit);
        QVERIFY(rig.dialogs.shown.isEmpty());
        // A failed read leaves no file behind.
        if (operation.startsWith(QLatin1String("read-")))
            QVERIFY(!QFileInfo::exists(rig.dir.filePath(words.at(1))));
    }

    // Before anything is written the printer is asked what it holds; silent, it gets nothing.
    void aRestoreToASilentPrinterFailsOnTheLinkWritingNothing() {
        TestRig rig;
        rig.connect();
        const auto run = [&](const QStringList& words) {
            const Operation& o = op(words.first().toLatin1());
            return invoke(rig.session, o, *argumentsFromCommandLine(o, words.mid(1)));
        };
        const QString folder = rig.dir.filePath("b");
        QVERIFY(run({"backup", folder}).ok());
        rig.printer.faults.silent = true;
        rig.printer.requests.clear();
        const Outcome out = run({"restore", folder, "--yes"});
        QVERIFY(out.failure);
        QCOMPARE(int(out.failure->kind), int(FailureKind::Link));
        QCOMPARE(out.failure->text,
                 QStringLiteral("Ошибка при чтении данных из Маркиратора (COM1)!"));
        QVERIFY(rig.dialogs.shown.isEmpty());
        for (const QByteArray& r : rig.printer.requests)
            QVERIFY2(r.size() > 1 && r.at(1) == 'i', r.toHex().constData()); // the version only
    }

    void showMarkListsTheFileFragmentsWithoutAPrinter() {
        TestRig rig;
        marks::MarkRows rows = marks::initialRows();
        rows[9][marks::FunctionColumn] = QStringLiteral("ШтрихКод EAN");
        rows[9][marks::FontColumn] = QStringLiteral(" 14");
        rows[9][marks::TextColumn] = QStringLiteral("4601234567890");
        const QString file = rig.dir.filePath("m.mrt");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(marks::encodeMarkFile(rows));
        f.close();
        const auto args = argumentsFromCommandLine(op("show-mark"), {file});
        const Outcome out = invoke(rig.session, op("show-mark"), *args);
        QVERIFY(out.ok());
        const QJsonArray fragments = out.json.value("fragments").toArray();
        QCOMPARE(fragments.size(), 32);
        const QJsonObject f22 = fragments.at(9).toObject();
        QCOMPARE(f22.value("line").toInt(), 2);
        QCOMPARE(f22.value("fragment").toInt(), 2);
        QCOMPARE(f22.value("function").toString(), QStringLiteral("ean"));
        QCOMPARE(f22.value("font").toInt(), 14);
        QCOMPARE(out.text.split('\n').at(9), QStringLiteral("22\tean\t14\t4601234567890"));
        QVERIFY(rig.printer.requests.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
