// SPDX-License-Identifier: GPL-3.0-or-later
// Backup and restore against a line that misbehaves part-way: what the printer (or a loose
// cable) sends then is never kept as the printer's memory, nor taken as a verified write.

#include "service/service_commands.h"
#include "test_rig.h"

#include <QDir>
#include <QLockFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#endif

using namespace platform;

namespace {

// A flood comes as USB adapters hand it over: 62-byte packets 16 ms apart, each gap long
// enough for a count to settle.
enum class Fault { Noise, Flood, Vanish };

QByteArray markWith(const QByteArray& text) {
    QByteArray mark;
    for (int k = 0; k < 32; ++k) {
        const QByteArray t = k == 0 ? text : QByteArray();
        mark += (QByteArray(1, '\x18') + '\x02' + char(t.size()) + t).leftJustified(48, '\0');
    }
    return mark;
}

QByteArray slotWith(int width, int byteRows, char fill) {
    QByteArray payload =
        QByteArray(1, char(width)) + char(byteRows) + QByteArray(width * byteRows, fill);
    return payload + QByteArray(256 - payload.size(), '\0');
}

struct Rig : TestRig {
    Rig() {
        connect();
        printer.state.marks[5] = markWith("LOT 7");
        printer.state.marks[9] = markWith("LOT 9");
        printer.state.logos[3] = slotWith(10, 2, '\x5A');
    }
    // From the beginning of `item` on, the line misbehaves.
    void faultFrom(const QString& item, Fault fault) {
        dialogs.onStep = [this, item, fault](const QString& begun) {
            if (begun != item)
                return;
            if (fault == Fault::Noise)
                printer.faults.garbage = true;
            else if (fault == Fault::Flood) {
                printer.faults.growing = true;
                printer.faults.chunkBytes = 62;
                printer.faults.chunkGapMs = 16;
            } else
                printer.faults.vanishAfterBytes = int(printer.received.size()) + 3;
        };
    }
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

#ifdef Q_OS_UNIX
// A disk that fills up: no file grows past `bytes` (EFBIG, its signal ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
};
#endif

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestServiceFaults : public QObject {
    Q_OBJECT
private slots:
    void aBackupOfAMisbehavingLineIsNotMade_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<Fault>("fault");
        // The item the line was caught at: a flood's first gap may fall after the next reply.
        QTest::addColumn<QString>("named");
        QTest::newRow("noise from mark 00")
            << "Чтение: Марка 00" << Fault::Noise << "не прочитано - Марка 00: не марка: ";
        QTest::newRow("noise from mark 05")
            << "Чтение: Марка 05" << Fault::Noise << "не прочитано - Марка 05: не марка: ";
        QTest::newRow("flood from mark 05")
            << "Чтение: Марка 05" << Fault::Flood << "не прочитано - Марка 05";
        QTest::newRow("flood from slot 003")
            << "Чтение: Логотип 003" << Fault::Flood << "не прочитано - Логотип 003";
        QTest::newRow("flood from the mark map")
            << "Чтение: карта марок" << Fault::Flood << "не прочитано - карта";
        QTest::newRow("flood from the settings")
            << "Чтение: уставки системы печати" << Fault::Flood << "не прочитано - ";
    }
    void aBackupOfAMisbehavingLineIsNotMade() {
        QFETCH(QString, item);
        QFETCH(Fault, fault);
        QFETCH(QString, named);
        Rig rig;
        rig.faultFrom(item, fault);

        const auto report = service::backupTo(rig.session, rig.dir.filePath("b"));

        QCOMPARE(int(report.outcome), int(service::Outcome::LinkFailed));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
        QVERIFY2(rig.dialogs.last().text.contains(named), qPrintable(rig.dialogs.last().text));
        QCOMPARE(rig.entries(), QStringList());
    }

    void aRestoreWhoseReadBackFailsIsNotCompleted_data() {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("noise") << Fault::Noise;
        QTest::newRow("flood") << Fault::Flood;
        QTest::newRow("printer vanishes") << Fault::Vanish;
    }
    void aRestoreWhoseReadBackFailsIsNotCompleted() {
        QFETCH(Fault, fault);
        Rig rig;
        QCOMPARE(int(service::backupTo(rig.session, rig.dir.filePath("b")).outcome),
                 int(service::Outcome::Done));
        rig.printer.state.marks.fill({});
        rig.dialogs.answer(MessageAnswer::Yes).answer(MessageAnswer::No);
        rig.faultFrom(QStringLiteral("Запись и проверка: Марка 05"), fault);

        const auto report = service::restoreFrom(rig.session, rig.dir.filePath("b"));

        QCOMPARE(int(report.outcome), int(service::Outcome::LinkFailed));
        QVERIFY2(!report.failed.isEmpty() && report.failed.first().startsWith("Марка 05: "),
                 qPrintable(report.failed.join('\n')));
        QVERIFY(!report.marks.contains(5));
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
        QVERIFY2(rig.dialogs.last().text.startsWith(
                     QStringLiteral("Восстановление из резервной копии не завершено: связь с "
                                    "Маркиратором потеряна.\n\rЗаписаны: марки 01.")),
                 qPrintable(rig.dialogs.last().text));
    }

#ifdef Q_OS_UNIX
    void aFullDiskIsNamedAndLeavesNoFolder() {
        Rig rig;
        service::ServiceReport report;
        {
            const FileSizeLimit full(8);
            report = service::backupTo(rig.session, rig.dir.filePath("b"));
        }
        QCOMPARE(int(report.outcome), int(service::Outcome::FileError));
        QVERIFY2(rig.dialogs.last().text.contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
                 qPrintable(rig.dialogs.last().text));
        QCOMPARE(rig.entries(), QStringList());
    }
#endif

    // A backup killed part-way (SIGXFSZ, a crash) leaves its hidden folder; the next one clears
    // it away, but not the folder another backup is still building.
    void aLaterBackupRemovesAbandonedPartsOnly() {
        Rig rig;
        QDir work(rig.dir.path());
        QVERIFY(work.mkpath(".b1.part-0badc0de/marks"));
        QVERIFY(work.mkpath(".b2.part-1234abcd"));
        QLockFile stale(work.filePath(".b2.part-1234abcd/.lock"));
        QVERIFY(work.mkpath(".b3.part-feedf00d"));
        QLockFile live(work.filePath(".b3.part-feedf00d/.lock"));
        QVERIFY(live.tryLock(0));
        QVERIFY(work.mkpath(".notes.part-of-mine")); // not a name a backup gives

        QCOMPARE(int(service::backupTo(rig.session, rig.dir.filePath("b")).outcome),
                 int(service::Outcome::Done));

        QCOMPARE(rig.entries(), (QStringList{".b3.part-feedf00d", ".notes.part-of-mine", "b"}));
        QVERIFY(!QFileInfo::exists(rig.dir.filePath("b/.lock")));
    }
};

QTEST_GUILESS_MAIN(TestServiceFaults)
#include "tst_service_faults.moc"
