// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/area_map_text.h"
#include "device/counter_text.h"
#include "device/print_mode_text.h"
#include "device/print_system_text.h"

#include <QtTest>

using namespace device;

namespace {

// A settings reply of 47 bytes with some bytes set.
QByteArray settingsReply(const QList<QPair<int, QByteArray>>& patches) {
    QByteArray reply(47, '\0');
    for (const auto& [offset, bytes] : patches)
        reply.replace(offset, bytes.size(), bytes);
    return reply;
}

QStringList bodyLines(const QString& text, const QString& headerEnd) {
    const qsizetype start = text.indexOf(headerEnd);
    return text.mid(start + headerEnd.size()).split(QStringLiteral("\n\r"));
}

// The value after the label and its tabs.
QString valueOf(const QStringList& lines, const QString& label) {
    for (const QString& line : lines) {
        if (line.startsWith(label + QLatin1Char('\t'))) {
            QString rest = line.mid(label.size());
            while (rest.startsWith(QLatin1Char('\t')))
                rest.remove(0, 1);
            return rest;
        }
    }
    return QStringLiteral("<no line>");
}

int tabsAfter(const QStringList& lines, const QString& label) {
    for (const QString& line : lines) {
        if (line.startsWith(label + QLatin1Char('\t'))) {
            int n = 0;
            while (line.at(label.size() + n) == QLatin1Char('\t'))
                ++n;
            return n;
        }
    }
    return -1;
}

const QString kSettingsHeaderEnd = QStringLiteral(" ) :\r\n\n");

} // namespace

class ReadoutTexts : public QObject {
    Q_OBJECT

private slots:
    void zeroSettingsReplyOnNarrowK309IsShownInFull() {
        const QString expected =
            QStringLiteral("УСТАВКИ СИСТЕМЫ ПЕЧАТИ  ( K309 ) :\r\n\n"
                           "Интервал Автопечати по времени, мс\t0\n\r"
                           "Коррекция заряда рабочих капель\t0\n\r"
                           "Задержка старта печати, мс\t\t0\n\r"
                           "Задержка старта печати, импульсов\t0\n\r"
                           "Частота каплеобразования\t\t100.0 кГц  \n\r"
                           "Вертикальный размер Марки\t\t0\n\r"
                           "Замедление скорости печати (грубо)\t0\n\r"
                           "'Бегущей номер' (направление, шаг)\t+1\n\r"
                           "Коррекция заряда пустых капель\t0\n\r"
                           "Заряд тестовых капель\t\t0\n\r"
                           "Число защитных капель\t\t0\n\r"
                           "Число строк печати (х8, точек)\t0\n\r"
                           "Порог тестирования фазы заряда\t0 (авто)\n\r"
                           "Напряжение Генератора Капель\t0\n\r"
                           "Замедление скорости печати (точно)\t0\n\r"
                           "Уменьшение Y-шага между каплями\t0\n\r"
                           "Порог видимости Марки\t\t0\n\r"
                           "Частота ВВ-преобразователя\t\t??? кГц\n\r"
                           "Раздвижка строк 1-2\t\t0\n\r"
                           "Раздвижка строк 2-3\t\t0\n\r"
                           "Раздвижка строк 3-4\t\t0\n\r"
                           "Смещение Даты, дней\t\t0\n\r"
                           "Номер печатной марки\t\t0\n\r"
                           "Режим скорости печати (опция*)\tобычная (Y=8..32)\n\r"
                           "Интервал Автопечати, импульсов\t0");
        QCOMPARE(printSystemSettingsText(QByteArray(47, '\0'), QStringLiteral("K309"), false),
                 expected);
    }

    void settingsRowsDependOnModel_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("hasLines23");
        QTest::newRow("K309") << "K309" << 25 << true;
        QTest::newRow("K307") << "K307" << 23 << false;
        QTest::newRow("lower-case k309 is another model") << "k309" << 23 << false;
    }
    void settingsRowsDependOnModel() {
        QFETCH(QString, model);
        QFETCH(int, lines);
        QFETCH(bool, hasLines23);
        const QString text = printSystemSettingsText(QByteArray(47, '\0'), model, false);
        QVERIFY(text.startsWith(QStringLiteral("УСТАВКИ СИСТЕМЫ ПЕЧАТИ  ( ") + model));
        const QStringList body = bodyLines(text, kSettingsHeaderEnd);
        QCOMPARE(body.size(), lines);
        QCOMPARE(text.contains(QStringLiteral("Раздвижка строк 2-3")), hasLines23);
        QCOMPARE(text.contains(QStringLiteral("Раздвижка строк 3-4")), hasLines23);
        QVERIFY(!text.endsWith(QStringLiteral("\n\r")));
    }

    void settingsValues_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("value");
        using P = QList<QPair<int, QByteArray>>;
        const QString autoTime = QStringLiteral("Интервал Автопечати по времени, мс");
        const QString delayMs = QStringLiteral("Задержка старта печати, мс");
        const QString pulses = QStringLiteral("Интервал Автопечати, импульсов");
        const QString drop = QStringLiteral("Частота каплеобразования");
        const QString running = QStringLiteral("'Бегущей номер' (направление, шаг)");
        const QString threshold = QStringLiteral("Порог тестирования фазы заряда");
        const QString hv = QStringLiteral("Частота ВВ-преобразователя");
        const QString offset = QStringLiteral("Смещение Даты, дней");
        const QString speed = QStringLiteral("Режим скорости печати (опция*)");
        const QString k309 = QStringLiteral("K309");
        const QString k307 = QStringLiteral("K307");

        QTest::newRow("auto-print 300 shows 3000")
            << settingsReply(P{{1, QByteArray("\x2C\x01", 2)}}) << k309 << autoTime << "3000";
        QTest::newRow("auto-print negative")
            << settingsReply(P{{1, QByteArray("\xFF\xFF", 2)}}) << k309 << autoTime << "-10";
        QTest::newRow("start delay 0xFFFF is -1")
            << settingsReply(P{{5, QByteArray("\xFF\xFF", 2)}}) << k309 << delayMs << "-1";
        QTest::newRow("pulses 0x8000 is the least s16")
            << settingsReply(P{{45, QByteArray("\x00\x80", 2)}}) << k309 << pulses << "-32768";
        QTest::newRow("u8 shows 255 unsigned")
            << settingsReply(P{{43, QByteArray("\xFF", 1)}}) << k309
            << QStringLiteral("Номер печатной марки") << "255";
        QTest::newRow("drop code 1") << settingsReply(P{{9, QByteArray("\x01", 1)}}) << k309 << drop
                                     << QStringLiteral("98.76 кГц  ");
        QTest::newRow("drop code 20") << settingsReply(P{{9, QByteArray("\x14", 1)}}) << k309
                                      << drop << QStringLiteral("80.00 кГц  ");
        QTest::newRow("drop code 127") << settingsReply(P{{9, QByteArray("\x7F", 1)}}) << k309
                                       << drop << QStringLiteral("38.64 кГц  ");
        QTest::newRow("drop code -79") << settingsReply(P{{9, QByteArray("\xB1", 1)}}) << k309
                                       << drop << QStringLiteral("8000. кГц  ");
        QTest::newRow("drop code -80 has no frequency")
            << settingsReply(P{{9, QByteArray("\xB0", 1)}}) << k309 << drop
            << QStringLiteral("??? кГц  ");
        QTest::newRow("drop code -128 has no frequency")
            << settingsReply(P{{9, QByteArray("\x80", 1)}}) << k309 << drop
            << QStringLiteral("??? кГц  ");
        QTest::newRow("running number minus")
            << settingsReply(P{{17, QByteArray("\x2D", 1)}}) << k309 << running << "-1";
        QTest::newRow("running number 0x1F is kept")
            << settingsReply(P{{17, QByteArray("\x1F", 1)}}) << k309 << running
            << QStringLiteral("\x1F"
                              "1");
        QTest::newRow("running number 0x1E is plus")
            << settingsReply(P{{17, QByteArray("\x1E", 1)}}) << k309 << running << "+1";
        QTest::newRow("running number 0xAD is plus")
            << settingsReply(P{{17, QByteArray("\xAD", 1)}}) << k309 << running << "+1";
        QTest::newRow("threshold flag 0x02 is manual")
            << settingsReply(P{{16, QByteArray("\x02", 1)}, {23, QByteArray("\x07", 1)}}) << k309
            << threshold << "7";
        QTest::newRow("threshold flag 0x01 is automatic")
            << settingsReply(P{{16, QByteArray("\x01", 1)}, {23, QByteArray("\x07", 1)}}) << k309
            << threshold << QStringLiteral("7 (авто)");
        QTest::newRow("hv 112") << settingsReply(P{{31, QByteArray("\x70", 1)}}) << k309 << hv
                                << QStringLiteral("??? кГц");
        QTest::newRow("hv 113") << settingsReply(P{{31, QByteArray("\x71", 1)}}) << k309 << hv
                                << QStringLiteral("64.6 кГц");
        QTest::newRow("hv 255") << settingsReply(P{{31, QByteArray("\xFF", 1)}}) << k309 << hv
                                << QStringLiteral("28.8 кГц");
        QTest::newRow("date offset 0007")
            << settingsReply(P{{39, "0007"}}) << k309 << offset << "7";
        QTest::newRow("date offset 12 ended early") << settingsReply(P{{39, QByteArray("12\0"
                                                                                       "9",
                                                                                       4)}})
                                                    << k309 << offset << "12";
        QTest::newRow("date offset 0000")
            << settingsReply(P{{39, "0000"}}) << k309 << offset << "0";
        QTest::newRow("date offset 1000 keeps inner zeros")
            << settingsReply(P{{39, "1000"}}) << k309 << offset << "1000";
        QTest::newRow("date offset stops after four bytes")
            << settingsReply(P{{39, "00159"}}) << k309 << offset << "15";
        QTest::newRow("speed 5") << settingsReply(P{{44, "5"}}) << k307 << speed
                                 << QStringLiteral("быстрая (Y=5)");
        QTest::newRow("speed 7") << settingsReply(P{{44, "7"}}) << k309 << speed
                                 << QStringLiteral("быстрая (Y=7)");
        QTest::newRow("speed 8 normal K309")
            << settingsReply(P{{44, "8"}}) << k309 << speed << QStringLiteral("обычная (Y=8..32)");
        QTest::newRow("speed 4 normal K307")
            << settingsReply(P{{44, "4"}}) << k307 << speed << QStringLiteral("обычная (Y=8/16)");
        QTest::newRow("one-byte reply")
            << QByteArray(1, '\x33') << k309 << hv << QStringLiteral("??? кГц");
    }
    void settingsValues() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, model);
        QFETCH(QString, label);
        QFETCH(QString, value);
        const QStringList lines =
            bodyLines(printSystemSettingsText(reply, model, false), kSettingsHeaderEnd);
        QCOMPARE(valueOf(lines, label), value);
    }

    void settingsReplyBeyond256BytesIsIgnored() {
        QByteArray reply(300, '\0');
        reply[256 + 43] = 'x';
        QCOMPARE(printSystemSettingsText(reply, QStringLiteral("K309"), false),
                 printSystemSettingsText(QByteArray(47, '\0'), QStringLiteral("K309"), false));
    }

    void settingsTabs_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("narrow");
        QTest::addColumn<int>("wide");
        QTest::newRow("auto-print") << "Интервал Автопечати по времени, мс" << 1 << 2;
        QTest::newRow("start delay ms") << "Задержка старта печати, мс" << 2 << 2;
        QTest::newRow("drop frequency") << "Частота каплеобразования" << 2 << 3;
        QTest::newRow("vertical size") << "Вертикальный размер Марки" << 2 << 2;
        QTest::newRow("hv frequency") << "Частота ВВ-преобразователя" << 2 << 2;
        QTest::newRow("spacing 3-4") << "Раздвижка строк 3-4" << 2 << 3;
        QTest::newRow("last row") << "Интервал Автопечати, импульсов" << 1 << 2;
    }
    void settingsTabs() {
        QFETCH(QString, label);
        QFETCH(int, narrow);
        QFETCH(int, wide);
        const QByteArray reply(47, '\0');
        const QString k309 = QStringLiteral("K309");
        QCOMPARE(
            tabsAfter(bodyLines(printSystemSettingsText(reply, k309, false), kSettingsHeaderEnd),
                      label),
            narrow);
        QCOMPARE(
            tabsAfter(bodyLines(printSystemSettingsText(reply, k309, true), kSettingsHeaderEnd),
                      label),
            wide);
    }

    void settingsWideLayoutChangesOnlyTabs() {
        const QByteArray reply(47, '\0');
        QString narrow = printSystemSettingsText(reply, QStringLiteral("K309"), false);
        QString wide = printSystemSettingsText(reply, QStringLiteral("K309"), true);
        QCOMPARE(wide.count(QLatin1Char('\t')) - narrow.count(QLatin1Char('\t')), 22);
        QCOMPARE(narrow.remove(QLatin1Char('\t')), wide.remove(QLatin1Char('\t')));
    }

    void printMode_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("answers"); // Y/n per line, bit 7 first
        QTest::newRow("0x00") << QByteArray("\x00\x00", 2) << "nnnnnnYY";
        QTest::newRow("0xFF") << QByteArray("\x00\xFF", 2) << "YYYYYYnn";
        QTest::newRow("0x40") << QByteArray("\x00\x40", 2) << "nYnnnnYY";
        QTest::newRow("0x03") << QByteArray("\x00\x03", 2) << "nnnnnnnn";
        QTest::newRow("0x81") << QByteArray("\x00\x81", 2) << "YnnnnnYn";
        QTest::newRow("one byte") << QByteArray("\xFF", 1) << "nnnnnnYY";
        QTest::newRow("byte 0 ignored") << QByteArray("\xFF\x00\xFF", 3) << "nnnnnnYY";
    }
    void printMode() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, answers);
        const QString text = printModeText(reply, false);
        const QString header = QStringLiteral("ТЕКУЩИЕ УСТАВКИ РЕЖИМА ПЕЧАТИ:\r\n\n");
        QVERIFY(text.startsWith(header));
        QVERIFY(text.endsWith(QStringLiteral("\n\r")));
        const QStringList lines = text.mid(header.size()).chopped(2).split(QStringLiteral("\n\r"));
        QCOMPARE(lines.size(), 8);
        for (int i = 0; i < 8; ++i) {
            const QString shown = lines[i].section(QLatin1Char('\t'), -1);
            QCOMPARE(shown,
                     answers[i] == QLatin1Char('Y') ? QStringLiteral("ДА") : QStringLiteral("нет"));
        }
    }

    void printModeLayouts() {
        const QByteArray reply("\x00\x40", 2);
        QCOMPARE(printModeText(reply, false),
                 QStringLiteral("ТЕКУЩИЕ УСТАВКИ РЕЖИМА ПЕЧАТИ:\r\n\n"
                                "Коррекция вертикальных линий\tнет\n\r"
                                "Реверс печати\t\t\tДА\n\r"
                                "Вертикальный переворот\t\tнет\n\r"
                                "Автоповтор Печати Марки\t\tнет\n\r"
                                "Синхронизация от ТахоДатчика\tнет\n\r"
                                "Задержка от ТахоДатчика\t\tнет\n\r"
                                "АвтоУстановка Порога Теста\t\tДА\n\r"
                                "Автоматическое Фазирование\t\tДА\n\r"));
        QString wide = printModeText(reply, true);
        QVERIFY(wide.endsWith(QStringLiteral("\rАвтоматическое Фазирование\tДА  \n\r")));
        QVERIFY(wide.contains(QStringLiteral("\rАвтоУстановка Порога Теста\tДА\n\r")));
        QCOMPARE(wide.remove(QStringLiteral("  \n\r")).count(QLatin1Char('\t')),
                 printModeText(reply, false).count(QLatin1Char('\t')) - 2);
    }

    void counters_data() {
        QTest::addColumn<int>("counter");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("number");
        const int hours = int(Counter::RunningHours);
        const int marks = int(Counter::PrintedMarks);
        QTest::newRow("hours zero") << hours << QByteArray(5, '\0') << "0.0";
        QTest::newRow("hours 1234.5") << hours << QByteArray("\x00\x00\x01\x17\x2D", 5) << "1234.5";
        QTest::newRow("hours 50.7") << hours << QByteArray("\x00\x00\x00\x05\x07", 5) << "50.7";
        QTest::newRow("hours 100000.0")
            << hours << QByteArray("\x00\x01\x00\x00\x00", 5) << "100000.0";
        QTest::newRow("hours largest")
            << hours << QByteArray("\x00\x63\x63\x63\x63", 5) << "9999999.9";
        QTest::newRow("hours first byte only") << hours << QByteArray(1, '\x05') << "0.0";
        QTest::newRow("hours bad inner pair")
            << hours << QByteArray("\x00\x00\x64\x01\x02", 5) << "??010.2";
        QTest::newRow("hours bad last pair")
            << hours << QByteArray("\x00\x00\x00\x01\xFF", 5) << "1?.?";
        QTest::newRow("marks 05") << marks << QByteArray("\x00\x00\x00\x00\x00\x00\x05", 7) << "05";
        QTest::newRow("marks 00 on short reply") << marks << QByteArray(1, '\0') << "00";
        QTest::newRow("marks 10203")
            << marks << QByteArray("\x00\x00\x00\x00\x01\x02\x03", 7) << "10203";
        QTest::newRow("marks 123456789012")
            << marks << QByteArray("\x00\x0C\x22\x38\x4E\x5A\x0C", 7) << "123456789012";
        QTest::newRow("marks inner zero pair")
            << marks << QByteArray("\x00\x00\x00\x00\x07\x00\x01", 7) << "70001";
        QTest::newRow("marks bad leading pair")
            << marks << QByteArray("\x00\xC8\x00\x00\x00\x00\x01", 7) << "??0000000001";
        QTest::newRow("marks bad last pair")
            << marks << QByteArray("\x00\x00\x00\x00\x00\x03\x64", 7) << "3??";
    }
    void counters() {
        QFETCH(int, counter);
        QFETCH(QByteArray, reply);
        QFETCH(QString, number);
        QCOMPARE(counterNumberText(reply, Counter(counter)), number);
    }

    void counterSentences() {
        QCOMPARE(counterSentence(QByteArray(5, '\0'), Counter::RunningHours),
                 QStringLiteral("  Маркиратор отработал 0.0 часов. "));
        QCOMPARE(
            counterSentence(QByteArray("\x00\x00\x00\x00\x00\x00\x05", 7), Counter::PrintedMarks),
            QStringLiteral("  Маркиратор отпечатал 05 марок. "));
    }

    void textMarkMap_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("wide");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        const QByteArray allY(85, 'Y');
        const QByteArray allN(85, 'N');
        QByteArray firstOnly = allN;
        firstOnly[0] = 'Y';
        QByteArray lowerY(85, 'y');
        QTest::newRow("all Y, row 0")
            << allY << false << 0 << "--    01   02   03   04   05   06   07   08   09   \t| 00:09";
        QTest::newRow("all Y, row 4")
            << allY << false << 4 << "40   41   42   43   44   45   46   47   48   49   \t| 40:49";
        QTest::newRow("all Y, last row narrow")
            << allY << false << 8 << "80   81   82   83   84   85   \t\t| 80:85";
        QTest::newRow("all Y, last row wide")
            << allY << true << 8 << "80   81   82   83   84   85   \t\t\t| 80:85   ";
        QTest::newRow("all N, row 0")
            << allN << false << 0 << QStringLiteral("--    ").repeated(10) + "\t| 00:09";
        QTest::newRow("all N, row 7")
            << allN << false << 7 << QStringLiteral("--    ").repeated(10) + "\t| 70:79";
        QTest::newRow("byte 0 only, row 0")
            << firstOnly << false << 0
            << "--    01   " + QStringLiteral("--    ").repeated(8) + "\t| 00:09";
        QTest::newRow("byte 0 only, row 1")
            << firstOnly << false << 1 << QStringLiteral("--    ").repeated(10) + "\t| 10:19";
        QTest::newRow("lower-case y is free")
            << lowerY << false << 3 << QStringLiteral("--    ").repeated(10) + "\t| 30:39";
        QTest::newRow("short reply is free")
            << QByteArray("YY", 2) << false << 8
            << QStringLiteral("--    ").repeated(6) + "\t\t| 80:85";
    }
    void textMarkMap() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, wide);
        QFETCH(int, row);
        QFETCH(QString, expected);
        const QString text = textMarkAreaText(reply, wide);
        const QString header = QStringLiteral("ЗАПОЛНЕНИЕ ОБЛАСТИ ТЕКСТОВЫХ МАРОК:\r\n\n");
        QVERIFY(text.startsWith(header));
        QVERIFY(text.endsWith(QStringLiteral("\n\r")));
        const QStringList rows = text.mid(header.size()).chopped(2).split(QStringLiteral("\n\r"));
        QCOMPARE(rows.size(), 9);
        QCOMPARE(rows[row], expected);
    }

    void textMarkMapLayoutsDifferOnlyInLastRow() {
        const QByteArray reply(85, 'Y');
        const QStringList narrow = textMarkAreaText(reply, false).split(QStringLiteral("\n\r"));
        const QStringList wide = textMarkAreaText(reply, true).split(QStringLiteral("\n\r"));
        QCOMPARE(narrow.size(), wide.size());
        for (int i = 0; i < narrow.size(); ++i) {
            if (i != 8)
                QCOMPARE(narrow[i], wide[i]);
        }
        QVERIFY(narrow[8] != wide[8]);
    }

    void graphicMap_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        QByteArray last(128, 'N');
        last[127] = 'Y';
        QByteArray some(128, '\0');
        some[8] = 'Y';
        some[10] = 'y';
        some[15] = 'Y';
        QTest::newRow("slot 127 only, last row")
            << last << 15 << QStringLiteral("---  ").repeated(7) + "127   | 120:127";
        QTest::newRow("slot 127 only, row 0")
            << last << 0 << QStringLiteral("---  ").repeated(8) + "  | 000:007";
        QTest::newRow("mixed row 1")
            << some << 1 << "008 ---  ---  ---  ---  ---  ---  015   | 008:015";
        QTest::newRow("all Y row 2")
            << QByteArray(128, 'Y') << 2 << "016 017 018 019 020 021 022 023   | 016:023";
        QTest::newRow("empty reply")
            << QByteArray() << 9 << QStringLiteral("---  ").repeated(8) + "  | 072:079";
    }
    void graphicMap() {
        QFETCH(QByteArray, reply);
        QFETCH(int, row);
        QFETCH(QString, expected);
        const QString text = graphicAreaText(reply);
        const QString header = QStringLiteral("ЗАПОЛНЕНИЕ ГРАФИЧЕСКОЙ ОБЛАСТИ МАРКИРАТОРА:\r\n\n");
        QVERIFY(text.startsWith(header));
        QVERIFY(text.endsWith(QStringLiteral("\n\r")));
        const QStringList rows = text.mid(header.size()).chopped(2).split(QStringLiteral("\n\r"));
        QCOMPARE(rows.size(), 16);
        QCOMPARE(rows[row], expected);
    }
};

QTEST_GUILESS_MAIN(ReadoutTexts)
#include "tst_readout_texts.moc"
