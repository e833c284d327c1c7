// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_record.h"
#include "marks/text_check.h"

#include <QTest>

using namespace marks;

Q_DECLARE_METATYPE(marks::MarkReader)

namespace {

QByteArray record(const QByteArray& head, const QByteArray& text = {}) {
    QByteArray r = head + text;
    r.resize(kRecordSize, '\0');
    return r;
}

MarkRows sampleRows() {
    MarkRows rows = initialRows();
    const QString cyrillic = QStringLiteral("Съешь же ещё этих мягких французских булок, да");
    for (int r = 0; r < kFragmentCount; ++r) {
        rows[r][FunctionColumn] = functionNames().at((r + 1) % 5); // no barcode: texts stay as is
        rows[r][FontColumn] = fontCellText(r % 16);
        rows[r][TextColumn] = (r % 3 ? cyrillic : QStringLiteral("Lot 2026-12-08 / #"))
                                  .left(r * kMaxTextLength / (kFragmentCount - 1));
        rows[r][FreeColumn] = freePlacesText(rows[r][TextColumn]);
    }
    return rows;
}

} // namespace

class TestMarkRecord : public QObject {
    Q_OBJECT
private slots:
    void decodesARecord_data();
    void decodesARecord();
    void shortReplyLeavesEmptyRecords_data();
    void shortReplyLeavesEmptyRecords();
    void recordsAreFragmentMajor();
    void encodesARecord_data();
    void encodesARecord();
    void roundTripsAWholeMark_data();
    void roundTripsAWholeMark();
    void emptyMarkReply();
    void textChecks_data();
    void textChecks();
    void fragmentReport_data();
    void fragmentReport();
    void fragmentWriteRequest_data();
    void fragmentWriteRequest();
    void fragmentWriteQuestion();
};

void TestMarkRecord::decodesARecord_data() {
    QTest::addColumn<QByteArray>("rec");
    QTest::addColumn<MarkReader>("reader");
    QTest::addColumn<QStringList>("cells"); // function, font, text, free

    const auto n = MarkReader::ByNumber;
    const auto c = MarkReader::Current;
    QTest::newRow("running number")
        << record("\x19\x02\x04", "0001") << n << QStringList{"Номер", " 02", "0001", "40"};
    QTest::newRow("barcode, font 13")
        << record("\x10\x0D\x02", "12") << c << QStringList{"ШтрихКод EAN", " 13", "12", "42"};
    QTest::newRow("unknown code, read n")
        << record("\x07\x00\x00") << n << QStringList{"?", " 00", "", "44"};
    QTest::newRow("unknown code, current")
        << record("\x07\x00\x00") << c << QStringList{" 007", " 00", "", "44"};
    QTest::newRow("code 0x41, current")
        << record("\x41\x01\x00") << c << QStringList{" 065", " 01", "", "44"};
    QTest::newRow("font 16, read n")
        << record("\x18\x10\x00") << n << QStringList{"Текст", " 16", "", "44"};
    QTest::newRow("font 16, current")
        << record("\x18\x10\x00") << c << QStringList{"Текст", " 016", "", "44"};
    QTest::newRow("font 200, read n takes it signed")
        << record("\x18\xC8\x00") << n << QStringList{"Текст", " -5", "", "44"};
    QTest::newRow("font 200, current")
        << record("\x18\xC8\x00") << c << QStringList{"Текст", " 200", "", "44"};
    const QByteArray fifty(50, 'q');
    QTest::newRow("length 50 cut to 44") << record("\x18\x02\x32", fifty).left(3) + fifty << n
                                         << QStringList{"Текст", " 02", QString(44, 'q'), "0"};
    QTest::newRow("length 200 is negative for read n")
        << record("\x18\x02\xC8", "abc") << n << QStringList{"Текст", " 02", "", "44"};
    QTest::newRow("length 200 is cut to 44 for current")
        << record("\x18\x02\xC8", QByteArray(45, 'w')) << c
        << QStringList{"Текст", " 02", QString(44, 'w'), "0"};
    QTest::newRow("zero byte ends the text early")
        << record("\x18\x02\x0A", QByteArray("AB\0CD", 5)) << n
        << QStringList{"Текст", " 02", "AB", "42"};
    QTest::newRow("Windows-1251 text") << record("\x1D\x05\x03", "\xC4\xE0\xF2") << c
                                       << QStringList{"ПостДата", " 05", "Дат", "41"};
}

void TestMarkRecord::decodesARecord() {
    QFETCH(QByteArray, rec);
    QFETCH(MarkReader, reader);
    QFETCH(QStringList, cells);
    QByteArray reply(kMarkReplyBuffer, '\0');
    reply.replace(0, rec.size(), rec);
    MarkRows rows = initialRows();
    decodeMarkData(reply, reader, rows);
    const MarkRow& row = rows[0];
    QCOMPARE(row[NumberColumn], QStringLiteral("11"));
    QCOMPARE((QStringList{row[1], row[2], row[3], row[4]}), cells);
}

void TestMarkRecord::shortReplyLeavesEmptyRecords_data() {
    QTest::addColumn<MarkReader>("reader");
    QTest::addColumn<QString>("function");
    QTest::newRow("read n") << MarkReader::ByNumber << QStringLiteral("?");
    QTest::newRow("current") << MarkReader::Current << QStringLiteral(" 000");
}

void TestMarkRecord::shortReplyLeavesEmptyRecords() {
    QFETCH(MarkReader, reader);
    QFETCH(QString, function);
    // Two whole records and a third cut inside its text.
    const QByteArray reply =
        record("\x19\x03\x02", "ab") + record("\x19\x04\x02", "cd") + QByteArray("\x18\x05\x06xyz");
    MarkRows rows = initialRows();
    rows[31][TextColumn] = QStringLiteral("stale");
    decodeMarkData(reply, reader, rows);
    QCOMPARE(rows[8][TextColumn], QStringLiteral("cd"));
    QCOMPARE(rows[16][TextColumn], QStringLiteral("xyz"));
    QCOMPARE(rows[16][FreeColumn], QStringLiteral("41"));
    QCOMPARE((QStringList{rows[31][1], rows[31][2], rows[31][3], rows[31][4]}),
             (QStringList{function, " 00", "", "44"}));
}

void TestMarkRecord::recordsAreFragmentMajor() {
    QByteArray reply;
    for (int k = 0; k < kFragmentCount; ++k)
        reply +=
            record(QByteArray("\x18\x00\x02", 3), QByteArray::number(k).rightJustified(2, '0'));
    MarkRows rows = initialRows();
    decodeMarkData(reply, MarkReader::ByNumber, rows);
    // Record k is fragment k / 4 + 1 of line k % 4 + 1.
    const QStringList expected{"00", "04", "08", "12", "16", "20", "24", "28", "01", "05", "09",
                               "13", "17", "21", "25", "29", "02", "06", "10", "14", "18", "22",
                               "26", "30", "03", "07", "11", "15", "19", "23", "27", "31"};
    for (int r = 0; r < kFragmentCount; ++r)
        QCOMPARE(rows[r][TextColumn], expected.at(r));
    QCOMPARE(rows[8][NumberColumn], QStringLiteral("21"));

    MarkRows numbered = initialRows();
    for (int r = 0; r < kFragmentCount; ++r)
        numbered[r][TextColumn] = QString::number(r);
    const QByteArray data = encodeMarkData(numbered);
    QCOMPARE(data.size(), kMarkDataSize);
    const QList<int> firstRows{0, 8, 16, 24, 1, 9, 17, 25};
    for (int k = 0; k < firstRows.size(); ++k)
        QCOMPARE(data.mid(k * kRecordSize + 3, data[k * kRecordSize + 2]),
                 QByteArray::number(firstRows.at(k)));
}

void TestMarkRecord::encodesARecord_data() {
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected"); // the record's used bytes; the rest must be zero

    QTest::newRow("font 00, three characters") << "Текст"
                                               << " 00"
                                               << "abc"
                                               << QByteArray("\x18\x00\x03"
                                                             "abc",
                                                             6);
    QTest::newRow("font from a file, #02") << "Номер"
                                           << " #02"
                                           << "" << QByteArray("\x19\x02\x00", 3);
    QTest::newRow("three-digit font") << "Графика"
                                      << " 015"
                                      << "1"
                                      << QByteArray("\x1C\x0F\x01"
                                                    "1");
    QTest::newRow("unknown function name is text") << " 007"
                                                   << " 01"
                                                   << "" << QByteArray("\x18\x01\x00", 3);
    QTest::newRow("EAN of 12 digits gets one 0") << "ШтрихКод EAN"
                                                 << " 03"
                                                 << "460123456789"
                                                 << QByteArray("\x10\x03\x0D"
                                                               "4601234567890");
    QTest::newRow("EAN of 15 digits is cut to 13") << "ШтрихКод EAN"
                                                   << " 03"
                                                   << "460123456789012"
                                                   << QByteArray("\x10\x03\x0D"
                                                                 "4601234567890");
    QTest::newRow("empty EAN is all zeros") << "ШтрихКод EAN"
                                            << " 00"
                                            << ""
                                            << QByteArray("\x10\x00\x0D"
                                                          "0000000000000",
                                                          16);
    QTest::newRow("Cyrillic in Windows-1251") << "Дата/Время"
                                              << " 02"
                                              << "Ёж" << QByteArray("\x1A\x02\x02\xA8\xE6");
    QTest::newRow("44 characters fill the record")
        << "Текст"
        << " 02" << QString(44, 'z') << QByteArray("\x18\x02\x2C") + QByteArray(44, 'z');
}

void TestMarkRecord::encodesARecord() {
    QFETCH(QString, function);
    QFETCH(QString, font);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    MarkRows rows = initialRows();
    rows[0] = {"11", function, font, text, freePlacesText(text)};
    const QByteArray data = encodeMarkData(rows);
    QByteArray want = expected;
    want.resize(kRecordSize, '\0');
    QCOMPARE(data.left(kRecordSize), want);
    // The next record (row 8) is untouched by whatever row 0 holds.
    QCOMPARE(data.mid(kRecordSize, 3), QByteArray("\x18\x02\x00", 3));
}

void TestMarkRecord::roundTripsAWholeMark_data() {
    QTest::addColumn<MarkReader>("reader");
    QTest::newRow("read n") << MarkReader::ByNumber;
    QTest::newRow("current") << MarkReader::Current;
}

void TestMarkRecord::roundTripsAWholeMark() {
    QFETCH(MarkReader, reader);
    const MarkRows rows = sampleRows();
    QVERIFY(!checkTexts(rows, true).any());
    QByteArray reply = encodeMarkData(rows);
    reply.resize(kMarkReplyBuffer, '\0');
    MarkRows back = initialRows();
    decodeMarkData(reply, reader, back);
    for (int r = 0; r < kFragmentCount; ++r)
        QCOMPARE(back[r], rows[r]);
}

void TestMarkRecord::emptyMarkReply() {
    QVERIFY(isEmptyMarkReply(QByteArray(kMarkDataSize, '\0')));
    QVERIFY(isEmptyMarkReply(QByteArray()));
    QVERIFY(!isEmptyMarkReply(QByteArray("\x18")));
}

void TestMarkRecord::textChecks_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checkLength");
    QTest::addColumn<QString>("message");

    QTest::newRow("45 characters") << 10 << "Текст" << QString(45, 'a') << true
                                   << "Текст длиннее 44 символов во фрагментах: 23.\n\rX";
    QTest::newRow("45 characters in a file") << 10 << "Текст" << QString(45, 'a') << false << "";
    QTest::newRow("44 characters") << 10 << "Текст" << QString(44, 'a') << true << "";
    QTest::newRow("long EAN is cut, not refused")
        << 10 << "ШтрихКод EAN" << QString(50, '1') << true << "";
    QTest::newRow("character outside Windows-1251")
        << 31 << "Текст" << QStringLiteral("5 €, 3 ¥ ¥ ☺") << false
        << "Символы, которых нет в кодировке Windows-1251 (¥☺), во фрагментах: 48.\n\rX";
}

void TestMarkRecord::textChecks() {
    QFETCH(int, row);
    QFETCH(QString, function);
    QFETCH(QString, text);
    QFETCH(bool, checkLength);
    QFETCH(QString, message);
    MarkRows rows = initialRows();
    rows[row][FunctionColumn] = function;
    rows[row][TextColumn] = text;
    const TextProblems problems = checkTexts(rows, checkLength);
    QCOMPARE(problems.any(), !message.isEmpty());
    if (problems.any())
        QCOMPARE(textProblemsMessage(problems, QStringLiteral("X")), message);
}

void TestMarkRecord::fragmentReport_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("text");
    const QString head = QStringLiteral("ФРАГМЕНТ #25:\r\n\n");
    QTest::newRow("text") << QByteArray("\x18\x03\x05"
                                        "Hello")
                          << head + "Функция: ТЕКСТ\n\rШрифт:   03\n\rТекст:   'Hello'.";
    QTest::newRow("running number, no text")
        << QByteArray("\x19\x02\x00", 3)
        << head + "Функция: БЕГУЩИЙ НОМЕР\n\rШрифт:   02\n\rТекст:   <нет>";
    QTest::newRow("empty reply") << QByteArray()
                                 << head + "Функция: <неизвестна>\n\rШрифт:   00\n\rТекст:   <нет>";
    QTest::newRow("barcode, font 12, zero inside")
        << QByteArray("\x10\x0C\x05"
                      "12\0"
                      "34",
                      8)
        << head + "Функция: ШтрихКод EAN13\n\rШрифт:   12\n\rТекст:   '12'.";
    QTest::newRow("date, Cyrillic")
        << QByteArray("\x1A\x00\x02\xE4\xED", 5)
        << head + "Функция: ДАТА+ВРЕМЯ\n\rШрифт:   00\n\rТекст:   'дн'.";
    QTest::newRow("graphic") << QByteArray("\x1C\x01\x01"
                                           "7")
                             << head + "Функция: ГРАФИКА\n\rШрифт:   01\n\rТекст:   '7'.";
    QTest::newRow("post-date") << QByteArray("\x1D\x01\x00", 3)
                               << head + "Функция: ПОСТ-ДАТА\n\rШрифт:   01\n\rТекст:   <нет>";
}

void TestMarkRecord::fragmentReport() {
    QFETCH(QByteArray, reply);
    QFETCH(QString, text);
    QByteArray buffer(8192, '\0');
    buffer.replace(0, reply.size(), reply);
    QCOMPARE(fragmentReportText(2, 5, buffer), text);
}

void TestMarkRecord::fragmentWriteRequest_data() {
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<int>("font");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ABC running number font 2 at 23") << "Номер"
                                                     << "23" << 2 << QByteArray("ABC")
                                                     << QByteArray::fromHex("19323332414243"
                                                                            "0E");
    QTest::newRow("font 12 is 0x3C")
        << "Текст"
        << "11" << 12 << QByteArray("x") << QByteArray::fromHex("1831313C780E");
    QTest::newRow("nothing clicked, empty text")
        << "ШтрихКод EAN"
        << "00" << 0 << QByteArray() << QByteArray::fromHex("103030300E");
}

void TestMarkRecord::fragmentWriteRequest() {
    QFETCH(QString, function);
    QFETCH(QString, fragment);
    QFETCH(int, font);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(writeFragmentRequest(function, fragment, font, text), expected);
}

void TestMarkRecord::fragmentWriteQuestion() {
    QCOMPARE(writeFragmentQuestion("00", "Номер", "Шрифт#07", "abc"),
             QStringLiteral("ИЗМЕНИТЬ ФРАГМЕНТ # 00 ?\n\rфункция:\tНомер\n\rшрифт:\t07\n\r"
                            "текст:\tabc"));
}

QTEST_APPLESS_MAIN(TestMarkRecord)
#include "tst_mark_record.moc"
