// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/mark_json.h"

#include <array>
#include <utility>

using namespace marks;

namespace operations {

namespace {

const std::array<std::pair<quint8, const char*>, 6> kKeywords{{
    {TextCode, "text"},
    {NumberCode, "number"},
    {DateTimeCode, "date"},
    {GraphicCode, "logo"},
    {PostDateCode, "postdate"},
    {BarcodeCode, "ean"},
}};

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

Fragment fragmentOfRow(const MarkRow& row) {
    return {functionCodeOfName(row[FunctionColumn]), fontNumberOfText(row[FontColumn]),
            row[TextColumn]};
}

} // namespace

const QStringList& functionKeywords() {
    static const QStringList list = [] {
        QStringList out;
        for (const auto& k : kKeywords)
            out.append(QString::fromLatin1(k.second));
        return out;
    }();
    return list;
}

quint8 functionCodeOfKeyword(const QString& keyword) {
    for (const auto& k : kKeywords) {
        if (keyword == QLatin1String(k.second))
            return k.first;
    }
    return TextCode;
}

QString functionKeyword(quint8 code) {
    for (const auto& k : kKeywords) {
        if (code == k.first)
            return QString::fromLatin1(k.second);
    }
    return QStringLiteral("?");
}

QString fragmentText(const Fragment& f) {
    return functionKeyword(f.function) + QLatin1Char('\t') + twoDigits(f.font) + QLatin1Char('\t') +
           f.text;
}

QJsonObject fragmentJson(FragmentAddress at, const Fragment& f) {
    return {{QStringLiteral("line"), at.line},
            {QStringLiteral("fragment"), at.fragment},
            {QStringLiteral("function"), functionKeyword(f.function)},
            {QStringLiteral("font"), f.font},
            {QStringLiteral("text"), f.text}};
}

QString markRowsText(const MarkRows& rows) {
    QStringList lines;
    for (const MarkRow& row : rows)
        lines.append(row[NumberColumn] + QLatin1Char('\t') + fragmentText(fragmentOfRow(row)));
    return lines.join(QLatin1Char('\n'));
}

QJsonArray markRowsJson(const MarkRows& rows) {
    QJsonArray out;
    for (int r = 0; r < kFragmentCount; ++r)
        out.append(fragmentJson({r / 8 + 1, r % 8 + 1}, fragmentOfRow(rows[r])));
    return out;
}

} // namespace operations
