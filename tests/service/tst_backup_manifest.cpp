// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/backup_manifest.h"

#include <QTest>

class TestBackupManifest : public QObject {
    Q_OBJECT
private slots:
    void roundTrip() {
        service::BackupManifest m;
        m.model = QStringLiteral("K307");
        m.version = QStringLiteral("K307 v4.12 011010");
        m.taken = QDateTime(QDate(2026, 12, 8), QTime(20, 34, 5));
        m.durationMs = 21450;
        m.program = QStringLiteral("inkwick 4.0");
        m.marks = {0, 7, 85};
        m.logos = {0, 127};
        m.sha256.insert(QStringLiteral("marks/07.mrt"), QByteArray(64, 'a'));
        const auto back = service::BackupManifest::fromJson(m.toJson(), nullptr);
        QVERIFY(back);
        QCOMPARE(back->model, m.model);
        QCOMPARE(back->taken, m.taken);
        QCOMPARE(back->durationMs, m.durationMs);
        QCOMPARE(back->marks, m.marks);
        QCOMPARE(back->logos, m.logos);
        QCOMPARE(back->sha256, m.sha256);
        QCOMPARE(service::backupFolderName(m.model, m.taken),
                 QStringLiteral("backup-K307-20261208-203405"));
    }

    // A manifest is the only thing that says what a restore may write: nothing doubtful passes.
    void doubtfulManifestsAreRefused_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("not JSON") << QByteArray("{\"model\": ");
        QTest::newRow("no model") << QByteArray(R"({"marks": [], "logos": []})");
        QTest::newRow("mark 86") << QByteArray(R"({"model": "K309", "marks": [86], "logos": []})");
        QTest::newRow("slot 128") << QByteArray(
            R"({"model": "K309", "marks": [], "logos": [128]})");
        QTest::newRow("negative") << QByteArray(R"({"model": "K309", "marks": [-1], "logos": []})");
        QTest::newRow("fraction") << QByteArray(
            R"({"model": "K309", "marks": [1.5], "logos": []})");
        QTest::newRow("twice") << QByteArray(R"({"model": "K309", "marks": [3, 3], "logos": []})");
        QTest::newRow("text") << QByteArray(R"({"model": "K309", "marks": ["3"], "logos": []})");
        QTest::newRow("no list") << QByteArray(R"({"model": "K309", "marks": []})");
    }
    void doubtfulManifestsAreRefused() {
        QFETCH(QByteArray, json);
        QString why;
        QVERIFY(!service::BackupManifest::fromJson(json, &why));
        QVERIFY(!why.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBackupManifest)
#include "tst_backup_manifest.moc"
