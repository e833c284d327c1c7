// SPDX-License-Identifier: GPL-3.0-or-later
#include "mark_rig.h"
#include "marks/mark_file_commands.h"
#include "marks/mark_transfer.h"

#include <QSignalSpy>
#include <QTest>

using namespace platform;
using namespace printerlink;

using namespace marks;

namespace {

enum class Command { ReadByNumber, ReadCurrent, Write };

void run(Command c, Session& s) {
    switch (c) {
    case Command::ReadByNumber:
        readMarkByNumber(s);
        break;
    case Command::ReadCurrent:
        readCurrentMark(s);
        break;
    case Command::Write:
        writeMarkByNumber(s);
        break;
    }
}

// Answers for the dialogs in order: texts for prompts, "yes"/"no" for questions.
void queue(ScriptedDialogs& d, const QStringList& answers) {
    for (const QString& a : answers) {
        if (a == QLatin1String("<yes>"))
            d.answer(MessageAnswer::Yes);
        else if (a == QLatin1String("<no>"))
            d.answer(MessageAnswer::No);
        else
            d.answer(a);
    }
}

const QString kRetry = QStringLiteral("ОШИБКА | Недопустимый Номер Марки. Повторить ввод?");

} // namespace

Q_DECLARE_METATYPE(Command)

class TestMarkTransfer : public QObject {
    Q_OBJECT
private slots:
    void markNumberPrompt_data();
    void markNumberPrompt();
    void readFillsTheTable_data();
    void readFillsTheTable();
    void storedMarkReadEndsOnceWhole_data();
    void storedMarkReadEndsOnceWhole();
    void slowLineReadsTheMarkWhole_data();
    void slowLineReadsTheMarkWhole();
    void emptyMarkLeavesTheTable_data();
    void emptyMarkLeavesTheTable();
    void readersShowUnknownBytesDifferently();
    void shortReplyShowsWhatArrived_data();
    void shortReplyShowsWhatArrived();
    void readFailures_data();
    void readFailures();
    void writeSendsHeaderAndRecords();
    void writtenMarkReadsBackIdentical();
    void writeRefusesTextsThatDoNotFit_data();
    void writeRefusesTextsThatDoNotFit();
    void writeFailures_data();
    void writeFailures();
};

void TestMarkTransfer::markNumberPrompt_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QByteArray>("header"); // empty: nothing sent
    QTest::addColumn<int>("retries");

    const auto r = Command::ReadByNumber;
    const auto w = Command::Write;
    QTest::newRow("read 7") << r << QStringList{"7"} << QByteArray::fromHex("0F7230370E") << 0;
    QTest::newRow("read 85") << r << QStringList{"85"} << QByteArray::fromHex("0F7238350E") << 0;
    QTest::newRow("read ' 12abc'")
        << r << QStringList{" 12abc"} << QByteArray::fromHex("0F7231320E") << 0;
    QTest::newRow("read 86, again, 3")
        << r << QStringList{"86", "<yes>", "3"} << QByteArray::fromHex("0F7230330E") << 1;
    QTest::newRow("read -1, give up") << r << QStringList{"-1", "<no>"} << QByteArray() << 1;
    QTest::newRow("read prompt closed") << r << QStringList{""} << QByteArray() << 0;
    // Not a number: asked again, never read as mark 0.
    QTest::newRow("read only blanks, give up")
        << r << QStringList{"   ", "<no>"} << QByteArray() << 1;
    QTest::newRow("read letter o for 0, again, 7")
        << r << QStringList{"o7", "<yes>", "7"} << QByteArray::fromHex("0F7230370E") << 1;
    QTest::newRow("write a blank, give up") << w << QStringList{" ", "<no>"} << QByteArray() << 1;
    QTest::newRow("write x, again, 0")
        << w << QStringList{"x", "<yes>", "0"} << QByteArray::fromHex("0F7430300E") << 1;
    QTest::newRow("write 12") << w << QStringList{"12"} << QByteArray::fromHex("0F7431320E") << 0;
    QTest::newRow("write 86, -1, 0") << w << QStringList{"86", "<yes>", "-1", "<yes>", "0"}
                                     << QByteArray::fromHex("0F7430300E") << 2;
    QTest::newRow("write prompt closed does not touch mark 0")
        << w << QStringList{""} << QByteArray() << 0;
}

void TestMarkTransfer::markNumberPrompt() {
    QFETCH(Command, command);
    QFETCH(QStringList, answers);
    QFETCH(QByteArray, header);
    QFETCH(int, retries);

    MarkRig m;
    m.state.marks[3] = m.state.marks[1];
    queue(m.dialogs, answers);
    run(command, m.session());

    QVERIFY2(m.dialogs.unexpected.isEmpty(), qPrintable(m.dialogs.unexpected.join('\n')));
    QCOMPARE(m.dialogs.pending(), 0);
    const auto& prompt = m.dialogs.shown.first();
    QCOMPARE(prompt.kind, ScriptedDialogs::Kind::Input);
    QCOMPARE(prompt.title, command == Command::Write
                               ? QStringLiteral("ЗАПИСЬ В МАРКИРАТОР")
                               : QStringLiteral("Чтение Текстовой Марки из Маркиратора"));
    QCOMPARE(prompt.text, QStringLiteral("Введите Номер Марки: 0..85  ( 0- печатаемая марка )"));
    QCOMPARE(prompt.extra, QStringLiteral("0"));
    QCOMPARE(m.messageTexts().count(kRetry), retries);
    if (header.isEmpty())
        QVERIFY(m.rig.printer.received.isEmpty());
    else
        QCOMPARE(m.rig.printer.received.left(5), header);
}

void TestMarkTransfer::readFillsTheTable_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<int>("chunkBytes");
    QTest::addColumn<int>("chunkGapMs");
    QTest::newRow("read n") << Command::ReadByNumber << 0 << 0;
    QTest::newRow("current") << Command::ReadCurrent << 0 << 0;
    // Packets with gaps longer than the settle test's waits: the first packet alone settles.
    QTest::newRow("read n, 64-byte packets 20 ms apart") << Command::ReadByNumber << 64 << 20;
    QTest::newRow("current, 64-byte packets 20 ms apart") << Command::ReadCurrent << 64 << 20;
    QTest::newRow("current, 500-byte packets 60 ms apart") << Command::ReadCurrent << 500 << 60;
    QTest::newRow("read n, 1000-byte packets 250 ms apart") << Command::ReadByNumber << 1000 << 250;
}

void TestMarkTransfer::readFillsTheTable() {
    QFETCH(Command, command);
    QFETCH(int, chunkBytes);
    QFETCH(int, chunkGapMs);

    MarkRig m;
    const MarkRows mark = richMark();
    const int number = command == Command::ReadCurrent ? 0 : 42;
    m.state.marks[number] = encodeMarkData(mark);
    m.rig.printer.faults.chunkBytes = chunkBytes;
    m.rig.printer.faults.chunkGapMs = chunkGapMs;
    m.doc.setCurrentFile(QStringLiteral("kept.mrt"), FileOrigin::Opened);
    m.files.clear();
    m.told.clear();
    QSignalSpy redraws(&m.doc, &MarkDocument::previewChanged);
    if (command == Command::ReadByNumber)
        m.dialogs.answer("42");

    run(command, m.session());

    QVERIFY2(m.dialogs.messages().isEmpty(), qPrintable(m.messageTexts().join('\n')));
    for (int r = 0; r < kFragmentCount; ++r)
        QCOMPARE(m.doc.model().rows()[r], mark[r]);
    QCOMPARE(m.doc.selectedRow(), 0);
    QCOMPARE(redraws.count(), 1);
    QCOMPARE(m.told, (QMap<QString, bool>{{"save as", true}}));
    QCOMPARE(m.doc.currentFile(), QStringLiteral("kept.mrt"));
    QVERIFY(m.files.isEmpty());
    QVERIFY(m.rig.status.noFields());
    const QList<QPair<LampTarget, Lamp>> lamps{{LampTarget::TextMark, Lamp::Transfer},
                                               {LampTarget::TextMark, Lamp::Idle}};
    QCOMPARE(m.rig.status.lampHistory, lamps);
}

void TestMarkTransfer::storedMarkReadEndsOnceWhole_data() {
    QTest::addColumn<int>("chunkBytes");
    QTest::addColumn<int>("chunkGapMs");
    QTest::addColumn<bool>("paused");
    QTest::newRow("all of it at once, no pause") << 0 << 0 << false;
    // The settle test sees the first packet only: the rest may still come.
    QTest::newRow("first part settled, the pause kept") << 1000 << 30 << true;
}

void TestMarkTransfer::storedMarkReadEndsOnceWhole() {
    QFETCH(int, chunkBytes);
    QFETCH(int, chunkGapMs);
    QFETCH(bool, paused);

    MarkRig m;
    m.state.marks[42] = encodeMarkData(richMark());
    m.rig.printer.faults.chunkBytes = chunkBytes;
    m.rig.printer.faults.chunkGapMs = chunkGapMs;
    m.dialogs.answer("42");
    const qint64 start = m.rig.clock.elapsedMs();
    readMarkByNumber(m.session());
    const qint64 took = m.rig.clock.elapsedMs() - start;

    QVERIFY(m.dialogs.messages().isEmpty());
    QCOMPARE(m.doc.model().rows()[5], richMark()[5]);
    // 5 + 1536 bytes at 115200 baud, the printer's 2 ms and the gaps between its packets.
    const qint64 lineMs = (5 + 1536) * 10 * 1000 / 115200 + 2 + chunkGapMs;
    if (paused)
        QVERIFY2(took >= lineMs + 100, qPrintable(QString::number(took)));
    else
        QVERIFY2(took < lineMs + 8, qPrintable(QString::number(took)));
}

// At 9600 baud a mark takes 1.6 s to come, in one stream that never stands still: longer than
// the settle test's cycles last on their own.
void TestMarkTransfer::slowLineReadsTheMarkWhole_data() {
    QTest::addColumn<Command>("command");
    QTest::newRow("read n") << Command::ReadByNumber;
    QTest::newRow("current") << Command::ReadCurrent;
}

void TestMarkTransfer::slowLineReadsTheMarkWhole() {
    QFETCH(Command, command);
    MarkRig m;
    m.rig.session.link.baudRate = 9600;
    m.rig.connect();
    const MarkRows mark = richMark();
    const int number = command == Command::ReadCurrent ? 0 : 42;
    m.state.marks[number] = encodeMarkData(mark);
    if (command == Command::ReadByNumber)
        m.dialogs.answer("42");
    run(command, m.session());
    QVERIFY2(m.dialogs.messages().isEmpty(), qPrintable(m.messageTexts().join('\n')));
    QCOMPARE(m.doc.model().rows(), mark);
}

void TestMarkTransfer::emptyMarkLeavesTheTable_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("title");
    QTest::newRow("read n") << Command::ReadByNumber << QStringLiteral("МАРКА #05");
    QTest::newRow("current") << Command::ReadCurrent << QStringLiteral("МАРКА #00");
}

void TestMarkTransfer::emptyMarkLeavesTheTable() {
    QFETCH(Command, command);
    QFETCH(QString, title);
    MarkRig m;
    m.state.marks[0].clear();
    m.state.marks[5].clear();
    const MarkRows before = richMark();
    m.doc.model().setRows(before);
    m.told.clear();
    QSignalSpy redraws(&m.doc, &MarkDocument::previewChanged);
    if (command == Command::ReadByNumber)
        m.dialogs.answer("5");

    run(command, m.session());

    QCOMPARE(m.messageTexts(), QStringList{title + " |     ПУСТАЯ МАРКА!      "});
    QCOMPARE(m.dialogs.last().icon, MessageIcon::Error);
    QCOMPARE(m.doc.model().rows(), before);
    QCOMPARE(redraws.count(), 0);
    QCOMPARE(m.doc.selectedRow(), -1);
    QVERIFY(m.told.isEmpty());
}

void TestMarkTransfer::readersShowUnknownBytesDifferently() {
    QByteArray data(kMarkDataSize, '\0');
    const QByteArray first("\x07\x10\x02"
                           "ab",
                           5);
    data.replace(0, first.size(), first);
    const QList<QPair<Command, QStringList>> cases{
        {Command::ReadByNumber, {"?", " 16", "ab", "42"}},
        {Command::ReadCurrent, {" 007", " 016", "ab", "42"}},
    };
    for (const auto& [command, cells] : cases) {
        MarkRig m;
        m.state.marks[0] = data;
        if (command == Command::ReadByNumber)
            m.dialogs.answer("0");
        run(command, m.session());
        const MarkRow& row = m.doc.model().rows()[0];
        QCOMPARE((QStringList{row[1], row[2], row[3], row[4]}), cells);
        // A record of code 0 further on is not an empty mark, only an unknown function.
        QCOMPARE(m.doc.model().rows()[1][FunctionColumn],
                 command == Command::ReadByNumber ? QStringLiteral("?") : QStringLiteral(" 000"));
    }
}

void TestMarkTransfer::shortReplyShowsWhatArrived_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("missing");
    QTest::newRow("read n") << Command::ReadByNumber << QStringLiteral("?");
    QTest::newRow("current") << Command::ReadCurrent << QStringLiteral(" 000");
}

void TestMarkTransfer::shortReplyShowsWhatArrived() {
    QFETCH(Command, command);
    QFETCH(QString, missing);
    MarkRig m;
    const MarkRows mark = richMark();
    m.state.marks[0] = encodeMarkData(mark);
    m.rig.printer.faults.shortReply = 10 * kRecordSize;
    if (command == Command::ReadByNumber)
        m.dialogs.answer("0");
    const qint64 start = m.rig.clock.elapsedMs();

    run(command, m.session());

    // The table shows what came, and the user is told that it is not the whole mark.
    QCOMPARE(m.messageTexts(),
             QStringList{
                 QStringLiteral("МАРКА #00 | ОТВЕТ МАРКИРАТОРА НЕПОЛНЫЙ!\n\rПринято байт: 480 из "
                                "1536.\n\rНедостающие данные показаны нулями.")});
    QCOMPARE(m.dialogs.last().icon, MessageIcon::Warning);
    // Records 0..9 arrived: fragments 1..3 of every line and fragment 3 of lines 1 and 2.
    QCOMPARE(m.doc.model().rows()[rowOfRecord(9)], mark[rowOfRecord(9)]);
    const MarkRow& lost = m.doc.model().rows()[rowOfRecord(10)];
    QCOMPARE((QStringList{lost[1], lost[2], lost[3], lost[4]}),
             (QStringList{missing, " 00", "", "44"}));
    // Waiting for the rest ends once the line has been quiet for a short while.
    QVERIFY(m.rig.clock.elapsedMs() - start < 700);
}

void TestMarkTransfer::readFailures_data() {
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("fault");
    for (const auto& [name, command] :
         {std::pair{"read n", Command::ReadByNumber}, std::pair{"current", Command::ReadCurrent}}) {
        for (const char* fault : {"silent", "growing", "refused", "vanished"})
            QTest::addRow("%s, %s", name, fault) << command << QString::fromLatin1(fault);
    }
}

void TestMarkTransfer::readFailures() {
    QFETCH(Command, command);
    QFETCH(QString, fault);
    MarkRig m;
    sim::Faults& f = m.rig.printer.faults;
    f.silent = fault == QLatin1String("silent");
    f.growing = fault == QLatin1String("growing");
    f.refuseWrite = fault == QLatin1String("refused");
    f.vanishAfterBytes = fault == QLatin1String("vanished") ? 3 : -1;
    const MarkRows before = richMark();
    m.doc.model().setRows(before);
    m.told.clear();
    if (command == Command::ReadByNumber)
        m.dialogs.answer("1");
    const qint64 start = m.rig.clock.elapsedMs();

    run(command, m.session());

    QCOMPARE(m.messageTexts(),
             QStringList{"ОШИБКА | Ошибка при чтении данных из Маркиратора (COM1)!"});
    QCOMPARE(m.rig.status.textMarkLamp, Lamp::Error);
    QCOMPARE(m.rig.status.graphicLamp, Lamp::Error);
    QVERIFY(m.session().link.error);
    QCOMPARE(m.doc.model().rows(), before);
    QVERIFY(m.told.isEmpty());
    // The protocol's own wait loops bound the time: 10 + 100 x 10 + slack, or 350 x 4.
    QVERIFY(m.rig.clock.elapsedMs() - start < 3000);
}

void TestMarkTransfer::writeSendsHeaderAndRecords() {
    MarkRig m;
    MarkRows mark = richMark();
    mark[0] = {"11", "ШтрихКод EAN", " 02", "460123456789", "32"};
    mark[8] = {"21", "ШтрихКод EAN", " 00", "460123456789012", "29"};
    mark[16] = {"31", "Номер", " #02", "", "44"};
    mark[24] = {"41", "?", " 016", "abc", "41"};
    m.doc.model().setRows(mark);
    QSignalSpy redraws(&m.doc, &MarkDocument::previewChanged);
    m.dialogs.answer(" 12");

    writeMarkByNumber(m.session());

    const QList<QByteArray> requests = m.rig.printer.requests;
    QCOMPARE(requests.size(), 1);
    const QByteArray sent = requests.first();
    QCOMPARE(sent.size(), 5 + kMarkDataSize);
    QCOMPARE(sent.left(5), QByteArray::fromHex("0F7431320E"));
    auto rec = [&](int k, int n) { return sent.mid(5 + k * kRecordSize, n); };
    QCOMPARE(rec(0, 16), QByteArray("\x10\x02\x0D"
                                    "4601234567890"));
    QCOMPARE(rec(1, 16), QByteArray("\x10\x00\x0D"
                                    "4601234567890",
                                    16));
    QCOMPARE(rec(2, 3), QByteArray("\x19\x02\x00", 3));
    QCOMPARE(rec(3, 6), QByteArray("\x18\x10\x03"
                                   "abc"));
    QCOMPARE(rec(4, 3), QByteArray("\x19\x01\x07")); // row 1: running number, font 1, 7 chars
    QCOMPARE(m.state.marks[12], sent.mid(5));

    QCOMPARE(m.messageTexts(), QStringList{" | Запись Марки # 12 успешно завершена."});
    QCOMPARE(m.dialogs.last().icon, MessageIcon::Information);
    QCOMPARE(m.rig.status.textMarkLamp, Lamp::Idle);
    QCOMPARE(m.rig.status.graphicLamp, Lamp::Grey);
    QCOMPARE(m.doc.model().rows(), mark);
    QCOMPARE(redraws.count(), 0);
}

void TestMarkTransfer::writtenMarkReadsBackIdentical() {
    MarkRig m;
    const MarkRows mark = richMark();
    m.doc.model().setRows(mark);
    m.dialogs.answer("77");
    writeMarkByNumber(m.session());

    m.doc.model().setRows(initialRows());
    m.dialogs.answer("77");
    readMarkByNumber(m.session());

    QVERIFY(m.dialogs.unexpected.isEmpty());
    QCOMPARE(m.doc.model().rows(), mark);
}

void TestMarkTransfer::writeRefusesTextsThatDoNotFit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("45 characters")
        << QString(45, 'x')
        << "ОШИБКА | Текст длиннее 44 символов во фрагментах: 14, 31.\n\rМарка не записана.";
    QTest::newRow("character outside Windows-1251")
        << QStringLiteral("1 ¥")
        << "ОШИБКА | Символы, которых нет в кодировке Windows-1251 (¥), во фрагментах: 14, 31."
           "\n\rМарка не записана.";
}

void TestMarkTransfer::writeRefusesTextsThatDoNotFit() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    MarkRig m;
    m.doc.model().setCellText(3, TextColumn, text);
    m.doc.model().setCellText(16, TextColumn, text);
    writeMarkByNumber(m.session());
    QCOMPARE(m.messageTexts(), QStringList{message});
    QCOMPARE(m.dialogs.shown.size(), 1); // not even the number prompt
    QVERIFY(m.rig.printer.received.isEmpty());
    QVERIFY(m.rig.status.lampHistory.isEmpty());
}

void TestMarkTransfer::writeFailures_data() {
    QTest::addColumn<int>("refuseAfter"); // -1: every write refused
    QTest::newRow("header refused") << -1;
    QTest::newRow("device gone in the second block") << 5 + 256 + 100;
    QTest::newRow("device gone in the last block") << 5 + 1536 - 1;
}

void TestMarkTransfer::writeFailures() {
    QFETCH(int, refuseAfter);
    MarkRig m;
    if (refuseAfter < 0)
        m.rig.printer.faults.refuseWrite = true;
    else
        m.rig.printer.faults.vanishAfterBytes = refuseAfter;
    m.dialogs.answer("4");
    writeMarkByNumber(m.session());
    QCOMPARE(m.messageTexts(), QStringList{"ОШИБКА | Ошибка записи данных в порт COM1!"});
    QCOMPARE(m.rig.status.textMarkLamp, Lamp::Error);
    QVERIFY(m.session().link.error);
}

QTEST_MAIN(TestMarkTransfer)
#include "tst_mark_transfer.moc"
