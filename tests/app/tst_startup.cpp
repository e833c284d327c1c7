// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void wideLabelLayoutOnlyOnWindowsXp_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<bool>("wide");
        const int win = QOperatingSystemVersion::Windows;
        QTest::newRow("2000") << win << 5 << 0 << false;
        QTest::newRow("XP") << win << 5 << 1 << true;
        QTest::newRow("XP x64") << win << 5 << 2 << true;
        QTest::newRow("Vista") << win << 6 << 0 << false;
        QTest::newRow("10") << win << 10 << 0 << false;
        QTest::newRow("macOS 10.5") << int(QOperatingSystemVersion::MacOS) << 10 << 5 << false;
        QTest::newRow("other 5.1") << int(QOperatingSystemVersion::Unknown) << 5 << 1 << false;
    }
    void wideLabelLayoutOnlyOnWindowsXp() {
        QFETCH(int, type);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(bool, wide);
        QCOMPARE(app::wideLabelLayout(QOperatingSystemVersion::OSType(type), major, minor), wide);
    }

    void clockText_data() {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("padded") << QDateTime(QDate(2026, 2, 3), QTime(9, 5, 7))
                                << "03.02.2026  09:05:07";
        QTest::newRow("last second of a year")
            << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)) << "31.12.1999  23:59:59";
    }
    void clockText() {
        QFETCH(QDateTime, time);
        QFETCH(QString, text);
        QCOMPARE(app::clockStatusText(time), text);
    }

    void workFolderFallsBackWhenTheFirstPlaceCannotBeUsed() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QDir dir(root.path());
        QVERIFY(dir.mkdir(QStringLiteral("program")) && dir.mkdir(QStringLiteral("documents")));
        // A file of that name stands where the folder would go, as unwritable as Program Files.
        QFile blocker(dir.filePath(QStringLiteral("program/PRINTER FILES")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        const app::WorkDir w = app::prepareWorkDir(dir.filePath(QStringLiteral("program")),
                                                   dir.filePath(QStringLiteral("documents")));
        QVERIFY(w.usable);
        QCOMPARE(w.dir.path(), dir.filePath(QStringLiteral("documents/PRINTER FILES")));
        QVERIFY(QFileInfo(w.dir.path()).isDir());
#ifdef Q_OS_WIN
        // The documents folder is where an installed copy keeps its files.
        QVERIFY(w.notice.isEmpty());
#else
        QVERIFY(w.notice.contains(QDir::toNativeSeparators(w.dir.path())));
#endif
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
