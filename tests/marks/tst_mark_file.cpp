// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_file.h"

#include <QTest>

using namespace marks;

Q_DECLARE_METATYPE(marks::MarkRows)

namespace {

// Every row differs from what a file would put there, so replaced rows are visible.
MarkRows oldRows() {
    MarkRows rows = initialRows();
    for (MarkRow& row : rows) {
        row[FunctionColumn] = QStringLiteral("Графика");
        row[FontColumn] = QStringLiteral(" 09");
        row[TextColumn] = QStringLiteral("old");
        row[FreeColumn] = QStringLiteral("41");
    }
    return rows;
}

MarkRow row(const char* number, const char* function, const char* font, const QString& text) {
    return {QString::fromUtf8(number), QString::fromUtf8(function), QString::fromUtf8(font), text,
            freePlacesText(text)};
}

QByteArray lines(std::initializer_list<QByteArray> list) {
    QByteArray out;
    for (const QByteArray& l : list)
        out += l + "\r\n";
    return out;
}

} // namespace

class TestMarkFile : public QObject {
    Q_OBJECT
private slots:
    void roundTripsEveryRow_data();
    void roundTripsEveryRow();
    void writesTheDocumentedLineLayout();
    void decodes_data();
    void decodes();
    void fontsAboveThirteenAreSavedAsFontTwo();
    void newMarkIsThirtyTwoRunningNumbers();
    void statusText_data();
    void statusText();
};

void TestMarkFile::roundTripsEveryRow_data() {
    QTest::addColumn<MarkRows>("rows");
    const QString latin = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefgh");
    const QString cyrillic = QStringLiteral("Партия №5 ёЁ «Молоко» годен до: €‰ЖЩЪЫЬЭЮЯабвгд");
    QVERIFY(cyrillic.size() >= kMaxTextLength);

    MarkRows mixed = initialRows();
    for (int r = 0; r < kFragmentCount; ++r) {
        const int length = r * kMaxTextLength / (kFragmentCount - 1); // 0 .. 44
        const QString& source = r % 2 ? cyrillic : latin;
        mixed[r][FunctionColumn] = functionNames().at(r % 6);
        mixed[r][FontColumn] = fontCellText(r % 14);
        mixed[r][TextColumn] = source.left(length);
        mixed[r][FreeColumn] = freePlacesText(mixed[r][TextColumn]);
    }
    QTest::newRow("functions, fonts 00..13, texts of 0..44 characters") << mixed;
    QTest::newRow("the start table") << initialRows();

    MarkRows blanks = initialRows();
    blanks[5][TextColumn] = QStringLiteral("  lead and trail  ");
    blanks[5][FreeColumn] = freePlacesText(blanks[5][TextColumn]);
    QTest::newRow("blanks kept") << blanks;
}

void TestMarkFile::roundTripsEveryRow() {
    QFETCH(MarkRows, rows);
    const QByteArray bytes = encodeMarkFile(rows);
    QCOMPARE(bytes.count("\r\n"), kFragmentCount);
    const auto back = decodeMarkFile(bytes, oldRows());
    QVERIFY(back.has_value());
    for (int r = 0; r < kFragmentCount; ++r)
        for (int c = 0; c < kColumnCount; ++c)
            QCOMPARE((*back)[r][c], rows[r][c]);
}

void TestMarkFile::writesTheDocumentedLineLayout() {
    MarkRows rows = initialRows();
    rows[10] = row("23", "Номер", " 05", QStringLiteral("0001"));
    rows[11] = row("24", "?", " 07", QStringLiteral("Я"));
    const QList<QByteArray> written = encodeMarkFile(rows).split('\n');
    QCOMPARE(written.at(10), QByteArray::fromHex("3233193035303030310D"));
    // Unknown names go out as plain text; Cyrillic as single Windows-1251 bytes.
    QCOMPARE(written.at(11), QByteArray::fromHex("3234183037DF0D"));
    QCOMPARE(written.at(0), QByteArray("11\x18"
                                       "02\r"));
}

void TestMarkFile::decodes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("replaced"); // rows 0 .. replaced-1 come from the file
    QTest::addColumn<int>("checkRow");
    QTest::addColumn<QStringList>("expected");

    QByteArray ten;
    for (int i = 0; i < 10; ++i)
        ten += fragmentNumberOfRow(i).toLatin1() +
               "\x1A"
               "01T" +
               QByteArray::number(i) + "\r\n";
    QTest::newRow("10 lines replace rows 0..9 only")
        << ten << true << 10 << 9 << QStringList{"22", "Дата/Время", " 01", "T9", "42"};

    QByteArray badFifth = lines({"11\x18"
                                 "02a",
                                 "12\x18"
                                 "02b",
                                 "13\x18"
                                 "02c",
                                 "14\x18"
                                 "02d",
                                 "51\x18"
                                 "02e",
                                 "16\x18"
                                 "02f"});
    QTest::newRow("fifth line starting with 5 changes nothing")
        << badFifth << false << 0 << 0 << QStringList();
    QTest::newRow("bad fragment digit 9") << lines({"11\x18"
                                                    "02a",
                                                    "19\x18"
                                                    "02b"})
                                          << false << 0 << 0 << QStringList();
    QTest::newRow("one-character line is bad") << lines({"1"}) << false << 0 << 0 << QStringList();

    QTest::newRow("function 0x41 reads as text")
        << lines({"11\x41"
                  "03abc"})
        << true << 1 << 0 << QStringList{"11", "Текст", " 03", "abc", "41"};
    QTest::newRow("barcode code") << lines({"11\x10"
                                            "13123"})
                                  << true << 1 << 0
                                  << QStringList{"11", "ШтрихКод EAN", " 13", "123", "41"};
    QTest::newRow("font 15 becomes #02")
        << lines({"11\x18"
                  "15text"})
        << true << 1 << 0 << QStringList{"11", "Текст", " #02", "text", "40"};
    QTest::newRow("font 14 becomes #02")
        << lines({"11\x18"
                  "14"})
        << true << 1 << 0 << QStringList{"11", "Текст", " #02", "", "44"};
    QTest::newRow("digits taken from the line, not the row")
        << lines({"48\x19"
                  "00x"})
        << true << 1 << 0 << QStringList{"48", "Номер", " 00", "x", "43"};
    QTest::newRow("short line keeps what it has")
        << lines({"12"}) << true << 1 << 0 << QStringList{"12", "Текст", " ", "", "44"};
    QTest::newRow("text over 44 kept, free count negative")
        << lines({"11\x18"
                  "02" +
                  QByteArray(50, 'x')})
        << true << 1 << 0 << QStringList{"11", "Текст", " 02", QString(50, 'x'), "-6"};
    QTest::newRow("Cyrillic text")
        << lines({"11\x18"
                  "02\xCF\xF0\xE8\xE2\xE5\xF2"})
        << true << 1 << 0 << QStringList{"11", "Текст", " 02", "Привет", "38"};
    QTest::newRow("lone LF and lone CR end lines")
        << QByteArray("11\x18"
                      "02a\n12\x18"
                      "02b\r13\x18"
                      "02c")
        << true << 3 << 2 << QStringList{"13", "Текст", " 02", "c", "43"};
    QTest::newRow("zero byte ends a line")
        << QByteArray("11\x18"
                      "02a",
                      6) +
               QByteArray("\0"
                          "12\x18"
                          "02b",
                          7)
        << true << 2 << 1 << QStringList{"12", "Текст", " 02", "b", "43"};
    QTest::newRow("empty line ends the file")
        << QByteArray("11\x18"
                      "02a\r\n\r\n13\x18"
                      "02c\r\n")
        << true << 1 << 0 << QStringList{"11", "Текст", " 02", "a", "43"};
    QTest::newRow("empty file loads nothing") << QByteArray() << true << 0 << 0 << QStringList();

    QByteArray forty;
    for (int i = 0; i < 40; ++i)
        forty += "41\x18"
                 "01z\r\n";
    QTest::newRow("lines after the 32nd are not read")
        << forty << true << 32 << 31 << QStringList{"41", "Текст", " 01", "z", "43"};
}

void TestMarkFile::decodes() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(int, replaced);
    QFETCH(int, checkRow);
    QFETCH(QStringList, expected);

    const MarkRows old = oldRows();
    const auto rows = decodeMarkFile(bytes, old);
    QCOMPARE(rows.has_value(), ok);
    if (!ok)
        return;
    for (int r = replaced; r < kFragmentCount; ++r)
        QCOMPARE((*rows)[r], old[r]);
    for (int r = 0; r < replaced; ++r)
        QVERIFY((*rows)[r][TextColumn] != QStringLiteral("old"));
    if (!expected.isEmpty())
        for (int c = 0; c < kColumnCount; ++c)
            QCOMPARE((*rows)[checkRow][c], expected.at(c));
}

void TestMarkFile::fontsAboveThirteenAreSavedAsFontTwo() {
    const auto rows = decodeMarkFile(lines({"11\x18"
                                            "15text"}),
                                     initialRows());
    QVERIFY(rows.has_value());
    QCOMPARE(encodeMarkFile(*rows).left(11), QByteArray("11\x18"
                                                        "02text\r\n"));
}

void TestMarkFile::newMarkIsThirtyTwoRunningNumbers() {
    const auto rows = decodeMarkFile(newMarkFileBytes(), oldRows());
    QVERIFY(rows.has_value());
    for (int r = 0; r < kFragmentCount; ++r)
        QCOMPARE((*rows)[r], (MarkRow{fragmentNumberOfRow(r), QStringLiteral("Номер"),
                                      QStringLiteral(" 02"), QString(), QStringLiteral("44")}));
    QCOMPARE(newMarkFileBytes().left(14), QByteArray("11\x19"
                                                     "02\r\n12\x19"
                                                     "02\r\n"));
}

void TestMarkFile::statusText_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("shorten");
    QTest::addColumn<bool>("whole");
    QTest::newRow("70 characters after a load") << 70 << true << false;
    QTest::newRow("61 characters after a load") << 61 << true << false;
    QTest::newRow("60 characters after a load") << 60 << true << true;
    QTest::newRow("70 characters after save as") << 70 << false << true;
}

void TestMarkFile::statusText() {
    QFETCH(int, length);
    QFETCH(bool, shorten);
    QFETCH(bool, whole);
    QString name;
    for (int i = 0; i < length; ++i)
        name += QChar('a' + i % 26);
    const QString expected =
        whole ? QStringLiteral("Марка: ") + name : QStringLiteral("Марка:  ... ") + name.right(60);
    QCOMPARE(markStatusText(name, shorten), expected);
}

QTEST_APPLESS_MAIN(TestMarkFile)
#include "tst_mark_file.moc"
