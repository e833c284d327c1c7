// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marks/fragment_transfer.h"
#include "marks/mark_model.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

namespace operations {

// The functions by the words a script uses: text, number, date, logo, postdate, ean.
const QStringList& functionKeywords();
// A FunctionCode; an unknown word is plain text.
quint8 functionCodeOfKeyword(const QString& keyword);
// The word of a code; "?" for a code outside the six.
QString functionKeyword(quint8 code);

// "text\t02\tABC": the function word, the font and the text of one fragment.
QString fragmentText(const marks::Fragment& f);
// {"line", "fragment", "function", "font", "text"}
QJsonObject fragmentJson(marks::FragmentAddress at, const marks::Fragment& f);

// The 32 fragments of a mark, one "11\ttext\t02\tABC" line each, and as fragmentJson objects.
QString markRowsText(const marks::MarkRows& rows);
QJsonArray markRowsJson(const marks::MarkRows& rows);

} // namespace operations
