// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/real_clock.h"

#include <QCoreApplication>
#include <QTest>

using namespace platform;

namespace {

class Counter : public QObject {
public:
    int events = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++events;
        return true;
    }
};

} // namespace

class TestRealClock : public QObject {
    Q_OBJECT
private slots:
    // The polls for an empty output queue are short waits, one after another, for as long as a
    // block takes on a slow line: the window must be served during them as during long waits.
    void waitsServeTheWindow_data() {
        QTest::addColumn<bool>("shortWaits");
        QTest::newRow("100 us polls") << true;
        QTest::newRow("one wait") << false;
    }
    void waitsServeTheWindow() {
        QFETCH(bool, shortWaits);
        RealClock clock;
        Counter counter;
        clock.waitMs(1); // whatever was pending
        QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
        // 40 ms, over twice the longest the window may go unserved.
        if (shortWaits) {
            for (int i = 0; i < 400; ++i)
                clock.waitUs(100);
        } else {
            clock.waitUs(40'000);
        }
        QCOMPARE(counter.events, 1);
    }
};

QTEST_GUILESS_MAIN(TestRealClock)
#include "tst_real_clock.moc"
