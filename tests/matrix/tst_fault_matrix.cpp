// SPDX-License-Identifier: GPL-3.0-or-later
// Every printer command of the menus against every fault of the line, in virtual time. Each
// cell checks what the user is told, that no file in the working directory was touched unless
// the command completed, that the mark and the logo change only when the command completed,
// that every wait ended, and that the printer can be used again afterwards.

#include "device/area_maps.h"
#include "device/counters_readout.h"
#include "device/mark_bitmap_view.h"
#include "device/print_mode_readout.h"
#include "device/print_system_readout.h"
#include "fixed_port_catalogue.h"
#include "link/port_opening.h"
#include "link/printer_settings.h"
#include "link/version_query.h"
#include "logos/logo_document.h"
#include "logos/logo_transfer.h"
#include "marks/fragment_transfer.h"
#include "marks/mark_document.h"
#include "marks/mark_record.h"
#include "marks/mark_transfer.h"
#include "recording_status_view.h"
#include "scripted_dialogs.h"
#include "sim/printer.h"
#include "simulated_port.h"
#include "virtual_clock.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

using namespace platform;
using namespace device;
using namespace logos;
using namespace printerlink;

namespace {

const QString kReadError = QStringLiteral("Ошибка при чтении данных из Маркиратора (COM1)!");
const QString kWriteError = QStringLiteral("Ошибка записи данных в порт COM1!");

// A clock that can pull the plug once the printer's answer has begun to arrive.
class PlugClock : public VirtualClock {
public:
    std::function<void()> afterWait;
    void waitMs(int ms) override {
        VirtualClock::waitMs(ms);
        if (afterWait)
            afterWait();
    }
    void waitUs(int us) override {
        VirtualClock::waitUs(us);
        if (afterWait)
            afterWait();
    }
};

struct Rig {
    sim::Printer printer;
    PlugClock clock;
    SimulatedPort port{printer, clock};
    ScriptedDialogs dialogs;
    RecordingStatusView status;
    FixedPortCatalogue catalogue;
    QTemporaryDir dir;
    Session session{port, clock, dialogs, catalogue, status};
    marks::MarkDocument marks;
    logos::LogoDocument logo;

    Rig() {
        catalogue.entries.append({QStringLiteral("COM1"), QStringLiteral("/dev/ttySIM0"),
                                  QStringLiteral("Simulated printer"),
                                  QStringLiteral("/dev/ttySIM0")});
        session.workDir = QDir(dir.path());
        session.marks = &marks;
        session.logo = &logo;
        port.open(QStringLiteral("/dev/ttySIM0"), session.link.baudRate);
        session.link.open = true;
        session.link.portName = QStringLiteral("COM1");
        session.link.device = QStringLiteral("/dev/ttySIM0");
        setLampsIdle();
        fill();
    }

    void setLampsIdle() {
        status.setLamp(LampTarget::Both, Lamp::Idle);
        status.lampHistory.clear();
    }

    // What the printer holds differs from what the host shows, so every read is visible.
    void fill() {
        marks::MarkRows onPrinter = marks::initialRows();
        for (int r = 0; r < marks::kFragmentCount; r += 3)
            onPrinter[r][marks::TextColumn] = QStringLiteral("ПАРТИЯ %1").arg(r);
        printer.state.marks[0] = marks::encodeMarkData(onPrinter);
        printer.state.marks[42] = printer.state.marks[0];

        // Places past the first packet of a reply are taken too.
        printer.state.marks[80] = printer.state.marks[0];
        printer.state.logos[120] = QByteArray(256, '\x01');

        // A logo that nearly fills its slot: 60 columns of 4 bytes.
        QByteArray slot;
        slot.append(char(60)).append(char(4));
        for (int k = 0; k < 240; ++k)
            slot.append(char(0x11 * (k % 15)));
        slot.append(QByteArray(256 - slot.size(), '\0'));
        printer.state.logos[7] = slot;

        // 300 columns of 4 bytes: over 100 ms on the line.
        QByteArray bitmap;
        bitmap.append(char(300 & 0xFF)).append(char(300 >> 8)).append(char(4));
        for (int k = 0; k < 1200; ++k)
            bitmap.append(char(0x81 ^ (k % 251)));
        printer.state.bitmap = bitmap;

        marks::MarkRows onHost = marks::initialRows();
        onHost[5][marks::TextColumn] = QStringLiteral("СРОК ГОДНОСТИ");
        onHost[9][marks::TextColumn] = QStringLiteral("LOT 17");
        marks.model().setRows(onHost);
        marks.clickRow(5);
        marks.setFragmentText(QStringLiteral("ГОДЕН ДО"));

        logo.newLogo(20, 16);
        for (int k = 0; k < 16; ++k)
            logo.setDot(k, k, true);

        writeFile(QStringLiteral("kept.mrt"), QByteArray(32 * 4, 'k'));
        writeFile(QStringLiteral("logo007.bin"), QByteArray("an older copy of slot 7"));
        writeFile(QStringLiteral("picture.pbm"), QByteArray("P4\n8 1\n\xAA", 9));
    }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QMap<QString, QByteArray> files() const {
        QMap<QString, QByteArray> out;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            out.insert(QDir(dir.path()).relativeFilePath(path),
                       f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
        }
        return out;
    }

    // A late answer of an earlier command, already in the input queue.
    void leaveLateAnswer() {
        port.write(QByteArrayLiteral("\x11i\x0E"));
        clock.waitMs(20);
    }
};

QStringList boxes(const QList<ScriptedDialogs::Shown>& shown) {
    QStringList out;
    for (const auto& d : shown)
        out.append(QStringLiteral("%1|%2|%3|%4|%5|%6")
                       .arg(int(d.kind))
                       .arg(d.title, d.text, d.extra)
                       .arg(int(d.icon))
                       .arg(int(d.buttons)));
    return out;
}

// What a command left behind.
struct Outcome {
    QStringList dialogs;
    QStringList messageTexts;
    QStringList titles;
    marks::MarkRows rows;
    QImage logo;
    QSize logoSize;
    QMap<QString, QByteArray> files;
    QList<QByteArray> requests;
    Lamp textMarkLamp = Lamp::Grey;
    Lamp graphicLamp = Lamp::Grey;
    bool linkError = false;
    bool portOpen = false;
    qint64 elapsedMs = 0;
    qint64 bytesRead = 0;
    // Quiet time at the printer between one write's last byte and the next one's first, us.
    QList<qint64> gapsUs;
};

enum class Fault {
    Silence,
    Growing,
    Short,
    Chunked,
    Packets8Fast,
    Packets16Slow,
    Packets8Slow9600,
    Packets16Fast9600,
    SlowOutput9600,
    SlowOutput115200,
    Garbage,
    Stale,
    RefusedWrite,
    Vanish,
    VanishMidReply
};

// Small packets, as some USB-serial adapters, serial device servers and printer firmwares hand
// a reply over: smaller than most replies, a few milliseconds apart.
struct Packets {
    int bytes;
    int gapMs;
    int baud;
};
std::optional<Packets> smallPackets(Fault f) {
    switch (f) {
    case Fault::Packets8Fast:
        return Packets{8, 3, 115200};
    case Fault::Packets16Slow:
        return Packets{16, 20, 115200};
    case Fault::Packets8Slow9600:
        return Packets{8, 20, 9600};
    case Fault::Packets16Fast9600:
        return Packets{16, 3, 9600};
    default:
        return std::nullopt;
    }
}
// The host's bytes leave at the line rate and the pauses after them must start once they have.
std::optional<int> slowOutput(Fault f) {
    switch (f) {
    case Fault::SlowOutput9600:
        return 9600;
    case Fault::SlowOutput115200:
        return 115200;
    default:
        return std::nullopt;
    }
}
const char* faultName(Fault f) {
    switch (f) {
    case Fault::Silence:
        return "silence";
    case Fault::Growing:
        return "growing reply";
    case Fault::Short:
        return "short reply";
    case Fault::Chunked:
        return "chunked delivery";
    case Fault::Packets8Fast:
        return "8-byte packets 3 ms apart";
    case Fault::Packets16Slow:
        return "16-byte packets 20 ms apart";
    case Fault::Packets8Slow9600:
        return "8-byte packets 20 ms apart at 9600";
    case Fault::Packets16Fast9600:
        return "16-byte packets 3 ms apart at 9600";
    case Fault::SlowOutput9600:
        return "output drains at 9600";
    case Fault::SlowOutput115200:
        return "output drains at 115200";
    case Fault::Garbage:
        return "garbage";
    case Fault::Stale:
        return "stale bytes";
    case Fault::RefusedWrite:
        return "refused write";
    case Fault::Vanish:
        return "device vanishes";
    case Fault::VanishMidReply:
        return "device vanishes mid-reply";
    }
    return "?";
}
constexpr Fault kFaults[] = {
    Fault::Silence,          Fault::Growing,           Fault::Short,           Fault::Chunked,
    Fault::Packets8Fast,     Fault::Packets16Slow,     Fault::Garbage,         Fault::Stale,
    Fault::Packets8Slow9600, Fault::Packets16Fast9600, Fault::RefusedWrite,    Fault::Vanish,
    Fault::VanishMidReply,   Fault::SlowOutput9600,    Fault::SlowOutput115200};

// How a command uses the line.
enum class Kind {
    Read,        // request, then a reply it decodes and shows
    LogoRead,    // as Read, but no answer at all means an empty slot
    Send,        // writes only, or reads and ignores an acknowledgement
    ReadThenSend // reads the print lines for the prompt's default, then writes
};

// What the user must see.
enum class Expect {
    Baseline,     // exactly what the same command does on a healthy line
    ReadError,    // the link's read-error box is the last thing shown; nothing changed
    WriteError,   // the link's write-error box is the last thing shown; nothing changed
    Decoded,      // the command ended with its own outcome from whatever bytes arrived
    EmptySlot,    // the empty-slot box of the logo read; nothing changed
    PromptAnyway, // print lines: read-error box, the prompt without a default, then the write
    BothErrors    // print lines: read-error box, the prompt, then the write-error box
};

struct Command {
    const char* name;
    void (*run)(Session&);
    void (*script)(ScriptedDialogs&);
    Kind kind;
    int shortBytes;  // a short reply is cut to this, and a device vanishes after this many
    int vanishAfter; // bytes written before the device goes; -1: once the answer arrives
    qint64 boundMs;  // the longest the command may take in any cell
    // The title of the command's own box for a reply it cannot use, besides its healthy ones.
    const char* refusal = "";
    // Sends a block after its request: the slow-output cells are its own.
    bool sendsBlock = false;
};

void none(ScriptedDialogs&) {}

const Command kCommands[] = {
    {"version", [](Session& s) { queryVersion(s); }, none, Kind::Read, 9, -1, 1000, "ОШИБКА"},
    {"clock", setPrinterClock, [](ScriptedDialogs& d) { d.answer(MessageAnswer::Yes); }, Kind::Send,
     0, 4, 1000},
    {"date offset", setDateOffset,
     [](ScriptedDialogs& d) { d.answer(QStringLiteral("30")).answer(MessageAnswer::Yes); },
     Kind::Send, 0, 3, 1000},
    {"print lines", setPrintLines, [](ScriptedDialogs& d) { d.answer(QStringLiteral("3")); },
     Kind::ReadThenSend, 1, -1, 1500},
    {"print mode", readPrintModeSettings, none, Kind::Read, 1, -1, 1000},
    {"print system", readPrintSystemSettings, none, Kind::Read, 23, -1, 1000},
    {"running hours", readRunningHours, none, Kind::Read, 2, -1, 1000},
    {"printed marks", readPrintedMarks, none, Kind::Read, 3, -1, 1000},
    {"text area map", showTextMarkAreaMap, none, Kind::Read, 40, -1, 1000},
    {"graphic area map", showGraphicAreaMap, none, Kind::Read, 64, -1, 1000},
    {"mark bitmap", viewMarkBitmap, none, Kind::Read, 600, -1, 2500, "ПРОСМОТР БИТ-КАРТЫ МАРКИ "},
    {"read fragment", marks::readFragment,
     [](ScriptedDialogs& d) { d.answer(QStringLiteral("2")).answer(QStringLiteral("4")); },
     Kind::Read, 24, -1, 1000},
    {"write fragment", marks::writeFragment,
     [](ScriptedDialogs& d) { d.answer(MessageAnswer::Yes); }, Kind::Send, 0, 3, 1000, "", true},
    {"read current mark", marks::readCurrentMark, none, Kind::Read, 700, -1, 3000, "МАРКА #00"},
    {"read mark n", marks::readMarkByNumber,
     [](ScriptedDialogs& d) { d.answer(QStringLiteral("42")); }, Kind::Read, 700, -1, 3000,
     "МАРКА #42"},
    {"write mark n", marks::writeMarkByNumber,
     [](ScriptedDialogs& d) { d.answer(QStringLiteral("42")); }, Kind::Send, 0, 5 + 600, 1500, "",
     true},
    {"read logo", readLogoSlot, [](ScriptedDialogs& d) { d.answer(QStringLiteral("7")); },
     Kind::LogoRead, 128, -1, 1000, "Logo#007 Data Error"},
    {"write logo", writeLogoSlot, [](ScriptedDialogs& d) { d.answer(QStringLiteral("9")); },
     Kind::Send, 0, 6 + 100, 1500, "", true},
    {"delete logo", deleteLogoSlot,
     [](ScriptedDialogs& d) { d.answer(QStringLiteral("7")).answer(MessageAnswer::Yes); },
     Kind::Send, 0, 6 + 100, 1500, "", true},
};
constexpr int kCommandCount = int(sizeof kCommands / sizeof kCommands[0]);
constexpr int kFaultCount = int(sizeof kFaults / sizeof kFaults[0]);

Expect expected(Kind kind, Fault fault) {
    switch (fault) {
    case Fault::Chunked:
    case Fault::Packets8Fast:
    case Fault::Packets16Slow:
    case Fault::Packets8Slow9600:
    case Fault::Packets16Fast9600:
    case Fault::Stale:
    case Fault::SlowOutput9600:
    case Fault::SlowOutput115200:
        return Expect::Baseline;
    case Fault::Silence:
    case Fault::Growing:
        switch (kind) {
        case Kind::Send:
            return Expect::Baseline;
        case Kind::ReadThenSend:
            return Expect::PromptAnyway;
        case Kind::LogoRead:
            // Nothing at all is an empty slot; bytes that never stop are a broken line.
            return fault == Fault::Silence ? Expect::EmptySlot : Expect::ReadError;
        case Kind::Read:
            return Expect::ReadError;
        }
        break;
    case Fault::Short:
    case Fault::Garbage:
        return kind == Kind::Send ? Expect::Baseline : Expect::Decoded;
    case Fault::VanishMidReply:
        if (kind == Kind::Send)
            return Expect::Baseline; // what it sent had arrived
        [[fallthrough]];
    case Fault::RefusedWrite:
    case Fault::Vanish:
        switch (kind) {
        case Kind::Send:
            return Expect::WriteError;
        case Kind::ReadThenSend:
            return Expect::BothErrors;
        case Kind::Read:
        case Kind::LogoRead:
            return Expect::ReadError;
        }
        break;
    }
    return Expect::Baseline;
}

void inject(Rig& rig, const Command& c, Fault fault) {
    sim::Faults& f = rig.printer.faults;
    switch (fault) {
    case Fault::Silence:
        f.silent = true;
        break;
    case Fault::Growing:
        f.growing = true;
        break;
    case Fault::Short:
        f.shortReply = c.shortBytes;
        break;
    case Fault::Chunked:
        // A USB-serial adapter with its default latency timer: 62-byte packets 16 ms apart.
        f.chunkBytes = 62;
        f.chunkGapMs = 16;
        break;
    case Fault::Packets8Fast:
    case Fault::Packets16Slow:
    case Fault::Packets8Slow9600:
    case Fault::Packets16Fast9600: {
        const Packets p = *smallPackets(fault);
        f.chunkBytes = p.bytes;
        f.chunkGapMs = p.gapMs;
        rig.session.link.baudRate = p.baud;
        rig.port.open(rig.session.link.device, p.baud);
        break;
    }
    case Fault::SlowOutput9600:
    case Fault::SlowOutput115200:
        rig.session.link.baudRate = *slowOutput(fault);
        rig.port.open(rig.session.link.device, rig.session.link.baudRate);
        break;
    case Fault::Garbage:
        f.garbage = true;
        break;
    case Fault::Stale:
        rig.leaveLateAnswer();
        QVERIFY(rig.port.inputWaiting() > 0);
        break;
    case Fault::RefusedWrite:
        f.refuseWrite = true;
        break;
    case Fault::Vanish:
        if (c.vanishAfter >= 0) {
            f.vanishAfterBytes = c.vanishAfter;
        } else {
            rig.clock.afterWait = [&rig] {
                if (rig.port.isOpen() && rig.port.inputWaiting() > 0)
                    rig.port.vanish();
            };
        }
        break;
    case Fault::VanishMidReply:
        // A USB adapter unplugged while it hands over a reply in packets: the first ones
        // settle the count, the rest never come.
        f.chunkBytes = 62;
        f.chunkGapMs = 16;
        rig.port.vanishAfterReplyBytes = c.shortBytes;
        break;
    }
}

// Cells that show a fault of the command itself, reported and awaiting a decision. The checks
// stay whole: once the fault is mended the cell passes unexpectedly and the entry goes.
struct KnownFault {
    const char* command;
    Fault fault;
    const char* what;
};
const QList<KnownFault> kKnownFaults{};

Outcome runCommand(Rig& rig, const Command& c) {
    const qsizetype requestsBefore = rig.printer.requests.size();
    const qsizetype arrivalsBefore = rig.port.arrivals.size();
    const qint64 readBefore = rig.port.bytesRead;
    c.script(rig.dialogs);
    const qint64 start = rig.clock.elapsedMs();
    c.run(rig.session);
    Outcome o;
    o.elapsedMs = rig.clock.elapsedMs() - start;
    rig.clock.afterWait = nullptr;
    rig.port.vanishAfterReplyBytes = -1; // a command without a reply never set it off
    o.dialogs = boxes(rig.dialogs.shown);
    for (const auto& m : rig.dialogs.messages()) {
        o.messageTexts.append(m.text);
        o.titles.append(m.title);
    }
    o.rows = rig.marks.model().rows();
    o.logo = rig.logo.logoPicture();
    o.logoSize = rig.logo.size();
    o.files = rig.files();
    o.requests = rig.printer.requests.mid(requestsBefore);
    o.textMarkLamp = rig.status.textMarkLamp;
    o.graphicLamp = rig.status.graphicLamp;
    o.linkError = rig.session.link.error;
    o.portOpen = rig.port.isOpen();
    o.bytesRead = rig.port.bytesRead - readBefore;
    for (qsizetype k = arrivalsBefore + 1; k < rig.port.arrivals.size(); ++k)
        o.gapsUs.append(rig.port.arrivals[k].first - rig.port.arrivals[k - 1].second);
    return o;
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestFaultMatrix : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        qInfo("fault matrix: %d commands x %d faults = %d cells", kCommandCount, kFaultCount,
              kCommandCount * kFaultCount);
    }

    void everyCommandSurvivesEveryFault_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<Fault>("fault");
        for (int c = 0; c < kCommandCount; ++c) {
            for (Fault f : kFaults) {
                if (slowOutput(f) && !kCommands[c].sendsBlock)
                    continue;
                QTest::addRow("%s, %s", kCommands[c].name, faultName(f)) << c << f;
            }
        }
    }

    void everyCommandSurvivesEveryFault() {
        QFETCH(int, command);
        QFETCH(Fault, fault);
        const Command& c = kCommands[command];
        const Expect expect = expected(c.kind, fault);
        const Outcome& healthy = baseline(command);

        Rig rig;
        const QMap<QString, QByteArray> filesBefore = rig.files();
        const marks::MarkRows rowsBefore = rig.marks.model().rows();
        const QImage logoBefore = rig.logo.logoPicture();
        inject(rig, c, fault);
        const Outcome o = runCommand(rig, c);
        const auto& shown = rig.dialogs.shown;

        // Every check of the cell is collected, so a known fault is reported as one failure.
        QStringList failed;
        auto check = [&failed](bool ok, const QString& what) {
            if (!ok)
                failed.append(what);
        };

        check(rig.dialogs.unexpected.isEmpty(),
              QStringLiteral("unexpected dialogs: ") + rig.dialogs.unexpected.join(", "));
        // Small packets take longer to come: every gap, and the wire time both ways at the
        // slower rate.
        qint64 boundMs = c.boundMs;
        if (const auto p = smallPackets(fault)) {
            qint64 written = 0;
            for (const QByteArray& r : healthy.requests)
                written += r.size();
            boundMs += (healthy.bytesRead + written) * 10 * 1000 / p->baud +
                       (healthy.bytesRead / p->bytes + 1) * p->gapMs;
        }
        if (const auto baud = slowOutput(fault)) {
            qint64 written = 0;
            for (const QByteArray& r : healthy.requests)
                written += r.size();
            boundMs += (healthy.bytesRead + written) * 10 * 1000 / *baud;
            // The printer's pauses are kept after each write has left, and stretched by no
            // more than the last byte's time and a poll: as with bytes that leave at once.
            const Outcome& ideal = instantBaseline(command, *baud);
            check(o.gapsUs.size() == ideal.gapsUs.size(), QStringLiteral("other writes"));
            const qint64 byteUs = 10'000'000 / *baud + 1;
            for (qsizetype k = 0; k < qMin(o.gapsUs.size(), ideal.gapsUs.size()); ++k)
                check(o.gapsUs[k] >= ideal.gapsUs[k] - byteUs &&
                          o.gapsUs[k] <= ideal.gapsUs[k] + byteUs + 200,
                      QStringLiteral("pause %1 at the printer: %2 us, %3 us with output at once")
                          .arg(k)
                          .arg(o.gapsUs[k])
                          .arg(ideal.gapsUs[k]));
        }
        check(o.elapsedMs <= boundMs, QStringLiteral("took %1 ms").arg(o.elapsedMs));

        const bool changesAllowed = expect == Expect::Baseline || expect == Expect::Decoded;
        if (!changesAllowed) {
            check(o.files == filesBefore, QStringLiteral("the working directory changed"));
            check(o.rows == rowsBefore, QStringLiteral("the mark changed"));
            check(o.logo == logoBefore, QStringLiteral("the logo changed"));
        }
        // Only the file the healthy command writes may appear or change; nothing is lost.
        for (auto it = filesBefore.cbegin(); it != filesBefore.cend(); ++it) {
            check(o.files.contains(it.key()), it.key() + QStringLiteral(" was lost"));
            if (healthy.files.value(it.key()) == it.value())
                check(o.files.value(it.key()) == it.value(), it.key() + QStringLiteral(" changed"));
        }
        for (const QString& name : o.files.keys())
            check(filesBefore.contains(name) || healthy.files.contains(name),
                  name + QStringLiteral(" appeared"));

        switch (expect) {
        case Expect::Baseline:
            check(o.dialogs == healthy.dialogs,
                  QStringLiteral("dialogs differ:\n") + o.dialogs.join('\n'));
            check(o.rows == healthy.rows, QStringLiteral("the mark differs"));
            check(o.logo == healthy.logo, QStringLiteral("the logo differs"));
            check(o.files == healthy.files, QStringLiteral("the files differ"));
            check(o.requests == healthy.requests, QStringLiteral("the requests differ"));
            check(o.textMarkLamp == healthy.textMarkLamp && o.graphicLamp == healthy.graphicLamp,
                  QStringLiteral("the lamps differ"));
            check(!o.linkError, QStringLiteral("link error set"));
            break;
        case Expect::ReadError:
        case Expect::WriteError: {
            const QString text = expect == Expect::ReadError ? kReadError : kWriteError;
            const bool errorBox = !shown.isEmpty() && shown.last().title == "ОШИБКА" &&
                                  shown.last().text == text &&
                                  shown.last().icon == MessageIcon::Error &&
                                  shown.last().buttons == MessageButtons::Ok;
            check(errorBox, QStringLiteral("not ended by \"") + text + QStringLiteral("\":\n") +
                                o.dialogs.join('\n'));
            // Before it only the command's own questions, as on a healthy line.
            const QStringList before = o.dialogs.mid(0, o.dialogs.size() - 1);
            check(before == healthy.dialogs.mid(0, before.size()),
                  QStringLiteral("other dialogs first:\n") + o.dialogs.join('\n'));
            check(o.textMarkLamp == Lamp::Error || o.graphicLamp == Lamp::Error,
                  QStringLiteral("no red lamp"));
            check(o.linkError, QStringLiteral("no link error"));
            break;
        }
        case Expect::Decoded:
            check(!o.messageTexts.contains(kReadError) && !o.messageTexts.contains(kWriteError),
                  QStringLiteral("a link error for a reply that arrived"));
            for (const auto& m : rig.dialogs.messages()) {
                const bool known =
                    m.title == QString::fromUtf8(c.refusal) || healthy.titles.contains(m.title);
                check(known, QStringLiteral("a box of another command: ") + m.title);
            }
            if (c.kind == Kind::ReadThenSend)
                check(rig.printer.state.printLines == 3, QStringLiteral("lines not set"));
            else
                check(!o.messageTexts.isEmpty() || o.rows != rowsBefore || o.logo != logoBefore,
                      QStringLiteral("the command ended without a word"));
            break;
        case Expect::EmptySlot:
            check(o.messageTexts == QStringList{QStringLiteral("    LOGO#007 EMPTY.     ")},
                  QStringLiteral("not the empty slot: ") + o.messageTexts.join(", "));
            check(!o.linkError, QStringLiteral("link error set"));
            break;
        case Expect::PromptAnyway:
        case Expect::BothErrors: {
            const bool prompted = shown.size() >= 2 && shown[0].text == kReadError &&
                                  shown[1].kind == ScriptedDialogs::Kind::Prompt &&
                                  shown[1].extra.isEmpty();
            check(prompted, QStringLiteral("not the read error, then the prompt without a "
                                           "default:\n") +
                                o.dialogs.join('\n'));
            if (expect == Expect::PromptAnyway) {
                check(shown.size() == 2, QStringLiteral("more dialogs"));
                check(rig.printer.state.printLines == 3 &&
                          o.requests.value(o.requests.size() - 1) == "\x0CS3\x0E",
                      QStringLiteral("lines not set"));
            } else {
                check(shown.size() == 3 && shown[2].text == kWriteError,
                      QStringLiteral("no write error after the prompt"));
                check(rig.printer.state.printLines == 2, QStringLiteral("lines changed"));
                check(o.textMarkLamp == Lamp::Error, QStringLiteral("no red lamp"));
            }
            break;
        }
        }

        // The line is good again: a vanished device is opened anew, then the version query.
        rig.printer.faults = sim::Faults{};
        if (!rig.port.isOpen())
            check(reopenPort(rig.session), QStringLiteral("the port does not reopen"));
        const qsizetype shownBefore = shown.size();
        const bool versionRead = queryVersion(rig.session);
        const QString version = shown.size() == shownBefore + 1 ? shown.last().text : QString();
        check(versionRead &&
                  version == QStringLiteral("Версия Программы Системы Печати:\n\r'K309 v4.12 "
                                            "011010'") &&
                  rig.session.link.modelName == QStringLiteral("K309") && !rig.session.link.error &&
                  rig.status.textMarkLamp == Lamp::Idle && rig.status.graphicLamp == Lamp::Idle,
              QStringLiteral("the next command fails: ") + version);

        for (const KnownFault& k : kKnownFaults) {
            if (k.command == QLatin1String(c.name) && k.fault == fault)
                QEXPECT_FAIL("", k.what, Continue);
        }
        QVERIFY2(failed.isEmpty(), qPrintable(failed.join(QStringLiteral("\n"))));
    }

private:
    const Outcome& baseline(int command) {
        auto it = baselines_.find(command);
        if (it == baselines_.end()) {
            Rig rig;
            it = baselines_.insert(command, runCommand(rig, kCommands[command]));
            [&] {
                QVERIFY2(rig.dialogs.unexpected.isEmpty(), kCommands[command].name);
                QVERIFY2(!it->linkError, kCommands[command].name);
            }();
        }
        return *it;
    }

    // The command at this rate with the host's bytes reaching the printer at once: the pauses
    // the command itself keeps between its writes.
    const Outcome& instantBaseline(int command, int baud) {
        const int key = command * 1000 + (baud == 9600 ? 1 : 2);
        auto it = instantBaselines_.find(key);
        if (it == instantBaselines_.end()) {
            Rig rig;
            rig.session.link.baudRate = baud;
            rig.port.open(rig.session.link.device, baud);
            rig.port.instantOutput = true;
            it = instantBaselines_.insert(key, runCommand(rig, kCommands[command]));
        }
        return *it;
    }

    QHash<int, Outcome> baselines_;
    QHash<int, Outcome> instantBaselines_;
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
