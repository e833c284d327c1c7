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
#include "link/operation_scope.h"
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
#include "operations/registry.h"
#include "service/logo_parts.h"
#include "service/service_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

using namespace platform;
using namespace device;
using namespace logos;
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

    void message(const QString& m) const { dialogs.note(m); }
};

// The commands that are no printer operation: they report through the dialogs.
struct OwnCommand {
    QString name;
    QString synopsis;
    QString help;
    int minArgs;
    int maxArgs;
    std::function<int(Run&)> run;
    bool needsPort = true;
};

int usage(const Run& r, const QString& why) {
    r.message(QStringLiteral("inkwick-cli: ") + why);
    return UsageError;
}

const QList<OwnCommand>& ownCommands() {
    static const QList<OwnCommand> table{
        {QStringLiteral("import-picture"), importPictureSynopsis(), importPictureHelp(), 2, 14,
         [](Run& r) {
             return importPicture(r.args, r.result, r.text,
                                  [&r](const QString& m) { r.message(m); });
         },
         false},
    };
    return table;
}

const OwnCommand* ownCommandNamed(const QString& name) {
    for (const OwnCommand& c : ownCommands()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

// The line a failure leaves on stderr: a box's title and text, or what a box would not say.
QString failureLine(const Failure& f) {
    if (!f.brief.isEmpty())
        return f.brief;
    const QString text = plainText(f.text);
    if (f.kind == FailureKind::File)
        return text;
    if (f.title.isEmpty())
        return QStringLiteral("inkwick-cli: ") + text;
    return f.title + QStringLiteral(": ") + text;
}

QString generalHelp() {
    QString text = QStringLiteral(
        "Использование: inkwick-cli [--port DEVICE|COMn] [--baud N] [--json] COMMAND ...\n"
        "               inkwick-cli --help | --version\n"
        "Команды:\n");
    for (const operations::Operation& op : operations::all())
        text += QStringLiteral("  ") + operations::usageLine(op) + QLatin1Char('\n');
    for (const OwnCommand& c : ownCommands())
        text += QStringLiteral("  ") + c.synopsis + QLatin1Char('\n');
    text += QStringLiteral(
        "inkwick-cli COMMAND --help - описание команды.\n"
        "Порт по умолчанию - COM1, первый в списке ports; скорость 115200.\n"
        "Код выхода: 0 успех, 1 отказ Маркиратора или линии, 2 ошибка в аргументах или "
        "данных, 3 ошибка файла, 4 compare: есть отличия, 130 остановлено по Ctrl+C.\n"
        "Ctrl+C: начатая марка или логотип передаются целиком, backup, restore, compare и\n"
        "write-parts останавливаются перед следующим пунктом; второй Ctrl+C - сразу.\n");
    return text;
}

// False when the text did not all get out (stdout on a full disk, a closed pipe).
bool print(std::FILE* f, const QString& text) {
    if (text.isEmpty())
        return true;
    writeText(f, text);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', f);
    return std::fflush(f) == 0 && !std::ferror(f);
}

// Opens the port named by --port: a device path as given, COMn through the port list.
bool openPort(Session& s, const QString& name, int baud, const Run& r) {
    if (const auto opened = openPortByName(s, name, baud); !opened) {
        r.message(opened.failure().brief.isEmpty() ? plainText(opened.failure().text)
                                                   : opened.failure().brief);
        return false;
    }
    return true;
}

// One operation of the registry: its arguments checked, run, its outcome said.
int runOperation(Run& r, const operations::Operation& op, bool needsPort,
                 const std::function<bool()>& openIt) {
    const auto args =
        operations::argumentsFromCommandLine(op, r.args, QStringLiteral("inkwick-cli"));
    if (!args) {
        r.message(failureLine(args.failure()));
        return UsageError;
    }
    if (needsPort && !openIt())
        return PrinterFailure;
    const operations::Outcome out = operations::invoke(r.s, op, *args);
    for (const QString& note : out.notes)
        r.message(note);
    if (out.failure)
        r.message(failureLine(*out.failure));
    r.text = out.ok() ? out.text : QString();
    r.result = out.json;
    return operations::exitStatusOf(out);
}

} // namespace

int runCli(const QStringList& arguments, CliSeams seams) {
    CliDialogs dialogs(seams.err, seams.interrupted);
    SilentStatus status;
    Session s(seams.port, seams.clock, dialogs, seams.catalogue, status);
    s.workDir = QDir::current();
    Run r{s, dialogs, seams, {}, {}, {}};

    // A script that asked for JSON gets one object, whatever the run came to: usage errors too.
    const bool json = arguments.contains(QStringLiteral("--json"));
    QString name;
    const auto finish = [&](int code) {
        if (s.port.isOpen())
            s.port.close();
        // Output a script never got is a file error, not a success.
        const auto printed = [&](const QString& text) {
            if (print(seams.out, text) || code != Success)
                return code;
            r.message(QStringLiteral("inkwick-cli: вывод не записан: ") +
                      QString::fromLocal8Bit(std::strerror(errno)));
            return int(FileError);
        };
        if (!json)
            return printed(r.text);
        QJsonObject out = r.result;
        if (!name.isEmpty())
            out.insert(QStringLiteral("command"), name);
        out.insert(QStringLiteral("exit"), code);
        if (!dialogs.messages().isEmpty())
            out.insert(QStringLiteral("messages"), QJsonArray::fromStringList(dialogs.messages()));
        return printed(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact)));
    };
    const auto help = [&](const QString& text) {
        r.text = text;
        r.result.insert(QStringLiteral("text"), text);
        return finish(Success);
    };

    QString port = QStringLiteral("COM1");
    int baud = 115200;
    qsizetype i = 0;
    for (; i < arguments.size() && arguments[i].startsWith(QLatin1Char('-')); ++i) {
        const QString a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return help(generalHelp());
        if (a == QLatin1String("--version"))
            return help(QStringLiteral("inkwick-cli ") + QStringLiteral(INKWICK_VERSION));
        if (a == QLatin1String("--json"))
            continue;
        if (a == QLatin1String("--port") || a == QLatin1String("--baud")) {
            if (i + 1 >= arguments.size())
                return finish(usage(r, QStringLiteral("%1: не указано значение").arg(a)));
            const QString value = arguments[++i];
            if (a == QLatin1String("--port")) {
                port = value;
            } else if (const auto b = operations::wholeNumber(value, 50, 4000000)) {
                baud = *b;
            } else {
                return finish(
                    usage(r, QStringLiteral("--baud: скорость - число, например 115200")));
            }
        } else {
            return finish(usage(r, QStringLiteral("неизвестный параметр %1 (см. --help)").arg(a)));
        }
    }
    if (i >= arguments.size())
        return finish(usage(r, QStringLiteral("не указана команда (см. --help)")));
    name = arguments[i];
    r.args = arguments.mid(i + 1);
    r.args.removeAll(QStringLiteral("--json"));
    const bool wantsHelp =
        r.args.contains(QStringLiteral("--help")) || r.args.contains(QStringLiteral("-h"));
    const QString globals = QStringLiteral("inkwick-cli [--port DEVICE|COMn] [--baud N] [--json] ");
    auto openIt = [&] { return openPort(s, port, baud, r); };

    int code = Success;
    if (const operations::Operation* op = operations::find(name)) {
        if (wantsHelp)
            return help(globals + operations::helpText(*op));
        code = runOperation(r, *op, op->needsPrinter, openIt);
    } else if (const OwnCommand* command = ownCommandNamed(name)) {
        if (wantsHelp)
            return help(globals + command->synopsis + QStringLiteral("\n") + command->help);
        if (r.args.size() < command->minArgs || r.args.size() > command->maxArgs)
            return finish(
                usage(r, QStringLiteral("использование: inkwick-cli ") + command->synopsis));
        code = !command->needsPort || openIt() ? command->run(r) : PrinterFailure;
    } else {
        return finish(usage(r, QStringLiteral("неизвестная команда %1 (см. --help)").arg(name)));
    }
    return finish(code);
}

} // namespace cli
