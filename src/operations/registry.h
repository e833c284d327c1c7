// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/result.h"
#include "link/session.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>

// Every printer operation by name, with its arguments and its result as text and as JSON: the
// command line and the plant agent are built from this list, the window calls the typed
// operations in the subsystems directly.
//
// A front runs an operation by name like this:
//
//     const operations::Operation* op = operations::find(name);        // nullptr: no such one
//     auto args = operations::argumentsFromJson(*op, payload);         // or ...FromCommandLine
//     if (!args) return reply(args.failure());                         // BadInput, with its text
//     if (op->needsPrinter) ... open the session's port (printerlink::openPortByName) ...
//     const operations::Outcome out = operations::invoke(session, *op, *args);
//     out.ok() ? show(out.text) / send(out.json) : fail(*out.failure);
//
// The session's dialogs are asked nothing by an operation, except a series (backup, restore,
// compare, write-parts) that reports its items through showSteps() and asks stopRequested()
// between two items.
namespace operations {

enum class ArgType {
    Integer, // whole decimal digits only, within [low, high]
    Text,    // any text; the operation checks what the printer can take
    Choice,  // one of `choices`
    File,    // a path to a file
    Folder,  // a path to a folder
    Flag,    // an option without a value; JSON true/false
};

struct Argument {
    // The JSON key. On the command line a positional argument shows as NAME in upper case (or
    // `metavar`), an option as --name.
    QString name;
    ArgType type = ArgType::Integer;
    int low = 0; // Integer: the range, both ends included
    int high = 0;
    QStringList choices; // Choice
    bool positional = true;
    bool required = true;
    // Taken when an optional argument is not given (as it would be typed).
    QString defaultValue;
    // What the number is, for the refusal: "номер марки" -> "номер марки - от 0 до 85".
    QString what;
    QString unit; // after the range: "дней"
    QString metavar;
    QString help;
};

// The checked values of a run, by argument name: an Integer reads back with integer(), a Flag
// with flag(), every other type with text(). has() is false for an optional one not given and
// without a default.
class Arguments {
public:
    bool has(const QString& name) const { return values_.contains(name); }
    int integer(const QString& name) const { return values_.value(name).toInt(); }
    QString text(const QString& name) const { return values_.value(name).toString(); }
    bool flag(const QString& name) const { return values_.value(name).toBool(); }
    void set(const QString& name, const QVariant& value) { values_.insert(name, value); }
    const QVariantMap& values() const { return values_; }

private:
    QVariantMap values_;
};

// What a run gave, in a front's terms.
struct Outcome {
    // Nothing on success. A failure keeps whatever `json` and `text` the run still had to say
    // (what a stopped restore did write).
    std::optional<printerlink::Failure> failure;
    QString text;     // for a terminal: the read-out, the fragment, the list
    QJsonObject json; // the result's fields ("mark": 12, "occupied": [...])
    QStringList notes; // said on the way (a reply that stopped short, "Запись ... завершена.")
    // The command line's status when it is not that of the failure's kind: 4 for a compare
    // that found differences, 130 for a series stopped by the user.
    int exitStatus = -1;

    bool ok() const { return !failure; }
};

struct Operation {
    QString name;    // "read-fragment"
    QString summary; // one paragraph, for --help
    QList<Argument> arguments;
    bool needsPrinter = true;
    // Writes into the printer: an agent runs it only when its configuration allows it by name.
    bool changesPrinter = false;
    std::function<Outcome(printerlink::Session&, const Arguments&)> run;
    // Keeps what the printer sent: a line still talking after the reply makes it worthless, and
    // invoke() fails the run then.
    bool readOut = false;
};

// In the order the command line lists them.
const QList<Operation>& all();
const Operation* find(const QString& name);

// The values checked against the operation's arguments; a missing, unknown or out-of-range one
// is a BadInput failure whose text names it.
printerlink::Result<Arguments> argumentsFromJson(const Operation& op, const QJsonObject& json);
// The same from the words after the command's name: positionals in order, options anywhere.
// A missing or extra word is refused with the usage line, after `program` ("inkwick-cli").
printerlink::Result<Arguments> argumentsFromCommandLine(const Operation& op,
                                                        const QStringList& words,
                                                        const QString& program = {});

// Decimal digits only, within [low, high]: "+5", "-0" and " 5" are no numbers here.
std::optional<int> wholeNumber(const QString& text, int low, int high);

// "read-fragment LINE FRAGMENT"
QString usageLine(const Operation& op);
// The usage line, the summary and one line per argument.
QString helpText(const Operation& op);
// The arguments as a JSON schema-like object, for a front that lists what it accepts:
// {"name": ..., "changesPrinter": ..., "arguments": [{"name", "type", "low", "high", ...}]}.
QJsonObject describe(const Operation& op);

// Runs it. The session's port must be open when the operation needs the printer. Argument
// failures, like the still-talking line, have no title: they are no box of the window.
Outcome invoke(printerlink::Session& s, const Operation& op, const Arguments& args);

// A line that goes on talking after a reply: what came is no reply to keep.
printerlink::Failure stillTalkingFailure();

// 0, or by the failure's kind: 1 link and refused, 2 bad input, 3 file; `exitStatus` first.
int exitStatusOf(const Outcome& outcome);

} // namespace operations
