// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/codepage.h"
#include "sim/printer.h"

#include <QTemporaryDir>
#include <QTest>

using namespace platform;

namespace {

QByteArray zeros(int n) {
    return QByteArray(n, '\0');
}
QByteArray bytes(const char* s, int n) {
    return QByteArray(s, n);
}

// Record k of mark 0: text function, font k, one letter 'A' + k.
QByteArray record(int k) {
    return bytes("\x18", 1) + char(k) + char(1) + char('A' + k) + zeros(44);
}

// A printer whose memory the expectations below spell out byte by byte.
void known(sim::Printer& p) {
    p.state.settings = QByteArray("settings block ..................0000........");
    p.state.modeByte = 0xA5;
    for (auto& m : p.state.marks)
        m.clear();
    for (auto& l : p.state.logos)
        l.clear();
    QByteArray mark0;
    for (int k = 0; k < 32; ++k)
        mark0 += record(k);
    p.state.marks[0] = mark0;
    p.state.marks[1] = QByteArray(1536, '\x01');
    p.state.marks[85] = QByteArray(1536, '\x55');
    p.state.logos[0] = bytes("\x02\x01\x81\x42", 4) + zeros(252);
    p.state.logos[127] = bytes("\x01\x01\xFF", 3) + zeros(253);
    p.state.bitmap = bytes("\x02\x00\x01\x81\x42", 5);
}

QByteArray allReplies(sim::Printer& p) {
    QByteArray out;
    for (const sim::Reply& r : p.takeReplies())
        out += r.bytes;
    return out;
}

QByteArray probe(const sim::Printer& p, const QString& what) {
    const sim::PrinterState& s = p.state;
    if (what == "clockDate")
        return s.clockDate;
    if (what == "clockTime")
        return s.clockTime;
    if (what == "dateOffset")
        return s.dateOffset + '/' + s.settings.mid(39, 4);
    if (what == "printLines")
        return QByteArray::number(s.printLines);
    if (what.startsWith("record"))
        return s.marks[0].mid(48 * what.mid(6).toInt(), 48);
    if (what.startsWith("mark"))
        return s.marks[what.mid(4).toInt()];
    if (what.startsWith("logo"))
        return s.logos[what.mid(4).toInt()];
    return "?";
}

} // namespace

class TstPrinter : public QObject {
    Q_OBJECT
private slots:
    void readsAnsweredWhateverTheSplit_data();
    void readsAnsweredWhateverTheSplit();
    void writesStoredWhateverTheSplit_data();
    void writesStoredWhateverTheSplit();
    void noiseBeforeARequestIsSkipped_data();
    void noiseBeforeARequestIsSkipped();
    void faultsShapeTheReplies_data();
    void faultsShapeTheReplies();
    void memoryKeptInAFolder();
};

void TstPrinter::readsAnsweredWhateverTheSplit_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("version") << QByteArray("\x11i\x0E") << QByteArray("VK309 v4.12 011010");
    QTest::newRow("print lines") << QByteArray("\x11S\x0E") << QByteArray("S\x02");
    QTest::newRow("settings") << QByteArray("\x11\\\x0E")
                              << QByteArray("settings block ..................0000........");
    QTest::newRow("mode") << QByteArray("\x11M\x0E") << QByteArray("M\xA5");
    QTest::newRow("hours") << QByteArray("\x11w\x0E") << bytes("w\x00\x01\x17\x2D", 5);
    QTest::newRow("marks printed")
        << QByteArray("\x11m\x0E") << bytes("m\x00\x00\x00\x01\x02\x03", 7);
    QTest::newRow("text area") << QByteArray("\x0Fx\x0E") << 'Y' + QByteArray(83, 'N') + 'Y';
    QTest::newRow("graphic area") << QByteArray("\x0F\x61\x0E") << 'Y' + QByteArray(126, 'N') + 'Y';
    QTest::newRow("bitmap") << QByteArray("\x0F\x62\x0E") << bytes("\x02\x00\x01\x81\x42", 5);
    QTest::newRow("fragment 25 is record 17")
        << QByteArray("\x11\x32\x35\x0E") << bytes("\x18\x11\x01R", 4) + zeros(44);
    QTest::newRow("fragment 41 is record 3")
        << QByteArray("\x11\x34\x31\x0E") << bytes("\x18\x03\x01\x44", 4) + zeros(44);
    QTest::newRow("fragment 00") << QByteArray("\x11\x30\x30\x0E") << zeros(48);
    QTest::newRow("mark 01") << QByteArray("\x0Fr01\x0E") << QByteArray(1536, '\x01');
    QTest::newRow("mark 85") << QByteArray("\x0Fr85\x0E") << QByteArray(1536, '\x55');
    QTest::newRow("empty mark 02") << QByteArray("\x0Fr02\x0E") << zeros(1536);
    QTest::newRow("logo 000") << QByteArray("\x0Fi000\x0E")
                              << bytes("\x00\x02\x01\x81\x42", 5) + zeros(252);
    QTest::newRow("empty logo 005") << QByteArray("\x0Fi005\x0E") << QByteArray();
    QTest::newRow("logo 200") << QByteArray("\x0Fi200\x0E") << QByteArray();
}

void TstPrinter::readsAnsweredWhateverTheSplit() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    for (int split = 0; split <= request.size(); ++split) {
        sim::Printer p;
        known(p);
        p.feed(request.left(split));
        p.feed(request.mid(split));
        QCOMPARE(p.requests, QList<QByteArray>{request});
        QCOMPARE(allReplies(p), reply);
    }
    sim::Printer p; // and one byte at a time
    known(p);
    for (char b : request)
        p.feed(QByteArray(1, b));
    QCOMPARE(allReplies(p), reply);
}

void TstPrinter::writesStoredWhateverTheSplit_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("reply");
    const QByteArray ack("\x06");
    QTest::newRow("date") << QByteArray("\x1A\x44"
                                        "030226\x0E")
                          << "clockDate" << QByteArray("030226") << QByteArray();
    QTest::newRow("time") << QByteArray("\x1AT090507\x0E") << "clockTime" << QByteArray("090507")
                          << QByteArray();
    QTest::newRow("date offset") << QByteArray("\x1D\x44"
                                               "0030\x0E")
                                 << "dateOffset" << QByteArray("0030/0030") << QByteArray();
    QTest::newRow("lines 3") << QByteArray("\x0CS3\x0E") << "printLines" << QByteArray("3")
                             << QByteArray();
    QTest::newRow("lines 9 refused")
        << QByteArray("\x0CS9\x0E") << "printLines" << QByteArray("2") << QByteArray();
    QTest::newRow("fragment 25") << QByteArray("\x19\x32\x35\x32"
                                               "ABC\x0E")
                                 << "record17"
                                 << bytes("\x19\x02\x03"
                                          "ABC",
                                          6) +
                                        zeros(42)
                                 << QByteArray();
    QTest::newRow("date/time fragment 11, font 12")
        << QByteArray("\x1A\x31\x31\x3C") + toCp1251("ДД") + '\x0E' << "record0"
        << bytes("\x1A\x0C\x02\xC4\xC4", 5) + zeros(43) << QByteArray();
    QTest::newRow("post-date fragment 48, empty")
        << QByteArray("\x1D\x34\x38\x30\x0E") << "record31" << bytes("\x1D\x00\x00", 3) + zeros(45)
        << QByteArray();
    QTest::newRow("text cut to 44")
        << QByteArray("\x18\x31\x32\x30") + QByteArray(60, 'x') + '\x0E' << "record4"
        << bytes("\x18\x00\x2C", 3) + QByteArray(44, 'x') + '\0' << QByteArray();
    QTest::newRow("fragment 00 goes nowhere") << QByteArray("\x18\x30\x30\x32"
                                                            "AB\x0E")
                                              << "record0" << record(0) << QByteArray();
    QByteArray mark(1536, 'm');
    mark[0] = '\x0E'; // data may hold any byte, the terminator included
    QTest::newRow("mark 07") << QByteArray("\x0Ft07\x0E") + mark << "mark7" << mark << QByteArray();
    const QByteArray logo = bytes("\x3F\x04", 2) + QByteArray(252, '\x0E') + zeros(2);
    QTest::newRow("logo 012") << bytes("\x0Fl012\x00", 6) + logo << "logo12" << logo << ack;
    QTest::newRow("delete logo 000")
        << QByteArray("\x0Fl000\x0E") + zeros(256) << "logo0" << QByteArray() << ack;
}

void TstPrinter::writesStoredWhateverTheSplit() {
    QFETCH(QByteArray, request);
    QFETCH(QString, what);
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, reply);
    const int step = qMax(1, int(request.size()) / 40); // long writes: a sample of splits
    for (int split = 0; split <= request.size(); split += step) {
        sim::Printer p;
        known(p);
        p.feed(request.left(split));
        p.feed(request.mid(split));
        QCOMPARE(p.requests, QList<QByteArray>{request});
        QCOMPARE(probe(p, what), stored);
        QCOMPARE(allReplies(p), reply);
    }
}

void TstPrinter::noiseBeforeARequestIsSkipped_data() {
    QTest::addColumn<QByteArray>("noise");
    QTest::newRow("random bytes") << bytes("\xFF\x00\x42\x0E", 4);
    QTest::newRow("unknown read-out") << QByteArray("\x11q");
    QTest::newRow("lead bytes only") << QByteArray("\x0F\x0F\x11");
    QTest::newRow("cut-off clock") << QByteArray("\x1A\x44"
                                                 "0302");
    QTest::newRow("fragment without end") << QByteArray("\x18\x31\x31\x32"
                                                        "ABC");
    QTest::newRow("mark number in letters") << QByteArray("\x0FrAB\x0E");
    QTest::newRow("bad font byte") << QByteArray("\x19\x31\x31\x7F"
                                                 "A\x0E");
}

void TstPrinter::noiseBeforeARequestIsSkipped() {
    QFETCH(QByteArray, noise);
    sim::Printer p;
    p.feed(noise);
    p.feed(QByteArray("\x11i\x0E"));
    QCOMPARE(p.requests, QList<QByteArray>{QByteArray("\x11i\x0E")});
    QCOMPARE(allReplies(p), QByteArray("VK309 v4.12 011010"));
}

void TstPrinter::faultsShapeTheReplies_data() {
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("shortReply");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("none") << false << -1 << QByteArray("VK309 v4.12 011010");
    QTest::newRow("silent") << true << -1 << QByteArray();
    QTest::newRow("short 3") << false << 3 << QByteArray("VK3");
    QTest::newRow("short 0") << false << 0 << QByteArray();
    QTest::newRow("short beyond the reply") << false << 100 << QByteArray("VK309 v4.12 011010");
}

void TstPrinter::faultsShapeTheReplies() {
    QFETCH(bool, silent);
    QFETCH(int, shortReply);
    QFETCH(QByteArray, reply);
    sim::Printer p;
    p.faults.silent = silent;
    p.faults.shortReply = shortReply;
    p.faults.latencyMs = 7;
    p.feed(QByteArray("\x11i\x0E"));
    const QList<sim::Reply> got = p.takeReplies();
    QCOMPARE(got.size(), reply.isEmpty() ? 0 : 1);
    if (!got.isEmpty()) {
        QCOMPARE(got[0].bytes, reply);
        QCOMPARE(got[0].delayMs, 7);
    }

    // Garbage keeps the length, differs from the truth and is the same on every run.
    sim::Printer a, b;
    a.faults.garbage = b.faults.garbage = true;
    a.faults.shortReply = b.faults.shortReply = shortReply;
    a.feed(QByteArray("\x11i\x0E"));
    b.feed(QByteArray("\x11i\x0E"));
    const QByteArray ga = allReplies(a);
    QCOMPARE(ga.size(), qMin(18, shortReply < 0 ? 18 : shortReply));
    QCOMPARE(allReplies(b), ga);
    if (ga.size() > 4)
        QVERIFY(ga != QByteArray("VK309 v4.12 011010").left(ga.size()));
}

void TstPrinter::memoryKeptInAFolder() {
    QTemporaryDir dir;
    sim::Printer fresh;
    QVERIFY(!fresh.load(dir.path())); // never saved: the factory memory stays
    QCOMPARE(fresh.state.marks[1], sim::Printer().state.marks[1]);

    sim::Printer p;
    p.state.marks[1].clear(); // a factory mark removed must stay removed
    p.state.marks[42] = QByteArray(1536, '\x2A');
    p.state.logos[99] = bytes("\x01\x01\x7E", 3) + zeros(253);
    QVERIFY(p.save(dir.path()));
    p.state.marks[42].clear(); // a place freed later is freed on disk too
    QVERIFY(p.save(dir.path()));

    sim::Printer q;
    QVERIFY(q.load(dir.path()));
    QCOMPARE(q.state.marks, p.state.marks);
    QCOMPARE(q.state.logos, p.state.logos);
}

QTEST_GUILESS_MAIN(TstPrinter)
#include "tst_printer.moc"
