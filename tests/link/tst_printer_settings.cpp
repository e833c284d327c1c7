// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_messages.h"
#include "link/printer_settings.h"
#include "link_rig.h"

#include <QTest>

using namespace platform;
using namespace printerlink;

namespace {
const QString kClockTitle = QStringLiteral("Установка Часов Маркиратора");
const QString kClockRepeat =
    QStringLiteral("НЕПРАВИЛЬНЫЙ ФОРМАТ ДАТЫ+ВРЕМЕНИ!\n\rПовторить ввод даты+времени?");
const QString kOffsetRepeat =
    QStringLiteral("НЕПРАВИЛЬНЫЙ ФОРМАТ СМЕЩЕНИЯ ДАТЫ!\n\rПовторить ввод?");
const QString kLinesRepeat = QStringLiteral("НЕРЕАЛЬНОЕ ЧИСЛО СТРОК!\n\rПовторить ввод?");

// The virtual clock starts at 09:05:07 on 3 February 2026.
const QByteArray kDate = hex("1A44303330323236 0E");
const QByteArray kTime = hex("1A54303930353037 0E");
} // namespace

class TestPrinterSettings : public QObject {
    Q_OBJECT
private slots:
    void typedClock_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent"); // date + time, empty when refused
        QTest::newRow("the example") << "030226 090507"
                                     << "030226090507";
        QTest::newRow("any separator") << "030226-090507"
                                       << "030226090507";
        QTest::newRow("last moment of a day") << "311226 235959"
                                              << "311226235959";
        QTest::newRow("29 February of a leap year") << "290228 120000"
                                                    << "290228120000";
        QTest::newRow("year 00 is a leap year") << "290200 000000"
                                                << "290200000000";
        QTest::newRow("10 characters") << "0302260905"
                                       << "";
        QTest::newRow("14 characters") << "030226  090507"
                                       << "";
        QTest::newRow("29 February otherwise") << "290226 120000"
                                               << "";
        QTest::newRow("day 00") << "000226 120000"
                                << "";
        QTest::newRow("day 32") << "320126 120000"
                                << "";
        QTest::newRow("month 13") << "011326 120000"
                                  << "";
        QTest::newRow("hour 24") << "030226 240000"
                                 << "";
        QTest::newRow("minute 60") << "030226 126000"
                                   << "";
        QTest::newRow("second 60") << "030226 120060"
                                   << "";
        QTest::newRow("letters") << "03O226 090507"
                                 << "";
        QTest::newRow("sign") << "+30226 090507"
                              << "";
    }
    void typedClock() {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        const auto parsed = parseTypedClock(typed);
        QCOMPARE(parsed.has_value(), !sent.isEmpty());
        if (parsed)
            QCOMPARE(QString::fromLatin1(parsed->date + parsed->time), sent);
    }

    void clockFromTheComputer() {
        LinkRig rig;
        rig.connect();
        rig.dialogs.answer(MessageAnswer::Yes);

        setPrinterClock(rig.s);
        const auto& ask = rig.dialogs.shown.first();
        QCOMPARE(ask.title, kClockTitle);
        QCOMPARE(ask.text, QStringLiteral("Установить время по Компьютеру?\n\r"
                                          "Дата:  03.02.2026\tВремя:  09:05:07"));
        QCOMPARE(ask.icon, MessageIcon::None);
        QCOMPARE(ask.buttons, MessageButtons::YesNoCancel);
        QCOMPARE(rig.requests(), (QList<QByteArray>{kDate, kTime}));
        QCOMPARE(rig.timed.writes.size(), 2);
        const qint64 gapUs = rig.timed.writes[1].atUs - rig.timed.writes[0].atUs;
        // 50 ms after the date request has left the host (9 bytes at 115200 baud).
        QVERIFY2(gapUs >= 50'000 && gapUs <= 52'000, qPrintable(QString::number(gapUs)));
        QCOMPARE(rig.printer.state.clockDate, QByteArray("030226"));
        QCOMPARE(rig.printer.state.clockTime, QByteArray("090507"));
        QCOMPARE(rig.status.textMarkLamp, Lamp::Idle);
        QCOMPARE(rig.dialogs.shown.size(), 1);
    }

    // The operator reads the question for a minute and a half before answering Yes.
    void clockFromTheComputerIsTakenAtTheAnswer() {
        LinkRig rig;
        rig.connect();
        rig.dialogs.whileShown = [&](const ScriptedDialogs::Shown&) { rig.clock.waitMs(90'000); };
        rig.dialogs.answer(MessageAnswer::Yes);

        setPrinterClock(rig.s);
        QVERIFY(rig.dialogs.shown.first().text.endsWith(QStringLiteral("09:05:07")));
        QCOMPARE(rig.printer.state.clockTime, QByteArray("090637"));
    }

    void clockTypedByHand_data() {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("repeats");
        QTest::addColumn<bool>("sent");
        QTest::newRow("13 characters") << QStringList{"030226 090507"} << 0 << true;
        QTest::newRow("10 characters, then right")
            << QStringList{"0302260905", "030226 090507"} << 1 << true;
        QTest::newRow("not a date, then right")
            << QStringList{"310226 090507", "030226 090507"} << 1 << true;
        QTest::newRow("not a time, then give up") << QStringList{"030226 250507"} << 1 << false;
        QTest::newRow("cancelled prompt") << QStringList{""} << 0 << false;
    }
    void clockTypedByHand() {
        QFETCH(QStringList, answers);
        QFETCH(int, repeats);
        QFETCH(bool, sent);
        LinkRig rig;
        rig.connect();
        rig.dialogs.answer(MessageAnswer::No);
        for (int i = 0; i < answers.size(); ++i) {
            rig.dialogs.answer(answers[i]);
            if (i < repeats)
                rig.dialogs.answer(i + 1 < answers.size() ? MessageAnswer::Yes : MessageAnswer::No);
        }

        setPrinterClock(rig.s);
        QVERIFY2(rig.dialogs.unexpected.isEmpty(), qPrintable(rig.dialogs.unexpected.join('\n')));
        QCOMPARE(rig.requests(), sent ? (QList<QByteArray>{kDate, kTime}) : QList<QByteArray>{});
        int prompts = 0, refusals = 0;
        for (const auto& d : rig.dialogs.shown) {
            if (d.kind == ScriptedDialogs::Kind::Prompt) {
                ++prompts;
                QCOMPARE(d.title, kClockTitle);
                QCOMPARE(d.text,
                         QStringLiteral("Введите дату и время в формате\n\r     'ДДММГГ ЧЧММСС'"));
                QCOMPARE(d.extra, QStringLiteral("030226 090507"));
            } else if (d.text == kClockRepeat) {
                ++refusals;
                QCOMPARE(d.title, QStringLiteral("ОШИБКА"));
                QCOMPARE(d.icon, MessageIcon::Error);
                QCOMPARE(d.buttons, MessageButtons::YesNo);
            }
        }
        QCOMPARE(prompts, int(answers.size()));
        QCOMPARE(refusals, repeats);
    }

    void clockCancelSendsNothing() {
        LinkRig rig;
        rig.connect();
        rig.dialogs.answer(MessageAnswer::Cancel);
        setPrinterClock(rig.s);
        QVERIFY(rig.requests().isEmpty());
        QCOMPARE(rig.dialogs.shown.size(), 1);
    }

    void failedWriteIsReported() {
        LinkRig rig;
        rig.connect();
        rig.printer.faults.refuseWrite = true;
        rig.dialogs.answer(MessageAnswer::Yes);

        setPrinterClock(rig.s);
        QCOMPARE(rig.messageTexts().mid(1), QStringList{writeErrorText(QStringLiteral("COM1"))});
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QCOMPARE(rig.status.graphicLamp, Lamp::Error);
        QCOMPARE(rig.timed.writes.size(), 1); // the time is not sent after a failed date
    }

    void dateOffset_data() {
        QTest::addColumn<QStringList>("answers"); // requester answers in order
        QTest::addColumn<int>("refusals");
        QTest::addColumn<QString>("postDate");   // the date confirmed, empty when none
        QTest::addColumn<QByteArray>("request"); // empty when nothing is sent
        QTest::newRow("30 days") << QStringList{"30"} << 0 << "05.03.2026" << hex("1D44303033300E");
        QTest::newRow("empty is today")
            << QStringList{""} << 0 << "03.02.2026" << hex("1D44303030300E");
        QTest::newRow("9999") << QStringList{"9999"} << 0 << "20.06.2053" << hex("1D44393939390E");
        QTest::newRow("10000, then 7")
            << QStringList{"10000", "7"} << 1 << "10.02.2026" << hex("1D44303030370E");
        QTest::newRow("-1, then 1")
            << QStringList{"-1", "1"} << 1 << "04.02.2026" << hex("1D44303030310E");
        QTest::newRow("leading zeros are a number")
            << QStringList{"00030"} << 0 << "05.03.2026" << hex("1D44303033300E");
        QTest::newRow("blank before the digits")
            << QStringList{" 30"} << 0 << "05.03.2026" << hex("1D44303033300E");
    }
    void dateOffset() {
        QFETCH(QStringList, answers);
        QFETCH(int, refusals);
        QFETCH(QString, postDate);
        QFETCH(QByteArray, request);
        LinkRig rig;
        rig.connect();
        for (int i = 0; i < answers.size(); ++i) {
            rig.dialogs.answer(answers[i]);
            if (i < refusals)
                rig.dialogs.answer(MessageAnswer::Yes);
        }
        rig.dialogs.answer(MessageAnswer::Yes);

        setDateOffset(rig.s);
        QVERIFY2(rig.dialogs.unexpected.isEmpty(), qPrintable(rig.dialogs.unexpected.join('\n')));
        QCOMPARE(rig.requests(), QList<QByteArray>{request});
        const auto& requester = rig.dialogs.shown.first();
        QCOMPARE(requester.kind, ScriptedDialogs::Kind::Input);
        QCOMPARE(requester.title, QStringLiteral("Установка Смещения Даты (ПостДата)"));
        QCOMPARE(requester.text, QStringLiteral("Введите смещение даты в днях (0..9999)"));
        QCOMPARE(requester.extra, QString());
        const auto& confirm = rig.dialogs.last();
        QCOMPARE(confirm.title, QStringLiteral("СМЕЩЕНИЕ ДАТЫ"));
        QCOMPARE(confirm.text,
                 QStringLiteral("УСТАНОВИТЬ ПОСТ-ДАТУ:  ") + postDate +
                     QStringLiteral(" ?\n\r('нет'- повторить ввод, 'выход'- отмена)"));
        QCOMPARE(confirm.icon, MessageIcon::Question);
        QCOMPARE(confirm.buttons, MessageButtons::YesNoCancel);
        QCOMPARE(rig.messageTexts().count(kOffsetRepeat), refusals);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Idle);
    }

    void dateOffsetNoAsksAgainAndCancelEnds() {
        LinkRig rig;
        rig.connect();
        rig.dialogs.answer(QStringLiteral("5")).answer(MessageAnswer::No);
        rig.dialogs.answer(QStringLiteral("6")).answer(MessageAnswer::Cancel);
        setDateOffset(rig.s);
        QVERIFY(rig.dialogs.unexpected.isEmpty());
        QVERIFY(rig.requests().isEmpty());
        QCOMPARE(rig.dialogs.shown.size(), 4);
    }

    void printLines_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("current"); // reply byte 1
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QByteArray>("request"); // empty: refused
        const QString k309 = QStringLiteral("Введите Число Строк Печати (1..4)");
        const QString k307 = QStringLiteral("Введите Число Строк Печати (1..2)");
        QTest::newRow("K309, 3") << "K309" << 2 << "3" << k309 << "2" << hex("0C53330E");
        QTest::newRow("K309, 4") << "K309" << 4 << "4" << k309 << "4" << hex("0C53340E");
        QTest::newRow("K309, 5 refused") << "K309" << 1 << "5" << k309 << "1" << QByteArray();
        QTest::newRow("K309, 0 refused") << "K309" << 1 << "0" << k309 << "1" << QByteArray();
        QTest::newRow("K307, 3 refused") << "K307" << 2 << "3" << k307 << "2" << QByteArray();
        QTest::newRow("K307, 2") << "K307" << 1 << "2" << k307 << "1" << hex("0C53320E");
        QTest::newRow("reply byte 7 gives ?")
            << "K309" << 7 << "1" << k309 << "?" << hex("0C53310E");
        QTest::newRow("reply byte 0 gives ?")
            << "K309" << 0 << "1" << k309 << "?" << hex("0C53310E");
        QTest::newRow("typed with a blank and a tail")
            << "K309" << 2 << " 3 lines" << k309 << "2" << hex("0C53330E");
    }
    void printLines() {
        QFETCH(QString, model);
        QFETCH(int, current);
        QFETCH(QString, answer);
        QFETCH(QString, prompt);
        QFETCH(QString, defaultText);
        QFETCH(QByteArray, request);
        LinkRig rig;
        rig.connect(model);
        rig.printer.state.printLines = quint8(current);
        rig.dialogs.answer(answer);
        if (request.isEmpty())
            rig.dialogs.answer(MessageAnswer::No);

        setPrintLines(rig.s);
        QVERIFY2(rig.dialogs.unexpected.isEmpty(), qPrintable(rig.dialogs.unexpected.join('\n')));
        QList<QByteArray> expected{hex("11530E")};
        if (!request.isEmpty())
            expected.append(request);
        QCOMPARE(rig.requests(), expected);
        const auto& p = rig.dialogs.shown.first();
        QCOMPARE(p.kind, ScriptedDialogs::Kind::Prompt);
        QCOMPARE(p.title, QStringLiteral("НАСТРОЙКА МАРКИРАТОРА  ") + model);
        QCOMPARE(p.text, prompt);
        QCOMPARE(p.extra, defaultText);
        if (request.isEmpty())
            QCOMPARE(rig.messageTexts(), QStringList{kLinesRepeat});
        else
            QVERIFY(rig.messageTexts().isEmpty());
    }

    void printLinesRepeatKeepsTheDefault() {
        LinkRig rig;
        rig.connect(QStringLiteral("K307"));
        rig.printer.state.printLines = 1;
        rig.dialogs.answer(QStringLiteral("4"))
            .answer(MessageAnswer::Yes)
            .answer(QStringLiteral("2"));
        setPrintLines(rig.s);
        QVERIFY(rig.dialogs.unexpected.isEmpty());
        QCOMPARE(rig.dialogs.shown[2].kind, ScriptedDialogs::Kind::Prompt);
        QCOMPARE(rig.dialogs.shown[2].extra, QStringLiteral("1"));
        QCOMPARE(rig.printer.state.printLines, quint8(2));
    }

    void printLinesGoOnAfterASilentRead() {
        LinkRig rig;
        rig.connect();
        rig.printer.faults.silent = true;
        rig.dialogs.answer(QStringLiteral("3"));
        setPrintLines(rig.s);
        QVERIFY(rig.dialogs.unexpected.isEmpty());
        QCOMPARE(rig.messageTexts(), QStringList{readErrorText(QStringLiteral("COM1"))});
        QCOMPARE(rig.dialogs.last().kind, ScriptedDialogs::Kind::Prompt);
        QCOMPARE(rig.dialogs.last().extra, QString());
        QCOMPARE(rig.requests().last(), hex("0C53330E"));
        QCOMPARE(rig.status.textMarkLamp, Lamp::Idle);
    }
};

QTEST_GUILESS_MAIN(TestPrinterSettings)
#include "tst_printer_settings.moc"
