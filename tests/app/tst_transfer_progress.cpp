// SPDX-License-Identifier: GPL-3.0-or-later
// The long transfers show their progress in bytes, from nothing to the whole, and end it.
#include "device/mark_bitmap_view.h"
#include "logos/logo_document.h"
#include "logos/logo_transfer.h"
#include "marks/mark_document.h"
#include "marks/mark_transfer.h"
#include "test_rig.h"

#include <QTest>
#include <functional>

using namespace platform;
using namespace device;
using namespace logos;
using namespace printerlink;

using Command = std::function<void(TestRig&)>;
Q_DECLARE_METATYPE(Command)

class TestTransferProgress : public QObject {
    Q_OBJECT
private slots:
    void longTransfersShowProgress_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<qint64>("total");
        QTest::newRow("mark read")
            << Command([](TestRig& r) { marks::readCurrentMark(r.session); }) << qint64(5 + 1536);
        QTest::newRow("mark write") << Command([](TestRig& r) {
            r.dialogs.answer(QStringLiteral("7"));
            marks::writeMarkByNumber(r.session);
        }) << qint64(5 + 1536);
        QTest::newRow("slot read") << Command([](TestRig& r) {
            r.dialogs.answer(QStringLiteral("3"));
            readLogoSlot(r.session);
        }) << qint64(6 + 257);
        QTest::newRow("slot write") << Command([](TestRig& r) {
            r.dialogs.answer(QStringLiteral("3"));
            writeLogoSlot(r.session);
        }) << qint64(6 + 256);
        QTest::newRow("bitmap") << Command([](TestRig& r) { viewMarkBitmap(r.session); })
                                << qint64(3 + 3 + 200);
    }
    void longTransfersShowProgress() {
        QFETCH(Command, command);
        QFETCH(qint64, total);
        TestRig rig;
        marks::MarkDocument marksDoc;
        logos::LogoDocument logo;
        rig.session.marks = &marksDoc;
        rig.session.logo = &logo;
        rig.connect();
        rig.printer.state.logos[3] = QByteArray(256, '\x5A');
        rig.printer.state.logos[3][0] = 10;
        rig.printer.state.logos[3][1] = 2;
        rig.printer.state.bitmap = QByteArray("\x64\x00\x02", 3) + QByteArray(200, '\x33');
        command(rig);
        const auto& shown = rig.status.progress;
        QVERIFY2(shown.size() >= 3, "a start, some steps and the end");
        QCOMPARE(shown.last(), (QPair<qint64, qint64>(0, 0)));
        const qint64 whole = total > 0 ? total : shown[shown.size() - 2].second;
        QCOMPARE(shown[shown.size() - 2], (QPair<qint64, qint64>(whole, whole)));
        for (qsizetype i = 1; i + 1 < shown.size(); ++i)
            QVERIFY(shown[i].first >= shown[i - 1].first || shown[i].second != shown[i - 1].second);
        QVERIFY(rig.dialogs.unexpected.isEmpty());
    }
};

QTEST_MAIN(TestTransferProgress)
#include "tst_transfer_progress.moc"
