// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/printer.h"

#include "platform/codepage.h"
#include "platform/file_access.h"

#include <QDir>
#include <QRandomGenerator>

#include <cmath>
#include <functional>
#include <utility>

using namespace platform;

namespace sim {

namespace {

constexpr char kEnd = 0x0E;
// The lead bytes of the requests, named as the host's request builders name them.
constexpr quint8 kReadout = 0x11;
constexpr quint8 kStore = 0x0F;
constexpr quint8 kClock = 0x1A;
constexpr quint8 kDateOffset = 0x1D;
constexpr quint8 kLines = 0x0C;
constexpr int kMarkBytes = 1536;
constexpr int kRecordBytes = 48;
constexpr int kRecordText = 44;
constexpr int kSlotStoreBytes = 256;
constexpr int kMarkPlaces = 86;
constexpr int kLogoSlots = 128;
constexpr int kFragmentMax = 256; // the host assembles a fragment write in 256 bytes
constexpr int kLinesTextMax = 16;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
// Typed characters: anything but the control range, which holds every framing byte.
bool isTyped(char c) {
    return quint8(c) >= 0x20;
}
bool isFunctionCode(char c) {
    switch (quint8(c)) {
    case 0x10:
    case 0x18:
    case 0x19:
    case 0x1A:
    case 0x1C:
    case 0x1D:
        return true;
    default:
        return false;
    }
}

int digitsValue(const QByteArray& bytes, int from, int count) {
    int v = 0;
    for (int i = 0; i < count; ++i)
        v = v * 10 + (bytes[from + i] - '0');
    return v;
}

// Record k of a mark holds fragment k / 4 + 1 of line k % 4 + 1.
int recordOf(int line, int fragment) {
    return 4 * (fragment - 1) + (line - 1);
}

QByteArray record(quint8 code, quint8 font, const QString& text) {
    QByteArray r(kRecordBytes, '\0');
    const QByteArray t = toCp1251(text).left(kRecordText);
    r[0] = char(code);
    r[1] = char(font);
    r[2] = char(t.size());
    r.replace(3, t.size(), t);
    return r;
}

QByteArray emptyFragmentsMark() {
    QByteArray m;
    for (int k = 0; k < 32; ++k)
        m += record(0x18, 2, QString());
    return m;
}

void putRecord(QByteArray& mark, int line, int fragment, const QByteArray& rec) {
    mark.replace(recordOf(line, fragment) * kRecordBytes, kRecordBytes, rec);
}

// Column-packed logo: R bytes per column, the first byte the bottom 8 dots.
QByteArray packLogo(int width, int rows, const std::function<bool(int, int)>& dot) {
    const int height = 8 * rows;
    QByteArray out;
    out += char(width);
    out += char(rows);
    for (int x = 0; x < width; ++x) {
        for (int k = 0; k < rows; ++k) {
            quint8 b = 0;
            for (int i = 0; i < 8; ++i) {
                if (dot(x, height - 1 - 8 * k - i))
                    b |= quint8(1u << i);
            }
            out += char(b);
        }
    }
    out.append(kSlotStoreBytes - out.size(), '\0');
    return out;
}

QByteArray defaultSettings() {
    QByteArray s(47, '\0');
    auto put16 = [&s](int at, int v) {
        s[at] = char(v & 0xFF);
        s[at + 1] = char((v >> 8) & 0xFF);
    };
    s[0] = 0x5C;
    put16(1, 50);      // auto-print every 500 ms
    s[4] = 12;         // charge correction of printing drops
    put16(5, 150);     // start delay, ms
    put16(7, 320);     // start delay, pulses
    s[9] = 5;          // drop frequency 94.11 kHz
    s[11] = 16;        // mark height
    s[14] = 3;         // slow-down, coarse
    s[16] = 0x00;      // threshold set automatically
    s[17] = '+';       // running number counts up
    s[18] = 8;         // charge correction of blank drops
    s[19] = 96;        // test drop charge
    s[20] = 4;         // guard drops
    s[22] = 2;         // print rows x8
    s[23] = 40;        // phase test threshold
    s[24] = char(180); // drop generator voltage
    put16(25, 1200);   // slow-down, fine
    s[28] = 1;
    s[29] = 30;
    s[31] = 120; // high-voltage converter 60.9 kHz
    s[35] = 10;
    s[36] = 12;
    s[37] = 14;
    s.replace(39, 4, "0000");
    s[43] = 1;
    s[44] = '0';
    put16(45, 2500);
    return s;
}

QByteArray defaultBitmap() {
    // The mark being printed: a frame with a wave inside, 120 columns of 16 dots.
    const int width = 120;
    const int rows = 2;
    QByteArray b;
    b += char(width & 0xFF);
    b += char(width >> 8);
    b += char(rows);
    for (int x = 0; x < width; ++x) {
        const int wave = 8 + int(5.0 * std::sin(x / 6.0)); // dot y, 0 = top
        quint16 col = 0;
        for (int y = 0; y < 16; ++y) {
            const bool set =
                x == 0 || x == width - 1 || y == 0 || y == 15 || y == wave || y == wave + 1;
            if (set)
                col |= quint16(1u << (15 - y)); // bit 0 of the first byte is the bottom dot
        }
        b += char(col & 0xFF);
        b += char(col >> 8);
    }
    return b;
}

const QString kMarker = QStringLiteral("printer-memory");

QString markFileName(int n) {
    return QStringLiteral("mark%1.bin").arg(n, 2, 10, QLatin1Char('0'));
}
QString logoFileName(int n) {
    return QStringLiteral("logo%1.bin").arg(n, 3, 10, QLatin1Char('0'));
}

} // namespace

PrinterState::PrinterState() {
    settings = defaultSettings();

    QByteArray m0 = emptyFragmentsMark();
    putRecord(m0, 1, 1, record(0x18, 2, QStringLiteral("ПАРТИЯ")));
    putRecord(m0, 1, 2, record(0x19, 2, QStringLiteral("000125")));
    putRecord(m0, 2, 1, record(0x18, 2, QStringLiteral("Изготовлено")));
    putRecord(m0, 2, 2, record(0x1A, 2, QStringLiteral("ДД.ММ.ГГ ЧЧ:ММ")));
    marks[0] = m0;

    QByteArray m1 = emptyFragmentsMark();
    putRecord(m1, 1, 1, record(0x1C, 0, QStringLiteral("000")));
    putRecord(m1, 1, 2, record(0x18, 5, QStringLiteral("Годен до")));
    putRecord(m1, 1, 3, record(0x1D, 5, QStringLiteral("ДД.ММ.ГГГГ")));
    putRecord(m1, 2, 1, record(0x10, 3, QStringLiteral("4600000000001")));
    marks[1] = m1;

    // A framed cross, 32 x 16, and a filled ring, 24 x 24.
    logos[0] = packLogo(32, 2, [](int x, int y) {
        return x == 0 || x == 31 || y == 0 || y == 15 || x == 2 * y || x == 31 - 2 * y;
    });
    logos[1] = packLogo(24, 3, [](int x, int y) {
        const int dx = 2 * x - 23;
        const int dy = 2 * y - 23;
        const int r2 = dx * dx + dy * dy;
        return r2 <= 22 * 22 && r2 >= 12 * 12;
    });

    bitmap = defaultBitmap();
}

struct Printer::Impl {
    QByteArray pending;    // received bytes not yet part of a complete request
    QByteArray dataHeader; // header of a write whose data block is being collected
    int dataNeeded = 0;
    QList<QByteArray> replies;
    QRandomGenerator rng{20260203u};

    enum class Parse { NeedMore, Invalid, Complete };
    struct Result {
        Parse parse;
        int length = 0;
        int dataLength = 0;
    };
    static Result parse(const QByteArray& b);
};

Printer::Printer() : d(std::make_shared<Impl>()) {}

Printer::Impl::Result Printer::Impl::parse(const QByteArray& b) {
    const int n = int(b.size());
    // Checks a fixed-length request: the positions up to `len` must satisfy `ok` and the last
    // one must be the terminator; gives up as soon as a present byte is wrong.
    auto fixed = [&](int len, const std::function<bool(int, char)>& ok,
                     bool lastAny = false) -> Result {
        for (int i = 2; i < qMin(n, len); ++i) {
            const bool good = i == len - 1 ? lastAny || b[i] == kEnd : ok(i, b[i]);
            if (!good)
                return {Parse::Invalid};
        }
        if (n < len)
            return {Parse::NeedMore};
        return {Parse::Complete, len};
    };
    auto none = [](int, char) { return false; };
    auto digitsUpTo = [](int last) {
        return [last](int i, char c) { return i <= last && isDigit(c); };
    };
    auto typed = [](int, char c) { return isTyped(c); };
    // Variable length up to the terminator: a fragment write or the typed print lines.
    auto terminated = [&](int from, int maxLen, bool (*ok)(char)) -> Result {
        for (int i = from; i < n && i < maxLen; ++i) {
            if (b[i] == kEnd)
                return {Parse::Complete, i + 1};
            if (!ok(b[i]))
                return {Parse::Invalid};
        }
        return {n >= maxLen ? Parse::Invalid : Parse::NeedMore};
    };

    if (n < 2)
        return {Parse::NeedMore};
    const quint8 lead = quint8(b[0]);
    const char c = b[1];
    if (lead == kReadout) {
        if (QByteArrayView("iS\\Mwm").contains(c))
            return fixed(3, none);
        if (isDigit(c))
            return fixed(4, digitsUpTo(2));
        return {Parse::Invalid};
    }
    if (lead == kStore) {
        switch (c) {
        case 'x':
        case 'a':
        case 'b':
            return fixed(3, none);
        case 'r':
            return fixed(5, digitsUpTo(3));
        case 't': {
            // The mark data follow the header.
            const Result r = fixed(5, digitsUpTo(3));
            return r.parse == Parse::Complete ? Result{Parse::Complete, 5, kMarkBytes} : r;
        }
        case 'i':
            return fixed(6, digitsUpTo(4));
        case 'l': {
            // The sixth byte is the length's high byte, or the terminator for a delete; the
            // slot payload follows either way.
            const Result r = fixed(6, digitsUpTo(4), true);
            return r.parse == Parse::Complete ? Result{Parse::Complete, 6, kSlotStoreBytes} : r;
        }
        default:
            return {Parse::Invalid};
        }
    }
    if (lead == kLines) {
        if (c != 'S')
            return {Parse::Invalid};
        return terminated(2, 2 + kLinesTextMax, [](char ch) { return isTyped(ch); });
    }
    if ((lead == kClock && (c == 'D' || c == 'T')) || (lead == kDateOffset && c == 'D'))
        return fixed(lead == kClock ? 9 : 7, typed);
    if (isFunctionCode(char(lead)) && isDigit(c)) {
        if (n < 4)
            return n == 3 && !isDigit(b[2]) ? Result{Parse::Invalid} : Result{Parse::NeedMore};
        if (!isDigit(b[2]) || quint8(b[3]) < 0x30 || quint8(b[3]) > 0x3F)
            return {Parse::Invalid};
        return terminated(4, kFragmentMax, [](char ch) { return isTyped(ch); });
    }
    return {Parse::Invalid};
}

void Printer::feed(const QByteArray& bytes) {
    received += bytes;
    Impl& m = *d;
    m.pending += bytes;
    while (!m.pending.isEmpty()) {
        if (m.dataNeeded > 0) {
            const int take = qMin(m.dataNeeded, int(m.pending.size()));
            m.dataHeader += m.pending.left(take);
            m.pending.remove(0, take);
            m.dataNeeded -= take;
            if (m.dataNeeded == 0) {
                const QByteArray request = m.dataHeader;
                m.dataHeader.clear();
                requests.append(request);
                handle(request);
            }
            continue;
        }
        const Impl::Result r = Impl::parse(m.pending);
        if (r.parse == Impl::Parse::NeedMore)
            break;
        if (r.parse == Impl::Parse::Invalid) {
            m.pending.remove(0, 1); // resynchronise on the next byte
            continue;
        }
        const QByteArray request = m.pending.left(r.length);
        m.pending.remove(0, r.length);
        if (r.dataLength > 0) {
            m.dataHeader = request;
            m.dataNeeded = r.dataLength;
            continue;
        }
        requests.append(request);
        handle(request);
    }
}

void Printer::dropPartial() {
    d->pending.clear();
    d->dataHeader.clear();
    d->dataNeeded = 0;
}

bool Printer::expectsMore() const {
    return !d->pending.isEmpty() || d->dataNeeded > 0;
}

void Printer::reply(const QByteArray& bytes) {
    d->replies.append(bytes);
}

void Printer::handle(const QByteArray& r) {
    const quint8 lead = quint8(r[0]);
    const char c = r[1];
    if (lead == kReadout) {
        switch (c) {
        case 'i':
            reply('V' + state.model.toLatin1().leftJustified(4, ' ', true) + state.versionMiddle +
                  state.firmware.toLatin1());
            return;
        case 'S':
            reply(QByteArray(1, 'S') + char(state.printLines));
            return;
        case '\\':
            reply(state.settings);
            return;
        case 'M':
            reply(QByteArray(1, 'M') + char(state.modeByte));
            return;
        case 'w': {
            QByteArray out(1, 'w');
            for (quint8 p : state.hoursPairs)
                out += char(p);
            reply(out);
            return;
        }
        case 'm': {
            QByteArray out(1, 'm');
            for (quint8 p : state.marksPairs)
                out += char(p);
            reply(out);
            return;
        }
        default: { // read fragment: line digit, fragment digit
            const int line = r[1] - '0';
            const int fragment = r[2] - '0';
            const QByteArray& mark = state.marks[0];
            QByteArray rec;
            if (line >= 1 && line <= 4 && fragment >= 1 && fragment <= 8)
                rec = mark.mid(recordOf(line, fragment) * kRecordBytes, kRecordBytes);
            reply(rec.leftJustified(kRecordBytes, '\0')); // tests may store a short mark
            return;
        }
        }
    }
    if (lead == kStore) {
        switch (c) {
        case 'x': {
            QByteArray out;
            for (int k = 1; k < kMarkPlaces; ++k)
                out += state.marks[k].isEmpty() ? 'N' : 'Y';
            reply(out);
            return;
        }
        case 'a': {
            QByteArray out;
            for (int k = 0; k < kLogoSlots; ++k)
                out += state.logos[k].isEmpty() ? 'N' : 'Y';
            reply(out);
            return;
        }
        case 'b':
            reply(state.bitmap.isEmpty() ? QByteArray(2, '\0') : state.bitmap);
            return;
        case 'r': {
            const int n = digitsValue(r, 2, 2);
            const QByteArray& mark = state.marks[n < kMarkPlaces ? n : 0];
            reply(n < kMarkPlaces && !mark.isEmpty() ? mark : QByteArray(kMarkBytes, '\0'));
            return;
        }
        case 't': {
            const int n = digitsValue(r, 2, 2);
            if (n < kMarkPlaces)
                state.marks[n] = r.mid(5, kMarkBytes);
            return;
        }
        case 'i': {
            const int n = digitsValue(r, 2, 3);
            if (n < kLogoSlots && !state.logos[n].isEmpty())
                reply(QByteArray(1, '\0') + state.logos[n]);
            return; // an empty slot does not answer
        }
        case 'l': {
            const int n = digitsValue(r, 2, 3);
            if (n < kLogoSlots) {
                const QByteArray payload = r.mid(6, kSlotStoreBytes);
                const bool clear = r[5] == kEnd || payload.count('\0') == payload.size();
                state.logos[n] = clear ? QByteArray() : payload;
            }
            reply(QByteArray(1, 0x06));
            return;
        }
        }
        return;
    }
    if (lead == kLines) {
        int v = 0;
        int i = 2;
        while (i < r.size() && r[i] == ' ')
            ++i;
        bool any = false;
        for (; i < r.size() && isDigit(r[i]) && v < 100; ++i, any = true)
            v = v * 10 + (r[i] - '0');
        const int limit = state.model == QLatin1String("K309") ? 4 : 2;
        if (any && v >= 1 && v <= limit)
            state.printLines = quint8(v);
        return;
    }
    if (lead == kClock && c == 'D') {
        state.clockDate = r.mid(2, 6);
        return;
    }
    if (lead == kClock && c == 'T') {
        state.clockTime = r.mid(2, 6);
        return;
    }
    if (lead == kDateOffset && c == 'D') {
        state.dateOffset = r.mid(2, 4);
        if (state.settings.size() >= 43)
            state.settings.replace(39, 4, state.dateOffset);
        return;
    }
    // Fragment write into the mark being printed: code, line, fragment, '0' + font, text.
    const int line = r[1] - '0';
    const int fragment = r[2] - '0';
    if (line < 1 || line > 4 || fragment < 1 || fragment > 8)
        return;
    QByteArray& mark = state.marks[0];
    if (mark.isEmpty())
        mark = emptyFragmentsMark();
    else if (mark.size() < kMarkBytes)
        mark = mark.leftJustified(kMarkBytes, '\0');
    const QByteArray text = r.mid(4, r.size() - 5).left(kRecordText);
    QByteArray rec(kRecordBytes, '\0');
    rec[0] = r[0];
    rec[1] = char(quint8(r[3]) - 0x30);
    rec[2] = char(text.size());
    rec.replace(3, text.size(), text);
    putRecord(mark, line, fragment, rec);
}

QList<Reply> Printer::takeReplies() {
    QList<Reply> out;
    const QList<QByteArray> produced = std::exchange(d->replies, {});
    if (faults.silent)
        return out;
    for (QByteArray bytes : produced) {
        if (faults.shortReply >= 0)
            bytes.truncate(faults.shortReply);
        if (faults.garbage) {
            for (char& ch : bytes)
                ch = char(d->rng.bounded(256));
        }
        if (!bytes.isEmpty())
            out.append({bytes, faults.latencyMs});
    }
    return out;
}

bool Printer::save(const QString& folder, QString* failedFile) const {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        if (failedFile)
            *failedFile = folder;
        return false;
    }
    bool ok = true;
    auto store = [&](const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        bool stored = true;
        if (bytes.isEmpty()) {
            stored = !dir.exists(name) || dir.remove(name);
        } else {
            // Only what changed is written: a save of every place after each write would hold
            // up the replies for as long as the disk takes to sync two hundred files.
            const platform::FileRead old = platform::readRegularFile(path, bytes.size() + 1);
            if (!old.ok() || old.bytes != bytes)
                stored = platform::saveFileAtomically(path, bytes);
        }
        if (!stored && ok && failedFile)
            *failedFile = path;
        ok = ok && stored;
    };
    store(kMarker, QByteArrayLiteral("marks and logo slots\n"));
    for (int n = 0; n < kMarkPlaces; ++n)
        store(markFileName(n), state.marks[n]);
    for (int n = 0; n < kLogoSlots; ++n)
        store(logoFileName(n), state.logos[n]);
    return ok;
}

bool Printer::load(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists(kMarker))
        return false; // never saved: keep the factory memory
    auto fetch = [&dir](const QString& name, int size, QByteArray& into) {
        if (!dir.exists(name)) {
            into.clear();
            return true;
        }
        const platform::FileRead file = platform::readRegularFile(dir.filePath(name), size + 1);
        if (!file.ok() || file.bytes.size() != size)
            return false; // a damaged file leaves the place as it was
        into = file.bytes;
        return true;
    };
    bool ok = true;
    for (int n = 0; n < kMarkPlaces; ++n)
        ok = fetch(markFileName(n), kMarkBytes, state.marks[n]) && ok;
    for (int n = 0; n < kLogoSlots; ++n)
        ok = fetch(logoFileName(n), kSlotStoreBytes, state.logos[n]) && ok;
    return ok;
}

} // namespace sim
