// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/number_text.h"

#include <QTest>

using namespace platform;

// Zero-filled numbers must read exactly as QString::arg with a '0' fill writes them: the
// read-outs and the mark table were written that way and their texts must not move.
class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void zeroPaddedAsArg_data() {
        QTest::addColumn<qint64>("n");
        QTest::addColumn<int>("width");
        QList<qint64> numbers{0, 1, 7, 9, 10, 42, 99, 100, 127, 255, 1000, 12345};
        numbers << -1 << -5 << -9 << -10 << -56 << -128 << -999;
        numbers << std::numeric_limits<qint64>::max() << std::numeric_limits<qint64>::min();
        for (qint64 n : numbers) {
            for (int width : {0, 1, 2, 3, 4})
                QTest::addRow("%lld width %d", n, width) << n << width;
        }
    }
    void zeroPaddedAsArg() {
        QFETCH(qint64, n);
        QFETCH(int, width);
        const QString expected = QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
        QCOMPARE(zeroPadded(n, width), expected);
        QCOMPARE(zeroPadded(n, width, u" #"), QStringLiteral(" #") + expected);
        // Appending keeps what was there and may grow the string more than once.
        QString text = QStringLiteral("ab");
        appendZeroPadded(text, n, width);
        appendZeroPadded(text, n, width);
        QCOMPARE(text, QStringLiteral("ab") + expected + expected);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
