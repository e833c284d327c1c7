// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/registry.h"

#include "operations/operation_parts.h"

#include "link/request_exchange.h"

#include <QJsonArray>

using namespace printerlink;

namespace operations {

namespace {

QString shownName(const Argument& a) {
    if (!a.positional)
        return QStringLiteral("--") + a.name;
    return a.metavar.isEmpty() ? a.name.toUpper() : a.metavar;
}

QString rangeText(const Argument& a) {
    QString text = (a.what.isEmpty() ? shownName(a) : a.what) +
                   QStringLiteral(" - от %1 до %2").arg(a.low).arg(a.high);
    if (!a.unit.isEmpty())
        text += QLatin1Char(' ') + a.unit;
    return text;
}

QString usageText(const Operation& op, const QString& program) {
    return QStringLiteral("использование: ") +
           (program.isEmpty() ? QString() : program + QLatin1Char(' ')) + usageLine(op);
}

// The value of one argument as typed, checked and converted.
Result<QVariant> checked(const Argument& a, const QString& typed) {
    switch (a.type) {
    case ArgType::Integer:
        if (const auto n = wholeNumber(typed, a.low, a.high))
            return QVariant(*n);
        return argumentRefusal(rangeText(a));
    case ArgType::Choice:
        if (a.choices.contains(typed))
            return QVariant(typed);
        return argumentRefusal(shownName(a) + QStringLiteral(" - одно из: ") +
                               a.choices.join(QStringLiteral(", ")));
    case ArgType::Flag:
        return QVariant(true);
    case ArgType::Text:
    case ArgType::File:
    case ArgType::Folder:
        if (a.type != ArgType::Text && typed.isEmpty())
            return argumentRefusal(shownName(a) + QStringLiteral(": пустой путь"));
        return QVariant(typed);
    }
    return argumentRefusal(shownName(a));
}

// Defaults for what was not given; a missing required one is refused.
Result<Arguments> completed(const Operation& op, Arguments args, const QString& program) {
    for (const Argument& a : op.arguments) {
        if (args.has(a.name))
            continue;
        if (a.type == ArgType::Flag) {
            args.set(a.name, false);
        } else if (!a.defaultValue.isEmpty()) {
            auto value = checked(a, a.defaultValue);
            if (!value)
                return value.failure();
            args.set(a.name, *value);
        } else if (a.required) {
            // JSON names the key; a command line shows how it goes.
            return argumentRefusal(program.isNull() ? QStringLiteral("не указан ") + a.name
                                                    : usageText(op, program));
        }
    }
    return args;
}

const Argument* argumentNamed(const Operation& op, const QString& name) {
    for (const Argument& a : op.arguments) {
        if (a.name == name)
            return &a;
    }
    return nullptr;
}

QString typeName(ArgType type) {
    switch (type) {
    case ArgType::Integer:
        return QStringLiteral("integer");
    case ArgType::Text:
        return QStringLiteral("text");
    case ArgType::Choice:
        return QStringLiteral("choice");
    case ArgType::File:
        return QStringLiteral("file");
    case ArgType::Folder:
        return QStringLiteral("folder");
    case ArgType::Flag:
        return QStringLiteral("flag");
    }
    return QStringLiteral("text");
}

} // namespace

std::optional<int> wholeNumber(const QString& text, int low, int high) {
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const int n = text.toInt();
    if (n < low || n > high)
        return std::nullopt;
    return n;
}

const Operation* find(const QString& name) {
    for (const Operation& op : all()) {
        if (op.name == name)
            return &op;
    }
    return nullptr;
}

Result<Arguments> argumentsFromJson(const Operation& op, const QJsonObject& json) {
    Arguments args;
    for (auto it = json.begin(); it != json.end(); ++it) {
        const Argument* a = argumentNamed(op, it.key());
        if (!a)
            return argumentRefusal(
                QStringLiteral("%1: лишний аргумент '%2'").arg(op.name, it.key()));
        const QJsonValue v = it.value();
        QString typed;
        if (a->type == ArgType::Flag) {
            if (!v.isBool())
                return argumentRefusal(shownName(*a) + QStringLiteral(": нужно true или false"));
            args.set(a->name, v.toBool());
            continue;
        }
        if (a->type == ArgType::Integer && v.isDouble()) {
            const double d = v.toDouble();
            if (d != double(qint64(d)) || d < a->low || d > a->high)
                return argumentRefusal(rangeText(*a));
            typed = QString::number(qint64(d));
        } else if (v.isString()) {
            typed = v.toString();
        } else {
            return argumentRefusal(shownName(*a) + QStringLiteral(": неверный тип значения"));
        }
        auto value = checked(*a, typed);
        if (!value)
            return value.failure();
        args.set(a->name, *value);
    }
    return completed(op, args, QString());
}

Result<Arguments> argumentsFromCommandLine(const Operation& op, const QStringList& words,
                                           const QString& program) {
    Arguments args;
    QList<const Argument*> positionals;
    for (const Argument& a : op.arguments) {
        if (a.positional)
            positionals.append(&a);
    }
    qsizetype next = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        if (w.startsWith(QLatin1String("--"))) {
            const Argument* a = argumentNamed(op, w.mid(2));
            if (!a || a->positional)
                return argumentRefusal(QStringLiteral("%1: лишний аргумент '%2'").arg(op.name, w));
            if (a->type == ArgType::Flag) {
                args.set(a->name, true);
                continue;
            }
            if (i + 1 >= words.size())
                return argumentRefusal(w + QStringLiteral(": не указано значение"));
            auto value = checked(*a, words[++i]);
            if (!value)
                return value.failure();
            args.set(a->name, *value);
            continue;
        }
        if (next >= positionals.size())
            return argumentRefusal(usageText(op, program));
        auto value = checked(*positionals[next], w);
        if (!value)
            return value.failure();
        args.set(positionals[next++]->name, *value);
    }
    return completed(op, args, program.isNull() ? QStringLiteral("") : program);
}

QString usageLine(const Operation& op) {
    QString line = op.name;
    for (const Argument& a : op.arguments) {
        QString word = shownName(a);
        if (!a.positional && a.type != ArgType::Flag)
            word += QLatin1Char(' ') + (a.metavar.isEmpty() ? a.name.toUpper() : a.metavar);
        line += QLatin1Char(' ') + (a.required && a.type != ArgType::Flag
                                        ? word
                                        : QLatin1Char('[') + word + QLatin1Char(']'));
    }
    return line;
}

QString helpText(const Operation& op) {
    QString text = usageLine(op) + QLatin1Char('\n') + op.summary + QLatin1Char('\n');
    // One column for the help, past the longest name.
    qsizetype width = 10;
    for (const Argument& a : op.arguments)
        width = qMax(width, shownName(a).size());
    for (const Argument& a : op.arguments) {
        if (a.help.isEmpty())
            continue;
        text += QStringLiteral("  ") + shownName(a).leftJustified(width + 2) + a.help;
        if (a.type == ArgType::Integer)
            text += QStringLiteral(" (%1..%2)").arg(a.low).arg(a.high);
        else if (a.type == ArgType::Choice)
            text += QStringLiteral(" (") + a.choices.join(QLatin1Char('|')) + QLatin1Char(')');
        if (!a.defaultValue.isEmpty())
            text += QStringLiteral(", по умолчанию ") + a.defaultValue;
        text += QLatin1Char('\n');
    }
    return text;
}

QJsonObject describe(const Operation& op) {
    QJsonArray arguments;
    for (const Argument& a : op.arguments) {
        QJsonObject o{{QStringLiteral("name"), a.name},
                      {QStringLiteral("type"), typeName(a.type)},
                      {QStringLiteral("required"),
                       a.required && a.defaultValue.isEmpty() && a.type != ArgType::Flag}};
        if (a.type == ArgType::Integer) {
            o.insert(QStringLiteral("low"), a.low);
            o.insert(QStringLiteral("high"), a.high);
        }
        if (a.type == ArgType::Choice)
            o.insert(QStringLiteral("choices"), QJsonArray::fromStringList(a.choices));
        if (!a.defaultValue.isEmpty())
            o.insert(QStringLiteral("default"), a.defaultValue);
        if (!a.help.isEmpty())
            o.insert(QStringLiteral("help"), a.help);
        arguments.append(o);
    }
    return {{QStringLiteral("name"), op.name},
            {QStringLiteral("summary"), op.summary},
            {QStringLiteral("needsPrinter"), op.needsPrinter},
            {QStringLiteral("changesPrinter"), op.changesPrinter},
            {QStringLiteral("arguments"), arguments}};
}

Failure stillTalkingFailure() {
    Failure f = linkFailure(QStringLiteral("линия продолжает передавать после ответа Маркиратора "
                                           "(помехи или неисправность) - ответ не принят"));
    f.title.clear();
    return f;
}

Outcome invoke(Session& s, const Operation& op, const Arguments& args) {
    Outcome out = op.run(s, args);
    // One run, one reply: listening a little longer costs nothing a caller would notice.
    constexpr int kListenMs = 50;
    if (op.readOut && out.ok() && lineStillTalking(s, kListenMs)) {
        s.link.error = true;
        out = {};
        out.failure = stillTalkingFailure();
    }
    return out;
}

int exitStatusOf(const Outcome& outcome) {
    if (outcome.exitStatus >= 0)
        return outcome.exitStatus;
    if (!outcome.failure)
        return 0;
    switch (outcome.failure->kind) {
    case FailureKind::Link:
    case FailureKind::Refused:
        return 1;
    case FailureKind::BadInput:
        return 2;
    case FailureKind::File:
        return 3;
    }
    return 1;
}

} // namespace operations
