// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/mark_json.h"
#include "operations/operation_parts.h"
#include "operations/registry.h"

#include "device/mark_bitmap_view.h"
#include "device/readouts.h"
#include "link/link_messages.h"
#include "link/printer_settings.h"
#include "link/request_exchange.h"
#include "link/version_query.h"
#include "logos/column_packing.h"
#include "logos/logo_transfer.h"
#include "logos/picture_files.h"
#include "marks/fragment_transfer.h"
#include "marks/mark_file.h"
#include "marks/mark_transfer.h"
#include "operations/readout_values.h"
#include "operations/series_table.h"
#include "platform/plain_text.h"

#include <QBuffer>
#include <QImageWriter>
#include <QJsonArray>

using namespace printerlink;
using platform::plainText;

namespace operations {

namespace {

Outcome failed(const Failure& f) {
    Outcome o;
    o.failure = f;
    return o;
}

// Before a reply is kept in a file: a line still talking after it makes it worthless.
std::optional<Failure> talking(Session& s) {
    constexpr int kListenMs = 50;
    if (!lineStillTalking(s, kListenMs))
        return std::nullopt;
    s.link.error = true;
    return stillTalkingFailure();
}

// The short form of a failure the window words for its box.
Failure briefly(Failure f, const QString& brief) {
    f.brief = brief;
    return f;
}

void noteIfShort(Outcome& o, const Reply& reply) {
    if (!reply.complete)
        o.notes.append(plainText(incompleteReplyText(reply.bytes.size(), reply.needed)));
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}
QString threeDigits(int n) {
    return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

Result<QByteArray> readFile(const QString& path) {
    QString error;
    const QByteArray bytes = logos::readFileStart(path, logos::PackedFileReadLimit, &error);
    if (!error.isEmpty())
        return fileFailure(error);
    return bytes;
}

std::optional<Failure> writeFile(const QString& path, const QByteArray& bytes) {
    if (const QString error = logos::writeFileAtomically(path, bytes); !error.isEmpty())
        return fileFailure(error);
    return std::nullopt;
}

Argument markNumber() {
    Argument a = integer(QStringLiteral("mark"), 0, 85, QStringLiteral("номер марки"),
                         QStringLiteral("номер марки, 0 - печатаемая"));
    a.metavar = QStringLiteral("N");
    return a;
}

Argument slotNumber(int last) {
    Argument a = integer(QStringLiteral("slot"), 0, last, QStringLiteral("номер логотипа"),
                         QStringLiteral("ячейка логотипа"));
    a.metavar = QStringLiteral("SLOT");
    return a;
}

Argument fragmentLine() {
    return integer(QStringLiteral("line"), 1, 4, QStringLiteral("номер строки"),
                   QStringLiteral("строка марки"));
}

Argument fragmentNumber() {
    return integer(QStringLiteral("fragment"), 1, 8, QStringLiteral("номер фрагмента"),
                   QStringLiteral("фрагмент в строке"));
}

// --- the read-outs ---

Outcome readoutOutcome(const Result<device::Readout>& readout) {
    if (!readout)
        return failed(readout.failure());
    Outcome o;
    o.text = plainText(readout->shownText());
    o.json.insert(QStringLiteral("values"), readoutValues(readout->shownText()));
    o.json.insert(QStringLiteral("text"), o.text);
    noteIfShort(o, readout->reply);
    return o;
}

Outcome version(Session& s, const Arguments&) {
    const auto reply = readVersion(s);
    if (!reply)
        return failed(reply.failure());
    Outcome o;
    o.text = reply->text.mid(1);
    o.json.insert(QStringLiteral("model"), reply->modelName);
    o.json.insert(QStringLiteral("version"), o.text);
    o.json.insert(QStringLiteral("oldFirmware"), reply->oldFirmware);
    if (!reply->dated)
        o.notes.append(plainText(incompleteReplyText(reply->received, 0)));
    return o;
}

Outcome settings(Session& s, const Arguments&) {
    // The layout of the block depends on the model, which the version tells.
    if (const auto v = readVersion(s); !v)
        return failed(v.failure());
    return readoutOutcome(device::readSettings(s));
}

Outcome printMode(Session& s, const Arguments&) {
    return readoutOutcome(device::readPrintMode(s));
}

Outcome counter(Session& s, device::Counter which) {
    const auto reading = device::readCounter(s, which);
    if (!reading)
        return failed(reading.failure());
    Outcome o;
    o.text = plainText(reading->sentence);
    o.json.insert(QStringLiteral("value"), reading->number);
    o.json.insert(QStringLiteral("text"), o.text);
    noteIfShort(o, reading->reply);
    return o;
}

Outcome areaMap(const Result<device::AreaMap>& map) {
    if (!map)
        return failed(map.failure());
    Outcome o;
    o.text = plainText(map->text);
    o.json.insert(QStringLiteral("occupied"), jsonNumbers(map->occupied));
    noteIfShort(o, map->reply);
    return o;
}

// --- marks and fragments ---

Outcome readMark(Session& s, const Arguments& args) {
    const int n = args.integer(QStringLiteral("mark"));
    const auto mark = marks::readMark(s, n);
    if (!mark) {
        if (mark.failure().kind == FailureKind::Refused)
            return failed(
                briefly(mark.failure(), QStringLiteral("Марка %1 пуста.").arg(twoDigits(n))));
        return failed(mark.failure());
    }
    if (const auto f = talking(s))
        return failed(*f);
    Outcome o;
    o.json.insert(QStringLiteral("mark"), n);
    if (!mark->complete())
        o.notes.append(plainText(incompleteReplyText(mark->received, marks::kMarkDataSize)));
    if (const auto error =
            writeFile(args.text(QStringLiteral("file")), marks::encodeMarkFile(mark->rows)))
        o.failure = error;
    else
        o.json.insert(QStringLiteral("file"), args.text(QStringLiteral("file")));
    return o;
}

Outcome writeMark(Session& s, const Arguments& args) {
    const int n = args.integer(QStringLiteral("mark"));
    const QString file = args.text(QStringLiteral("file"));
    const auto bytes = readFile(file);
    if (!bytes)
        return failed(bytes.failure());
    const auto rows = marks::decodeMarkFile(*bytes, marks::initialRows());
    if (!rows)
        return failed(badInput(QStringLiteral("'%1' - не файл марки").arg(file)));
    if (const auto sent = marks::writeMark(s, n, *rows); !sent)
        return failed(sent.failure());
    Outcome o;
    o.notes.append(QStringLiteral("Запись Марки #%1 успешно завершена.").arg(twoDigits(n)));
    o.json.insert(QStringLiteral("mark"), n);
    return o;
}

Outcome showMark(Session&, const Arguments& args) {
    const QString file = args.text(QStringLiteral("file"));
    const auto bytes = readFile(file);
    if (!bytes)
        return failed(bytes.failure());
    // As the file holds them: fonts 14 and 15 stay what they are.
    const auto rows = marks::decodeMarkFile(*bytes, marks::initialRows(), marks::FileFonts::Keep);
    if (!rows)
        return failed(badInput(QStringLiteral("'%1' - не файл марки").arg(file)));
    Outcome o;
    o.text = markRowsText(*rows);
    o.json.insert(QStringLiteral("fragments"), markRowsJson(*rows));
    return o;
}

Outcome readFragment(Session& s, const Arguments& args) {
    const marks::FragmentAddress at{args.integer(QStringLiteral("line")),
                                    args.integer(QStringLiteral("fragment"))};
    const auto read = marks::readFragment(s, at);
    if (!read)
        return failed(read.failure());
    Outcome o;
    o.text = fragmentText(read->fragment);
    o.json = fragmentJson(at, read->fragment);
    if (!read->usable)
        o.failure =
            linkFailure(plainText(incompleteReplyText(read->reply.bytes.size(), read->textEnd)));
    return o;
}

Outcome writeFragment(Session& s, const Arguments& args) {
    const marks::FragmentAddress at{args.integer(QStringLiteral("line")),
                                    args.integer(QStringLiteral("fragment"))};
    marks::Fragment f;
    f.function = functionCodeOfKeyword(args.text(QStringLiteral("function")));
    f.font = args.integer(QStringLiteral("font"));
    f.text = args.text(QStringLiteral("text"));
    if (const auto sent = marks::writeFragment(s, at, f); !sent)
        return failed(sent.failure());
    Outcome o;
    o.json = fragmentJson(at, f);
    return o;
}

// --- logos and the bitmap ---

Outcome readLogo(Session& s, const Arguments& args) {
    const int slot = args.integer(QStringLiteral("slot"));
    const auto read = logos::readLogoSlot(s, slot);
    if (!read) {
        if (read.failure().kind != FailureKind::Refused)
            return failed(read.failure());
        return failed(
            briefly(read.failure(),
                    read.failure().title.contains(QLatin1String("Data Error"))
                        ? QStringLiteral("Логотип %1: неверный формат.").arg(threeDigits(slot))
                        : QStringLiteral("Логотип %1 пуст.").arg(threeDigits(slot))));
    }
    if (read->overrun) {
        s.link.error = true;
        return failed(stillTalkingFailure());
    }
    if (const auto f = talking(s))
        return failed(*f);
    Outcome o;
    o.json.insert(QStringLiteral("slot"), slot);
    o.json.insert(QStringLiteral("width"), read->width);
    o.json.insert(QStringLiteral("height"), read->byteRows * 8);
    if (!read->complete)
        return failed(linkFailure(plainText(
            incompleteReplyText(read->reply.size(), 3 + qint64(read->width) * read->byteRows))));
    if (const auto error = writeFile(args.text(QStringLiteral("file")), read->binFile()))
        o.failure = error;
    else
        o.json.insert(QStringLiteral("file"), args.text(QStringLiteral("file")));
    return o;
}

Outcome writeLogo(Session& s, const Arguments& args) {
    const int slot = args.integer(QStringLiteral("slot"));
    const QString file = args.text(QStringLiteral("file"));
    const auto bytes = readFile(file);
    if (!bytes)
        return failed(bytes.failure());
    const bool pbm = file.endsWith(QStringLiteral(".pbm"), Qt::CaseInsensitive);
    const logos::PackedDecode d = pbm ? logos::decodePbm(*bytes) : logos::decodeBin(*bytes);
    if (!d.ok())
        return failed(badInput(QStringLiteral("'%1': ").arg(file) + d.error));
    if (const auto sent = logos::writeLogoSlot(s, slot, d.picture); !sent)
        return failed(sent.failure());
    Outcome o;
    o.notes.append(logos::slotWrittenText(slot));
    o.json.insert(QStringLiteral("slot"), slot);
    return o;
}

Outcome deleteLogo(Session& s, const Arguments& args) {
    const int slot = args.integer(QStringLiteral("slot"));
    if (const auto cleared = logos::deleteLogoSlot(s, slot); !cleared)
        return failed(cleared.failure());
    Outcome o;
    o.notes.append(logos::slotClearedText(slot));
    o.json.insert(QStringLiteral("slot"), slot);
    return o;
}

// A picture by its name's ending: the dots as PNG (or another format Qt writes), or a BIN file.
std::optional<Failure> writeBitmapFile(const QString& path, const device::MarkBitmap& bitmap) {
    const int width = bitmap.header.width;
    const int byteRows = bitmap.header.byteRows;
    if (path.endsWith(QStringLiteral(".bin"), Qt::CaseInsensitive))
        return writeFile(path,
                         logos::encodeBin(width, byteRows, bitmap.columns, width * byteRows + 2));
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(suffix))
        return badInput(logos::unwritableTypeText(QFileInfo(path).suffix()));
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!logos::unpackColumns(bitmap.columns, width, byteRows).save(&buffer, suffix.constData()))
        return fileFailure(logos::unwritableFileText(QFileInfo(path).fileName()));
    return writeFile(path, encoded);
}

Outcome markBitmap(Session& s, const Arguments& args) {
    const auto bitmap = device::readMarkBitmap(s);
    if (!bitmap)
        return failed(bitmap.failure());
    if (const auto f = talking(s))
        return failed(*f);
    Outcome o;
    o.json.insert(QStringLiteral("width"), bitmap->header.width);
    o.json.insert(QStringLiteral("height"), bitmap->header.byteRows * 8);
    if (!bitmap->reply.complete)
        return failed(linkFailure(plainText(device::markBitmapIncompleteText(*bitmap))));
    const QString file = args.text(QStringLiteral("file"));
    if (const auto error = writeBitmapFile(file, *bitmap))
        o.failure = error;
    else
        o.json.insert(QStringLiteral("file"), file);
    return o;
}

// --- settings ---

Outcome setClock(Session& s, const Arguments& args) {
    const QString when = args.text(QStringLiteral("time"));
    ClockDigits digits;
    if (when == QLatin1String("now")) {
        digits = clockDigits(s.clock.now());
    } else {
        const QDateTime t = QDateTime::fromString(when, Qt::ISODate);
        if (!t.isValid() || when.size() != 19)
            return failed(argumentRefusal(QStringLiteral("время - now или ГГГГ-ММ-ДДTчч:мм:сс")));
        digits = clockDigits(t);
    }
    if (const auto sent = writeClock(s, digits); !sent)
        return failed(sent.failure());
    Outcome o;
    o.json.insert(QStringLiteral("date"), QString::fromLatin1(digits.date));
    o.json.insert(QStringLiteral("time"), QString::fromLatin1(digits.time));
    return o;
}

Outcome setDateOffset(Session& s, const Arguments& args) {
    const int days = args.integer(QStringLiteral("days"));
    if (const auto sent = writeDateOffset(s, days); !sent)
        return failed(sent.failure());
    Outcome o;
    o.json.insert(QStringLiteral("days"), days);
    return o;
}

Outcome setLines(Session& s, const Arguments& args) {
    // The model decides the limit.
    if (const auto v = readVersion(s); !v)
        return failed(v.failure());
    const int lines = args.integer(QStringLiteral("lines"));
    if (const auto sent = writePrintLines(s, lines); !sent)
        return failed(sent.failure());
    Outcome o;
    o.json.insert(QStringLiteral("lines"), lines);
    return o;
}

Outcome listPorts(Session& s, const Arguments&) {
    QJsonArray ports;
    QStringList lines;
    for (const platform::PortEntry& p : s.catalogue.ports()) {
        ports.append(QJsonObject{{QStringLiteral("name"), p.name},
                                 {QStringLiteral("device"), p.device},
                                 {QStringLiteral("description"), p.friendlyName}});
        lines.append(p.name + QLatin1Char('\t') + p.device + QLatin1Char('\t') + p.friendlyName);
    }
    Outcome o;
    o.json.insert(QStringLiteral("ports"), ports);
    o.text = lines.join(QLatin1Char('\n'));
    return o;
}

Operation reading(const QString& name, const QString& summary,
                  std::function<Outcome(Session&, const Arguments&)> run) {
    return {name, summary, {}, true, false, std::move(run), true};
}

} // namespace

const QList<Operation>& all() {
    static const QList<Operation> table = [] {
        QList<Operation> t;
        t.append({QStringLiteral("ports"),
                  QStringLiteral("Список последовательных портов: имя, устройство, описание."),
                  {},
                  false,
                  false,
                  listPorts,
                  false});
        t.append(reading(QStringLiteral("version"),
                         QStringLiteral("Версия программы Маркиратора и его модель."), version));
        t.append(reading(QStringLiteral("settings"), QStringLiteral("Уставки системы печати."),
                         settings));
        t.append(
            reading(QStringLiteral("mode"), QStringLiteral("Уставки режима печати."), printMode));
        t.append(reading(QStringLiteral("hours"), QStringLiteral("Время работы Маркиратора."),
                         [](Session& s, const Arguments&) {
                             return counter(s, device::Counter::RunningHours);
                         }));
        t.append(reading(QStringLiteral("printed"), QStringLiteral("Число отпечатанных марок."),
                         [](Session& s, const Arguments&) {
                             return counter(s, device::Counter::PrintedMarks);
                         }));
        t.append(reading(
            QStringLiteral("text-map"), QStringLiteral("Занятые места текстовых марок (01..85)."),
            [](Session& s, const Arguments&) { return areaMap(device::readTextMarkMap(s)); }));
        t.append(reading(
            QStringLiteral("logo-map"), QStringLiteral("Занятые ячейки логотипов (000..127)."),
            [](Session& s, const Arguments&) { return areaMap(device::readGraphicMap(s)); }));
        t.append({QStringLiteral("read-mark"),
                  QStringLiteral("Читает марку N (0..85, 0 - печатаемая) в файл марки."),
                  {markNumber(), path(QStringLiteral("file"), ArgType::File,
                                      QStringLiteral("FILE.mrt"), QStringLiteral("файл марки"))},
                  true,
                  false,
                  readMark,
                  false});
        t.append({QStringLiteral("write-mark"),
                  QStringLiteral("Записывает файл марки в марку N (0..85, 0 - печатаемая)."),
                  {markNumber(), path(QStringLiteral("file"), ArgType::File,
                                      QStringLiteral("FILE.mrt"), QStringLiteral("файл марки"))},
                  true,
                  true,
                  writeMark});
        t.append({QStringLiteral("show-mark"),
                  QStringLiteral("Показывает 32 фрагмента файла марки: функция, шрифт, текст. "
                                 "Маркиратор не нужен."),
                  {path(QStringLiteral("file"), ArgType::File, QStringLiteral("FILE.mrt"),
                        QStringLiteral("файл марки"))},
                  false,
                  false,
                  showMark});
        Argument text;
        text.name = QStringLiteral("text");
        text.type = ArgType::Text;
        text.help = QStringLiteral("текст фрагмента, не более 44 символов Windows-1251");
        Argument function;
        function.name = QStringLiteral("function");
        function.type = ArgType::Choice;
        function.positional = false;
        function.choices = functionKeywords();
        function.help = QStringLiteral("функция фрагмента");
        Argument font = integer(QStringLiteral("font"), 0, 15, QStringLiteral("номер шрифта"),
                                QStringLiteral("шрифт"));
        font.positional = false;
        font.metavar = QStringLiteral("NN");
        t.append({QStringLiteral("read-fragment"),
                  QStringLiteral("Читает фрагмент печатаемой марки: функция, шрифт, текст."),
                  {fragmentLine(), fragmentNumber()},
                  true,
                  false,
                  readFragment,
                  true});
        t.append({QStringLiteral("write-fragment"),
                  QStringLiteral("Записывает фрагмент печатаемой марки. Текст проверяется, как в "
                                 "окне: не более 44 байт в Windows-1251, без символов вне "
                                 "кодировки и без перевода строки."),
                  {fragmentLine(), fragmentNumber(), function, font, text},
                  true,
                  true,
                  writeFragment});
        t.append({QStringLiteral("read-logo"),
                  QStringLiteral("Читает ячейку логотипа (0..255) в файл BIN, байт в байт."),
                  {slotNumber(255), path(QStringLiteral("file"), ArgType::File,
                                         QStringLiteral("FILE"), QStringLiteral("файл BIN"))},
                  true,
                  false,
                  readLogo,
                  false});
        t.append(
            {QStringLiteral("write-logo"),
             QStringLiteral("Записывает файл BIN (или PBM по расширению .pbm) в ячейку "
                            "0..127."),
             {slotNumber(127), path(QStringLiteral("file"), ArgType::File, QStringLiteral("FILE"),
                                    QStringLiteral("файл BIN или PBM"))},
             true,
             true,
             writeLogo});
        t.append({QStringLiteral("delete-logo"),
                  QStringLiteral("Очищает ячейку логотипа 0..127."),
                  {slotNumber(127)},
                  true,
                  true,
                  deleteLogo});
        t.append({QStringLiteral("mark-bitmap"),
                  QStringLiteral("Бит-карта печатаемой марки в файл: рисунок (PNG, BMP) или "
                                 "BIN по расширению."),
                  {path(QStringLiteral("file"), ArgType::File, QStringLiteral("FILE.png|FILE.bin"),
                        QStringLiteral("файл рисунка"))},
                  true,
                  false,
                  markBitmap,
                  false});
        Argument when;
        when.name = QStringLiteral("time");
        when.type = ArgType::Text;
        when.required = false;
        when.defaultValue = QStringLiteral("now");
        when.metavar = QStringLiteral("now|YYYY-MM-DDThh:mm:ss");
        when.help = QStringLiteral("время");
        t.append({QStringLiteral("set-clock"),
                  QStringLiteral("Ставит часы Маркиратора по часам компьютера или на указанное "
                                 "время."),
                  {when},
                  true,
                  true,
                  setClock});
        Argument days = integer(QStringLiteral("days"), 0, 9999, QStringLiteral("смещение даты"),
                                QStringLiteral("дней"));
        days.metavar = QStringLiteral("DAYS");
        days.unit = QStringLiteral("дней");
        Argument lines = integer(QStringLiteral("lines"), 1, 4, QStringLiteral("число строк"),
                                 QStringLiteral("строк печати"));
        lines.metavar = QStringLiteral("N");
        t.append({QStringLiteral("set-date-offset"),
                  QStringLiteral("Смещение даты для ПостДаты, 0..9999 дней."),
                  {days},
                  true,
                  true,
                  setDateOffset});
        t.append({QStringLiteral("set-lines"),
                  QStringLiteral("Число строк печати: 1..4 у K309, 1..2 у K307."),
                  {lines},
                  true,
                  true,
                  setLines});
        t.append(seriesOperations());
        return t;
    }();
    return table;
}

} // namespace operations
