// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_file.h"

#include "platform/codepage.h"
#include "platform/number_text.h"

using namespace platform;

namespace marks {

namespace {

constexpr int kStatusNameLimit = 60;

// A line ends at CR LF, a lone CR or LF, a zero byte or the end of the bytes.
QByteArray nextLine(const QByteArray& bytes, qsizetype& pos) {
    const qsizetype start = pos;
    while (pos < bytes.size()) {
        const char c = bytes[pos];
        if (c == '\r' || c == '\n' || c == '\0')
            break;
        ++pos;
    }
    const QByteArray line = bytes.mid(start, pos - start);
    if (pos < bytes.size()) {
        const char end = bytes[pos++];
        if (end == '\r' && pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    return line;
}

} // namespace

QByteArray encodeMarkFile(const MarkRows& rows) {
    QByteArray out;
    for (const MarkRow& row : rows) {
        out += toCp1251(row[NumberColumn]);
        out += char(functionCodeOfName(row[FunctionColumn]));
        out += toCp1251(row[FontColumn].right(2).rightJustified(2, QLatin1Char('0')));
        out += toCp1251(row[TextColumn]);
        out += "\r\n";
    }
    return out;
}

std::optional<MarkRows> decodeMarkFile(const QByteArray& bytes, const MarkRows& current,
                                       FileFonts fonts) {
    MarkRows rows = current;
    qsizetype pos = 0;
    for (int i = 0; i < kFragmentCount; ++i) {
        const QByteArray line = nextLine(bytes, pos);
        if (line.isEmpty())
            break;
        if (line.size() < 2 || line[0] < '1' || line[0] > '4' || line[1] < '1' || line[1] > '8')
            return std::nullopt;
        MarkRow& row = rows[i];
        row[NumberColumn] = QString::fromLatin1(line.left(2));
        const quint8 code = line.size() > 2 ? quint8(line[2]) : 0;
        row[FunctionColumn] = functionNameOfCode(code).value_or(functionNames().first());
        // Fonts 14 and 15 are not taken from a file; "#" marks the replacement font 02.
        const QString digits = fromCp1251(line.mid(3, 2));
        row[FontColumn] = fonts == FileFonts::ReplaceAbove13 && readDecimal(digits) > 13
                              ? QStringLiteral(" #02")
                              : QLatin1Char(' ') + digits;
        row[TextColumn] = fromCp1251(line.mid(5));
        row[FreeColumn] = freePlacesText(row[TextColumn]);
    }
    return rows;
}

QByteArray newMarkFileBytes() {
    QByteArray out;
    for (int r = 0; r < kFragmentCount; ++r) {
        out += fragmentNumberOfRow(r).toLatin1();
        out += char(NumberCode);
        out += "02\r\n";
    }
    return out;
}

QString markStatusText(const QString& name, bool shorten) {
    const QString prefix = QStringLiteral("Марка: ");
    if (shorten && name.size() > kStatusNameLimit)
        return prefix + QStringLiteral(" ... ") + name.right(kStatusNameLimit);
    return prefix + name;
}

} // namespace marks
