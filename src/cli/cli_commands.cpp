// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_commands.h"

#include "cli/cli_dialogs.h"
#include "cli/cli_import_picture.h"
#include "cli/cli_text.h"
#include "cli/console_text.h"
#include "device/area_map_text.h"
#include "device/area_maps.h"
#include "device/counters_readout.h"
#include "device/print_mode_readout.h"
#include "device/print_system_readout.h"
#include "link/port_opening.h"
#include "link/printer_settings.h"
#include "link/session.h"
#include "link/version_query.h"
#include "logos/logo_transfer.h"
#include "logos/picture_files.h"
#include "marks/mark_file.h"
#include "marks/mark_record.h"
#include "marks/mark_transfer.h"
#include "marks/text_check.h"
#include "service/logo_parts.h"
#include "service/service_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <functional>

using namespace platform;
using namespace printerlink;

namespace cli {

namespace {

// Status and lamps have no screen here; the messages say what happened.
class SilentStatus : public StatusView {
public:
    void setLamp(LampTarget, Lamp) override {}
    void setField(MarkField, const QString&) override {}
    void setField(GraphicField, const QString&) override {}
};

struct Run {
    Session& s;
    CliDialogs& dialogs;
    CliSeams seams;
    QStringList args;
    QJsonObject result;
    QString text; // what the command prints on stdout without --json

    // 1 after a link failure, 2 after a refusal shown, else 0.
    int status() const {
        if (s.link.error)
            return PrinterFailure;
        return dialogs.errorShown() ? UsageError : Success;
    }
    void message(const QString& m) const { writeText(seams.err, m + QLatin1Char('\n')); }
};

struct Command {
    QString name;
    QString synopsis;
    QString help;
    int minArgs;
    int maxArgs;
    bool needsPort;
    std::function<int(Run&)> run;
};

// A whole decimal number within [low, high], or nothing.
std::optional<int> wholeNumber(const QString& text, int low, int high) {
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    if (!ok || n < low || n > high)
        return std::nullopt;
    return n;
}

int usage(const Run& r, const QString& why) {
    r.message(QStringLiteral("inkwick-cli: ") + why);
    return UsageError;
}

QJsonArray jsonNumbers(const QList<int>& list) {
    QJsonArray out;
    for (int n : list)
        out.append(n);
    return out;
}

int readoutText(Run& r, const std::optional<QString>& text) {
    if (!text)
        return r.status();
    r.text = plainText(*text);
    r.result.insert(QStringLiteral("values"), readoutValues(*text));
    r.result.insert(QStringLiteral("text"), r.text);
    return Success;
}

int counter(Run& r, device::Counter which) {
    const auto reply = fetchCounter(r.s, which);
    if (!reply)
        return r.status();
    r.text = plainText(device::counterSentence(*reply, which));
    r.result.insert(QStringLiteral("value"), device::counterNumberText(*reply, which));
    r.result.insert(QStringLiteral("text"), r.text);
    return Success;
}

int areaMap(Run& r, bool marksMap) {
    const auto reply = marksMap ? fetchTextMarkMap(r.s) : fetchGraphicMap(r.s);
    if (!reply)
        return r.status();
    const int first = marksMap ? 1 : 0;
    const int count = marksMap ? 85 : 128;
    QList<int> occupied;
    for (int k = 0; k < count; ++k)
        if (reply->at(k) == 'Y')
            occupied.append(first + k);
    r.text = plainText(marksMap ? device::textMarkAreaText(*reply, r.s.wideLayout)
                                : device::graphicAreaText(*reply));
    r.result.insert(QStringLiteral("occupied"), jsonNumbers(occupied));
    return Success;
}

QByteArray readWholeFile(Run& r, const QString& path, int* status) {
    QString error;
    const QByteArray bytes = logos::readFileStart(path, logos::PackedFileReadLimit, &error);
    if (!error.isEmpty()) {
        r.message(plainText(error));
        *status = FileError;
    }
    return bytes;
}

int writeFile(Run& r, const QString& path, const QByteArray& bytes) {
    if (const QString error = logos::writeFileAtomically(path, bytes); !error.isEmpty()) {
        r.message(plainText(error));
        return FileError;
    }
    r.result.insert(QStringLiteral("file"), path);
    return Success;
}

int readMark(Run& r) {
    const auto n = wholeNumber(r.args[0], 0, 85);
    if (!n)
        return usage(r, QStringLiteral("номер марки - от 0 до 85"));
    const auto reader = *n == 0 ? marks::MarkReader::Current : marks::MarkReader::ByNumber;
    const auto reply = marks::fetchMarkReply(r.s, *n, reader);
    if (!reply)
        return r.status();
    if (marks::isEmptyMarkReply(*reply)) {
        r.message(QStringLiteral("Марка %1 пуста.").arg(*n, 2, 10, QLatin1Char('0')));
        return PrinterFailure;
    }
    marks::MarkRows rows = marks::initialRows();
    marks::decodeMarkData(*reply, reader, rows);
    r.result.insert(QStringLiteral("mark"), *n);
    return writeFile(r, r.args[1], marks::encodeMarkFile(rows));
}

int writeMark(Run& r) {
    const auto n = wholeNumber(r.args[0], 0, 85);
    if (!n)
        return usage(r, QStringLiteral("номер марки - от 0 до 85"));
    int status = Success;
    const QByteArray bytes = readWholeFile(r, r.args[1], &status);
    if (status != Success)
        return status;
    const auto rows = marks::decodeMarkFile(bytes, marks::initialRows());
    if (!rows)
        return usage(r, QStringLiteral("'%1' - не файл марки").arg(r.args[1]));
    if (const auto problems = marks::checkTexts(*rows, true); problems.any()) {
        r.message(
            plainText(marks::textProblemsMessage(problems, QStringLiteral("Марка не записана."))));
        return UsageError;
    }
    if (!marks::sendMark(r.s, *n, *rows))
        return r.status();
    r.message(
        QStringLiteral("Запись Марки #%1 успешно завершена.").arg(*n, 2, 10, QLatin1Char('0')));
    r.result.insert(QStringLiteral("mark"), *n);
    return Success;
}

int readLogo(Run& r) {
    const auto slot = wholeNumber(r.args[0], 0, 255);
    if (!slot)
        return usage(r, QStringLiteral("номер логотипа - от 0 до 255"));
    const auto read = fetchLogoSlot(r.s, *slot);
    if (!read)
        return r.status();
    if (read->state != SlotRead::Data) {
        r.message(read->state == SlotRead::Empty || read->state == SlotRead::OneByte
                      ? QStringLiteral("Логотип %1 пуст.").arg(*slot, 3, 10, QLatin1Char('0'))
                      : QStringLiteral("Логотип %1: неверный формат.")
                            .arg(*slot, 3, 10, QLatin1Char('0')));
        return PrinterFailure;
    }
    r.result.insert(QStringLiteral("slot"), *slot);
    r.result.insert(QStringLiteral("width"), read->width);
    r.result.insert(QStringLiteral("height"), read->byteRows * 8);
    return writeFile(r, r.args[1], read->binFile());
}

int writeLogo(Run& r) {
    const auto slot = wholeNumber(r.args[0], 0, 127);
    if (!slot)
        return usage(r, QStringLiteral("номер логотипа - от 0 до 127"));
    int status = Success;
    const QByteArray bytes = readWholeFile(r, r.args[1], &status);
    if (status != Success)
        return status;
    const bool pbm = r.args[1].endsWith(QStringLiteral(".pbm"), Qt::CaseInsensitive);
    const logos::PackedDecode d = pbm ? logos::decodePbm(bytes) : logos::decodeBin(bytes);
    if (!d.ok())
        return usage(r, QStringLiteral("'%1': ").arg(r.args[1]) + plainText(d.error));
    const logos::PackedPicture& p = d.picture;
    if (p.width < 1 || p.width > 254 || p.width * p.byteRows > logos::SlotBytes)
        return usage(r, QStringLiteral("логотип %1x%2 не помещается в ячейку Маркиратора "
                                       "(%3 байт, допустимо не более 252)")
                            .arg(p.width)
                            .arg(p.byteRows * 8)
                            .arg(p.width * p.byteRows));
    if (!sendSlotPayload(r.s, *slot, QByteArray(1, char(p.width)) + char(p.byteRows) + p.columns))
        return r.status();
    r.message(
        QStringLiteral("Передача Логотипа #%1 завершена.").arg(*slot, 3, 10, QLatin1Char('0')));
    r.result.insert(QStringLiteral("slot"), *slot);
    return Success;
}

int deleteLogo(Run& r) {
    const auto slot = wholeNumber(r.args[0], 0, 127);
    if (!slot)
        return usage(r, QStringLiteral("номер логотипа - от 0 до 127"));
    if (!clearSlot(r.s, *slot))
        return r.status();
    r.message(
        QStringLiteral("Очистка Логотипа #%1 завершена.").arg(*slot, 3, 10, QLatin1Char('0')));
    r.result.insert(QStringLiteral("slot"), *slot);
    return Success;
}

int setClock(Run& r) {
    const QString when = r.args.value(0, QStringLiteral("now"));
    if (when == QLatin1String("now")) {
        r.dialogs.queueAnswer(MessageAnswer::Yes);
    } else {
        const QDateTime t = QDateTime::fromString(when, Qt::ISODate);
        if (!t.isValid() || when.size() != 19)
            return usage(r, QStringLiteral("время - now или ГГГГ-ММ-ДДTчч:мм:сс"));
        r.dialogs.queueAnswer(MessageAnswer::No);
        const ClockDigits d = clockDigits(t);
        r.dialogs.queueText(QString::fromLatin1(d.date + ' ' + d.time));
    }
    setPrinterClock(r.s);
    return r.status();
}

int setOffset(Run& r) {
    if (!wholeNumber(r.args[0], 0, 9999))
        return usage(r, QStringLiteral("смещение даты - от 0 до 9999 дней"));
    r.dialogs.queueText(r.args[0]);
    r.dialogs.queueAnswer(MessageAnswer::Yes);
    setDateOffset(r.s);
    return r.status();
}

int setLines(Run& r) {
    if (!fetchVersion(r.s))
        return r.status();
    const int limit = printLinesLimit(r.s.link.modelName);
    if (!wholeNumber(r.args[0], 1, limit))
        return usage(
            r, QStringLiteral("число строк у %1 - от 1 до %2").arg(r.s.link.modelName).arg(limit));
    r.dialogs.queueText(r.args[0]);
    setPrintLines(r.s);
    return r.status();
}

int reportOf(Run& r, const service::ServiceReport& report) {
    r.result.insert(QStringLiteral("folder"), report.folder);
    r.result.insert(QStringLiteral("marks"), jsonNumbers(report.marks));
    r.result.insert(QStringLiteral("logos"), jsonNumbers(report.logos));
    if (!report.clearedLogos.isEmpty())
        r.result.insert(QStringLiteral("cleared"), jsonNumbers(report.clearedLogos));
    if (!report.failed.isEmpty())
        r.result.insert(QStringLiteral("failed"), QJsonArray::fromStringList(report.failed));
    if (!report.notWritten.isEmpty())
        r.result.insert(QStringLiteral("not_written"),
                        QJsonArray::fromStringList(report.notWritten));
    switch (report.outcome) {
    case service::Outcome::Done:
        return Success;
    case service::Outcome::LinkFailed:
        return PrinterFailure;
    case service::Outcome::NotConfirmed:
        return UsageError;
    case service::Outcome::FileError:
        return FileError;
    case service::Outcome::Stopped:
        return Interrupted;
    }
    return PrinterFailure;
}

int writeParts(Run& r) {
    const auto first = wholeNumber(r.args[0], 0, 127);
    if (!first)
        return usage(r, QStringLiteral("номер ячейки - от 0 до 127"));
    const service::LogoParts parts = service::readLogoParts(r.args[1]);
    if (!parts.ok()) {
        r.message(QStringLiteral("inkwick-cli: ") + plainText(parts.error));
        return parts.unreadable ? FileError : UsageError;
    }
    if (*first + parts.files.size() > 128)
        return usage(r, QStringLiteral("частей %1: последняя ячейка %2 больше 127")
                            .arg(parts.files.size())
                            .arg(*first + parts.files.size() - 1));
    const service::ServiceReport report = service::writeSlotSeries(
        r.s, QStringLiteral("Запись частей рисунка"), parts.inSlots(*first));
    if (!report.notWritten.isEmpty())
        r.message(QStringLiteral("Не записаны: ") + report.notWritten.join(QStringLiteral(", ")));
    for (const QString& f : report.failed)
        r.message(QStringLiteral("Не подтверждено: ") + f);
    if (report.outcome == service::Outcome::Done)
        r.message(QStringLiteral("Части рисунка записаны в ячейки %1..%2.")
                      .arg(report.logos.first(), 3, 10, QLatin1Char('0'))
                      .arg(report.logos.last(), 3, 10, QLatin1Char('0')));
    return reportOf(r, report);
}

int backup(Run& r) {
    return reportOf(r, service::backupTo(r.s, r.args[0]));
}

int restore(Run& r) {
    QString folder;
    bool yes = false;
    bool withCurrent = false;
    for (const QString& a : r.args) {
        if (a == QLatin1String("--yes"))
            yes = true;
        else if (a == QLatin1String("--with-current"))
            withCurrent = true;
        else if (a.startsWith(QLatin1String("--")) || !folder.isEmpty())
            return usage(r, QStringLiteral("restore: лишний аргумент '%1'").arg(a));
        else
            folder = a;
    }
    if (folder.isEmpty())
        return usage(r, QStringLiteral("restore: не указана папка копии"));
    const auto answer = [](bool b) { return b ? MessageAnswer::Yes : MessageAnswer::No; };
    r.dialogs.answerByTitle(service::otherModelTitle(), answer(yes));
    r.dialogs.answerByTitle(service::restoreTitle(), answer(yes));
    r.dialogs.answerByTitle(service::currentMarkTitle(), answer(withCurrent));
    const int status = reportOf(r, service::restoreFrom(r.s, folder));
    if (status == UsageError && !yes)
        r.message(QStringLiteral("inkwick-cli: восстановление не подтверждено (добавьте --yes)"));
    return status;
}

int compare(Run& r) {
    const service::ServiceReport report = service::compareWith(r.s, r.args[0]);
    r.result.insert(QStringLiteral("differences"), QJsonArray::fromStringList(report.differences));
    r.text = report.differences.join(QLatin1Char('\n'));
    const int status = reportOf(r, report);
    r.result.remove(QStringLiteral("marks"));
    r.result.remove(QStringLiteral("logos"));
    return status;
}

int listPorts(Run& r) {
    QJsonArray ports;
    QStringList lines;
    for (const PortEntry& p : r.seams.catalogue.ports()) {
        ports.append(QJsonObject{{QStringLiteral("name"), p.name},
                                 {QStringLiteral("device"), p.device},
                                 {QStringLiteral("description"), p.friendlyName}});
        lines.append(p.name + QLatin1Char('\t') + p.device + QLatin1Char('\t') + p.friendlyName);
    }
    r.result.insert(QStringLiteral("ports"), ports);
    r.text = lines.join(QLatin1Char('\n'));
    return Success;
}

int version(Run& r) {
    const auto reply = fetchVersion(r.s);
    if (!reply)
        return r.status();
    r.text = reply->text.mid(1);
    r.result.insert(QStringLiteral("model"), reply->modelName);
    r.result.insert(QStringLiteral("version"), r.text);
    r.result.insert(QStringLiteral("oldFirmware"), reply->oldFirmware);
    return Success;
}

const QList<Command>& commands() {
    static const QList<Command> table{
        {QStringLiteral("ports"), QStringLiteral("ports"),
         QStringLiteral("Список последовательных портов: имя, устройство, описание."), 0, 0, false,
         listPorts},
        {QStringLiteral("version"), QStringLiteral("version"),
         QStringLiteral("Версия программы Маркиратора и его модель."), 0, 0, true, version},
        {QStringLiteral("settings"), QStringLiteral("settings"),
         QStringLiteral("Уставки системы печати."), 0, 0, true,
         [](Run& r) {
             if (!fetchVersion(r.s))
                 return r.status();
             return readoutText(r, printSystemSettingsReadout(r.s));
         }},
        {QStringLiteral("mode"), QStringLiteral("mode"), QStringLiteral("Уставки режима печати."),
         0, 0, true, [](Run& r) { return readoutText(r, printModeReadout(r.s)); }},
        {QStringLiteral("hours"), QStringLiteral("hours"),
         QStringLiteral("Время работы Маркиратора."), 0, 0, true,
         [](Run& r) { return counter(r, device::Counter::RunningHours); }},
        {QStringLiteral("printed"), QStringLiteral("printed"),
         QStringLiteral("Число отпечатанных марок."), 0, 0, true,
         [](Run& r) { return counter(r, device::Counter::PrintedMarks); }},
        {QStringLiteral("text-map"), QStringLiteral("text-map"),
         QStringLiteral("Занятые места текстовых марок (01..85)."), 0, 0, true,
         [](Run& r) { return areaMap(r, true); }},
        {QStringLiteral("logo-map"), QStringLiteral("logo-map"),
         QStringLiteral("Занятые ячейки логотипов (000..127)."), 0, 0, true,
         [](Run& r) { return areaMap(r, false); }},
        {QStringLiteral("read-mark"), QStringLiteral("read-mark N FILE.mrt"),
         QStringLiteral("Читает марку N (0..85, 0 - печатаемая) в файл марки."), 2, 2, true,
         readMark},
        {QStringLiteral("write-mark"), QStringLiteral("write-mark N FILE.mrt"),
         QStringLiteral("Записывает файл марки в марку N (0..85, 0 - печатаемая)."), 2, 2, true,
         writeMark},
        {QStringLiteral("read-logo"), QStringLiteral("read-logo SLOT FILE"),
         QStringLiteral("Читает ячейку логотипа (0..255) в файл BIN, байт в байт."), 2, 2, true,
         readLogo},
        {QStringLiteral("write-logo"), QStringLiteral("write-logo SLOT FILE"),
         QStringLiteral("Записывает файл BIN (или PBM по расширению .pbm) в ячейку 0..127."), 2, 2,
         true, writeLogo},
        {QStringLiteral("write-parts"), QStringLiteral("write-parts SLOT FILE_1"),
         QStringLiteral("Записывает части разбитого рисунка (FILE_1 - первая часть, name_1.bin "
                        "или name_1.bmp; за ней name_2, ...) в ячейки SLOT, SLOT+1, ... и читает "
                        "каждую обратно. Все части проверяются до записи."),
         2, 2, true, writeParts},
        {QStringLiteral("delete-logo"), QStringLiteral("delete-logo SLOT"),
         QStringLiteral("Очищает ячейку логотипа 0..127."), 1, 1, true, deleteLogo},
        {QStringLiteral("set-clock"), QStringLiteral("set-clock [now|YYYY-MM-DDThh:mm:ss]"),
         QStringLiteral("Ставит часы Маркиратора по часам компьютера или на указанное время."), 0,
         1, true, setClock},
        {QStringLiteral("set-date-offset"), QStringLiteral("set-date-offset DAYS"),
         QStringLiteral("Смещение даты для ПостДаты, 0..9999 дней."), 1, 1, true, setOffset},
        {QStringLiteral("set-lines"), QStringLiteral("set-lines N"),
         QStringLiteral("Число строк печати: 1..4 у K309, 1..2 у K307."), 1, 1, true, setLines},
        {QStringLiteral("backup"), QStringLiteral("backup DIR"),
         QStringLiteral("Резервная копия памяти Маркиратора в новую папку DIR: marks/NN.mrt, "
                        "logos/NNN.bin, readouts.txt, manifest.json. Папка появляется целиком "
                        "или не появляется вовсе."),
         1, 1, true, backup},
        {QStringLiteral("restore"), QStringLiteral("restore DIR [--with-current] [--yes]"),
         QStringLiteral("Восстанавливает марки 01..85 и ячейки логотипов из копии DIR и читает "
                        "каждую обратно. Без --yes только показывает, что будет записано. "
                        "--with-current записывает и текущую марку 00. Копия с изменённым или "
                        "недостающим файлом отвергается целиком, до записи."),
         1, 3, true, restore},
        {QStringLiteral("import-picture"), importPictureSynopsis(), importPictureHelp(), 2, 14,
         false,
         [](Run& r) {
             return importPicture(r.args, r.result, r.text,
                                  [&r](const QString& m) { r.message(m); });
         }},
        {QStringLiteral("compare"), QStringLiteral("compare DIR"),
         QStringLiteral("Сравнивает Маркиратор с копией DIR, ничего не записывая."), 1, 1, true,
         compare},
    };
    return table;
}

QString generalHelp() {
    QString text = QStringLiteral(
        "Использование: inkwick-cli [--port DEVICE|COMn] [--baud N] [--json] COMMAND ...\n"
        "Команды:\n");
    for (const Command& c : commands())
        text += QStringLiteral("  ") + c.synopsis + QLatin1Char('\n');
    text += QStringLiteral(
        "inkwick-cli COMMAND --help - описание команды.\n"
        "Порт по умолчанию - COM1, первый в списке ports; скорость 115200.\n"
        "Код выхода: 0 успех, 1 отказ Маркиратора или линии, 2 ошибка в аргументах или "
        "данных, 3 ошибка файла, 130 остановлено по Ctrl+C.\n"
        "Ctrl+C: начатая марка или логотип передаются целиком, backup, restore, compare и\n"
        "write-parts останавливаются перед следующим пунктом; второй Ctrl+C - сразу.\n");
    return text;
}

void print(std::FILE* f, const QString& text) {
    if (text.isEmpty())
        return;
    writeText(f, text);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', f);
    std::fflush(f);
}

// Opens the port named by --port: a device path as given, COMn through the port list.
bool openPort(Session& s, const QString& name, int baud, const Run& r) {
    QString device = name;
    QString portName = name;
    if (!name.contains(QLatin1Char('/'))) {
        const QList<PortEntry> ports = s.catalogue.ports();
        const auto it = std::find_if(ports.begin(), ports.end(), [&](const PortEntry& p) {
            return p.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == ports.end()) {
            r.message(
                QStringLiteral("inkwick-cli: порта %1 нет (см. inkwick-cli ports)").arg(name));
            return false;
        }
        device = it->device;
        portName = it->name;
    }
    s.link.portName = portName;
    s.link.device = device;
    s.link.baudRate = baud;
    if (!s.port.open(device, baud)) {
        r.message(plainText(openFailureText(portName, s.port.lastOpenError())));
        return false;
    }
    s.link.open = true;
    return true;
}

} // namespace

int runCli(const QStringList& arguments, CliSeams seams) {
    CliDialogs dialogs(seams.err, seams.interrupted);
    SilentStatus status;
    Session s(seams.port, seams.clock, dialogs, seams.catalogue, status);
    s.workDir = QDir::current();
    Run r{s, dialogs, seams, {}, {}, {}};

    QString port = QStringLiteral("COM1");
    int baud = 115200;
    bool json = false;
    qsizetype i = 0;
    for (; i < arguments.size() && arguments[i].startsWith(QLatin1Char('-')); ++i) {
        const QString a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            print(seams.out, generalHelp());
            return Success;
        }
        if (a == QLatin1String("--json")) {
            json = true;
        } else if ((a == QLatin1String("--port") || a == QLatin1String("--baud")) &&
                   i + 1 < arguments.size()) {
            const QString value = arguments[++i];
            if (a == QLatin1String("--port")) {
                port = value;
            } else if (const auto b = wholeNumber(value, 50, 4000000)) {
                baud = *b;
            } else {
                return usage(r, QStringLiteral("--baud: скорость - число, например 115200"));
            }
        } else {
            return usage(r, QStringLiteral("неизвестный параметр %1 (см. --help)").arg(a));
        }
    }
    if (i >= arguments.size())
        return usage(r, QStringLiteral("не указана команда (см. --help)"));
    const QString name = arguments[i];
    const auto& table = commands();
    const auto command =
        std::find_if(table.begin(), table.end(), [&](const Command& c) { return c.name == name; });
    if (command == table.end())
        return usage(r, QStringLiteral("неизвестная команда %1 (см. --help)").arg(name));
    r.args = arguments.mid(i + 1);
    if (r.args.contains(QStringLiteral("--help")) || r.args.contains(QStringLiteral("-h"))) {
        print(seams.out, QStringLiteral("inkwick-cli [--port DEVICE|COMn] [--baud N] [--json] ") +
                             command->synopsis + QStringLiteral("\n") + command->help);
        return Success;
    }
    if (r.args.size() < command->minArgs || r.args.size() > command->maxArgs)
        return usage(r, QStringLiteral("использование: inkwick-cli ") + command->synopsis);

    int code = Success;
    if (command->needsPort && !openPort(s, port, baud, r))
        code = PrinterFailure;
    else
        code = command->run(r);
    if (s.port.isOpen())
        s.port.close();

    if (json) {
        QJsonObject out = r.result;
        out.insert(QStringLiteral("command"), name);
        out.insert(QStringLiteral("exit"), code);
        if (!dialogs.problems().isEmpty())
            out.insert(QStringLiteral("messages"), QJsonArray::fromStringList(dialogs.problems()));
        print(seams.out, QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact)));
    } else {
        print(seams.out, r.text);
    }
    return code;
}

} // namespace cli
