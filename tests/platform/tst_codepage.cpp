// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/codepage.h"
#include "platform/number_text.h"

#include <QStringDecoder>
#include <QTest>

using namespace platform;

class TestCodepage : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips() {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        bool ok = false;
        QCOMPARE(toCp1251(fromCp1251(all), &ok), all);
        QVERIFY(ok);
    }

    void agreesWithIcuWhereAvailable() {
        QStringDecoder icu("windows-1251");
        if (!icu.isValid())
            QSKIP("this Qt has no ICU code pages");
        for (int i = 0; i < 256; ++i) {
            const QByteArray b(1, char(i));
            QCOMPARE(fromCp1251(b), QString(icu.decode(b)));
        }
    }

    void cyrillicText() {
        QCOMPARE(toCp1251(QStringLiteral("Ёж ёж АЯая")),
                 QByteArray("\xA8\xE6 \xB8\xE6 \xC0\xDF\xE0\xFF"));
    }

    void unencodableCharactersAreNamed() {
        bool ok = true;
        QCOMPARE(toCp1251(QStringLiteral("a☃b"), &ok), QByteArray("a?b"));
        QVERIFY(!ok);
        QCOMPARE(unencodableCp1251(QStringLiteral("☃x☃€✓")), QStringLiteral("☃✓"));
    }

    void readDecimal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("value");
        QTest::newRow("plain") << "12" << qint64(12);
        QTest::newRow("leading blanks") << "   7" << qint64(7);
        QTest::newRow("stops at non-digit") << "12ab3" << qint64(12);
        QTest::newRow("no digits") << "abc" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("leading zero") << "03" << qint64(3);
        QTest::newRow("negative") << "-1" << qint64(-1);
        QTest::newRow("huge stays bounded") << "99999999999999999999999" << qint64(9999999999999);
    }
    void readDecimal() {
        QFETCH(QString, text);
        QFETCH(qint64, value);
        QCOMPARE(::readDecimal(text), value);
    }
};

QTEST_GUILESS_MAIN(TestCodepage)
#include "tst_codepage.moc"
