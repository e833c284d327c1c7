#include "test_rig.h"

#include <QTest>

class TstPrinter : public QObject {
    Q_OBJECT
private slots:
    void versionReplyArrivesAfterLineTime();
};

void TstPrinter::versionReplyArrivesAfterLineTime() {
    TestRig rig;
    rig.connect(QStringLiteral("K307"));
    QVERIFY(rig.port.write(QByteArray("\x11i\x0E")));
    QCOMPARE(rig.port.inputWaiting(), 0);
    rig.clock.waitMs(10);
    const QByteArray reply = rig.port.read(100);
    QVERIFY(reply.startsWith("VK307"));
    QCOMPARE(rig.requests(), QList<QByteArray>{QByteArray("\x11i\x0E")});
}

QTEST_GUILESS_MAIN(TstPrinter)
#include "tst_printer.moc"
