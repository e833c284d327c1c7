// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpus: every file and reply in it comes from our own writers or from the
// simulated printer, so the fuzzers start from inputs the real code paths accept.
//   make_seeds OUTPUT_DIR   ->  OUTPUT_DIR/<fuzzer>/<n>.seed
#include "link/requests.h"
#include "logos/column_packing.h"
#include "logos/picture_files.h"
#include "marks/mark_file.h"
#include "marks/mark_model.h"
#include "marks/mark_record.h"
#include "sim/printer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

QDir gOut;
int gWritten = 0;

void seed(const char* fuzzer, const QByteArray& bytes) {
    const QString dir = gOut.filePath(QString::fromLatin1(fuzzer));
    QDir().mkpath(dir);
    const int n = int(QDir(dir).entryList(QDir::Files).size());
    QFile f(QStringLiteral("%1/%2.seed").arg(dir).arg(n));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_seeds: cannot write %s\n", qPrintable(f.fileName()));
        std::exit(1);
    }
    ++gWritten;
}

// What the simulated printer answers to one request.
QByteArray ask(sim::Printer& printer, const QByteArray& request) {
    printer.feed(request);
    QByteArray out;
    for (const sim::Reply& r : printer.takeReplies())
        out += r.bytes;
    return out;
}

// A logo picture with a frame, a diagonal and a filled block, so every byte row has dots.
QImage pattern(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::black);
    p.drawRect(0, 0, width - 1, height - 1);
    p.drawLine(0, height - 1, width - 1, 0);
    p.fillRect(width / 3, height / 4, width / 4, height / 2, Qt::black);
    return img;
}

QByteArray packed(int width, int height) {
    return logos::packLogoColumns(pattern(width, height), 0, width, height);
}

QByteArray le16(int v) {
    QByteArray out;
    out += char(v & 0xff);
    out += char((v >> 8) & 0xff);
    return out;
}

// A slot as the printer stores it: X, R, then the columns.
QByteArray slotPayload(int width, int height) {
    QByteArray out;
    out += char(width);
    out += char(logos::byteRowsFor(height));
    return out + packed(width, height);
}

marks::MarkRows sampleRows() {
    using namespace marks;
    MarkRows rows = initialRows();
    const QStringList& fn = functionNames();
    const QStringList texts = {QStringLiteral("ПАРТИЯ 12"),
                               QStringLiteral("0001"),
                               QStringLiteral("ДД.ММ.ГГ"),
                               QStringLiteral("007"),
                               QStringLiteral("ГОДЕН ДО"),
                               QStringLiteral("4601234567890"),
                               QString(kMaxTextLength, QLatin1Char('W')),
                               QString()};
    for (int r = 0; r < kFragmentCount; ++r) {
        rows[r][FunctionColumn] = fn[r % fn.size()];
        rows[r][FontColumn] = fontCellText(r % 14);
        rows[r][TextColumn] = texts[r % texts.size()];
        rows[r][FreeColumn] = freePlacesText(rows[r][TextColumn]);
    }
    return rows;
}

void replySeeds() {
    for (const char* model : {"K309", "K307"}) {
        for (const char* firmware : {"011010", "150309", "311299"}) {
            sim::Printer printer;
            printer.state.model = QString::fromLatin1(model);
            printer.state.firmware = QString::fromLatin1(firmware);
            seed("fuzz_version_reply", ask(printer, QByteArrayLiteral("\x11i\x0E")));
        }
    }

    sim::Printer printer;
    seed("fuzz_print_system_reply", ask(printer, QByteArrayLiteral("\x11\x5C\x0E")));
    for (quint8 mode : {0x00, 0x03, 0x55, 0xff}) {
        printer.state.modeByte = mode;
        seed("fuzz_print_mode_reply", ask(printer, QByteArrayLiteral("\x11M\x0E")));
    }
    seed("fuzz_counter_reply", ask(printer, QByteArrayLiteral("\x11w\x0E")));
    seed("fuzz_counter_reply", ask(printer, QByteArrayLiteral("\x11m\x0E")));
    seed("fuzz_print_lines_reply", ask(printer, QByteArrayLiteral("\x11S\x0E")));

    // Stores partly filled, so the maps have both kinds of place.
    const QByteArray mark = marks::encodeMarkData(sampleRows());
    for (int n : {0, 1, 7, 42, 85})
        printer.state.marks[size_t(n)] = mark;
    for (int slot : {0, 5, 127})
        printer.state.logos[size_t(slot)] = slotPayload(40, 24);
    seed("fuzz_area_map_reply", ask(printer, QByteArrayLiteral("\x0Fx\x0E")));
    seed("fuzz_area_map_reply", ask(printer, QByteArrayLiteral("\x0F"
                                                               "a\x0E")));

    seed("fuzz_mark_record_reply", ask(printer, printerlink::markReadRequest(7)));
    seed("fuzz_mark_record_reply", ask(printer, printerlink::markReadRequest(0)));
    printer.state.marks[9] = marks::encodeMarkData(marks::initialRows());
    seed("fuzz_mark_record_reply", ask(printer, printerlink::markReadRequest(9)));

    // The fragment target takes the line and fragment from its first byte.
    for (int line = 1; line <= 4; line += 3)
        for (int fragment = 1; fragment <= 8; fragment += 3)
            seed("fuzz_fragment_reply",
                 char((fragment - 1) * 4 + line - 1) +
                     ask(printer, printerlink::fragmentReadRequest(line, fragment)));

    seed("fuzz_logo_slot_reply", ask(printer, QByteArrayLiteral("\x0Fi007\x0E")));
    for (auto [w, h] : {std::pair{1, 8}, {63, 32}, {200, 16}, {254, 8}}) {
        printer.state.logos[7] = slotPayload(w, h);
        seed("fuzz_logo_slot_reply", ask(printer, QByteArrayLiteral("\x0Fi007\x0E")));
    }

    seed("fuzz_mark_bitmap_reply", ask(printer, QByteArrayLiteral("\x0F"
                                                                  "b\x0E")));
    for (auto [w, h] : {std::pair{1, 8}, {300, 24}, {819, 32}}) {
        printer.state.bitmap = le16(w) + char(logos::byteRowsFor(h)) + packed(w, h);
        seed("fuzz_mark_bitmap_reply", ask(printer, QByteArrayLiteral("\x0F"
                                                                      "b\x0E")));
    }
}

void fileSeeds() {
    seed("fuzz_mark_file", marks::newMarkFileBytes());
    seed("fuzz_mark_file", marks::encodeMarkFile(marks::initialRows()));
    const QByteArray sample = marks::encodeMarkFile(sampleRows());
    seed("fuzz_mark_file", sample);
    // Ten lines only: the reader keeps the rest of the table.
    qsizetype cut = 0;
    for (int i = 0; i < 10; ++i)
        cut = sample.indexOf("\r\n", cut) + 2;
    seed("fuzz_mark_file", sample.left(cut));
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// BMP at the depths the image reader meets in the field; ours writes 24-bit.
QByteArray bmpAtDepth(const QImage& picture, QImage::Format format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(picture.convertToFormat(format));
    return bytes;
}

void pictureSeeds() {
    for (auto [w, h] : {std::pair{1, 8}, {63, 32}, {100, 16}, {250, 8}}) {
        const int r = logos::byteRowsFor(h);
        seed("fuzz_bin_file", logos::encodeBin(w, r, packed(w, h), r * w + 4));
    }
    for (auto [w, h] : {std::pair{1, 8}, {400, 24}, {1664, 32}}) {
        const int r = logos::byteRowsFor(h);
        seed("fuzz_pbm_file", logos::encodePbm(w, r, packed(w, h)));
    }

    QTemporaryDir dir;
    int n = 0;
    for (auto [w, h] : {std::pair{1, 1}, {40, 32}, {400, 32}, {33, 7}}) {
        const QImage picture = pattern(w, h);
        const QString path = dir.filePath(QStringLiteral("%1.bmp").arg(n++));
        if (logos::writeBmp(path, picture).isEmpty())
            seed("fuzz_bmp_file", fileBytes(path));
        for (auto format : {QImage::Format_Mono, QImage::Format_Indexed8, QImage::Format_ARGB32})
            seed("fuzz_bmp_file", bmpAtDepth(picture, format));
    }
    // Refused for its height, so the refusal path has a seed too.
    seed("fuzz_bmp_file", bmpAtDepth(pattern(40, 33), QImage::Format_RGB888));

    // The import: the first byte chooses SVG (odd) or any other picture, and the options.
    for (const char* format : {"png", "jpg", "gif", "tiff", "webp", "bmp"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (pattern(60, 40).save(&buffer, format))
            seed("fuzz_picture_import", QByteArray(1, '\x3e') + bytes);
    }
    seed("fuzz_picture_import",
         QByteArray("\xbf<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 40 20\">"
                    "<rect width=\"20\" height=\"20\"/><text x=\"20\" y=\"15\">A</text></svg>"));
}

// Command bodies as shift scripts send them.
void commandSeeds() {
    for (const QByteArray& body :
         {QByteArray(R"({"id": "shift-7", "args": {"days": 30}})"), QByteArray(R"({"id": "a1"})"),
          QByteArray(R"({"id": "a2", "args": {"days": "9999"}})"),
          QByteArray(R"({"id": "x", "args": {"file": {"name": "m.mrt", "text": "abc"}}})")})
        seed("fuzz_command_payload", body);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds OUTPUT_DIR\n");
        return 2;
    }
    gOut = QDir(QString::fromLocal8Bit(argv[1]));
    replySeeds();
    fileSeeds();
    pictureSeeds();
    commandSeeds();
    std::printf("make_seeds: %d seed files in %s\n", gWritten, argv[1]);
    return 0;
}
