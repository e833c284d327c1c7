// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/printer_memory.h"

#include "logos/picture_files.h"
#include "marks/mark_file.h"

#include <set>

namespace service {

QByteArray slotContent(const QByteArray& bin) {
    const logos::PackedDecode d = logos::decodeBin(bin);
    if (!d.ok())
        return {};
    return QByteArray(1, char(d.picture.width)) + char(d.picture.byteRows) + d.picture.columns;
}

QStringList differingFragments(const QByteArray& markFileA, const QByteArray& markFileB) {
    const marks::MarkRows blank = marks::initialRows();
    const auto a = marks::decodeMarkFile(markFileA, blank, marks::FileFonts::Keep);
    const auto b = marks::decodeMarkFile(markFileB, blank, marks::FileFonts::Keep);
    QStringList out;
    for (int row = 0; row < marks::kFragmentCount; ++row) {
        bool same = a && b;
        for (int col = marks::FunctionColumn; same && col <= marks::TextColumn; ++col)
            same = (*a)[row][col] == (*b)[row][col];
        if (!same)
            out.append(marks::fragmentNumberOfRow(row));
    }
    return out;
}

// "001, 002, ..." with a line break after every 12 numbers: a full printer has 128 slots.
QString numberList(const QList<int>& numbers, int width) {
    constexpr int kPerLine = 12;
    QString out;
    for (qsizetype k = 0; k < numbers.size(); ++k) {
        if (k > 0)
            out += k % kPerLine ? QStringLiteral(", ") : QStringLiteral(",\n\r");
        out += QStringLiteral("%1").arg(numbers[k], width, 10, QLatin1Char('0'));
    }
    return out;
}

QString markLabel(int number) {
    return QStringLiteral("Марка %1").arg(number, 2, 10, QLatin1Char('0'));
}

QString slotLabel(int slot) {
    return QStringLiteral("Логотип %1").arg(slot, 3, 10, QLatin1Char('0'));
}

namespace {

template <typename Map> std::set<int> keysOf(const Map& a, const Map& b) {
    std::set<int> keys;
    for (const auto& [k, v] : a)
        keys.insert(k);
    for (const auto& [k, v] : b)
        keys.insert(k);
    return keys;
}

} // namespace

QStringList memoryDifferences(const PrinterMemory& printer, const PrinterMemory& backup) {
    QStringList out;
    for (int n : keysOf(printer.marks, backup.marks)) {
        const auto p = printer.marks.find(n);
        const auto b = backup.marks.find(n);
        if (p == printer.marks.end()) {
            if (n != 0)
                out.append(markLabel(n) + QStringLiteral(": нет в Маркираторе"));
        } else if (b == backup.marks.end()) {
            if (n != 0)
                out.append(markLabel(n) + QStringLiteral(": лишняя, нет в копии"));
        } else if (const QStringList f = differingFragments(p->second, b->second); !f.isEmpty()) {
            out.append(markLabel(n) + QStringLiteral(": отличаются фрагменты ") +
                       f.join(QStringLiteral(", ")));
        }
    }
    for (int n : keysOf(printer.logos, backup.logos)) {
        const auto p = printer.logos.find(n);
        const auto b = backup.logos.find(n);
        if (p == printer.logos.end())
            out.append(slotLabel(n) + QStringLiteral(": нет в Маркираторе"));
        else if (b == backup.logos.end())
            out.append(slotLabel(n) + QStringLiteral(": лишний, нет в копии"));
        else if (slotContent(p->second) != slotContent(b->second))
            out.append(slotLabel(n) + QStringLiteral(": отличается"));
    }
    return out;
}

} // namespace service
