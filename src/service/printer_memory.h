// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

namespace service {

constexpr int kMarkPlaces = 85; // 01..85
constexpr int kLogoSlots = 128; // 000..127

// The printer's memory in the ordinary file formats: what a backup folder holds and what a
// compare reads from the printer.
struct PrinterMemory {
    QString model;
    QString version;
    std::map<int, QByteArray> marks; // number (0 = being printed) -> .mrt file
    std::map<int, QByteArray> logos; // slot -> .bin file as the printer sent it
    QString readouts;
};

// The part of a BIN file a slot stores: X, R and the packed columns the header announces.
QByteArray slotContent(const QByteArray& bin);

// Fragment numbers ("11", "23", ...) whose function, font or text differ between two mark files.
QStringList differingFragments(const QByteArray& markFileA, const QByteArray& markFileB);

// One line per difference, marks first, in the program's words; empty when they agree. The
// backup's mark 00 is compared only when both hold one: it changes with every print job.
QStringList memoryDifferences(const PrinterMemory& printer, const PrinterMemory& backup);

// "001, 002, ..." with a line break after every 12 numbers: a full printer has 128 slots.
QString numberList(const QList<int>& numbers, int width);

QString markLabel(int number); // "Марка 07"
QString slotLabel(int slot);   // "Логотип 012"

} // namespace service
