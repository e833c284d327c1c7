// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/number_prompt.h"
#include "scripted_dialogs.h"

#include <QTest>

using namespace platform;

using Blank = NumberPrompt::Blank;
using End = NumberAnswer::End;

// Answers in order; "yes" and "no" answer the repeat question, anything else a prompt.
class TestNumberPrompt : public QObject {
    Q_OBJECT
private slots:
    void repeatAndEnd_data() {
        QTest::addColumn<int>("blank");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<int>("fallback"); // -1: none
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("end");
        QTest::addColumn<qint64>("value");
        const int empty = int(Blank::EmptyCancels), blank = int(Blank::BlankCancels),
                  zero = int(Blank::ReadsAsZero);
        const int number = int(End::Number), cancelled = int(End::Cancelled),
                  outside = int(End::OutOfRange);
        QTest::newRow("in range") << empty << true << -1 << QStringList{"7"} << number << 7LL;
        QTest::newRow("repeat, then in range")
            << empty << true << -1 << QStringList{"99", "yes", "-1", "yes", "10"} << number << 10LL;
        QTest::newRow("repeat declined")
            << empty << true << -1 << QStringList{"11", "no"} << cancelled << 0LL;
        QTest::newRow("closed prompt")
            << empty << true << -1 << QStringList{""} << cancelled << 0LL;
        QTest::newRow("closed after a repeat")
            << empty << true << -1 << QStringList{"11", "yes", ""} << cancelled << 0LL;
        QTest::newRow("spaces read as 0")
            << empty << true << -1 << QStringList{"  "} << number << 0LL;
        QTest::newRow("spaces cancel")
            << blank << true << -1 << QStringList{"  "} << cancelled << 0LL;
        QTest::newRow("empty reads as 0") << zero << true << -1 << QStringList{""} << number << 0LL;
        QTest::newRow("fallback") << empty << false << 1 << QStringList{"11"} << number << 1LL;
        QTest::newRow("outside, asked once")
            << empty << false << -1 << QStringList{"11"} << outside << 11LL;
    }
    void repeatAndEnd() {
        QFETCH(int, blank);
        QFETCH(bool, repeat);
        QFETCH(int, fallback);
        QFETCH(QStringList, answers);
        QFETCH(int, end);
        QFETCH(qint64, value);
        ScriptedDialogs dialogs;
        for (const QString& a : answers) {
            if (a == QLatin1String("yes") || a == QLatin1String("no"))
                dialogs.answer(a == QLatin1String("yes") ? MessageAnswer::Yes : MessageAnswer::No);
            else
                dialogs.answer(a);
        }
        NumberPrompt p(QStringLiteral("T"), QStringLiteral("0..10"), 0, 10);
        p.defaultText = QStringLiteral("5");
        p.blank = Blank(blank);
        if (repeat)
            p.repeatQuestion = QStringLiteral("again?");
        if (fallback >= 0)
            p.fallback = fallback;

        const NumberAnswer a = askNumber(dialogs, p);

        QCOMPARE(int(a.end), end);
        if (a.end != End::Cancelled)
            QCOMPARE(a.value, value);
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY(dialogs.unexpected.isEmpty());
        // Every prompt shows the same text and default; every repeat question is a Yes/No error.
        for (const ScriptedDialogs::Shown& d : dialogs.shown) {
            if (d.kind == ScriptedDialogs::Kind::Message) {
                QCOMPARE(d.text, QStringLiteral("again?"));
                QCOMPARE(d.buttons, MessageButtons::YesNo);
            } else {
                QCOMPARE(d.kind, ScriptedDialogs::Kind::Input);
                QCOMPARE(d.text, QStringLiteral("0..10"));
                QCOMPARE(d.extra, QStringLiteral("5"));
            }
        }
    }
};

QTEST_MAIN(TestNumberPrompt)
#include "tst_number_prompt.moc"
