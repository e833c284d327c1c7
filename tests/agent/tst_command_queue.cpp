// SPDX-License-Identifier: GPL-3.0-or-later
#include "agent/command_queue.h"

#include <QTest>

using namespace agent;
using Arrival = CommandQueue::Arrival;

class CommandQueueTest : public QObject {
    Q_OBJECT
private slots:
    void anIdIsTakenFromArrivalUntilForgotten() {
        CommandQueue q;
        QCOMPARE(q.add({QStringLiteral("hours"), QStringLiteral("a"), {}}), Arrival::Queued);
        QCOMPARE(q.add({QStringLiteral("hours"), QStringLiteral("a"), {}}),
                 Arrival::AlreadyWaiting);
        QCOMPARE(q.add({QStringLiteral("hours"), QStringLiteral("b"), {}}), Arrival::Queued);
        const auto first = q.take();
        QCOMPARE(first->id, QStringLiteral("a"));
        // Running, not yet answered: still not queued again.
        QCOMPARE(q.add({QStringLiteral("hours"), QStringLiteral("a"), {}}),
                 Arrival::AlreadyWaiting);
        q.answer(QStringLiteral("a"), "{1}");
        QCOMPARE(q.add({QStringLiteral("mode"), QStringLiteral("a"), {}}),
                 Arrival::AlreadyAnswered);
        QCOMPARE(*q.answerOf(QStringLiteral("a")), QByteArray("{1}"));
        QCOMPARE(q.take()->id, QStringLiteral("b"));
        QVERIFY(!q.take());
    }

    void theOldestAnswersGoPastTheBounds() {
        CommandQueue q({2, 3, 10});
        for (const char* id : {"a", "b", "c", "d"})
            q.answer(QString::fromLatin1(id), "12");
        QCOMPARE(q.answersKept(), 3);
        QVERIFY(!q.answerOf(QStringLiteral("a")));
        QVERIFY(q.answerOf(QStringLiteral("d")));
        q.answer(QStringLiteral("big"),
                 QByteArray(9, 'x')); // bytes bound: only it and one more fit
        QCOMPARE(q.answersKept(), 1);
        QVERIFY(q.answerOf(QStringLiteral("big")));
        // A forgotten id runs again: the memory is bounded, not the plant's history.
        QCOMPARE(q.add({QStringLiteral("hours"), QStringLiteral("a"), {}}), Arrival::Queued);
        QCOMPARE(q.add({QStringLiteral("hours"), QStringLiteral("e"), {}}), Arrival::Queued);
        QCOMPARE(q.add({QStringLiteral("hours"), QStringLiteral("f"), {}}), Arrival::Full);
    }
};

QTEST_GUILESS_MAIN(CommandQueueTest)
#include "tst_command_queue.moc"
