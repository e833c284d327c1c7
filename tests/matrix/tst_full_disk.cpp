// SPDX-License-Identifier: GPL-3.0-or-later
// Every file the program writes, onto a disk that fills up part-way: the save reports the file
// by name and leaves the old one byte for byte. A file-size limit plays the full disk, so no
// root and no mount are needed.

#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"
#include "logos/logo_transfer.h"
#include "logos/split_plan.h"
#include "marks/mark_document.h"
#include "marks/mark_file_commands.h"
#include "test_rig.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace platform;
using namespace logos;
using namespace printerlink;

namespace {

#ifdef Q_OS_UNIX
// While alive, no file grows past `bytes`: a write beyond fails as on a full disk (EFBIG,
// with the signal that would otherwise end the process ignored).
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

// Far less than any file the program writes.
constexpr int kRoomLeft = 8;
const QByteArray kOld = "the old content, kept byte for byte\r\n";

struct Fixture {
    TestRig rig;
    marks::MarkDocument marks;
    logos::LogoDocument logo;
    QString memory; // the simulator's memory folder

    Fixture() {
        rig.session.marks = &marks;
        rig.session.logo = &logo;
        rig.connect();
        memory = rig.dir.filePath("memory");
        logo.newLogo(20, 16);
        for (int k = 0; k < 16; ++k)
            logo.paintDot(k, k, true); // unsaved dots
        logo.endStroke();
    }
    Session& s() { return rig.session; }
    void put(const QString& name, const QByteArray& bytes = kOld) {
        QFile f(rig.dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    QMap<QString, QByteArray> files() const {
        QMap<QString, QByteArray> out;
        QDirIterator it(rig.dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            out.insert(QDir(rig.dir.path()).relativeFilePath(f.fileName()),
                       f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>");
        }
        return out;
    }
    // The last error box, or "" when the save went by without a word.
    QString lastError() const {
        const auto shown = rig.dialogs.messages();
        for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
            if (it->icon == MessageIcon::Error)
                return it->text;
        }
        return {};
    }
};

struct Writer {
    const char* name;
    const char* message; // the error that names the file
    void (*prepare)(Fixture&);
    QString (*run)(Fixture&); // the error shown
};

QString showError(Fixture& f) {
    return f.lastError();
}

const Writer kWriters[] = {
    {"save mark as", "Ошибка записи файла 'mark.mrt'!",
     [](Fixture& f) {
         f.put("mark.mrt");
         f.rig.dialogs.answer("mark.mrt").answer(MessageAnswer::Yes);
     },
     [](Fixture& f) {
         marks::saveMarkAs(f.s());
         return showError(f);
     }},
    {"save mark changes", "Ошибка записи файла 'mark.mrt'!",
     [](Fixture& f) {
         f.put("mark.mrt");
         f.marks.setCurrentFile("mark.mrt", marks::FileOrigin::SavedAs);
     },
     [](Fixture& f) {
         marks::saveMark(f.s());
         return showError(f);
     }},
    {"new mark", "Ошибка записи файла 'tmpmark.mrt'!", [](Fixture& f) { f.put("tmpmark.mrt"); },
     [](Fixture& f) {
         marks::newMark(f.s());
         return showError(f);
     }},
    {"logo as BIN", "Файл 'logo.bin' записать невозможно!",
     [](Fixture& f) {
         f.put("logo.bin");
         f.rig.dialogs.answer("logo.bin").answer(MessageAnswer::Yes);
     },
     [](Fixture& f) {
         logos::saveLogoAs(f.s());
         return showError(f);
     }},
    {"logo as BMP", "Файл 'logo.bmp' записать невозможно!",
     [](Fixture& f) {
         f.put("logo.bmp");
         f.rig.dialogs.answer("logo.bmp").answer(MessageAnswer::Yes);
     },
     [](Fixture& f) {
         logos::saveLogoAs(f.s());
         return showError(f);
     }},
    {"logo as PBM before another is opened", "Файл 'logo.pbm' записать невозможно!",
     [](Fixture& f) {
         f.put("logo.pbm");
         f.logo.setCurrentFile("logo.pbm", "pbm");
         f.rig.dialogs.answer(MessageAnswer::Yes);
     },
     [](Fixture& f) {
         logos::openLogoFile(f.s());
         return showError(f);
     }},
    {"BIN parts of a wide logo", "Файл 'wide_1.bin' записать невозможно!",
     [](Fixture& f) {
         f.logo.newLogo(300, 32);
         f.logo.paintDot(299, 0, true);
         f.logo.endStroke();
         f.put("wide_1.bin");
         f.rig.dialogs.answer("wide.bin").answer(MessageAnswer::Yes);
     },
     [](Fixture& f) {
         logos::saveLogoAs(f.s());
         return showError(f);
     }},
    {"BMP strips of a logo too wide for a slot", "Файл 'wide.bmp_2.bmp' записать невозможно!",
     [](Fixture& f) {
         f.logo.newLogo(100, 32);
         QCOMPARE(logos::slotStripCount(100, 4), 2);
         f.logo.setCurrentFile("wide.bmp", "bmp");
         f.put("wide.bmp_2.bmp"); // the last strip is written first
     },
     [](Fixture& f) {
         writeLogoSlot(f.s());
         return showError(f);
     }},
    {"file of a slot read", "Файл 'logo007.bin' записать невозможно!",
     [](Fixture& f) {
         QByteArray slot = QByteArray(1, char(60)) + char(4) + QByteArray(240, '\x5A');
         f.rig.printer.state.logos[7] = slot + QByteArray(256 - slot.size(), '\0');
         f.put("logo007.bin");
         f.rig.dialogs.answer(MessageAnswer::No).answer("7"); // unsaved dots: not kept
     },
     [](Fixture& f) {
         readLogoSlot(f.s());
         return showError(f);
     }},
    {"simulator memory", "mark03.bin",
     [](Fixture& f) {
         QVERIFY(f.rig.printer.save(f.memory));
         f.rig.printer.state.marks[3] = QByteArray(1536, 'M');
     },
     [](Fixture& f) {
         QString failed;
         const bool saved = f.rig.printer.save(f.memory, &failed);
         return saved ? QString() : QFileInfo(failed).fileName();
     }},
};

} // namespace

class TestFullDisk : public QObject {
    Q_OBJECT
private slots:
    void aFullDiskKeepsTheOldFileAndNamesIt_data() {
        QTest::addColumn<int>("writer");
        for (int k = 0; k < int(std::size(kWriters)); ++k)
            QTest::newRow(kWriters[k].name) << k;
    }
    void aFullDiskKeepsTheOldFileAndNamesIt() {
#ifndef Q_OS_UNIX
        QSKIP("needs a file-size limit");
#else
        QFETCH(int, writer);
        const Writer& w = kWriters[writer];
        Fixture f;
        w.prepare(f);
        const QImage logoBefore = f.logo.logoPicture();
        const marks::MarkRows rowsBefore = f.marks.model().rows();
        const QMap<QString, QByteArray> before = f.files();
        QString error;
        {
            FileSizeLimit full(kRoomLeft);
            error = w.run(f);
        }
        QCOMPARE(f.rig.dialogs.unexpected, QStringList());
        QCOMPARE(error, QString::fromUtf8(w.message));
        // No file lost, cut short or left half-written beside the old one.
        QCOMPARE(f.files(), before);
        QCOMPARE(f.logo.logoPicture(), logoBefore);

        QCOMPARE(f.marks.model().rows(), rowsBefore);

        // With room again the same save goes through: the limit was what stopped it.
        w.prepare(f);
        w.run(f);
        QVERIFY(f.files() != before);
#endif
    }
};

QTEST_MAIN(TestFullDisk)
#include "tst_full_disk.moc"
