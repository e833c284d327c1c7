// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/operation_parts.h"

namespace operations {

Argument integer(const QString& name, int low, int high, const QString& what, const QString& help) {
    Argument a;
    a.name = name;
    a.type = ArgType::Integer;
    a.low = low;
    a.high = high;
    a.what = what;
    a.help = help;
    return a;
}

Argument path(const QString& name, ArgType type, const QString& metavar, const QString& help) {
    Argument a;
    a.name = name;
    a.type = type;
    a.metavar = metavar;
    a.help = help;
    return a;
}

Argument flag(const QString& name, const QString& help) {
    Argument a;
    a.name = name;
    a.type = ArgType::Flag;
    a.positional = false;
    a.required = false;
    a.help = help;
    return a;
}

printerlink::Failure argumentRefusal(const QString& text) {
    printerlink::Failure f = printerlink::badInput(text);
    f.title.clear();
    return f;
}

QJsonArray jsonNumbers(const QList<int>& list) {
    QJsonArray out;
    for (int n : list)
        out.append(n);
    return out;
}

} // namespace operations
